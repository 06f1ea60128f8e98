#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace tervane {

// Takes the lock file at path for this process. A lock that a running process holds is waited
// for up to waitMs and then refused; one left by a dead process is taken over, whatever its age.
// Null when the lock was not taken; error, when given, tells why (LockFailedError: another
// process holds it; PermissionError: no lock file can be made there).
std::unique_ptr<QLockFile> takeFileLock(const QString& path, int waitMs, QLockFile::LockError* error = nullptr);

} // namespace tervane
