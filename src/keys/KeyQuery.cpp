#include "keys/KeyQuery.h"

#include "keys/HexText.h"

namespace tervane {
namespace {

constexpr int kMaxCodeDigits = 12;

// Where the Full code view takes its digits from, per type: the code bytes as one little-endian
// number, shifted right by shift bits, count digits. HID Prox II shows only the five low bits of
// c[6] in its top pair of digits.
struct DigitsRule {
    std::uint8_t shift;
    int count;
    std::uint64_t mask;
};

constexpr std::uint64_t digitsMask(int count) {
    return count >= 16 ? ~std::uint64_t(0) : (std::uint64_t(1) << (4 * count)) - 1;
}

DigitsRule digitsRule(std::uint8_t type) {
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        return {8, 12, digitsMask(12)};
    case KeyTypeTm2002:
        return {8, 8, digitsMask(8)};
    case KeyTypeCyfral:
        return {8, 4, digitsMask(4)};
    case KeyTypeEm410x:
        return {8, 10, digitsMask(10)};
    case KeyTypeHidProx:
        return {8, 12, (std::uint64_t(1) << 45) - 1};
    case KeyTypeIndala:
        return {0, 10, digitsMask(10)};
    default:
        return {0, 0, 0};
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Decimal digits into value; false past 10 digits or at any other character. Blanks are skipped.
bool decimal(std::string_view text, std::uint64_t& value, int& digits) {
    value = 0;
    digits = 0;
    for (const char c : text) {
        if (isBlank(c))
            continue;
        if (c < '0' || c > '9')
            return false;
        if (++digits > 10)
            return false;
        value = value * 10 + std::uint64_t(c - '0');
    }
    return true;
}

} // namespace

CodeDigits codeDigits(std::uint8_t type, const KeyCode& code) {
    const DigitsRule rule = digitsRule(type);
    std::uint64_t bytes = 0;
    for (int i = 7; i >= 0; --i)
        bytes = bytes << 8 | code[std::size_t(i)];
    return {(bytes >> rule.shift) & rule.mask, rule.count};
}

KeyFamily keyFamilyOf(std::uint8_t type) {
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4:
        return KeyFamily::Dallas;
    case KeyTypeTm2002:
        return KeyFamily::Tm2002;
    case KeyTypeCyfral:
        return KeyFamily::Cyfral;
    case KeyTypeEm410x:
        return KeyFamily::Em410x;
    case KeyTypeHidProx:
        return KeyFamily::HidProx;
    case KeyTypeIndala:
        return KeyFamily::Indala;
    default:
        return KeyFamily::Any;
    }
}

void KeyQuery::setNeedle(std::uint64_t needle, int digits) {
    m_needleDigits = digits;
    for (int i = 0; i < digits; ++i)
        m_needleDigit[std::size_t(i)] = ((needle >> (4 * i)) & 0xF) * kEveryDigit;
    // Every byte of the code lies under some position of a needle of three digits or more.
    m_byteFilter = digits >= 3;
    const std::uint64_t evenByte = needle & 0xFF;
    const std::uint64_t oddByte = (needle >> 4) & 0xFF;
    m_evenByte = evenByte * kEveryByte;
    m_oddByte = oddByte * kEveryByte;
    std::uint64_t fillByte = 0;
    while (fillByte == evenByte || fillByte == oddByte)
        fillByte += 0x11;
    m_fill = fillByte * kEveryByte;
    for (Layout& layout : m_layouts)
        layout = {0, m_fill, 0, 0};
}

void KeyQuery::limitTo(KeyFamily family) {
    for (int type = 0; type < 256; ++type) {
        const DigitsRule rule = digitsRule(std::uint8_t(type));
        if (rule.count < m_needleDigits || (family != KeyFamily::Any && keyFamilyOf(std::uint8_t(type)) != family))
            continue;
        // The needle's last digit stands on one of the code's count - needle + 1 lowest digits.
        const std::uint64_t positions = digitsMask(rule.count - m_needleDigits + 1) & (8 * kEveryDigit);
        // Every count is even: the digits are whole bytes.
        m_layouts[std::size_t(type)] = {rule.mask, m_fill & ~digitsMask(rule.count), positions, rule.shift};
    }
}

KeyQuery KeyQuery::hexDigits(std::string_view text, KeyFamily family, Error& error) {
    KeyQuery query;
    std::uint64_t needle = 0;
    int digits = 0;
    for (const char c : text) {
        if (isBlank(c))
            continue;
        const int value = hexValue(c);
        if (value < 0) {
            error = Error::NotHex;
            return {};
        }
        if (++digits > kMaxCodeDigits) {
            error = Error::TooLong;
            return {};
        }
        needle = needle << 4 | std::uint64_t(value);
    }
    if (digits == 0) {
        error = Error::Empty;
        return {};
    }
    query.setNeedle(needle, digits);
    query.limitTo(family);
    error = Error::None;
    return query;
}

KeyQuery KeyQuery::cardNumber(std::string_view text, Error& error) {
    KeyQuery query;
    std::uint64_t number = 0;
    int digits = 0;
    const std::size_t separator = text.find_first_of(".,");
    if (separator != std::string_view::npos) {
        // DEZ 3.5C: c[3] as up to 3 digits, then c[2]..c[1] as up to 5.
        std::uint64_t high = 0;
        std::uint64_t low = 0;
        int highDigits = 0;
        int lowDigits = 0;
        if (!decimal(text.substr(0, separator), high, highDigits) ||
            !decimal(text.substr(separator + 1), low, lowDigits) || highDigits == 0 || highDigits > 3 ||
            lowDigits == 0 || lowDigits > 5) {
            error = Error::NotCardNumber;
            return {};
        }
        if (high > 0xFF || low > 0xFFFF) {
            error = Error::CardNumberRange;
            return {};
        }
        number = high << 16 | low;
        digits = 8;
    } else if (!decimal(text, number, digits)) {
        error = digits > 10 ? Error::CardNumberRange : Error::NotCardNumber;
        return {};
    }
    if (digits == 0) {
        error = Error::Empty;
        return {};
    }
    // Up to 8 digits are the DEZ 8, c[3]..c[1], unless the number needs c[4] too; a DEZ 10 of
    // the same value has c[4] = 0 and so the same DEZ 8.
    const int bits = digits <= 8 && number <= 0xFFFFFF ? 24 : 32;
    if (number >> bits) {
        error = Error::CardNumberRange;
        return {};
    }
    // The number's digits from c[1] up, at the one position of the lowest digit.
    query.setNeedle(number, bits / 4);
    query.m_layouts[KeyTypeEm410x] = {digitsMask(bits / 4), query.m_fill & ~digitsMask(bits / 4), 8, 8};
    error = Error::None;
    return query;
}

KeyQuery KeyQuery::sameKey(std::uint8_t type, const KeyCode& code) {
    KeyQuery query;
    const CodeDigits digits = codeDigits(type, code);
    if (digits.count == 0)
        return query;
    query.setNeedle(digits.value, digits.count);
    query.limitTo(keyFamilyOf(type));
    return query;
}

} // namespace tervane
