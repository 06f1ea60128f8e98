#include "base/WorkingFiles.h"

#include "base/BaseSave.h"
#include "base/DirectoryFile.h"
#include "base/DurableFile.h"
#include "base/FileCopy.h"
#include "base/FileErrors.h"
#include "base/FileLock.h"
#include "base/KeyPage.h"
#include "seams/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <algorithm>

namespace tervane {
namespace {

constexpr int kLastWorkingNumber = 100000;

bool fail(FileErrorCode code, const QString& path) {
    ReportFileError(code, QDir::toNativeSeparators(path));
    return false;
}

QString workingFolder() {
    const QString folder = TempFolder();
    return folder.isEmpty() ? QString() : QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

QString dirOf(const QString& base) {
    return base + QStringLiteral(".dir");
}

QString datOf(const QString& base) {
    return base + QStringLiteral(".dat");
}

// A working copy is scratch: after a crash it is thrown away, never trusted, so it is not synced
// to the disk (that would cost as much again as the copy). The system copies the bytes by itself
// where it can.
bool copyScratch(QFile& source, const QString& destination) {
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || !source.seek(0))
        return false;
    if (copyFileBytes(source, out, source.size()) != CopyResult::Done)
        return false;
    out.close();
    return out.error() == QFileDevice::NoError;
}

bool copyChecked(const QString& source, const QString& destination, bool durable) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(FileErrorOpen, source);
    if (!EnsureFreeSpace(destination, 2 * in.size()))
        return false;
    if (!(durable ? copyOpenFile(in, destination) : copyScratch(in, destination)))
        return fail(FileErrorCreate, destination);
    return true;
}

void dropWorkingCopy(const QString& base, std::unique_ptr<QLockFile>& lock) {
    QFile::remove(dirOf(base));
    QFile::remove(datOf(base));
    lock.reset();
}

} // namespace

QString StripExtension(const QString& fileName) {
    return fileName.size() > 4 ? fileName.left(fileName.size() - 4) : fileName;
}

QString baseDisplayName(const QString& base) {
    return base.mid(base.lastIndexOf(QLatin1Char('/')) + 1);
}

QString workingLockPath(const QString& workingBase) {
    return workingBase + QStringLiteral(".lck");
}

std::unique_ptr<QLockFile> takeWorkingLock(const QString& workingBase) {
    return takeFileLock(workingLockPath(workingBase), 0);
}

QString NewWorkingBaseName(std::unique_ptr<QLockFile>& lock) {
    lock.reset();
    const QString folder = workingFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    for (int n = 0; n <= kLastWorkingNumber; ++n) {
        const QString candidate = folder + QStringLiteral("/rdb_temp_") + QString::number(n);
        if (QFileInfo::exists(dirOf(candidate)) || QFileInfo::exists(datOf(candidate)))
            continue;
        std::unique_ptr<QLockFile> held = takeWorkingLock(candidate);
        // Another instance may have locked and filled the name between the two looks.
        if (!held || QFileInfo::exists(dirOf(candidate)) || QFileInfo::exists(datOf(candidate)))
            continue;
        lock = std::move(held);
        return candidate;
    }
    return {};
}

bool CreateEmptyFile(const QString& path) {
    if (!EnsureFreeSpace(path, KeyPage::kSize))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(FileErrorCreate, path);
    return true;
}

bool CopyFileChecked(const QString& source, const QString& destination) {
    return copyChecked(source, destination, true);
}

bool DeleteBaseFiles(const QString& base) {
    if (base.isEmpty())
        return true;
    for (const QString& path : {dirOf(base), datOf(base)}) {
        if (!QFile::remove(path) && QFileInfo::exists(path))
            return fail(FileErrorDelete, path);
    }
    return true;
}

bool CreateWorkingBase(BaseTree& tree, QString& workingBase, std::unique_ptr<QLockFile>& lock) {
    const QString name = NewWorkingBaseName(lock);
    if (name.isEmpty())
        return false;
    tree.clear();
    if (!SaveDirectory(dirOf(name), tree)) {
        dropWorkingCopy(name, lock);
        return false;
    }
    if (!CreateEmptyFile(datOf(name))) {
        fail(FileErrorCreate, datOf(name));
        dropWorkingCopy(name, lock);
        return false;
    }
    workingBase = name;
    return true;
}

bool OpenWorkingCopy(const QString& userBase, BaseTree& tree, QString& workingBase, std::unique_ptr<QLockFile>& lock) {
    // The pair is copied under the base's lock, so that another instance's save is never caught
    // between its two renames, and a save of ours cut short earlier is settled first.
    bool busy = false;
    const std::unique_ptr<QLockFile> baseLock = lockBase(userBase, busy);
    if (busy)
        return fail(FileErrorOpen, dirOf(userBase));
    if (baseLock && !recoverInterruptedSaveLocked(userBase))
        return false;
    return OpenWorkingCopyLocked(userBase, tree, workingBase, lock);
}

bool OpenWorkingCopyLocked(const QString& userBase, BaseTree& tree, QString& workingBase,
                           std::unique_ptr<QLockFile>& lock) {
    const QString name = NewWorkingBaseName(lock);
    if (name.isEmpty())
        return false;
    for (const QString& path : {dirOf(userBase), datOf(userBase)}) {
        if (!QFileInfo(path).isFile()) {
            lock.reset();
            return fail(FileErrorOpen, path);
        }
    }
    if (!copyChecked(dirOf(userBase), dirOf(name), false) || !copyChecked(datOf(userBase), datOf(name), false)) {
        dropWorkingCopy(name, lock);
        return false;
    }
    tree.clear();
    if (!LoadDirectory(dirOf(userBase), tree)) {
        dropWorkingCopy(name, lock);
        return false;
    }
    workingBase = name;
    return true;
}

void CleanupWorkingFiles() {
    const QString folder = workingFolder();
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return;
    QMap<QString, QStringList> filesByBase;
    for (const QString& name : dir.entryList({QStringLiteral("rdb_temp_*")}, QDir::Files | QDir::Hidden))
        filesByBase[name.section(QLatin1Char('.'), 0, 0)] << name;
    for (auto it = filesByBase.cbegin(); it != filesByBase.cend(); ++it) {
        const QString base = dir.filePath(it.key());
        const std::unique_ptr<QLockFile> lock = takeWorkingLock(base);
        if (!lock)
            continue; // another running instance works on this copy
        for (const QString& name : it.value()) {
            const QString path = dir.filePath(name);
            if (path != workingLockPath(base))
                QFile::remove(path);
        }
    } // each lock is released, and its file removed, as it goes out of scope
}

} // namespace tervane
