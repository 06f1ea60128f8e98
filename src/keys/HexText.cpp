#include "keys/HexText.h"

#include <algorithm>
#include <vector>

namespace tervane {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

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
    const std::size_t byteCount = (static_cast<std::size_t>(digitCount) + 1) / 2;
    if (dest == nullptr || destSize < 0 || static_cast<std::size_t>(first) + byteCount > std::size_t(destSize))
        return false;

    // Characters before the start of the kept text are the zero padding.
    const std::size_t available = std::min<std::size_t>(digits.size(), static_cast<std::size_t>(digitCount));
    const std::size_t padded = byteCount * 2;
    const std::size_t padding = padded - available;
    auto digitAt = [&](std::size_t i) { return i < padding ? '0' : digits[i - padding]; };

    // Convert everything before writing, so a bad pair leaves dest as it was.
    std::vector<std::uint8_t> bytes(byteCount);
    for (std::size_t b = 0; b < byteCount; ++b) {
        const int high = HexValue(digitAt(2 * b));
        const int low = HexValue(digitAt(2 * b + 1));
        if (high < 0 || low < 0)
            return false;
        bytes[b] = static_cast<std::uint8_t>(high << 4 | low);
    }
    for (std::size_t b = 0; b < byteCount; ++b)
        dest[first + b] = bytes[b];
    return true;
}

} // namespace tervane
