// Any bytes as a VIZIT_DM file, read as one of the four key types: a page is made exactly when
// there are 9604 bytes or more, and then every cell is the one its slot makes (empty for an empty
// slot), rows past slot 2400 stay empty and no row has a comment. Bytes after the slots change
// nothing. A failed read leaves the page as it was.
#include "FuzzCheck.h"

#include "base/KeyPage.h"
#include "base/VizitImport.h"
#include "keys/DallasCrc.h"

#include <QByteArrayView>
#include <array>
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

// The Dallas check sum byte by byte, each step from the check sum of one byte on its own, rather
// than through the reader's own tables.
const std::array<std::uint8_t, 256> kCrcTable = [] {
    std::array<std::uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        const auto byte = std::uint8_t(value);
        table[byte] = DallasCrc8(&byte, 1);
    }
    return table;
}();

// The cell a slot must give, written out from the layout rather than through the reader.
TERVANE_FUZZ_NO_COVERAGE void expectedCell(VizitKeyType type, const std::uint8_t* slot, std::uint8_t* cell) {
    std::memset(cell, 0, KeyCell::kSize);
    if (slot[0] == 0xFF && slot[1] == 0xFF && slot[2] == 0xFF)
        return;
    cell[0] = std::uint8_t(type);
    cell[2] = 1;
    cell[3] = slot[0];
    cell[4] = slot[1];
    cell[5] = slot[2];
    if (type == VizitKeyType::Em410x) {
        cell[8] = 6;
        return;
    }
    std::uint8_t crc = 0;
    for (int at = 2; at < 9; ++at)
        crc = kCrcTable[crc ^ cell[at]];
    cell[9] = crc;
}

// The whole page the slots must give: keys where the slots say, every other byte zero (no
// comments, rows past slot 2400 empty). Only the slots' cells are written each run: the rest of
// the page stays zero from the start. The oracle is left out of the coverage, so that the
// fuzzer's time goes to the reader.
TERVANE_FUZZ_NO_COVERAGE const KeyPage& expectedPage(VizitKeyType type, const std::uint8_t* data) {
    static KeyPage expected;
    for (int slot = 0; slot < kVizitSlotCount; ++slot)
        expectedCell(type, data + slot * kVizitSlotSize, expected.data() + slot * KeyCell::kSize);
    return expected;
}

} // namespace

// A run allocates only libFuzzer's copy of the input; 32 MB of freed memory held back still
// spans thousands of runs for catching a use after free, where the default 256 MB kept the
// process walking through fresh pages.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

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
