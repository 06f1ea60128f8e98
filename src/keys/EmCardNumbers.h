#pragma once

#include "keys/KeyCell.h"

#include <string>

namespace tervane {

// The decimal numbers printed on EM410x cards, worked out from the code c[5]..c[1], so that a
// code can be matched with the card in hand.
struct EmCardNumbers {
    // c[4]..c[1] as one number, 10 digits.
    std::string dez10;
    // c[3]..c[1] as one number, 8 digits.
    std::string dez8;
    // c[3] as 3 digits, a full stop, c[2]..c[1] as 5 digits: "051.17493".
    std::string dez35c;
    // c[4]..c[3] as 5 digits, a full stop, c[2]..c[1] as 5 digits: "08755.17493".
    std::string dez55;
    // c[5]..c[1] as one number, 14 digits.
    std::string dez14;
};

EmCardNumbers emCardNumbers(const KeyCode& code);

} // namespace tervane
