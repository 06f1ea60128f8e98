#include "base/FileCopy.h"

#include "base/FileErrors.h"

#include <algorithm>
#include <vector>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <unistd.h>
#endif

namespace tervane {
namespace {
constexpr qint64 kBufferSize = 4 * 1024 * 1024;
} // namespace

CopyResult copyFileBytes(QFileDevice& source, QFileDevice& target, qint64 bytes) {
#ifdef Q_OS_LINUX
    // The target's buffered bytes must reach its file before the system writes behind them.
    if (bytes > 0 && source.handle() >= 0 && target.handle() >= 0 && target.flush()) {
        loff_t in = source.pos();
        loff_t out = target.pos();
        while (bytes > 0) {
            const ssize_t moved = ::copy_file_range(source.handle(), &in, target.handle(), &out,
                                                    size_t(std::min<qint64>(bytes, qint64(1) << 30)), 0);
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved <= 0)
                break;
            bytes -= moved;
        }
        if (!source.seek(in))
            return CopyResult::ReadFailed;
        if (!target.seek(out))
            return CopyResult::WriteFailed;
    }
#endif
    std::vector<char> buffer;
    while (bytes > 0) {
        if (buffer.empty())
            buffer.resize(size_t(std::min(bytes, kBufferSize)));
        const qint64 chunk = std::min<qint64>(bytes, qint64(buffer.size()));
        if (source.read(buffer.data(), chunk) != chunk)
            return CopyResult::ReadFailed;
        if (target.write(buffer.data(), chunk) != chunk)
            return CopyResult::WriteFailed;
        bytes -= chunk;
    }
    return CopyResult::Done;
}

std::int32_t copyFileBytesCode(QFileDevice& source, QFileDevice& target, qint64 bytes) {
    switch (copyFileBytes(source, target, bytes)) {
    case CopyResult::Done:
        return 0;
    case CopyResult::ReadFailed:
        return FileErrorRead;
    case CopyResult::WriteFailed:
        break;
    }
    return FileErrorWrite;
}

} // namespace tervane
