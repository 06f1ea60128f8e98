#pragma once

#include <cstddef>
#include <cstdint>

namespace tervane {

// Dallas/Maxim 1-Wire CRC-8 (reflected polynomial 0x8C, initial value 0).
std::uint8_t DallasCrc8(const std::uint8_t* bytes, std::size_t count);

} // namespace tervane
