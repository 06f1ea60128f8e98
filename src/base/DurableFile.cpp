#include "base/DurableFile.h"

#include <QByteArray>
#include <QDir>

#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tervane {
namespace {

// A save stops between parts for its tests; a part is copied by the system in one call where it
// can, else through a buffer of the program's.
constexpr qint64 kCopyPart = 16 * 1024 * 1024;
constexpr qint64 kBufferSize = 64 * 1024;

enum class CopyWay { Unknown, BySystem, ByProgram };

// Copies [offset, offset + length) of source to the same place in out. The system's own copy
// saves the trip of every byte through this program; where it has none (another file system,
// an old kernel) the first call says so before anything is copied, and the program copies.
bool copyPart(QFile& source, QFile& out, qint64 offset, qint64 length, CopyWay& way, QByteArray& buffer) {
#ifdef Q_OS_LINUX
    if (way != CopyWay::ByProgram) {
        loff_t from = offset;
        loff_t to = offset;
        qint64 left = length;
        while (left > 0) {
            const ssize_t n = ::copy_file_range(source.handle(), &from, out.handle(), &to, size_t(left), 0);
            if (n > 0) {
                left -= n;
                way = CopyWay::BySystem;
            } else if (n == 0) {
                return false; // the source is shorter than it was
            } else if (errno == EINTR) {
                continue;
            } else if (way == CopyWay::Unknown) {
                way = CopyWay::ByProgram;
                break;
            } else {
                return false;
            }
        }
        if (way == CopyWay::BySystem)
            return true;
    }
#else
    way = CopyWay::ByProgram;
#endif
    if (!source.seek(offset) || !out.seek(offset))
        return false;
    buffer.resize(qsizetype(std::min(kBufferSize, length)));
    for (qint64 left = length; left > 0;) {
        const qint64 n = source.read(buffer.data(), std::min<qint64>(buffer.size(), left));
        if (n <= 0 || out.write(buffer.constData(), n) != n)
            return false;
        left -= n;
    }
    return true;
}

} // namespace

bool SyncFile(QFile& file) {
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
#else
    return ::fsync(file.handle()) == 0;
#endif
}

bool CopyOpenFile(QFile& source, const QString& destination, const std::function<bool()>& afterFirstPart) {
    if (!source.seek(0))
        return false;
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const qint64 size = source.size();
    // At least two parts, so that a small file can also be caught half written.
    const qint64 part = std::clamp<qint64>((size + 1) / 2, 1, kCopyPart);
    CopyWay way = CopyWay::Unknown;
    QByteArray buffer;
    qint64 done = 0;
    bool first = true;
    while (done < size) {
        const qint64 length = std::min(part, size - done);
        if (!copyPart(source, out, done, length, way, buffer))
            return false;
        done += length;
        if (first) {
            first = false;
            if (afterFirstPart && (!out.flush() || !afterFirstPart()))
                return false;
        }
    }
    if (size == 0 && afterFirstPart && !afterFirstPart())
        return false;
    if (!SyncFile(out))
        return false;
    out.close();
    return out.error() == QFileDevice::NoError;
}

bool ReplaceFile(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t*>(nativeTo.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

void SyncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

} // namespace tervane
