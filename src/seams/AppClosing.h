#pragma once

namespace tervane {

// Set once when the main window starts closing: the device waits and retries stop at their next
// test of it, so that a dead programmer cannot hold the close up for a minute.
bool AppClosing();
void setAppClosing(bool closing);

} // namespace tervane
