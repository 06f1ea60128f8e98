#pragma once

#include "keys/KeyCell.h"
#include "keys/KeyCodeParser.h"
#include "texts/UiLanguage.h"

#include <QString>
#include <cstdint>

namespace tervane {

// The key editor's code field laid out for one key type: a blank, the label "код:" or "code:",
// a blank, then the code as groups of two hex digits, most significant first, each group but
// the last followed by a blank; Dallas adds " crc: " and the check-sum group. Unfilled positions
// show "0".
struct KeyEditorLayout {
    std::uint8_t type;
    int groups;
    // The code byte the last group shows: c[0] for Indala, c[1] for the others.
    int firstByte;
    bool checksumGroup;
    // In pixels.
    int fieldWidth;
    bool speedList;
    bool checksumBox;

    // The layout of a type (Dallas for 1 and 4); nullptr for a type the editor cannot lay out,
    // such as 130.
    static const KeyEditorLayout* of(std::uint8_t type);

    // The input mask of the field: every editable position takes a letter or a digit, in upper
    // case, so that letters past "F" can be typed and then fail the reading.
    QString inputMask(UiLanguage language) const;
    // The field as it shows the code.
    QString fieldText(UiLanguage language, const KeyCode& code) const;
};

// Where the groups start in the field of a language.
KeyCodeGroupPositions codeGroupPositions(UiLanguage language);

} // namespace tervane
