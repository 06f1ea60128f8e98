#include "keys/KeyValidity.h"

#include <bit>

namespace tervane {

bool IsValidTm2002Code(const KeyCode& code) {
    for (int i = 1; i <= 4; ++i) {
        if (std::popcount(static_cast<unsigned>(code[i])) % 2 != 0)
            return false;
    }
    return true;
}

bool IsValidIndalaCode(const KeyCode& code) {
    // A card never sends 23 zero bits in a row; such a run marks a misread code.
    int zeroRun = 0;
    for (int i = 0; i <= 5; ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((code[i] >> bit) & 1) {
                zeroRun = 0;
            } else if (++zeroRun >= 23) {
                return false;
            }
        }
    }
    return true;
}

} // namespace tervane
