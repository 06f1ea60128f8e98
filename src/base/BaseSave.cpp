#include "base/BaseSave.h"

#include "base/BaseBackup.h"
#include "base/DirectoryFile.h"
#include "base/DurableFile.h"
#include "base/FileErrors.h"
#include "base/FileLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace tervane {
namespace {

SaveStepHook g_hook;
int g_lockWaitMs = kBaseLockWaitMs;

bool fail(FileErrorCode code, const QString& path) {
    ReportFileError(code, QDir::toNativeSeparators(path));
    return false;
}

QString dirOf(const QString& base) {
    return base + QStringLiteral(".dir");
}

QString datOf(const QString& base) {
    return base + QStringLiteral(".dat");
}

void dropTemporaries(const QString& dirTemp, const QString& datTemp) {
    // The .dir one goes first: a .dir temporary alone must always be a finished one.
    QFile::remove(dirTemp);
    QFile::remove(datTemp);
}

// One file of the pair to write: the working file it comes from, the user's file it becomes and
// the steps a test may stop at.
struct PairFile {
    QString source;
    QString target;
    SaveStep partStep;
    SaveStep doneStep;
};

// Copies the working file into out, a new temporary file or the user's file itself: the checks
// and codes of CopyFileChecked, naming the user's file rather than a temporary one.
bool copyInto(const PairFile& file, QFile& out) {
    QFile in(file.source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(FileErrorOpen, file.source);
    if (!EnsureFreeSpace(file.target, 2 * in.size()))
        return false;
    // A file rewritten in place is emptied first: a copy cut short then leaves a short .dat that
    // fails to read, never old pages under new numbers.
    if (!out.resize(0))
        return fail(FileErrorCreate, file.target);
    const SaveStep partStep = file.partStep;
    if (!copyOpenFileInto(in, out, [partStep] { return reachSaveStep(partStep); }) || !reachSaveStep(file.doneStep))
        return fail(FileErrorCreate, file.target);
    out.close();
    if (out.error() != QFileDevice::NoError)
        return fail(FileErrorCreate, file.target);
    return true;
}

// backup, when given, takes the old pair's content before the renames and becomes the backup
// once the new pair is in place.
bool replaceThroughTemporaries(const QString& workingBase, const QString& base, PendingBackup* backup) {
    const PairFile dat{datOf(workingBase), datOf(base), SaveStep::PagePartlyWritten, SaveStep::PageWritten};
    const PairFile dir{dirOf(workingBase), dirOf(base), SaveStep::DirectoryPartlyWritten, SaveStep::DirectoryWritten};
    QFile datTemp;
    QFile dirTemp;
    bool datMade = false;
    bool dirMade = false;
    // Only the files this save made are removed, the .dir one first: a .dir temporary alone must
    // always be a finished one.
    const auto dropMade = [&] {
        if (dirMade)
            dirTemp.remove();
        if (datMade)
            datTemp.remove();
        return false;
    };
    // Each temporary gets the permission bits, owner and group of the file it is to replace.
    const auto keepMode = [](QFile& temp, const QString& target) {
        return !QFileInfo::exists(target) || keepFileMode(temp, target);
    };

    // The .dat temporary is made first and the .dir one, of the same id, after it: a .dir
    // temporary without its own .dat one then always means that this .dat was renamed.
    const QString id = createUniqueFile(datTemp, base + QStringLiteral(".dat.saving"));
    datMade = !id.isEmpty();
    if (!datMade || !keepMode(datTemp, dat.target)) {
        dropMade();
        return fail(FileErrorCreate, dat.target);
    }
    if (!copyInto(dat, datTemp))
        return dropMade();
    dirTemp.setFileName(savingTempPath(base, ".dir", id));
    dirMade = dirTemp.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    if (!dirMade || !keepMode(dirTemp, dir.target)) {
        dropMade();
        return fail(FileErrorCreate, dir.target);
    }
    if (!copyInto(dir, dirTemp))
        return dropMade();
    if (backup)
        backup->take();

    if (!replaceFile(datTemp.fileName(), dat.target)) {
        dropMade();
        return fail(FileErrorWrite, dat.target);
    }
    // From here on the pair can only go forward: a .dir temporary left behind is renamed over the
    // .dir by the next recovery.
    if (!reachSaveStep(SaveStep::PageReplaced) || !replaceFile(dirTemp.fileName(), dir.target))
        return fail(FileErrorWrite, dir.target);
    syncFolder(QFileInfo(dir.target).absolutePath());
    reachSaveStep(SaveStep::DirectoryReplaced);
    if (backup)
        backup->commit();
    return true;
}

// A folder where no file can be created still lets the user rewrite the two files, as a plain
// copy would: truncated and written again in place, and synced. Not atomic, but the only way
// there. The system's lock on the .dir keeps two instances from writing the pair at once.
bool rewriteInPlace(const QString& workingBase, const QString& base) {
    const PairFile dat{datOf(workingBase), datOf(base), SaveStep::PagePartlyWritten, SaveStep::PageWritten};
    const PairFile dir{dirOf(workingBase), dirOf(base), SaveStep::DirectoryPartlyWritten, SaveStep::DirectoryWritten};
    QFile datOut(dat.target);
    QFile dirOut(dir.target);
    for (QFile* out : {&datOut, &dirOut}) {
        // Opened without truncation, so a save refused below (another instance, a full disk)
        // leaves both whole. A missing file cannot be created here.
        if (!out->open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            return fail(FileErrorCreate, out->fileName());
    }
    if (!lockOpenFile(dirOut, g_lockWaitMs))
        return fail(FileErrorWrite, dir.target);
    return copyInto(dat, datOut) && copyInto(dir, dirOut);
}

// Replaces the user's pair by the working pair, under the base's lock.
bool replaceBase(const QString& workingBase, const QString& destinationBase, ReplacedPair replaced) {
    // A file the user marked read-only stays as it is, as a copy over it would fail; root's
    // right to write it anyway does not count.
    for (const QString& file : {datOf(destinationBase), dirOf(destinationBase)}) {
        if (isReadOnlyFile(file))
            return fail(FileErrorCreate, file);
    }
    // Only a whole pair is a base to keep: a save over one file alone, or none, keeps nothing.
    std::optional<PendingBackup> backup;
    if (replaced == ReplacedPair::KeepAsBackup && QFileInfo(datOf(destinationBase)).isFile() &&
        QFileInfo(dirOf(destinationBase)).isFile())
        backup.emplace(destinationBase);
    if (!canCreateFilesIn(QFileInfo(destinationBase).absolutePath())) {
        if (!rewriteInPlace(workingBase, destinationBase))
            return false;
        // The backup's files could not be made there either; the user hears of it.
        if (backup) {
            backup->refuse(FileErrorCreate, datOf(backupBaseOf(destinationBase)));
            backup->commit();
        }
        return true;
    }
    return replaceThroughTemporaries(workingBase, destinationBase, backup ? &*backup : nullptr);
}

// The ids of the files named prefix or prefix + "-" + id among files, oldest first: "" for the
// fixed name of earlier versions, else the random part.
QStringList temporaryIds(const QFileInfoList& files, const QString& prefix) {
    QFileInfoList matching;
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (name == prefix || (name.startsWith(prefix + QLatin1Char('-')) && name.size() > prefix.size() + 1))
            matching << file;
    }
    std::sort(matching.begin(), matching.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() < b.lastModified(); });
    QStringList ids;
    for (const QFileInfo& file : matching)
        ids << file.fileName().mid(prefix.size() + 1);
    return ids;
}

} // namespace

