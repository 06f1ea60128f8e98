#pragma once

#include "base/KeyPage.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace tervane {

// The page file (".dat") of a key base: KeyPage records with no header. Page n starts at byte
// n * 94500; a trailing partial record does not count. Every operation reports its own
// failures (ReportFileError, EnsureFreeSpace) and returns false.

// Whole pages in the file, or -1 when it cannot be read.
std::int64_t pageCount(const QString& pageFile);

// Appends a zero page; creates the file when missing. Its number goes to newPage.
bool AppendPage(const QString& pageFile, std::int32_t& newPage);
// Reads page n; destination is untouched on failure.
bool ReadPage(const QString& pageFile, std::int32_t n, KeyPage& destination);
// Writes page n; n = page count appends a page.
bool WritePage(const QString& pageFile, std::int32_t n, const KeyPage& source);
// Rebuilds the file without page n in a new file of a unique name beside it, "<page file>.deleting-"
// and a random part, and renames that over the page file: the page file is never deleted first.
// False without a message when the temporary folder is missing.
bool DeletePage(const QString& pageFile, std::int32_t n);
// The same for several pages in one rebuild, so that deleting a folder of files copies the file
// once: the file stays as it was or loses them all. The order of pages does not matter; numbers
// outside the file and repeats are skipped.
bool DeletePages(const QString& pageFile, std::vector<std::int32_t> pages);
// The reverse in one rebuild: each page gets its number, the pages that were there and after it
// move up. False (the error shown) when a number is negative, repeated or past the file's end
// with the pages before it.
bool InsertPages(const QString& pageFile, const std::vector<std::pair<std::int32_t, const KeyPage*>>& pages);
// Cuts the file to its first count pages. False, with the error shown, when it holds fewer.
bool TruncatePages(const QString& pageFile, std::int32_t count);

// The points of DeletePage at which a test holds it, to meet another instance there.
enum class DeletePageStep : int {
    RebuiltCreated = 1, // the rebuilt file exists and is still empty
    RebuiltWritten,     // the rebuilt file is whole; the page file is not replaced yet
};
using DeletePageHook = std::function<void(DeletePageStep)>;
void setDeletePageHook(DeletePageHook hook);

} // namespace tervane
