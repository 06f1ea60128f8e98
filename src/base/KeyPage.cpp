#include "base/KeyPage.h"

#include <algorithm>
#include <cstring>

namespace tervane {

static_assert(KeyPage::kSize == 94500);
static_assert(KeyPage::cellOffset(KeyPage::kRows - 1, KeyPage::kKeyColumns - 1) + KeyCell::kSize ==
              KeyPage::kCellAreaSize);

KeyCell KeyPage::cell(int row, int keyColumn) const {
    KeyCell c;
    std::memcpy(c.bytes.data(), m_bytes.data() + cellOffset(row, keyColumn), KeyCell::kSize);
    return c;
}

void KeyPage::setCell(int row, int keyColumn, const KeyCell& cell) {
    std::memcpy(m_bytes.data() + cellOffset(row, keyColumn), cell.bytes.data(), KeyCell::kSize);
}

void KeyPage::clearCell(int row, int keyColumn) {
    std::memset(m_bytes.data() + cellOffset(row, keyColumn), 0, KeyCell::kSize);
}

QByteArray KeyPage::comment(int row) const {
    const std::uint8_t* at = m_bytes.data() + commentOffset(row);
    // A length byte above 128 comes only from a damaged file; never read into the next comment.
    const int length = std::min<int>(at[0], kMaxCommentLength);
    return QByteArray(reinterpret_cast<const char*>(at + 1), length);
}

void KeyPage::setComment(int row, const QByteArray& text) {
    std::uint8_t* at = m_bytes.data() + commentOffset(row);
    const int length = int(std::min<qsizetype>(text.size(), kMaxCommentLength));
    at[0] = std::uint8_t(length);
    std::memcpy(at + 1, text.constData(), size_t(length));
}

bool KeyPage::rowHasContent(int row) const {
    if (hasComment(row))
        return true;
    for (int k = 0; k < kKeyColumns; ++k) {
        if (IsKeyOccupied(cellType(row, k)))
            return true;
    }
    return false;
}

int KeyPage::occupiedCellCount() const {
    int count = 0;
    for (int i = 0; i < kCells; ++i) {
        if (IsKeyOccupied(m_bytes[size_t(i) * KeyCell::kSize]))
            ++count;
    }
    return count;
}

bool KeyPage::isBlank() const {
    for (int row = 0; row < kRows; ++row) {
        if (rowHasContent(row))
            return false;
    }
    return true;
}

} // namespace tervane
