#pragma once

namespace tervane {

// Loads the image format plugins on a worker thread. Reading the first image file loads every
// plugin there is, to ask each whether it reads the file; the style reads its small pictures
// while the menu band is being made. Started early, that load is off the window's start.
// Only the first call does anything.
void loadImageFormatsAhead();

} // namespace tervane
