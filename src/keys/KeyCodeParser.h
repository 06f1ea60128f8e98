#pragma once

#include "keys/KeyCell.h"

#include <string_view>

namespace tervane {

// Where the key editor's code field puts its groups of two hex digits: the 1-based position of
// the first digit of the first code group, and of the Dallas check-sum group.
struct KeyCodeGroupPositions {
    int codeGroup = 7;
    int crcGroup = 30;
};

struct ParsedKeyCode {
    KeyCode code{};
    bool valid = false;
};

// Reads the typed groups of a code field for a key type. Blank characters read as "0". Text
// outside the field reads as blanks, so a short text never fails on its length alone.
ParsedKeyCode ParseKeyCodeText(std::uint8_t type, std::string_view text, KeyCodeGroupPositions positions,
                               bool checksumTyped);

} // namespace tervane
