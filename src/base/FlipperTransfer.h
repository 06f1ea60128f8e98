#pragma once

#include "keys/KeyCell.h"

#include <cstdint>

namespace tervane {

class EditSession;
class KeyPage;

// The grid menu's Flipper Zero commands on the page shown, with their file dialogs and messages.
// keyColumn is 0..5, or -1 when the grid's selection does not start on a key column.

// Saves the key of one cell as a Flipper key file the user names.
void exportFlipperKey(const KeyPage& page, int pageRow, int keyColumn);

// Loads a Flipper key file into one cell of page pageNumber (whose content is page) through the
// edit session, after asking before a key already there is replaced. True when the cell changed.
bool importFlipperKey(EditSession& edits, std::int32_t pageNumber, const KeyPage& page, int pageRow, int keyColumn);

// Saves every key of the page that has a Flipper counterpart as one file in a folder the user
// picks, named by row, column and comment, and tells how many files were written.
void exportFlipperPage(const KeyPage& page);

} // namespace tervane
