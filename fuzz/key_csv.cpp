// Any bytes as a CSV file of keys, imported into a base of three pages: the records read are
// written again and read back as the same fields; an import that is taken names only cells and
// rows inside the page file's pages, and the pages it makes, written out, import again with the
// same changes. A refused import names a line of the file and keeps nothing.
#include "FuzzCheck.h"

#include "base/KeyCsv.h"
#include "base/KeyPage.h"

#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using namespace tervane;
using tervane::fuzz::Check;

namespace {

constexpr std::int32_t kPages = 3;

KeyCsvTarget target() {
    KeyCsvTarget t;
    t.pageCount = kPages;
    t.paths = {{0, QStringLiteral("a")}, {2, QStringLiteral("b/c")}};
    return t;
}

void checkRecordsRoundTrip(QByteArrayView bytes) {
    std::vector<CsvRecord> records;
    CsvReadError error;
    if (!readCsvRecords(bytes, records, error)) {
        Check(error.line >= 1 && !error.reason.isEmpty());
        return;
    }
    QByteArray written;
    for (const CsvRecord& r : records)
        written += csvRecord(r.fields);
    std::vector<CsvRecord> again;
    Check(readCsvRecords(written, again, error));
    Check(again.size() == records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        Check(again[i].fields == records[i].fields);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRecordsRoundTrip(bytes);

    KeyCsvImport imported;
    CsvReadError error;
    if (!readKeyCsv(bytes, target(), imported, error)) {
        Check(error.line >= 1 && !error.reason.isEmpty());
        Check(imported.pages.empty() && imported.cells == 0 && imported.comments == 0);
        return 0;
    }
    std::vector<std::unique_ptr<KeyPage>> pages;
    std::vector<KeyCsvPage> listed;
    for (const auto& [page, edits] : imported.pages) {
        Check(page >= 0 && page < kPages);
        for (const PageEdits::Cell& c : edits.cells)
            Check(c.row >= 0 && c.row < KeyPage::kRows && c.keyColumn >= 0 && c.keyColumn < KeyPage::kKeyColumns);
        for (const PageEdits::Comment& c : edits.comments)
            Check(c.row >= 0 && c.row < KeyPage::kRows && c.text.size() <= KeyPage::kMaxCommentLength);
        pages.push_back(std::make_unique<KeyPage>());
        edits.applyTo(*pages.back());
        listed.push_back({page, target().paths.count(page) ? target().paths.at(page) : QString()});
    }
    QByteArray written;
    std::size_t next = 0;
    Check(writeKeyCsv(listed, size % 2 == 0, written, [&](std::int32_t, KeyPage& into) {
        into = *pages[next++];
        return true;
    }));
    KeyCsvImport again;
    Check(readKeyCsv(written, target(), again, error));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        auto rebuilt = std::make_unique<KeyPage>();
        again.pages[listed[i].page].applyTo(*rebuilt);
        Check(*rebuilt == *pages[i]);
    }
    return 0;
}
