// Any text as a find-key query, hex digits or a card number, against a key cell taken from the
// input: a query that parses matches a cell exactly when the plain reading says it does. Input:
// [family] [ten cell bytes] text...
//   family: the low three bits pick Any, Dallas, Cyfral, TM2002, EM410x, HID Prox II, Indala;
//   bit 3: read the text as a card number instead.
#include "FuzzCheck.h"

#include "keys/EmCardNumbers.h"
#include "keys/KeyQuery.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace tervane;
using tervane::fuzz::Check;

namespace {

// The text without blanks, capitals for the hex letters.
TERVANE_FUZZ_NO_COVERAGE std::string squeezed(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        out += (c >= 'a' && c <= 'f') ? char(c - 'a' + 'A') : c;
    }
    return out;
}

// The digits the grid's full code view shows, without its blanks, speed and check sum.
TERVANE_FUZZ_NO_COVERAGE std::string shownDigits(const KeyCell& cell) {
    std::string text = FormatKeyCode(cell.type(), cell.code(), KeyViewFull, false, false);
    std::string digits;
    for (const char c : text) {
        if (c != ' ')
            digits += c;
    }
    return digits;
}

TERVANE_FUZZ_NO_COVERAGE bool hexOracle(const KeyCell& cell, KeyFamily family, const std::string& needle) {
    if (!IsKeyOccupied(cell.type()) || keyFamilyOf(cell.type()) == KeyFamily::Any)
        return false;
    if (family != KeyFamily::Any && keyFamilyOf(cell.type()) != family)
        return false;
    return shownDigits(cell).find(needle) != std::string::npos;
}

// A card number is one of the printed forms with its leading zeros dropped, or, with a point or
// comma, the DEZ 3.5C with its parts' leading zeros dropped.
TERVANE_FUZZ_NO_COVERAGE std::string unpadded(const std::string& number) {
    const std::size_t first = number.find_first_not_of('0');
    return first == std::string::npos ? std::string("0") : number.substr(first);
}

TERVANE_FUZZ_NO_COVERAGE bool cardOracle(const KeyCell& cell, const std::string& text) {
    if (cell.type() != KeyTypeEm410x)
        return false;
    const EmCardNumbers numbers = emCardNumbers(cell.code());
    const std::size_t separator = text.find_first_of(".,");
    if (separator != std::string::npos) {
        return unpadded(text.substr(0, separator)) == unpadded(numbers.dez35c.substr(0, 3)) &&
               unpadded(text.substr(separator + 1)) == unpadded(numbers.dez35c.substr(4));
    }
    const std::string number = unpadded(text);
    if (text.size() > 8)
        return number == unpadded(numbers.dez10);
    // Up to 8 digits: the DEZ 8, or the DEZ 10 of a number too large for 24 bits.
    return number == unpadded(numbers.dez8) || (number.size() >= 8 && number == unpadded(numbers.dez10));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 11)
        return 0;
    constexpr KeyFamily kFamilies[] = {KeyFamily::Any,    KeyFamily::Dallas,  KeyFamily::Cyfral, KeyFamily::Tm2002,
                                       KeyFamily::Em410x, KeyFamily::HidProx, KeyFamily::Indala, KeyFamily::Any};
    const KeyFamily family = kFamilies[data[0] & 7];
    const bool card = data[0] & 8;
    KeyCell cell;
    std::memcpy(cell.bytes.data(), data + 1, KeyCell::kSize);
    const std::string_view text(reinterpret_cast<const char*>(data + 11), size - 11);

    auto error = KeyQuery::Error::None;
    const KeyQuery query = card ? KeyQuery::cardNumber(text, error) : KeyQuery::hexDigits(text, family, error);
    if (error != KeyQuery::Error::None) {
        Check(!query.matches(cell));
        return 0;
    }
    const std::string plain = squeezed(text);
    Check(query.matches(cell) == (card ? cardOracle(cell, plain) : hexOracle(cell, family, plain)));
    // The key itself, asked for as the presented key, is found.
    if (IsKeyOccupied(cell.type()) && codeDigits(cell.type(), cell.code()).count > 0)
        Check(KeyQuery::sameKey(cell.type(), cell.code()).matches(cell));
    return 0;
}
