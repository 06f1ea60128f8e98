#pragma once

#include "base/BaseTree.h"

#include <QLockFile>
#include <QString>
#include <memory>

namespace tervane {

// The working copy of an open key base: "rdb_temp_<n>.dir" and ".dat" in the temporary folder,
// next to "rdb_temp_<n>.lck", the lock its instance holds while the copy is in use. Paths use
// "/" inside the program; messages show the system's separators.

// Drops the last 4 characters of a name longer than 4: a chosen "shop.dir" gives the base "shop".
QString StripExtension(const QString& fileName);
// The file-name part of a base path, as the window caption shows it.
QString baseDisplayName(const QString& base);
QString workingLockPath(const QString& workingBase);

// Takes the lock of a working base. A lock held by a running instance is refused; one left by a
// dead process is taken over.
std::unique_ptr<QLockFile> takeWorkingLock(const QString& workingBase);

// The first "rdb_temp_<n>" (n = 0 … 100000) in the temporary folder that has no .dir, no .dat
// and no held lock, with its lock taken into lock. The folder is created when missing. Empty
// when none is free or the folder cannot be made; no message.
QString NewWorkingBaseName(std::unique_ptr<QLockFile>& lock);

// Creates or truncates an empty file. Failures: free space, -3.
bool CreateEmptyFile(const QString& path);
// Copies source over destination. Failures: -4 with source, free space (2 × size), -3 with
// destination.
bool CopyFileChecked(const QString& source, const QString& destination);
// Deletes base's .dir and then its .dat; a file already gone counts as deleted. -5 on failure.
bool DeleteBaseFiles(const QString& base);

// An empty working copy: a header-only .dir of the cleared tree and an empty .dat.
bool CreateWorkingBase(BaseTree& tree, QString& workingBase, std::unique_ptr<QLockFile>& lock);
// Copies a user's base into a new working copy and loads its tree, holding the base's lock
// meanwhile; an interrupted save of the base is settled first. When another instance's save
// keeps the lock past the wait, -4 names the .dir. On failure no working copy is left.
bool OpenWorkingCopy(const QString& userBase, BaseTree& tree, QString& workingBase, std::unique_ptr<QLockFile>& lock);
// The same for a caller that already holds the base's lock (or could make none) and has settled
// its interrupted saves.
bool OpenWorkingCopyLocked(const QString& userBase, BaseTree& tree, QString& workingBase,
                           std::unique_ptr<QLockFile>& lock);

// Deletes the working files ("rdb_temp_*") in the temporary folder whose lock no running
// instance holds: working copies left by earlier runs. The caller releases its own lock first
// to have its own copy deleted too.
void CleanupWorkingFiles();

} // namespace tervane
