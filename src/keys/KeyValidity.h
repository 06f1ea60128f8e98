#pragma once

#include "keys/KeyCell.h"

namespace tervane {

// Every byte of c[1]..c[4] has even parity.
bool IsValidTm2002Code(const KeyCode& code);
// The 48 bits of c[0]..c[5] (each byte from bit 0) never hold a run of 23 zero bits.
bool IsValidIndalaCode(const KeyCode& code);

} // namespace tervane
