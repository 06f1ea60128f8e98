#pragma once

#include "keys/KeyCell.h"

#include <QByteArray>
#include <vector>

namespace tervane {

class KeyPage;

// A set of changes to one page that is applied as one edit: key cells set (an empty cell clears
// one) and rows' comments replaced. Everything else on the page stays as it is.
struct PageEdits {
    struct Cell {
        int row = 0;
        int keyColumn = 0; // 0..5
        KeyCell cell;
    };
    struct Comment {
        int row = 0;
        QByteArray text; // Windows-1251, at most 128 bytes
    };
    std::vector<Cell> cells;
    std::vector<Comment> comments;

    bool isEmpty() const { return cells.empty() && comments.empty(); }
    void applyTo(KeyPage& page) const;
};

} // namespace tervane
