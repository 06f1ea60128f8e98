#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

// Two uppercase hex digits per byte, from code[first+count-1] down to code[first]; empty for a
// count of 0 or less.
std::string BytesToHexText(const std::uint8_t* code, int first, int count);

// Converts the first digitCount characters of digits into bytes dest[first], dest[first+1], ...
// The digits are left-padded with "0" to an even length (missing characters, when digits is
// shorter than digitCount, count as leading zeros) and read left to right in pairs; both cases
// of "A".."F" are accepted. A digitCount of 0 succeeds and writes nothing.
// False, with dest untouched, when a pair is not a hex number, digitCount or first is negative,
// or the bytes would not fit below destSize.
bool HexTextToBytes(std::string_view digits, int digitCount, std::uint8_t* dest, int first, int destSize);

} // namespace tervane
