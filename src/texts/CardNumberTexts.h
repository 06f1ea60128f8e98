#pragma once

#include "keys/EmCardNumbers.h"

#include <QStringList>

namespace tervane {

// The EM410x card numbers as the key editor and the grid's tool tip show them, one labelled
// line each: DEZ 10, DEZ 8, DEZ 3.5C, DEZ 5.5, DEZ 14. Empty numbers leave the label alone.
QStringList cardNumberTexts(const EmCardNumbers& numbers);

} // namespace tervane
