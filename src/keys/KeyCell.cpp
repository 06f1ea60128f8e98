#include "keys/KeyCell.h"

#include <algorithm>

namespace tervane {

KeyCode KeyCell::code() const {
    KeyCode c{};
    std::copy_n(bytes.begin() + 2, c.size(), c.begin());
    return c;
}

void KeyCell::setCode(const KeyCode& code) {
    std::copy(code.begin(), code.end(), bytes.begin() + 2);
}

bool IsKeyOccupied(std::uint8_t type) {
    return (type >= 1 && type <= 4) || (type >= 128 && type <= 131);
}

} // namespace tervane
