#pragma once

#include "base/KeyPage.h"
#include "grid/GridSelection.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace tervane {

// The program's own clipboard for blocks of grid cells. It is never exchanged with other
// programs and lives for the whole run, so a block survives switching pages and key bases.
//
// The block sits in the top-left corner of a buffer laid out as a page: cell (r, b) is the b-th
// selected column of the r-th selected row, comment slot r that row's comment when the comment
// column was selected. Where the comment column stood among the block's columns there is an
// empty cell, so a block pasted further left clears the key cell that this slot lands on.
//
// Grid rows reach page rows through the row translation, which answers -1 for a grid row with no
// page row behind it (below the short view's last shown row). Such rows copy as empty rows and
// are never written, so only the rows the grid shows ever change. The edits return the whole new
// page, to be applied as one edit, or nullptr when no cell of a page row was addressed: then the
// page stays as it was and the base does not count as changed.
class GridClipboard {
public:
    using RowTranslation = std::function<int(int gridRow)>;

    // Empty at start; any Copy or Cut leaves it filled for the rest of the run.
    bool isFilled() const { return m_columns != 0 || m_lastRow != 0; }
    // The copied cells and comments, zero wherever no copy wrote.
    const KeyPage& block() const { return m_block; }
    // The block has lastRow() + 1 rows of columns() columns.
    std::int32_t lastRow() const { return m_lastRow; }
    std::int32_t columns() const { return m_columns; }

    void copy(const KeyPage& page, const GridSelection& selection, const RowTranslation& translate);
    std::unique_ptr<KeyPage> cut(const KeyPage& page, const GridSelection& selection, const RowTranslation& translate);
    // The block with its top-left cell at grid row top, grid column left; what falls past row 500
    // or column 7 is dropped. A copied comment is pasted only when it is not empty, yet every
    // target cell with a page row counts as edited.
    std::unique_ptr<KeyPage> paste(const KeyPage& page, int top, int left, const RowTranslation& translate) const;
    // Key cells become empty cells, comments empty comments.
    static std::unique_ptr<KeyPage> clear(const KeyPage& page, const GridSelection& selection,
                                          const RowTranslation& translate);

private:
    KeyPage m_block;
    std::int32_t m_lastRow = 0;
    std::int32_t m_columns = 0;
};

} // namespace tervane
