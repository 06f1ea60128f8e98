#pragma once

namespace tervane {

// Fills settings() with the defaults, then with the configuration file's record when the file
// holds exactly one whole record; makes sure the temporary folder exists (a message in the
// configured language when it cannot be created). Never reports a bad file.
void LoadSettings();

// Writes settings() to the configuration file, atomically; failures are not reported.
// Returns whether the file was written.
bool SaveSettings();

} // namespace tervane
