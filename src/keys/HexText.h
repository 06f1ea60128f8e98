#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tervane {

// Two uppercase hex digits per byte, from code[first+count-1] down to code[first].
std::string BytesToHexText(const std::uint8_t* code, int first, int count);

// Converts the first digitCount characters of digits into bytes dest[first], dest[first+1], ...
// (the text is left-padded with zeros to an even length, and read left to right in pairs).
// False when a pair is not a hex number; dest may then hold the pairs converted before it.
// destSize bounds the writes: a conversion that would pass it fails.
bool HexTextToBytes(std::string_view digits, int digitCount, std::uint8_t* dest, int first, int destSize);

} // namespace tervane
