#include "base/PageFile.h"

#include "base/DurableFile.h"
#include "base/FileCopy.h"
#include "base/FileErrors.h"
#include "seams/AppPaths.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <memory>

namespace tervane {
namespace {

constexpr qint64 kPageSize = KeyPage::kSize;
// Every writer wants room for a second copy of the file: two pages' worth per page.
constexpr qint64 kRoomPerPage = 2 * kPageSize;

DeletePageHook g_deleteHook;

void reach(DeletePageStep step) {
    if (g_deleteHook)
        g_deleteHook(step);
}

} // namespace

void setDeletePageHook(DeletePageHook hook) {
    g_deleteHook = std::move(hook);
}

std::int64_t pageCount(const QString& pageFile) {
    QFile file(pageFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return -1;
    return file.size() / kPageSize;
}

bool AppendPage(const QString& pageFile, std::int32_t& newPage) {
    newPage = -1;
    if (!EnsureFreeSpace(pageFile, kRoomPerPage))
        return false;
    qint64 count = 0;
    {
        QFile file(pageFile);
        if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
            // Create only when missing: a file that exists but cannot be opened is never emptied.
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
                ReportFileError(FileErrorCreate, pageFile);
                return false;
            }
        }
        count = file.size() / kPageSize;
    }
    // Page numbers are 32-bit; a file this large cannot take one more.
    if (count >= std::numeric_limits<std::int32_t>::max()) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    const auto page = std::make_unique<KeyPage>();
    if (!WritePage(pageFile, std::int32_t(count), *page))
        return false;
    newPage = std::int32_t(count);
    return true;
}

bool ReadPage(const QString& pageFile, std::int32_t n, KeyPage& destination) {
    QFile file(pageFile);
    // Unbuffered, so that the page comes in one read of the whole record.
    if (!file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        ReportFileError(FileErrorOpen, pageFile);
        return false;
    }
    if (n < 0 || !file.seek(qint64(n) * kPageSize)) {
        ReportFileError(FileErrorRead, pageFile);
        return false;
    }
    const auto page = std::make_unique<KeyPage>();
    if (file.read(reinterpret_cast<char*>(page->data()), kPageSize) != kPageSize) {
        ReportFileError(FileErrorRead, pageFile);
        return false;
    }
    file.close();
    destination = *page;
    return true;
}

bool WritePage(const QString& pageFile, std::int32_t n, const KeyPage& source) {
    QFile file(pageFile);
    // Unbuffered, so that the page goes out in one write of the whole record.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        ReportFileError(FileErrorOpen, pageFile);
        return false;
    }
    const qint64 count = file.size() / kPageSize;
    if (!EnsureFreeSpace(pageFile, count * kRoomPerPage))
        return false;
    if (n < 0 || !file.seek(qint64(n) * kPageSize)) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    if (file.write(reinterpret_cast<const char*>(source.data()), kPageSize) != kPageSize) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    return true;
}

bool DeletePage(const QString& pageFile, std::int32_t n) {
    return DeletePages(pageFile, {n});
}

namespace {

// Writes a new page file beside the page file, under a unique name of its own, with what build
// copies into it from the page file (count whole pages), and renames it over the page file: the
// page file is never deleted first, and another instance rebuilding at the same moment never
// meets the new file. build returns a FileError code, 0 when the new file is whole.
bool rebuildPageFile(const QString& pageFile, std::int64_t addedPages,
                     const std::function<int(QFile& source, QFile& rebuilt, qint64 count)>& build) {
    const QString tempFolder = TempFolder();
    if (!QFileInfo(tempFolder).isDir())
        return false;
    QFile source(pageFile);
    if (!source.open(QIODevice::ReadOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        ReportFileError(FileErrorOpen, pageFile);
        return false;
    }
    const qint64 count = source.size() / kPageSize;
    const qint64 room = (count + addedPages) * kRoomPerPage;
    if (!EnsureFreeSpace(tempFolder, room) || !EnsureFreeSpace(pageFile, room))
        return false;

    // One name for every rebuild, so that the cleanup of dead runs knows their leftovers.
    QFile rebuilt;
    if (createUniqueFile(rebuilt, pageFile + QStringLiteral(".deleting")).isEmpty()) {
        ReportFileError(FileErrorCreate, pageFile);
        return false;
    }
    const auto fail = [&](int code) {
        ReportFileError(code, pageFile);
        rebuilt.remove();
        return false;
    };
    if (!keepFileMode(rebuilt, pageFile))
        return fail(FileErrorCreate);
    reach(DeletePageStep::RebuiltCreated);
    if (const int code = build(source, rebuilt, count))
        return fail(code);
    rebuilt.close();
    if (rebuilt.error() != QFileDevice::NoError)
        return fail(FileErrorWrite);
    reach(DeletePageStep::RebuiltWritten);
    // The old page file stays until the new one is complete, so a failure leaves it as it was.
    if (!replaceFile(rebuilt.fileName(), pageFile))
        return fail(FileErrorWrite);
    return true;
}

} // namespace

bool DeletePages(const QString& pageFile, std::vector<std::int32_t> pages) {
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return rebuildPageFile(pageFile, 0, [&](QFile& source, QFile& rebuilt, qint64 count) {
        // The runs of records between the deleted ones, each copied in one go; a trailing partial
        // record is left out.
        qint64 next = 0; // the first record not yet copied or skipped
        for (const std::int32_t page : pages) {
            if (page < next || page >= count)
                continue;
            if (const int code = copyFileBytesCode(source, rebuilt, (page - next) * kPageSize))
                return code;
            next = qint64(page) + 1;
            if (!source.seek(next * kPageSize))
                return int(FileErrorRead);
        }
        return copyFileBytesCode(source, rebuilt, (count - next) * kPageSize);
    });
}

bool InsertPages(const QString& pageFile, const std::vector<std::pair<std::int32_t, const KeyPage*>>& pages) {
    std::vector<std::pair<std::int32_t, const KeyPage*>> ascending = pages;
    std::sort(ascending.begin(), ascending.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < ascending.size(); ++i) {
        // Each page must find its number in the new file: after the pages before it and the
        // records of the old file that fill the gap.
        if (ascending[i].first < 0 || (i > 0 && ascending[i].first == ascending[i - 1].first)) {
            ReportFileError(FileErrorWrite, pageFile);
            return false;
        }
    }
    return rebuildPageFile(pageFile, qint64(ascending.size()), [&](QFile& source, QFile& rebuilt, qint64 count) {
        qint64 copied = 0; // records of the old file already in the new one
        for (std::size_t i = 0; i < ascending.size(); ++i) {
            const qint64 before = ascending[i].first - qint64(i); // old records before this page
            if (before > count)
                return int(FileErrorRead);
            if (const int code = copyFileBytesCode(source, rebuilt, (before - copied) * kPageSize))
                return code;
            copied = before;
            const char* bytes = reinterpret_cast<const char*>(ascending[i].second->data());
            if (rebuilt.write(bytes, kPageSize) != kPageSize)
                return int(FileErrorWrite);
        }
        return copyFileBytesCode(source, rebuilt, (count - copied) * kPageSize);
    });
}

bool TruncatePages(const QString& pageFile, std::int32_t count) {
    QFile file(pageFile);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        ReportFileError(FileErrorOpen, pageFile);
        return false;
    }
    if (count < 0 || file.size() / kPageSize < count || !file.resize(qint64(count) * kPageSize)) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    return true;
}

} // namespace tervane
