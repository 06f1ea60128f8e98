#include "keys/KeyText.h"

#include "keys/HexText.h"
#include "keys/KeyTypes.h"

namespace tervane {

namespace {

// The digits of c[first+count-1] down to c[first].
std::string Hex(const KeyCode& code, int first, int count) {
    return BytesToHexText(code.data(), first, count);
}

std::string dallasCrcPart(const KeyCode& code, bool show) {
    return show ? " - " + Hex(code, 7, 1) + " " : "";
}

std::string emSpeedPart(const KeyCode& code, bool show) {
    return show ? "- " + EmSpeedName(code[6]) : "";
}

std::string fullCode(std::uint8_t type, const KeyCode& code, bool showEmSpeed, bool showDallasCrc) {
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        return " " + Hex(code, 1, 6) + dallasCrcPart(code, showDallasCrc);
    case KeyTypeTm2002:
        return " " + Hex(code, 1, 4) + " ";
    case KeyTypeCyfral:
        return " " + Hex(code, 1, 2) + " ";
    case KeyTypeEm410x:
        return " " + Hex(code, 1, 5) + " " + emSpeedPart(code, showEmSpeed);
    case KeyTypeHidProx: {
        // The top byte carries only the 45-bit code's five high bits.
        const std::uint8_t top = code[6] & 0x1F;
        return " " + BytesToHexText(&top, 0, 1) + Hex(code, 1, 5) + " ";
    }
    case KeyTypeIndala:
        return " " + Hex(code, 0, 5) + " ";
    default:
        return "--------";
    }
}

std::string shortCode(std::uint8_t type, const KeyCode& code, bool showEmSpeed, bool showDallasCrc) {
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        return " " + Hex(code, 1, 4) + dallasCrcPart(code, showDallasCrc);
    case KeyTypeTm2002:
    case KeyTypeCyfral:
        return fullCode(type, code, showEmSpeed, showDallasCrc);
    case KeyTypeEm410x:
        return " " + Hex(code, 1, 4) + " " + emSpeedPart(code, showEmSpeed);
    case KeyTypeHidProx:
        return " " + Hex(code, 1, 4);
    case KeyTypeIndala:
        return " " + Hex(code, 0, 3) + " ";
    default:
        return "--------";
    }
}

} // namespace

std::string FormatKeyCode(std::uint8_t type, const KeyCode& code, int view, bool showEmSpeed, bool showDallasCrc) {
    switch (view) {
    case KeyViewFull:
        return fullCode(type, code, showEmSpeed, showDallasCrc);
    case KeyViewShort:
        return shortCode(type, code, showEmSpeed, showDallasCrc);
    default:
        return {};
    }
}

std::string FormatKeyCellText(const KeyCell& cell, int keyTypeView, int keyCodeView, bool emSpeedVisible,
                              bool dallasCrcVisible) {
    if (!IsKeyOccupied(cell.type()))
        return {};
    const std::string typeText = KeyTypeShortName(cell.type(), keyTypeView);
    const std::string codeText = FormatKeyCode(cell.type(), cell.code(), keyCodeView, emSpeedVisible, dallasCrcVisible);
    std::string text;
    if (!typeText.empty())
        text = " " + typeText;
    if (!text.empty() && !codeText.empty())
        text += " -";
    text += codeText;
    if (text.empty())
        text = "-";
    return text;
}

} // namespace tervane
