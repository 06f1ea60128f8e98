// Any bytes as a VIZIT_DM file, read as one of the four key types: a page is made exactly when
// there are 9604 bytes or more, and then every cell is the one its slot makes (empty for an empty
// slot), rows past slot 2400 stay empty and no row has a comment. Bytes after the slots change
// nothing. A failed read leaves the page as it was.
#include "FuzzCheck.h"

#include "base/KeyPage.h"
#include "base/VizitImport.h"
#include "keys/DallasCrc.h"

#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

using namespace tervane;
using tervane::fuzz::Check;

namespace {

constexpr VizitKeyType kTypes[] = {VizitKeyType::Dallas, VizitKeyType::Tm2002, VizitKeyType::Cyfral,
                                   VizitKeyType::Em410x};

// The cell a slot must give, written out from the layout rather than through the reader.
TERVANE_FUZZ_NO_COVERAGE KeyCell expectedCell(VizitKeyType type, const std::uint8_t* slot) {
    KeyCell cell;
    if (slot[0] == 0xFF && slot[1] == 0xFF && slot[2] == 0xFF)
        return cell;
    cell.bytes[0] = std::uint8_t(type);
    cell.bytes[2] = 1;
    cell.bytes[3] = slot[0];
    cell.bytes[4] = slot[1];
    cell.bytes[5] = slot[2];
    if (type == VizitKeyType::Em410x)
        cell.bytes[8] = 6;
    else
        cell.bytes[9] = DallasCrc8(cell.bytes.data() + 2, 7);
    return cell;
}

// The whole page the slots must give: keys where the slots say, every other byte zero (no
// comments, rows past slot 2400 empty). The oracle's own loops are left out of the coverage, so
// that the fuzzer's time goes to the reader.
TERVANE_FUZZ_NO_COVERAGE const KeyPage& expectedPage(VizitKeyType type, const std::uint8_t* data) {
    static KeyPage expected;
    std::memset(expected.data(), 0, KeyPage::kSize);
    for (int slot = 0; slot < kVizitSlotCount; ++slot)
        expected.setCell(slot / KeyPage::kKeyColumns, slot % KeyPage::kKeyColumns,
                         expectedCell(type, data + slot * kVizitSlotSize));
    return expected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One key type per run, picked by the length (the bytes after the slots change nothing), so
    // that a run costs one page and every type is still reached.
    const VizitKeyType type = kTypes[size % std::size(kTypes)];
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    static KeyPage page;
    static const std::vector<std::uint8_t> stray(KeyPage::kSize, 0xA5);
    // A page of stray bytes: a read must replace all of it or none of it.
    std::memcpy(page.data(), stray.data(), KeyPage::kSize);
    const bool read = readVizitPage(bytes, type, page);
    Check(read == (size >= std::size_t(kVizitFileSize)));
    if (!read) {
        Check(std::memcmp(page.data(), stray.data(), KeyPage::kSize) == 0);
        return 0;
    }
    Check(std::memcmp(page.data(), expectedPage(type, data).data(), KeyPage::kSize) == 0);
    return 0;
}
