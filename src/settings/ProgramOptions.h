#pragma once

#include <QString>

namespace tervane {

// The program's own options that the configuration record has no field for. They live in
// "Tervane.ini" beside the configuration file (INI format, QSettings), so that the record keeps
// its layout and any reader of Tervane.cfg still reads this program's configuration.
//
//   [Saving]
//   KeepBackup=true
class ProgramOptions {
public:
    // Whether Save and Save As keep the key base they replace as "<name>-backup.dir" and
    // "<name>-backup.dat" beside it.
    bool keepBaseBackup() const { return m_keepBaseBackup; }
    void setKeepBaseBackup(bool keep) { m_keepBaseBackup = keep; }

    bool operator==(const ProgramOptions&) const = default;

private:
    bool m_keepBaseBackup = true;
};

// The options of the running program.
ProgramOptions& programOptions();

// "Tervane.ini" in the folder of the configuration file.
QString programOptionsFile();

// Fills programOptions() with the defaults, then with what the file holds: an option that the
// file lacks, or holds no yes/no value for, keeps its default. Never reports a bad file.
void LoadProgramOptions();

// Writes programOptions() into the file, atomically, keeping the entries it holds for options
// this version does not know. Failures are not reported; returns whether the file was written.
bool SaveProgramOptions();

// Whether the options in force have not reached the file since the last failed write: the
// program's close writes them again then.
bool programOptionsUnsaved();

} // namespace tervane
