#include "grid/SelectionWalk.h"

#include "base/KeyPage.h"
#include "keys/KeyCell.h"

#include <algorithm>
#include <utility>

namespace tervane {

SelectionWalk::SelectionWalk(const GridSelection& selection, RowTranslation pageRowOfGridRow)
    : m_translate(std::move(pageRowOfGridRow)) {
    // Grid rows 1..500 are data rows 0..499; grid columns 1..6 are key columns 0..5.
    const int top = std::min(selection.top, selection.bottom);
    const int bottom = std::max(selection.top, selection.bottom);
    const int left = std::min(selection.left, selection.right);
    const int right = std::max(selection.left, selection.right);
    m_firstRow = std::max(top, 1) - 1;
    m_lastRow = std::min(bottom, KeyPage::kRows) - 1;
    m_firstColumn = std::max(left, GridColumn::FirstKey) - GridColumn::FirstKey;
    m_lastColumn = std::min(right, GridColumn::LastKey) - GridColumn::FirstKey;
}

bool SelectionWalk::contains(const WalkPosition& cursor) const {
    return cursor.row >= m_firstRow && cursor.row <= m_lastRow && cursor.column >= m_firstColumn &&
           cursor.column <= m_lastColumn;
}

WalkPosition SelectionWalk::after(const WalkPosition& cursor) const {
    if (cursor.column >= m_lastColumn)
        return {cursor.row + 1, m_firstColumn};
    return {cursor.row, cursor.column + 1};
}

int SelectionWalk::pageRow(const WalkPosition& cursor) const {
    if (!contains(cursor) || !m_translate)
        return -1;
    const int row = m_translate(cursor.row + 1);
    return row >= 0 && row < KeyPage::kRows ? row : -1;
}

std::optional<WalkPosition> SelectionWalk::seek(WalkPosition from,
                                                const std::function<bool(int pageRow, int column)>& accepts) const {
    if (isEmpty())
        return std::nullopt;
    // A cursor left of the walk's columns (or above its rows) starts at the walk's first cell.
    if (from.row < m_firstRow)
        from = start();
    if (from.column < m_firstColumn)
        from.column = m_firstColumn;
    if (from.column > m_lastColumn)
        from = {from.row + 1, m_firstColumn};
    for (WalkPosition at = from; at.row <= m_lastRow; at = after(at)) {
        const int row = pageRow(at);
        if (row < 0) {
            // A row without a page row is passed over whole.
            at.column = m_lastColumn;
            continue;
        }
        if (!accepts || accepts(row, at.column))
            return at;
    }
    return std::nullopt;
}

bool SelectionWalk::holdsKey(const KeyPage& page) const {
    return seek(start(), [&page](int pageRow, int column) { return IsKeyOccupied(page.cellType(pageRow, column)); })
        .has_value();
}

} // namespace tervane
