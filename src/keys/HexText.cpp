#include "keys/HexText.h"

#include <algorithm>
#include <vector>

namespace tervane {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string BytesToHexText(const std::uint8_t* code, int first, int count) {
    std::string text;
    if (count <= 0)
        return text;
    text.reserve(static_cast<std::size_t>(count) * 2);
    for (int i = first + count - 1; i >= first; --i) {
        text.push_back(kDigits[code[i] >> 4]);
        text.push_back(kDigits[code[i] & 0x0F]);
    }
    return text;
}

bool HexTextToBytes(std::string_view digits, int digitCount, std::uint8_t* dest, int first, int destSize) {
    if (digitCount < 0 || first < 0)
        return false;
    if (digitCount == 0)
        return true;
    const std::size_t kept = (static_cast<std::size_t>(digitCount) + 1) / 2 * 2;
    const std::size_t byteCount = kept / 2;
    if (dest == nullptr || destSize < 0 || static_cast<std::size_t>(first) + byteCount > std::size_t(destSize))
        return false;

    // The rightmost characters are the low digits: a longer text loses its leading ones, and a
    // shorter one reads as if it had leading zeros.
    const std::size_t padding = kept > digits.size() ? kept - digits.size() : 0;
    const std::string_view tail = digits.substr(digits.size() - (kept - padding));
    auto digitAt = [&](std::size_t i) { return i < padding ? '0' : tail[i - padding]; };

    // Convert everything before writing, so a bad pair leaves dest as it was.
    std::vector<std::uint8_t> bytes(byteCount);
    for (std::size_t b = 0; b < byteCount; ++b) {
        const int high = hexValue(digitAt(2 * b));
        const int low = hexValue(digitAt(2 * b + 1));
        if (high < 0 || low < 0)
            return false;
        bytes[b] = static_cast<std::uint8_t>(high << 4 | low);
    }
    for (std::size_t b = 0; b < byteCount; ++b)
        dest[first + b] = bytes[b];
    return true;
}

} // namespace tervane
