#include "cli/DevicePageFile.h"

#include "base/DurableFile.h"
#include "base/FileCopy.h"
#include "base/FileErrors.h"
#include "base/KeyPage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tervane {

bool checkPageFileWritable(const QString& pageFile) {
    // A page file marked read-only stays as it is, as a copy over it would fail.
    if (!isReadOnlyFile(pageFile))
        return true;
    ReportFileError(FileErrorCreate, pageFile);
    return false;
}

bool writeDownloadedPage(const QString& pageFile, std::int32_t n, const KeyPage& page) {
    if (!checkPageFileWritable(pageFile))
        return false;
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
    // The new file is open to the same people as the old one.
    if (!keepFileMode(target, pageFile)) {
        target.cancelWriting();
        ReportFileError(FileErrorCreate, pageFile);
        return false;
    }
    const auto fail = [&](int code) {
        target.cancelWriting();
        ReportFileError(code, pageFile);
        return false;
    };
    if (const int code = copyFileBytesCode(source, target, offset))
        return fail(code);
    if (target.write(reinterpret_cast<const char*>(page.data()), KeyPage::kSize) != KeyPage::kSize)
        return fail(FileErrorWrite);
    // Everything after the page, a trailing partial record included, is kept as it was.
    if (!source.seek(offset + KeyPage::kSize))
        return fail(FileErrorRead);
    if (const int code = copyFileBytesCode(source, target, size - offset - KeyPage::kSize))
        return fail(code);
    if (!target.commit()) {
        ReportFileError(FileErrorWrite, pageFile);
        return false;
    }
    syncFolder(QFileInfo(pageFile).absolutePath());
    return true;
}

} // namespace tervane
