#include "base/BaseSave.h"

#include "base/DirectoryFile.h"
#include "base/DurableFile.h"
#include "base/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tervane {
namespace {

SaveStepHook g_hook;

bool fail(FileErrorCode code, const QString& path) {
    ReportFileError(code, QDir::toNativeSeparators(path));
    return false;
}

bool reach(SaveStep step) {
    return !g_hook || g_hook(step);
}

void dropTemporaries(const QString& dirTemp, const QString& datTemp) {
    // The .dir one goes first: a .dir temporary alone must always be a finished one.
    QFile::remove(dirTemp);
    QFile::remove(datTemp);
}

// Copies source into temp for the user's file target: the checks and codes of CopyFileChecked,
// naming the user's file rather than the temporary one.
bool copyToTemporary(const QString& source, const QString& temp, const QString& target, SaveStep partStep,
                     SaveStep doneStep) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(FileErrorOpen, source);
    const qint64 size = in.size();
    if (!EnsureFreeSpace(target, 2 * size))
        return false;
    if (!CopyOpenFile(in, temp, [partStep] { return reach(partStep); }) || !reach(doneStep))
        return fail(FileErrorCreate, target);
    // The replaced file keeps the permissions the user gave it.
    if (QFileInfo::exists(target))
        QFile::setPermissions(temp, QFile::permissions(target));
    return true;
}

} // namespace

void setSaveStepHook(SaveStepHook hook) {
    g_hook = std::move(hook);
}

QString SavingTempPath(const QString& base, const char* extension) {
    return base + QLatin1String(extension) + QStringLiteral(".saving");
}

bool RecoverInterruptedSave(const QString& base) {
    const QString dirTemp = SavingTempPath(base, ".dir");
    const QString datTemp = SavingTempPath(base, ".dat");
    const bool dirPending = QFileInfo(dirTemp).isFile();
    if (dirPending && !QFileInfo::exists(datTemp)) {
        const QString dir = base + QStringLiteral(".dir");
        if (!ReplaceFile(dirTemp, dir))
            return fail(FileErrorWrite, dir);
        SyncFolder(QFileInfo(dir).absolutePath());
        return true;
    }
    if (dirPending || QFileInfo::exists(datTemp))
        dropTemporaries(dirTemp, datTemp);
    return true;
}

bool SaveWorkingCopyTo(const QString& workingBase, const QString& destinationBase, const BaseTree& tree) {
    if (!SaveDirectory(workingBase + QStringLiteral(".dir"), tree))
        return false;
    // A save cut short earlier is settled first, so that a failure now leaves a whole pair.
    if (!RecoverInterruptedSave(destinationBase))
        return false;

    const QString dir = destinationBase + QStringLiteral(".dir");
    const QString dat = destinationBase + QStringLiteral(".dat");
    const QString dirTemp = SavingTempPath(destinationBase, ".dir");
    const QString datTemp = SavingTempPath(destinationBase, ".dat");

    if (!copyToTemporary(workingBase + QStringLiteral(".dat"), datTemp, dat, SaveStep::PagePartlyWritten,
                         SaveStep::PageWritten) ||
        !copyToTemporary(workingBase + QStringLiteral(".dir"), dirTemp, dir, SaveStep::DirectoryPartlyWritten,
                         SaveStep::DirectoryWritten)) {
        dropTemporaries(dirTemp, datTemp);
        return false;
    }
    if (!ReplaceFile(datTemp, dat)) {
        dropTemporaries(dirTemp, datTemp);
        return fail(FileErrorWrite, dat);
    }
    // From here on the pair can only go forward: a .dir temporary left behind is renamed over the
    // .dir by the next recovery.
    if (!reach(SaveStep::PageReplaced) || !ReplaceFile(dirTemp, dir))
        return fail(FileErrorWrite, dir);
    SyncFolder(QFileInfo(dir).absolutePath());
    reach(SaveStep::DirectoryReplaced);
    return true;
}

} // namespace tervane
