#pragma once

#include <array>
#include <cstdint>

namespace tervane {

// The eight code bytes c[0]..c[7] of a key; their layout depends on the key type.
using KeyCode = std::array<std::uint8_t, 8>;

// Key type codes.
enum KeyTypeCode : std::uint8_t {
    KeyTypeNone = 0,
    KeyTypeDallas = 1,
    KeyTypeTm2002 = 2,
    KeyTypeCyfral = 3,
    KeyTypeDallas4 = 4,
    KeyTypeEm410x = 128,
    KeyTypeHidProx = 129,
    KeyTypeIndala = 131,
};

// One stored key: byte 0 the type, byte 1 reserved, bytes 2..9 the code. Stored exactly like
// this in memory and in the page file.
struct KeyCell {
    static constexpr int kSize = 10;
    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t type() const { return bytes[0]; }
    void setType(std::uint8_t t) { bytes[0] = t; }
    KeyCode code() const;
    void setCode(const KeyCode& code);
    void clear() { bytes.fill(0); }
};
static_assert(sizeof(KeyCell) == KeyCell::kSize);

// True for the types that hold a key: 1..4 and 128..131 (130 too, though it has no name).
bool IsKeyOccupied(std::uint8_t type);

} // namespace tervane
