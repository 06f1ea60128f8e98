#include "keys/DallasCrc.h"

#include <array>

namespace tervane {

namespace {

// The check sum of each byte value on its own, bit by bit: a page of keys is eight table
// look-ups a key instead of 64 branches.
constexpr std::array<std::uint8_t, 256> makeTable() {
    std::array<std::uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        std::uint8_t crc = std::uint8_t(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint8_t((crc >> 1) ^ 0x8C) : std::uint8_t(crc >> 1);
        table[std::size_t(value)] = crc;
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kTable = makeTable();

} // namespace

std::uint8_t DallasCrc8(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < count; ++i)
        crc = kTable[crc ^ bytes[i]];
    return crc;
}

} // namespace tervane
