#include "keys/DallasCrc.h"

namespace tervane {

std::uint8_t DallasCrc8(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t data = bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ data) & 1) != 0;
            crc >>= 1;
            if (mix)
                crc ^= 0x8C;
            data >>= 1;
        }
    }
    return crc;
}

} // namespace tervane
