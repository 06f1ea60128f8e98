#pragma once

#include <QFile>
#include <QString>
#include <functional>

namespace tervane {

// Plain file steps that survive a crash or a power cut: data reaches the disk before a file is
// trusted, and a file is replaced by one rename. Nothing here shows a message.

// Flushes Qt's buffer and the system's cache of an open file to the disk.
bool syncFile(QFile& file);

// Copies the open source, from its start, into destination (created or truncated) and syncs
// it. afterFirstPart runs once the first part is on disk; returning false fails the copy there.
// A failed copy may leave a partial destination behind.
bool copyOpenFile(QFile& source, const QString& destination, const std::function<bool()>& afterFirstPart = {});
// The same into a file that is open for writing: it is written from its start, cut to the
// source's size and synced, and stays open.
bool copyOpenFileInto(QFile& source, QFile& target, const std::function<bool()>& afterFirstPart = {});

// Creates the new file prefix + "-" + a random part and opens it for writing. A name that is
// taken is never opened: its file may be another process's. The random part, or an empty
// string when no file could be created.
QString createUniqueFile(QFile& file, const QString& prefix);

// Gives the open file the permission bits of the file at model exactly, and its owner and group
// where the system lets us, so that a replacement is open to the same people as the file it
// replaces. False when the bits could not be set.
bool keepFileMode(QFileDevice& file, const QString& model);

// A file marked read-only: no owner write bit, or not writable by this user. The mark counts for
// a user whom the system would let write anyway, root included.
bool isReadOnlyFile(const QString& path);
// Whether this user may create files in folder.
bool canCreateFilesIn(const QString& folder);

// Takes the system's exclusive lock on an open file, waiting up to waitMs for another process
// that holds it. True without a lock where the system has none.
bool lockOpenFile(QFileDevice& file, int waitMs);

// Renames from over to in one step: readers see the old file or the new one, never neither.
bool replaceFile(const QString& from, const QString& to);

// Gives the file at existing the second name newName (a hard link), which must not exist yet.
// False, with alreadyTaken set when newName exists, where the name was not made: the file system
// may have no links.
bool linkFile(const QString& existing, const QString& newName, bool* alreadyTaken = nullptr);

// Makes the folder's entries (a rename, a new file) durable; a no-op where the system has no
// such call.
void syncFolder(const QString& folder);

} // namespace tervane
