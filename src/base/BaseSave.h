#pragma once

#include "base/BaseTree.h"

#include <QString>
#include <functional>

namespace tervane {

// Saving a working copy over a user's key base. The two files of the base are replaced so that
// the pair is wholly old or wholly new, even when the program dies halfway: both new files are
// first written beside the old ones as "<base>.dat.saving" and "<base>.dir.saving" and synced,
// then the .dat one and after it the .dir one are renamed over the old files.

// The points of a save at which tests stop or fail it.
enum class SaveStep : int {
    PagePartlyWritten = 1, // the new .dat is partly in its temporary file
    PageWritten,           // the new .dat is whole in its temporary file
    DirectoryPartlyWritten,
    DirectoryWritten,  // both temporary files are whole; nothing is replaced yet
    PageReplaced,      // the .dat is new, the .dir still old
    DirectoryReplaced, // both are new
};
constexpr int kSaveStepCount = 6;

// Returning false makes the step fail as a write error would. Only tests set one.
using SaveStepHook = std::function<bool(SaveStep)>;
void setSaveStepHook(SaveStepHook hook);

QString SavingTempPath(const QString& base, const char* extension); // extension ".dir" or ".dat"

// Writes the tree into the working .dir and replaces destinationBase's .dir and .dat by the
// working files. Failures are reported (ReportFileError, EnsureFreeSpace) and leave the
// destination as it was, except a failed last rename, which the next RecoverInterruptedSave
// completes.
bool SaveWorkingCopyTo(const QString& workingBase, const QString& destinationBase, const BaseTree& tree);

// Finishes or undoes a save of base that was cut short. A finished .dir temporary whose .dat
// temporary is gone means the .dat was already replaced: the .dir one is renamed over the .dir.
// Otherwise any temporaries are dropped (the .dir one first, so that a .dir temporary never
// outlives its .dat temporary unfinished). False, with code -2 shown, when the rename fails.
bool RecoverInterruptedSave(const QString& base);

} // namespace tervane
