#pragma once

namespace tervane {

// The grid's rectangular selection in grid coordinates: rows 1..500 (row 0 is the header),
// columns 1..7 (column 0 holds the row numbers; 1..6 are the key columns, 7 the comment).
struct GridSelection {
    int left = 1;
    int top = 1;
    int right = 1;
    int bottom = 1;

    bool operator==(const GridSelection&) const = default;
};

} // namespace tervane
