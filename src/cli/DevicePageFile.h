#pragma once

#include <QString>
#include <cstdint>

namespace tervane {

class KeyPage;

// False, with "Create file error" shown, for a page file marked read-only: it stays as it is,
// as a copy over it would fail.
bool checkPageFileWritable(const QString& pageFile);

// Puts a downloaded page into page n of a page file that already holds it. The file is replaced
// whole by a copy with that one page changed, so a crash or a full disk leaves the old file as it
// was; the copy keeps the old file's mode, owner and group. Reports its own failures
// (ReportFileError, EnsureFreeSpace) and returns false.
bool writeDownloadedPage(const QString& pageFile, std::int32_t n, const KeyPage& page);

} // namespace tervane
