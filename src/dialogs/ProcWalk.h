#pragma once

#include "ui/GridSelection.h"

#include <functional>
#include <optional>

namespace tervane {

// A position of the operation dialog: a grid data row (grid row - 1) and a key column 0..5.
struct ProcCursor {
    int row = 0;
    int column = 0;
    bool operator==(const ProcCursor&) const = default;
};

// The order in which the operation dialog visits the selected key cells: left to right along a
// row, then the next row from the left again. Only key columns are walked: a selection that
// reaches into the comment column is clipped to the key columns, and one that lies in the
// comment column alone has no cells.
class ProcWalk {
public:
    using RowTranslation = std::function<int(int gridRow)>;

    ProcWalk(const GridSelection& selection, RowTranslation pageRowOfGridRow);

    bool isEmpty() const { return m_firstRow > m_lastRow || m_firstColumn > m_lastColumn; }
    ProcCursor start() const { return {m_firstRow, m_firstColumn}; }
    bool contains(const ProcCursor& cursor) const;
    // One step along the walk; past the last cell the result is no longer contained.
    ProcCursor after(const ProcCursor& cursor) const;
    // The page row behind the cursor's row, -1 when there is none.
    int pageRow(const ProcCursor& cursor) const;

    // The first cell at or after from whose row has a page row and that accepts(pageRow, column).
    std::optional<ProcCursor> seek(ProcCursor from,
                                   const std::function<bool(int pageRow, int column)>& accepts = {}) const;

private:
    RowTranslation m_translate;
    int m_firstRow;
    int m_lastRow;
    int m_firstColumn;
    int m_lastColumn;
};

} // namespace tervane
