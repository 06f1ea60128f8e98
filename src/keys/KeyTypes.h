#pragma once

#include <cstdint>
#include <string>

namespace tervane {

// Display settings of key texts.
enum KeyView : int { KeyViewFull = 0, KeyViewShort = 1, KeyViewHide = 2 };

// "Dallas", "TM2002 Metacom", ... "!UNKNOWN!" for any other type.
std::string KeyTypeFullName(std::uint8_t type);
// view 0: the six-letter name ("DS1990", "??????" for unknown types); view 1: the letter; any
// other view: empty.
std::string KeyTypeShortName(std::uint8_t type, int view);
// "RF8" .. "RF128" for 1..8, "RF???" otherwise.
std::string EmSpeedName(std::uint8_t value);

} // namespace tervane
