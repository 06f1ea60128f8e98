#include "keys/KeyCodeParser.h"

#include "keys/DallasCrc.h"
#include "keys/HexText.h"

#include <string>

namespace tervane {

namespace {

template <typename Char> class GroupReader {
public:
    GroupReader(std::basic_string_view<Char> text, KeyCode& code) : m_text(text), m_code(code) {}

    // Reads n groups, the first at 1-based position p and each next one 3 characters on, into
    // code[first+n-1] (first group) down to code[first] (last group).
    bool read(int p, int n, int first) {
        std::string digits;
        digits.reserve(static_cast<std::size_t>(n) * 2);
        for (int g = n - 1; g >= 0; --g) {
            const long long pos = static_cast<long long>(p) + 3LL * g;
            digits.push_back(charAt(pos));
            digits.push_back(charAt(pos + 1));
        }
        return HexTextToBytes(digits, 2 * n, m_code.data(), first, static_cast<int>(m_code.size()));
    }

private:
    // A blank, or a position outside the text, reads as "0"; anything outside ASCII can only fail.
    char charAt(long long pos) const {
        if (pos < 1 || pos > static_cast<long long>(m_text.size()))
            return '0';
        const Char c = m_text[static_cast<std::size_t>(pos - 1)];
        if (c == Char(' '))
            return '0';
        if (static_cast<std::uint32_t>(c) > 0x7F)
            return '?';
        return static_cast<char>(c);
    }

    std::basic_string_view<Char> m_text;
    KeyCode& m_code;
};

void storeCrc(KeyCode& code) {
    code[7] = DallasCrc8(code.data(), 7);
}

template <typename Char>
ParsedKeyCode parseTyped(std::uint8_t type, std::basic_string_view<Char> text, KeyCodeGroupPositions positions,
                         bool checksumTyped) {
    ParsedKeyCode result;
    KeyCode& c = result.code;
    GroupReader<Char> reader(text, c);
    const int p = positions.codeGroup;
    switch (type) {
    case KeyTypeDallas:
    case KeyTypeDallas4: {
        c[0] = 1;
        const bool crcRead = !checksumTyped || reader.read(positions.crcGroup, 1, 7);
        const bool codeRead = reader.read(p, 6, 1);
        if (!checksumTyped)
            storeCrc(c);
        result.valid = crcRead && codeRead;
        break;
    }
    case KeyTypeTm2002:
        result.valid = reader.read(p, 4, 1);
        c[0] = 1;
        c[5] = 0;
        c[6] = 0;
        storeCrc(c);
        break;
    case KeyTypeCyfral:
        result.valid = reader.read(p, 2, 1);
        c[0] = 1;
        c[3] = 1;
        c[4] = c[5] = c[6] = 0;
        storeCrc(c);
        break;
    case KeyTypeEm410x:
        result.valid = reader.read(p, 5, 1);
        c[0] = 0;
        c[7] = 0;
        break;
    case KeyTypeHidProx:
        result.valid = reader.read(p, 6, 1) && c[6] <= 0x1F;
        c[0] = 0;
        c[7] = 0;
        break;
    case KeyTypeIndala:
        result.valid = reader.read(p, 5, 0);
        c[6] = 0;
        c[7] = 0x80;
        break;
    default:
        break;
    }
    return result;
}

} // namespace

ParsedKeyCode ParseKeyCodeText(std::uint8_t type, std::string_view text, KeyCodeGroupPositions positions,
                               bool checksumTyped) {
    return parseTyped(type, text, positions, checksumTyped);
}

ParsedKeyCode ParseKeyCodeText(std::uint8_t type, std::u16string_view text, KeyCodeGroupPositions positions,
                               bool checksumTyped) {
    return parseTyped(type, text, positions, checksumTyped);
}

} // namespace tervane
