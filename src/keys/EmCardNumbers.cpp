#include "keys/EmCardNumbers.h"

#include <cstdint>
#include <cstdio>

namespace tervane {
namespace {

std::uint32_t lowBytes(const KeyCode& code, int count) {
    std::uint32_t value = 0;
    for (int i = count; i >= 1; --i)
        value = value << 8 | code[static_cast<std::size_t>(i)];
    return value;
}

std::string zeroPadded(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*u", digits, static_cast<unsigned>(value));
    return text;
}

} // namespace

EmCardNumbers emCardNumbers(const KeyCode& code) {
    EmCardNumbers numbers;
    numbers.dez10 = zeroPadded(lowBytes(code, 4), 10);
    numbers.dez8 = zeroPadded(lowBytes(code, 3), 8);
    numbers.dez35c = zeroPadded(code[3], 3) + '.' + zeroPadded(lowBytes(code, 2), 5);
    return numbers;
}

} // namespace tervane
