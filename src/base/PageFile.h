#pragma once

#include "base/KeyPage.h"

#include <QString>
#include <cstdint>

namespace tervane {

// The page file (".dat") of a key base: KeyPage records with no header. Page n starts at byte
// n * 94500; a trailing partial record does not count. Every operation reports its own
// failures (ReportFileError, EnsureFreeSpace) and returns false.

// Whole pages in the file, or -1 when it cannot be read.
std::int64_t PageCount(const QString& pageFile);

// Appends a zero page; creates the file when missing. Its number goes to newPage.
bool AppendPage(const QString& pageFile, std::int32_t& newPage);
// Reads page n; destination is untouched on failure.
bool ReadPage(const QString& pageFile, std::int32_t n, KeyPage& destination);
// Writes page n; n = page count appends a page.
bool WritePage(const QString& pageFile, std::int32_t n, const KeyPage& source);
// Rebuilds the file without page n through "$$del_tmp$$0x0x0" in the temporary folder, and
// renames the rebuilt file over the page file: the page file is never deleted first.
bool DeletePage(const QString& pageFile, std::int32_t n);

} // namespace tervane