void setSaveStepHook(SaveStepHook hook) {
    g_hook = std::move(hook);
}

bool reachSaveStep(SaveStep step) {
    return !g_hook || g_hook(step);
}

void setBaseLockWait(int ms) {
    g_lockWaitMs = ms;
}

QString baseLockPath(const QString& base) {
    return base + QStringLiteral(".lck");
}

QString savingTempPath(const QString& base, const char* extension, const QString& id) {
    const QString path = base + QLatin1String(extension) + QStringLiteral(".saving");
    return id.isEmpty() ? path : path + QLatin1Char('-') + id;
}

std::unique_ptr<QLockFile> lockBase(const QString& base, bool& busy) {
    QLockFile::LockError error = QLockFile::NoError;
    std::unique_ptr<QLockFile> lock = takeFileLock(baseLockPath(base), g_lockWaitMs, &error);
    busy = !lock && error == QLockFile::LockFailedError;
    return lock;
}

bool recoverInterruptedSave(const QString& base) {
    const std::unique_ptr<QLockFile> lock = takeFileLock(baseLockPath(base), 0);
    // Without the lock, any temporaries belong to a save that is still running; where no lock
    // can be made, no save could make temporaries either.
    return !lock || recoverInterruptedSaveLocked(base);
}

bool recoverInterruptedSaveLocked(const QString& base) {
    const QFileInfo baseInfo(base);
    const QDir folder = baseInfo.dir();
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    const QString datPrefix = baseInfo.fileName() + QStringLiteral(".dat.saving");
    const QString dirPrefix = baseInfo.fileName() + QStringLiteral(".dir.saving");
    const QStringList datIds = temporaryIds(files, datPrefix);
    const QStringList dirIds = temporaryIds(files, dirPrefix);
    for (const QString& id : dirIds) {
        const QString dirTemp = savingTempPath(base, ".dir", id);
        const QString datTemp = savingTempPath(base, ".dat", id);
        if (datIds.contains(id)) {
            dropTemporaries(dirTemp, datTemp);
            continue;
        }
        const QString dir = dirOf(base);
        if (!replaceFile(dirTemp, dir))
            return fail(FileErrorWrite, dir);
        syncFolder(folder.absolutePath());
    }
    for (const QString& id : datIds) {
        if (!dirIds.contains(id))
            QFile::remove(savingTempPath(base, ".dat", id));
    }
    return true;
}

bool SaveWorkingCopyTo(const QString& workingBase, const QString& destinationBase, const BaseTree& tree,
                       ReplacedPair replaced) {
    if (!SaveDirectory(dirOf(workingBase), tree))
        return false;
    bool busy = false;
    const std::unique_ptr<QLockFile> lock = lockBase(destinationBase, busy);
    if (busy)
        return fail(FileErrorWrite, dirOf(destinationBase));
    // A save cut short earlier is settled first, so that a failure now leaves a whole pair.
    if (lock && !recoverInterruptedSaveLocked(destinationBase))
        return false;
    return replaceBase(workingBase, destinationBase, replaced);
}

bool SaveWorkingCopyToLocked(const QString& workingBase, const QString& destinationBase, const BaseTree& tree,
                             ReplacedPair replaced) {
    if (!SaveDirectory(dirOf(workingBase), tree))
        return false;
    return replaceBase(workingBase, destinationBase, replaced);
}

} // namespace tervane
