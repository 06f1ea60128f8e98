// Feeds any typed text to the code field reader, with any type byte, both field layouts, stray
// positions and both check-sum modes; also throws the text at HexTextToBytes with any count and
// index. Input: [type] [flags] [a] [b] text...
//   flags bit 0: check sum typed; bits 1-2: 0 Russian field, 1 English field, 2 positions a and b
//   as signed bytes, 3 positions near the ends of the int range; bit 3: read the text as UTF-16.
#include "FuzzCheck.h"

#include "keys/DallasCrc.h"
#include "keys/HexText.h"
#include "keys/KeyCodeParser.h"
#include "keys/KeyText.h"
#include "keys/KeyValidity.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace tervane;
using tervane::fuzz::Check;

namespace {

// The constant bytes every valid reading must carry.
void CheckLayout(std::uint8_t type, const KeyCode& c, bool checksumTyped) {
    const std::uint8_t crc = DallasCrc8(c.data(), 7);
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        Check(c[0] == 1);
        Check(checksumTyped || c[7] == crc);
        break;
    case KeyTypeTm2002:
        Check(c[0] == 1 && c[5] == 0 && c[6] == 0 && c[7] == crc);
        break;
    case KeyTypeCyfral:
        Check(c[0] == 1 && c[3] == 1 && c[4] == 0 && c[5] == 0 && c[6] == 0 && c[7] == crc);
        break;
    case KeyTypeEm410x:
        Check(c[0] == 0 && c[6] == 0 && c[7] == 0);
        break;
    case KeyTypeHidProx:
        Check(c[0] == 0 && c[6] <= 0x1F && c[7] == 0);
        break;
    case KeyTypeIndala:
        Check(c[5] == 0 && c[6] == 0 && c[7] == 0x80);
        break;
    default:
        Check(false); // no other type reads as valid
    }
}

// The editor writes a valid code back into its field; reading that text must give the code again.
void CheckRoundTrip(std::uint8_t type, const KeyCode& code, KeyCodeGroupPositions positions) {
    int first = 1;
    int count = 0;
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
    case KeyTypeHidProx:
        count = 6;
        break;
    case KeyTypeTm2002:
        count = 4;
        break;
    case KeyTypeCyfral:
        count = 2;
        break;
    case KeyTypeEm410x:
        count = 5;
        break;
    case KeyTypeIndala:
        first = 0;
        count = 5;
        break;
    default:
        return;
    }
    const std::string digits = BytesToHexText(code.data(), first, count);
    const std::string crcDigits = BytesToHexText(code.data(), 7, 1);
    std::string field(static_cast<std::size_t>(positions.crcGroup + 1), ' ');
    for (int g = 0; g < count; ++g)
        field.replace(static_cast<std::size_t>(positions.codeGroup - 1 + 3 * g), 2, digits, 2 * g, 2);
    field.replace(static_cast<std::size_t>(positions.crcGroup - 1), 2, crcDigits);
    const ParsedKeyCode again = ParseKeyCodeText(type, field, positions, true);
    Check(again.valid);
    for (int i = first; i < first + count; ++i)
        Check(again.code[i] == code[i]);
}

void FormatAll(std::uint8_t type, const KeyCode& code) {
    KeyCell cell;
    cell.setType(type);
    cell.setCode(code);
    for (int typeView = -1; typeView <= 3; ++typeView) {
        for (int codeView = -1; codeView <= 3; ++codeView) {
            const std::string text = FormatKeyCellText(cell, typeView, codeView, codeView & 1, typeView & 1);
            Check(IsKeyOccupied(type) != text.empty());
        }
    }
}

void FuzzHexText(std::string_view digits, std::int8_t count, std::int8_t first) {
    // Exactly sized on the heap, so any write past destSize is caught.
    constexpr int kSize = 8;
    std::vector<std::uint8_t> dest(kSize, 0xEE);
    const bool ok = HexTextToBytes(digits, count, dest.data(), first, kSize);
    if (!ok) {
        for (std::uint8_t b : dest)
            Check(b == 0xEE);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const std::uint8_t type = data[0];
    const std::uint8_t flags = data[1];
    const auto a = static_cast<std::int8_t>(data[2]);
    const auto b = static_cast<std::int8_t>(data[3]);
    const bool checksumTyped = flags & 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);

    KeyCodeGroupPositions positions;
    switch ((flags >> 1) & 3) {
    case 0:
        positions = kRussianCodeField;
        break;
    case 1:
        positions = kEnglishCodeField;
        break;
    case 2:
        positions = {a, b};
        break;
    default:
        positions = {a < 0 ? INT_MIN + (a & 0x7F) : INT_MAX - a, b < 0 ? INT_MIN + (b & 0x7F) : INT_MAX - b};
        break;
    }

    ParsedKeyCode parsed;
    if (flags & 8) {
        std::u16string wide(text.size() / 2, u'\0');
        std::memcpy(wide.data(), text.data(), wide.size() * 2);
        parsed = ParseKeyCodeText(type, wide, positions, checksumTyped);
    } else {
        parsed = ParseKeyCodeText(type, text, positions, checksumTyped);
    }

    if (parsed.valid) {
        CheckLayout(type, parsed.code, checksumTyped);
        CheckRoundTrip(type, parsed.code, flags & 2 ? kEnglishCodeField : kRussianCodeField);
    }
    IsValidTm2002Code(parsed.code);
    IsValidIndalaCode(parsed.code);
    FormatAll(type, parsed.code);
    FuzzHexText(text, a, b);
    return 0;
}
