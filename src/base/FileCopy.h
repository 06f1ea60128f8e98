#pragma once

#include <QFileDevice>

#include <cstdint>

namespace tervane {

enum class CopyResult { Done, ReadFailed, WriteFailed };

// Copies bytes from source's position to target's position and leaves both just past them.
// The system copies by itself where it can (no trip of every byte through the program); where it
// cannot (another file system, an old kernel), or when it stumbles, the rest goes through a
// buffer, which also tells a failed read (the source ending early included) from a failed write.
CopyResult copyFileBytes(QFileDevice& source, QFileDevice& target, qint64 bytes);
// The same with the outcome as a file error code: 0, -1 (read) or -2 (write).
std::int32_t copyFileBytesCode(QFileDevice& source, QFileDevice& target, qint64 bytes);

} // namespace tervane
