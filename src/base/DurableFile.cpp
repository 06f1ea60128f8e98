#include "base/DurableFile.h"

#include "base/FileCopy.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tervane {
namespace {

// A save stops between parts for its tests.
constexpr qint64 kCopyPart = 16 * 1024 * 1024;

} // namespace

bool syncFile(QFile& file) {
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
#else
    return ::fsync(file.handle()) == 0;
#endif
}

bool copyOpenFile(QFile& source, const QString& destination, const std::function<bool()>& afterFirstPart) {
    if (!source.seek(0))
        return false;
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || !copyOpenFileInto(source, out, afterFirstPart))
        return false;
    out.close();
    return out.error() == QFileDevice::NoError;
}

bool copyOpenFileInto(QFile& source, QFile& target, const std::function<bool()>& afterFirstPart) {
    if (!source.seek(0) || !target.seek(0))
        return false;
    const qint64 size = source.size();
    // At least two parts, so that a small file can also be caught half written.
    const qint64 part = std::clamp<qint64>((size + 1) / 2, 1, kCopyPart);
    qint64 done = 0;
    bool first = true;
    while (done < size) {
        const qint64 length = std::min(part, size - done);
        if (copyFileBytes(source, target, length) != CopyResult::Done)
            return false;
        done += length;
        if (first) {
            first = false;
            if (afterFirstPart && (!target.flush() || !afterFirstPart()))
                return false;
        }
    }
    if (size == 0 && afterFirstPart && !afterFirstPart())
        return false;
    return target.resize(size) && syncFile(target);
}

QString createUniqueFile(QFile& file, const QString& prefix) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString unique = QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0');
        file.setFileName(prefix + QLatin1Char('-') + unique);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return unique;
        const QFileInfo taken(file.fileName());
        if (!taken.exists() && !taken.isSymLink())
            return {};
    }
    return {};
}

bool keepFileMode(QFileDevice& file, const QString& model) {
#ifdef Q_OS_WIN
    return QFile::setPermissions(file.fileName(), QFile::permissions(model));
#else
    struct stat old {};
    if (::stat(QFile::encodeName(model).constData(), &old) != 0)
        return false;
    // Only root may give a file to its old owner, and only a member of the old group that group;
    // where we may not, the file stays ours, as a copy made by this user would be.
    const int fd = file.handle();
    [[maybe_unused]] const bool given =
        ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, uid_t(-1), old.st_gid) == 0;
    // After the owner, which clears the set-id bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
#endif
}

bool isReadOnlyFile(const QString& path) {
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return info.exists() && !info.isWritable();
#else
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return false;
    return !(st.st_mode & S_IWUSR) || ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0;
#endif
}

bool canCreateFilesIn(const QString& folder) {
#ifdef Q_OS_WIN
    return QFileInfo(folder).isWritable();
#else
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
#endif
}

bool lockOpenFile(QFileDevice& file, int waitMs) {
#ifdef Q_OS_WIN
    Q_UNUSED(file);
    Q_UNUSED(waitMs);
    return true;
#else
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (::flock(file.handle(), LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return true; // a file system without locks
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
#endif
}

bool replaceFile(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t*>(nativeTo.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

bool linkFile(const QString& existing, const QString& newName, bool* alreadyTaken) {
#ifdef Q_OS_WIN
    const QString nativeExisting = QDir::toNativeSeparators(existing);
    const QString nativeNew = QDir::toNativeSeparators(newName);
    const bool made = CreateHardLinkW(reinterpret_cast<const wchar_t*>(nativeNew.utf16()),
                                      reinterpret_cast<const wchar_t*>(nativeExisting.utf16()), nullptr);
    if (alreadyTaken)
        *alreadyTaken = !made && GetLastError() == ERROR_ALREADY_EXISTS;
    return made;
#else
    const bool made = ::link(QFile::encodeName(existing).constData(), QFile::encodeName(newName).constData()) == 0;
    if (alreadyTaken)
        *alreadyTaken = !made && errno == EEXIST;
    return made;
#endif
}

void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

} // namespace tervane
