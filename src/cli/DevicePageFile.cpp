#include "cli/DevicePageFile.h"

#include "base/DurableFile.h"
#include "base/FileErrors.h"
#include "base/KeyPage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace tervane {
namespace {

constexpr qint64 kCopyChunk = 32 * qint64(KeyPage::kSize);

// Copies bytes from source's position to target; 0, or the file error of the side that failed.
int copyBytes(QFile& source, QSaveFile& target, qint64 bytes, std::vector<char>& buffer) {
    while (bytes > 0) {
        const qint64 chunk = std::min<qint64>(bytes, qint64(buffer.size()));
        if (source.read(buffer.data(), chunk) != chunk)
            return FileErrorRead;
        if (target.write(buffer.data(), chunk) != chunk)
            return FileErrorWrite;
        bytes -= chunk;
    }
    return 0;
}

} // namespace

bool WriteDownloadedPage(const QString& pageFile, std::int32_t n, const KeyPage& page) {
    QFile source(pageFile);
    if (!source.open(QIODevice::ReadOnly | QIODevice::ExistingOnly)) {
        ReportFileError(FileErrorOpen, pageFile);
        return false;
    }
    const qint64 size = source.size();
    const qint64 offset = qint64(n) * KeyPage::kSize;
    if (n < 0 || offset + KeyPage::kSize > size) {
        ReportFileError(FileErrorRead, pageFile);
        return false;
    }
    // The copy stands beside the old file until it replaces it.
    if (!EnsureFreeSpace(pageFile, size))
        return false;

    QSaveFile target(pageFile);
    if (!target.open(QIODevice::WriteOnly)) {
        ReportFileError(FileErrorCreate, pageFile);
        return false;
    }
    std::vector<char> buffer(static_cast<size_t>(std::min(kCopyChunk, std::max<qint64>(size, 1))));
    const auto fail = [&](int code) {
        target.cancelWriting();
        ReportFileError(code, pageFile);
        return false;
    };
    if (const int code = copyBytes(source, target, offset, buffer))
        return fail(code);
    if (target.write(reinterpret_cast<const char*>(page.data()), KeyPage::kSize) != KeyPage::kSize)
        return fail(FileErrorWrite);
    // Everything after the page, a trailing partial record included, is kept as it was.
    if (!source.seek(offset + KeyPage::kSize))
        return fail(FileErrorRead);
    if (const int code = copyBytes(source, target, size - offset - KeyPage::kSize, buffer))
        return fail(code);
    if (!target.commit()) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    SyncFolder(QFileInfo(pageFile).absolutePath());
    return true;
}

} // namespace tervane
