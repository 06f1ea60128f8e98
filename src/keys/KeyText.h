#pragma once

#include "keys/KeyCell.h"

#include <string>

namespace tervane {

// The text of a code in the given view (0 full, 1 short, anything else: empty), as the grid,
// the device dialogs and the key editor show it.
std::string FormatKeyCode(std::uint8_t type, const KeyCode& code, int view, bool showEmSpeed, bool showDallasCrc);

// The text of one grid cell: empty for an unoccupied cell, "-" when both parts are hidden.
std::string FormatKeyCellText(const KeyCell& cell, int keyTypeView, int keyCodeView, bool emSpeedVisible,
                              bool dallasCrcVisible);

} // namespace tervane
