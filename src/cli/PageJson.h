#pragma once

#include "keys/KeyTypes.h"

namespace tervane {

class JsonWriter;
class KeyPage;

// How the cells of a page are written: the grid's display settings.
struct PageViews {
    int typeView = KeyViewFull;
    int codeView = KeyViewFull;
    bool speed = true;
    bool crc = false;
};

// The members "used" and "rows" of a page object, as "page" prints them: the number of cells
// that hold a key, and the rows that hold a key or a comment (all 500 with allRows), each with
// its six cell texts and its comment.
void writePageRows(JsonWriter& json, const KeyPage& page, const PageViews& views, bool allRows);

} // namespace tervane
