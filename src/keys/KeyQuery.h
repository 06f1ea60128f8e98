#pragma once

#include "keys/KeyCell.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tervane {

// The key technologies a search can be limited to; Dallas takes both of its type codes.
enum class KeyFamily : std::uint8_t { Any, Dallas, Cyfral, Tm2002, Em410x, HidProx, Indala };

// The digits of a key's code as the Full code view shows them, without the type, the EM410x
// speed and the Dallas check sum: count hex digits, most significant first, as one number.
struct CodeDigits {
    std::uint64_t value = 0;
    int count = 0; // 0: the type shows no digits (an empty cell, type 130)
};

CodeDigits codeDigits(std::uint8_t type, const KeyCode& code);

// The key family of an occupied type; Any for a type that has none (130).
KeyFamily keyFamilyOf(std::uint8_t type);

// What the find-key search looks for in a key cell: hex digits anywhere in a key's code digits
// (optionally of one family only), or an EM410x card's decimal number.
class KeyQuery {
public:
    enum class Error {
        None,
        Empty,           // no digit at all
        NotHex,          // a character that is neither a hex digit nor a blank
        TooLong,         // more digits than any key's code shows (12)
        NotCardNumber,   // not N digits, nor digits, a point or comma, and digits
        CardNumberRange, // more than 10 digits or above the 32 bits of a DEZ 10
    };

    // A query that matches nothing.
    KeyQuery() = default;

    // Hex digits of either case; blanks anywhere are ignored.
    static KeyQuery hexDigits(std::string_view text, KeyFamily family, Error& error);
    // An EM410x card's printed number, blanks ignored: 9 or 10 digits are its DEZ 10 (c[4]..c[1]);
    // up to 8 digits its DEZ 8 (c[3]..c[1]), or its DEZ 10 when the number does not fit in 24
    // bits; "051.17493" or "051,17493" its DEZ 3.5C (c[3], then c[2]..c[1]).
    static KeyQuery cardNumber(std::string_view text, Error& error);
    // Exactly the code digits of this key, of its family: the keys that are the same key.
    static KeyQuery sameKey(std::uint8_t type, const KeyCode& code);

    // cell: the ten bytes of a key cell as stored.
    bool matches(const std::uint8_t* cell) const {
        const Layout& layout = m_layouts[cell[0]];
        const std::uint64_t digits = (load64(cell + 2) >> layout.shift) & layout.mask;
        // A needle of three digits or more, wherever it stands, covers a whole byte of the code:
        // its last two digits or the two before them. Few codes hold either byte, and the digit
        // positions are tried only for those. A type that never matches has no such byte either,
        // so that cells of mixed types take no branch that could go either way.
        if (m_byteFilter) {
            const std::uint64_t bytes = digits | layout.fill;
            if (!(hasByte(bytes, m_evenByte) | hasByte(bytes, m_oddByte)))
                return false;
        } else if (layout.positions == 0) {
            return false;
        }
        // Every digit position at once: a position stays while each needle digit equals the
        // code digit it would stand on.
        std::uint64_t positions = layout.positions;
        for (int i = 0; i < m_needleDigits; ++i)
            positions &= equalDigits(digits, m_needleDigit[std::size_t(i)]) >> (4 * i);
        return positions != 0;
    }
    bool matches(const KeyCell& cell) const { return matches(cell.bytes.data()); }

private:
    static constexpr int kMaxDigits = 12;
    static constexpr std::uint64_t kEveryByte = 0x0101010101010101;
    static constexpr std::uint64_t kEveryDigit = 0x1111111111111111;

    // How the code digits of one type are taken from the code bytes c[0]..c[7] read as one
    // little-endian number, and where the needle's last digit can stand: the top bit of every
    // digit that can be its place. No positions: cells of this type never match.
    struct Layout {
        std::uint64_t mask = 0;
        std::uint64_t fill = 0; // above the code's digits: a byte the filter never looks for
        std::uint64_t positions = 0;
        std::uint32_t shift = 0;
    };

    // Whether one of the eight bytes of value is the byte that pattern repeats.
    static bool hasByte(std::uint64_t value, std::uint64_t pattern) {
        const std::uint64_t x = value ^ pattern;
        return ((x - kEveryByte) & ~x & (kEveryByte << 7)) != 0;
    }
    // The top bit of every digit of value that equals the digit that pattern repeats.
    static std::uint64_t equalDigits(std::uint64_t value, std::uint64_t pattern) {
        const std::uint64_t x = value ^ pattern;
        const std::uint64_t low = 7 * kEveryDigit;
        return ~(((x & low) + low) | x) & (8 * kEveryDigit);
    }

    // The eight bytes as one little-endian number.
    static std::uint64_t load64(const std::uint8_t* bytes) {
        std::uint64_t value;
        std::memcpy(&value, bytes, sizeof value);
        if constexpr (std::endian::native == std::endian::big)
            value = __builtin_bswap64(value);
        return value;
    }

    void setNeedle(std::uint64_t needle, int digits);
    void limitTo(KeyFamily family);

    std::array<Layout, 256> m_layouts{};
    int m_needleDigits = 0;
    std::array<std::uint64_t, kMaxDigits> m_needleDigit{}; // last digit first, each in every digit
    bool m_byteFilter = false;
    std::uint64_t m_evenByte = 0; // the needle's last two digits in every byte
    std::uint64_t m_oddByte = 0;  // the two digits before them in every byte
    std::uint64_t m_fill = 0;     // a byte that is neither, in every byte
};

} // namespace tervane
