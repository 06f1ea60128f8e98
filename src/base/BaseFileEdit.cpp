#include "base/BaseFileEdit.h"

#include "base/BaseSave.h"
#include "base/FileErrors.h"
#include "base/WorkingFiles.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <memory>

namespace tervane {

bool editBaseFiles(const QString& base, const std::function<bool(BaseTree& tree, const QString& pageFile)>& edit) {
    bool busy = false;
    const std::unique_ptr<QLockFile> baseLock = lockBase(base, busy);
    if (busy) {
        ReportFileError(FileErrorOpen, QDir::toNativeSeparators(base + QStringLiteral(".dir")));
        return false;
    }
    if (baseLock && !recoverInterruptedSaveLocked(base))
        return false;
    BaseTree tree;
    QString working;
    std::unique_ptr<QLockFile> workingLock;
    if (!OpenWorkingCopyLocked(base, tree, working, workingLock))
        return false;
    const bool done = edit(tree, working + QStringLiteral(".dat")) && SaveWorkingCopyToLocked(working, base, tree);
    // Scratch only: a copy left behind is cleaned up by the editor's next exit, so it is no error.
    QFile::remove(working + QStringLiteral(".dir"));
    QFile::remove(working + QStringLiteral(".dat"));
    return done;
}

} // namespace tervane
