// Any bytes as a VIZIT_DM file, read as each of the four key types: a page is made exactly when
// there are 9604 bytes or more, and then every cell is the one its slot makes (empty for an empty
// slot), rows past slot 2400 stay empty and no row has a comment. Bytes after the slots change
// nothing. A failed read leaves the page as it was.
#include "FuzzCheck.h"

#include "base/KeyPage.h"
#include "base/VizitImport.h"
#include "keys/DallasCrc.h"

#include <QByteArrayView>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

using namespace tervane;
using tervane::fuzz::Check;

namespace {

constexpr VizitKeyType kTypes[] = {VizitKeyType::Dallas, VizitKeyType::Tm2002, VizitKeyType::Cyfral,
                                   VizitKeyType::Em410x};

// The cell a slot must give, written out from the layout rather than through the reader.
KeyCell expectedCell(VizitKeyType type, const std::uint8_t* slot) {
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto page = std::make_unique<KeyPage>();
    for (const VizitKeyType type : kTypes) {
        // A page of stray bytes: a read must replace all of it or none of it.
        std::memset(page->data(), 0xA5, KeyPage::kSize);
        const bool read = readVizitPage(bytes, type, *page);
        Check(read == (size >= std::size_t(kVizitFileSize)));
        if (!read) {
            for (int i = 0; i < KeyPage::kSize; ++i)
                Check(page->data()[i] == 0xA5);
            continue;
        }
        for (int row = 0; row < KeyPage::kRows; ++row) {
            Check(!page->hasComment(row));
            for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
                const int slot = row * KeyPage::kKeyColumns + column;
                const KeyCell expected =
                    slot < kVizitSlotCount ? expectedCell(type, data + slot * kVizitSlotSize) : KeyCell();
                Check(page->cell(row, column).bytes == expected.bytes);
            }
        }
        Check(std::all_of(page->data() + KeyPage::kCellAreaSize, page->data() + KeyPage::kSize,
                          [](std::uint8_t b) { return b == 0; }));
    }
    return 0;
}
