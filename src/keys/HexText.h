#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

// The value of one hex digit of either case, -1 for any other character.
int hexValue(char c);

// Two uppercase hex digits per byte, from code[first+count-1] down to code[first]; empty for a
// count of 0 or less.
std::string BytesToHexText(const std::uint8_t* code, int first, int count);

// Converts digitCount digits into bytes dest[first], dest[first+1], ... The rightmost digitCount
// characters of digits are taken, with one more to make the count even; missing characters, when
// digits is shorter, count as leading zeros. They are read left to right in pairs; both cases of
// "A".."F" are accepted. A digitCount of 0 succeeds and writes nothing.
// False, with dest untouched, when a pair is not a hex number, digitCount or first is negative,
// or the bytes would not fit below destSize.
bool HexTextToBytes(std::string_view digits, int digitCount, std::uint8_t* dest, int first, int destSize);

} // namespace tervane
