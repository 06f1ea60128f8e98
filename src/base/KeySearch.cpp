#include "base/KeySearch.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/FileErrors.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace tervane {
namespace {

constexpr qint64 kPageSize = KeyPage::kSize;
// Pages read in one transfer: 3 MB, large enough that the calls cost nothing beside the copy,
// small enough that the cells are still in the processor's cache when they are scanned.
constexpr qint64 kBlockPages = 32;

// The hits of the pages in the order the pages are scanned; a page's hits are one run.
struct PageRun {
    std::int32_t page;
    std::size_t first;
    std::size_t end;
};

class PageScan {
public:
    PageScan(const KeyQuery& query, KeySearchResult& result) : m_query(query), m_result(result) {}

    void scan(std::int32_t page, const std::uint8_t* bytes) {
        std::vector<KeyHit>& hits = m_hits;
        const std::size_t first = hits.size();
        int lastRow = -1;
        std::int32_t lastComment = -1;
        for (int cell = 0; cell < KeyPage::kCells; ++cell) {
            const std::uint8_t* at = bytes + std::size_t(cell) * KeyCell::kSize;
            if (!m_query.matches(at))
                continue;
            KeyHit hit;
            hit.row = std::int16_t(cell / KeyPage::kKeyColumns);
            hit.column = std::uint8_t(cell % KeyPage::kKeyColumns);
            std::memcpy(hit.cell.bytes.data(), at, KeyCell::kSize);
            // The row's comment once, however many of its keys match.
            if (hit.row != lastRow) {
                lastRow = hit.row;
                lastComment = -1;
                const std::uint8_t* comment = bytes + KeyPage::commentOffset(hit.row);
                // A length above 128 comes only from a damaged file; never read into the next comment.
                const int length = std::min<int>(comment[0], KeyPage::kMaxCommentLength);
                if (length > 0) {
                    lastComment = std::int32_t(m_result.commentBytes.size());
                    m_result.commentBytes.append(char(length));
                    m_result.commentBytes.append(reinterpret_cast<const char*>(comment + 1), length);
                }
            }
            hit.comment = lastComment;
            hits.push_back(hit);
        }
        if (hits.size() != first)
            m_runs.push_back({page, first, hits.size()});
    }

    // The hits again, each file's after those of the files before it in the tree.
    void collect(const std::vector<KeySearchFile>& files) {
        m_result.hits.reserve(m_hits.size());
        for (std::size_t f = 0; f < files.size(); ++f) {
            const auto run = std::lower_bound(m_runs.begin(), m_runs.end(), files[f].page,
                                              [](const PageRun& r, std::int32_t page) { return r.page < page; });
            if (run == m_runs.end() || run->page != files[f].page)
                continue;
            for (std::size_t i = run->first; i < run->end; ++i) {
                KeyHit hit = m_hits[i];
                hit.file = std::int32_t(f);
                m_result.hits.push_back(hit);
            }
        }
    }

private:
    const KeyQuery& m_query;
    KeySearchResult& m_result;
    std::vector<KeyHit> m_hits;
    std::vector<PageRun> m_runs; // by page, as the pages are scanned in ascending order
};

} // namespace

std::vector<KeySearchFile> keySearchFiles(const BaseTree& tree) {
    std::vector<KeySearchFile> files;
    std::int32_t index = 0;
    for (const BaseNode* node = tree.first(); node; node = tree.next(node), ++index) {
        if (node->isFile())
            files.push_back({index, node->pageNumber, node});
    }
    return files;
}

QStringList nodePath(const BaseNode* node) {
    QStringList names;
    for (; node; node = node->parent)
        names.prepend(fromCp1251(node->text));
    return names;
}

KeySearchResult searchKeys(const KeySearchJob& job, std::stop_token stop, const KeySearchProgress& progress) {
    KeySearchResult result;
    const auto fail = [&](std::int32_t code) {
        result.errorCode = code;
        result.errorPath = job.pageFile;
        result.commentBytes.clear();
        return result;
    };
    QFile file(job.pageFile);
    // Unbuffered: a block comes in one read straight into the buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return fail(FileErrorOpen);
    const qint64 count = file.size() / kPageSize;
    const bool shownKnown = job.shownPage >= 0 && job.shownContent;

    // The pages that files refer to, in file order: the shown one even when it is not written yet.
    std::vector<std::int32_t> pages;
    pages.reserve(job.files.size());
    for (const KeySearchFile& f : job.files) {
        if (f.page >= 0 && (f.page < count || (shownKnown && f.page == job.shownPage)))
            pages.push_back(f.page);
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());

    const auto total = std::int64_t(pages.size());
    if (progress)
        progress(0, total);
    PageScan scan(job.query, result);
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t(kBlockPages * kPageSize));
    std::size_t next = 0;
    while (next < pages.size()) {
        if (stop.stop_requested()) {
            result = {};
            result.cancelled = true;
            return result;
        }
        const qint64 start = pages[next];
        if (start >= count) { // only the shown page lies past the file
            scan.scan(job.shownPage, job.shownContent->data());
            ++next;
            continue;
        }
        const qint64 length = std::min(kBlockPages, count - start);
        if (file.pos() != start * kPageSize && !file.seek(start * kPageSize))
            return fail(FileErrorRead);
        if (file.read(reinterpret_cast<char*>(buffer.get()), length * kPageSize) != length * kPageSize)
            return fail(FileErrorRead);
        for (; next < pages.size() && pages[next] < start + length; ++next) {
            const std::int32_t page = pages[next];
            const std::uint8_t* bytes = shownKnown && page == job.shownPage ? job.shownContent->data()
                                                                            : buffer.get() + (page - start) * kPageSize;
            scan.scan(page, bytes);
        }
        if (progress)
            progress(std::int64_t(next), total);
    }
    scan.collect(job.files);
    return result;
}

} // namespace tervane
