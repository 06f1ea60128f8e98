#pragma once

class QIODevice;

namespace tervane {

class Settings;

// Fills settings() with the defaults, then with the configuration file's record when the file
// holds exactly one whole record; makes sure the temporary folder exists (a message in the
// configured language when it cannot be created). Never reports a bad file.
void LoadSettings();

// Writes settings() to the configuration file, atomically; failures are not reported.
// Returns whether the file was written.
bool SaveSettings();

// The record of a configuration file, as the two above read and write it: taken into target only
// when the bytes from the device's position to its end (a file or a buffer, not a stream) hold
// exactly one whole record, whatever follows it; target is left alone otherwise. Returns whether
// the record was taken, and whether the whole record was written.
bool readSettingsRecord(QIODevice& device, Settings& target);
bool writeSettingsRecord(QIODevice& device, const Settings& record);

} // namespace tervane
