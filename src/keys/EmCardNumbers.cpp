#include "keys/EmCardNumbers.h"

#include <cstdint>
#include <cstdio>

namespace tervane {
namespace {

// code[first + count - 1]..code[first] as one number, the byte with the highest index the most
// significant.
std::uint64_t codeBytes(const KeyCode& code, int first, int count) {
    std::uint64_t value = 0;
    for (int i = first + count - 1; i >= first; --i)
        value = value << 8 | code[static_cast<std::size_t>(i)];
    return value;
}

std::string zeroPadded(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llu", digits, static_cast<unsigned long long>(value));
    return text;
}

} // namespace

EmCardNumbers emCardNumbers(const KeyCode& code) {
    EmCardNumbers numbers;
    const std::string low16 = zeroPadded(codeBytes(code, 1, 2), 5);
    numbers.dez10 = zeroPadded(codeBytes(code, 1, 4), 10);
    numbers.dez8 = zeroPadded(codeBytes(code, 1, 3), 8);
    numbers.dez35c = zeroPadded(code[3], 3) + '.' + low16;
    numbers.dez55 = zeroPadded(codeBytes(code, 3, 2), 5) + '.' + low16;
    numbers.dez14 = zeroPadded(codeBytes(code, 1, 5), 14);
    return numbers;
}

} // namespace tervane
