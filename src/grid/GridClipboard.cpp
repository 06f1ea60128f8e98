#include "grid/GridClipboard.h"

#include <algorithm>

namespace tervane {
namespace {

// The selection as the loops walk it: in order and inside the grid's data cells, so that no
// selection can address a slot outside the page or the block.
struct Span {
    int top;
    int bottom;
    int left;
    int right;
};

Span spanOf(const GridSelection& s) {
    auto row = [](int r) { return std::clamp(r, 1, KeyPage::kRows); };
    auto column = [](int c) { return std::clamp(c, int(GridColumn::FirstKey), int(GridColumn::Comment)); };
    return {row(std::min(s.top, s.bottom)), row(std::max(s.top, s.bottom)), column(std::min(s.left, s.right)),
            column(std::max(s.left, s.right))};
}

int pageRowOf(const GridClipboard::RowTranslation& translate, int gridRow) {
    if (!translate || gridRow < 1 || gridRow > KeyPage::kRows)
        return -1;
    const int row = translate(gridRow);
    return row >= 0 && row < KeyPage::kRows ? row : -1;
}

constexpr int keyColumnOf(int gridColumn) {
    return gridColumn - GridColumn::FirstKey;
}

} // namespace

void GridClipboard::copy(const KeyPage& page, const GridSelection& selection, const RowTranslation& translate) {
    const Span s = spanOf(selection);
    m_block.clear();
    m_lastRow = -1;
    for (int y = s.top; y <= s.bottom; ++y) {
        ++m_lastRow;
        const int row = pageRowOf(translate, y);
        if (row < 0)
            continue; // copied as an empty row
        for (int x = s.left; x <= s.right; ++x) {
            if (x == GridColumn::Comment)
                m_block.setComment(m_lastRow, page.comment(row));
            else
                m_block.setCell(m_lastRow, x - s.left, page.cell(row, keyColumnOf(x)));
        }
    }
    m_columns = s.right - s.left + 1;
}

std::unique_ptr<KeyPage> GridClipboard::cut(const KeyPage& page, const GridSelection& selection,
                                            const RowTranslation& translate) {
    copy(page, selection, translate);
    return clear(page, selection, translate);
}

std::unique_ptr<KeyPage> GridClipboard::paste(const KeyPage& page, int top, int left,
                                              const RowTranslation& translate) const {
    if (!isFilled() || m_lastRow < 0)
        return nullptr;
    top = std::max(top, 1);
    left = std::max(left, int(GridColumn::FirstKey));
    std::unique_ptr<KeyPage> edited;
    for (int r = 0; r <= m_lastRow && top + r <= KeyPage::kRows; ++r) {
        const int row = pageRowOf(translate, top + r);
        if (row < 0)
            continue;
        for (int b = 0; b < m_columns && left + b <= GridColumn::Comment; ++b) {
            if (!edited)
                edited = std::make_unique<KeyPage>(page);
            const int x = left + b;
            if (x == GridColumn::Comment) {
                // The row's comment, whichever block column lands here; an empty one keeps the
                // target's.
                if (m_block.hasComment(r))
                    edited->setComment(row, m_block.comment(r));
            } else {
                edited->setCell(row, keyColumnOf(x), m_block.cell(r, b));
            }
        }
    }
    return edited;
}

std::unique_ptr<KeyPage> GridClipboard::clear(const KeyPage& page, const GridSelection& selection,
                                              const RowTranslation& translate) {
    const Span s = spanOf(selection);
    std::unique_ptr<KeyPage> edited;
    for (int y = s.top; y <= s.bottom; ++y) {
        const int row = pageRowOf(translate, y);
        if (row < 0)
            continue;
        if (!edited)
            edited = std::make_unique<KeyPage>(page);
        for (int x = s.left; x <= s.right; ++x) {
            if (x == GridColumn::Comment)
                edited->clearComment(row);
            else
                edited->clearCell(row, keyColumnOf(x));
        }
    }
    return edited;
}

} // namespace tervane
