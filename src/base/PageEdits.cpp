#include "base/PageEdits.h"

#include "base/KeyPage.h"

namespace tervane {

void PageEdits::applyTo(KeyPage& page) const {
    for (const Cell& c : cells)
        page.setCell(c.row, c.keyColumn, c.cell);
    for (const Comment& c : comments)
        page.setComment(c.row, c.text);
}

} // namespace tervane
