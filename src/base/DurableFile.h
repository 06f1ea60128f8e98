#pragma once

#include <QFile>
#include <QString>
#include <functional>

namespace tervane {

// Plain file steps that survive a crash or a power cut: data reaches the disk before a file is
// trusted, and a file is replaced by one rename. Nothing here shows a message.

// Flushes Qt's buffer and the system's cache of an open file to the disk.
bool SyncFile(QFile& file);

// Copies the open source, from its start, into destination (created or truncated) and syncs
// it. afterFirstPart runs once the first part is on disk; returning false fails the copy there.
// A failed copy may leave a partial destination behind.
bool CopyOpenFile(QFile& source, const QString& destination, const std::function<bool()>& afterFirstPart = {});

// Renames from over to in one step: readers see the old file or the new one, never neither.
bool ReplaceFile(const QString& from, const QString& to);

// Makes the folder's entries (a rename, a new file) durable; a no-op where the system has no
// such call.
void SyncFolder(const QString& folder);

} // namespace tervane
