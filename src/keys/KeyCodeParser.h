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

// The field's label is "код:" in Russian and "code:" in English, one character longer.
inline constexpr KeyCodeGroupPositions kRussianCodeField{7, 30};
inline constexpr KeyCodeGroupPositions kEnglishCodeField{8, 31};

struct ParsedKeyCode {
    KeyCode code{};
    bool valid = false;
};

// Reads the typed groups of a code field for a key type. Blank characters read as "0", and so do
// positions outside the text, so a short text never fails on its length alone. The constant
// bytes of the type's layout are set; a Dallas code read without a typed check sum gets its
// computed check sum in c[7]. HID Prox II codes above 45 bits and unknown types are not valid.
// The narrow form counts one char per position, so it takes the field's text in an 8-bit code
// page (not UTF-8: the Russian label's letters would shift the groups); the UTF-16 form takes the
// field's text as the widget holds it.
ParsedKeyCode ParseKeyCodeText(std::uint8_t type, std::string_view text, KeyCodeGroupPositions positions,
                               bool checksumTyped);
ParsedKeyCode ParseKeyCodeText(std::uint8_t type, std::u16string_view text, KeyCodeGroupPositions positions,
                               bool checksumTyped);

} // namespace tervane
