#pragma once

namespace tervane {

// The grid's columns: the row numbers, the six key columns (key column k of a page row is grid
// column k + 1) and the comment.
namespace GridColumn {
constexpr int RowNumbers = 0;
constexpr int FirstKey = 1;
constexpr int LastKey = 6;
constexpr int Comment = 7;
} // namespace GridColumn

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
