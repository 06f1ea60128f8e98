#pragma once

#include "grid/GridSelection.h"

#include <functional>
#include <optional>

namespace tervane {

class KeyPage;

// A position on the walk: a grid data row (grid row - 1) and a key column 0..5.
struct WalkPosition {
    int row = 0;
    int column = 0;
    bool operator==(const WalkPosition&) const = default;
};

// The selected key cells in page coordinates, in the order the operation dialog visits them: left
// to right along a row, then the next row from the left again. Rows without a page row behind
// them (below the short view's last row) are passed over. Only key columns are walked: a selection that
// reaches into the comment column is clipped to the key columns, and one that lies in the
// comment column alone has no cells.
class SelectionWalk {
public:
    using RowTranslation = std::function<int(int gridRow)>;

    SelectionWalk(const GridSelection& selection, RowTranslation pageRowOfGridRow);

    bool isEmpty() const { return m_firstRow > m_lastRow || m_firstColumn > m_lastColumn; }
    WalkPosition start() const { return {m_firstRow, m_firstColumn}; }
    bool contains(const WalkPosition& cursor) const;
    // One step along the walk; past the last cell the result is no longer contained.
    WalkPosition after(const WalkPosition& cursor) const;
    // The page row behind the cursor's row, -1 when there is none.
    int pageRow(const WalkPosition& cursor) const;

    // The first cell at or after from whose row has a page row and that accepts(pageRow, column).
    std::optional<WalkPosition> seek(WalkPosition from,
                                     const std::function<bool(int pageRow, int column)>& accepts = {}) const;
    // Whether a cell of the walk holds a key on page.
    bool holdsKey(const KeyPage& page) const;

private:
    RowTranslation m_translate;
    int m_firstRow;
    int m_lastRow;
    int m_firstColumn;
    int m_lastColumn;
};

} // namespace tervane
