#include "base/FileLock.h"

#include <QDateTime>
#include <QFileInfo>

namespace tervane {
namespace {

// A lock file younger than this may still be getting its owner's details written into it.
constexpr qint64 kUnfinishedLockAgeMs = 10000;

} // namespace

std::unique_ptr<QLockFile> takeFileLock(const QString& path, int waitMs, QLockFile::LockError* error) {
    auto lock = std::make_unique<QLockFile>(path);
    // Only a dead owner frees a lock, never its age: an editing session may last for days, and a
    // save of a large base for minutes.
    lock->setStaleLockTime(0);
    if (lock->tryLock(waitMs))
        return lock;
    // A lock file without its owner's details was left by a process that died while creating
    // it. Removing it is safe: the system's own lock on the file keeps a living owner's lock.
    qint64 pid = 0;
    QString host, app;
    const QFileInfo info(path);
    if (lock->error() == QLockFile::LockFailedError && !lock->getLockInfo(&pid, &host, &app) &&
        info.lastModified().msecsTo(QDateTime::currentDateTime()) > kUnfinishedLockAgeMs &&
        lock->removeStaleLockFile() && lock->tryLock(0))
        return lock;
    if (error)
        *error = lock->error();
    return nullptr;
}

} // namespace tervane
