#pragma once

#include "base/BaseTree.h"
#include "base/DirectoryRecord.h"

#include <QString>

class QIODevice;

namespace tervane {

// The directory file (".dir") of a key base: a 273-byte header record ("Data Base", version
// 100, the selected node's pre-order position) and one 273-byte record per node in pre-order.
constexpr int kDirectoryRecordSize = DirectoryRecord::kSize;
constexpr int kDirectoryVersion = DirectoryRecord::kVersion;

// Writes the whole tree. Records are built in one reused buffer, so a name's unused bytes keep
// what a previous, longer name (or the header's "Data Base") left in them, as every writer of
// this format does. The file is replaced whole, so a failed save leaves the old one. Failures:
// free space (asked by EnsureFreeSpace), -4 open, -2 write.
bool SaveDirectory(const QString& path, const BaseTree& tree);

// Appends the file's nodes to tree (callers clear it first), restores expansion and the
// selection. Failures: -4 open, -1 read, -7 version, -8 signature; the nodes added so far stay.
// A record more than one level deeper than the node before it adds no node: its icons, page and
// expansion go to that previous node, so damaged files from older writers still open.
bool LoadDirectory(const QString& path, BaseTree& tree);

// The two above without the file: the records from the device's position to its end (a file or
// a buffer, not a stream), errors reported against name; and every record written to the device,
// false when a write falls short (reported by nobody: the caller knows where they went).
bool LoadDirectory(QIODevice& device, const QString& name, BaseTree& tree);
bool SaveDirectory(QIODevice& device, const BaseTree& tree);

} // namespace tervane
