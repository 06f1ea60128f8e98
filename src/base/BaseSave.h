#pragma once

#include "base/BaseTree.h"

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace tervane {

// Saving a working copy over a user's key base. The two files of the base are replaced so that
// the pair is wholly old or wholly new, even when the program dies halfway: both new files are
// first written beside the old ones as "<base>.dat.saving-<id>" and "<base>.dir.saving-<id>",
// one random id per save, and synced; then the .dat one and after it the .dir one are renamed
// over the old files. A save holds the base's lock "<base>.lck" for its whole length, so two
// instances never save one base at once, and only the lock's holder settles a cut save.
// In a folder where the user may not create files, the existing two files are rewritten in
// place instead: such a save is not atomic.

// The points of a save at which tests stop or fail it.
enum class SaveStep : int {
    PagePartlyWritten = 1, // the new .dat is partly in its temporary file
    PageWritten,           // the new .dat is whole in its temporary file
    DirectoryPartlyWritten,
    DirectoryWritten,  // both temporary files are whole; nothing is replaced yet
    PageReplaced,      // the .dat is new, the .dir still old
    DirectoryReplaced, // both are new
    // The steps of a save that keeps the replaced pair as the base's backup (BaseBackup.h),
    // numbered after the steps every save has: BackupTaken comes between DirectoryWritten and
    // PageReplaced, the other two after DirectoryReplaced.
    BackupTaken,        // the old pair has its second names as the backup's temporaries
    BackupPageReplaced, // the backup's .dat is the old .dat, its .dir not yet the old .dir
    BackupDirectoryReplaced,
};
constexpr int kSaveStepCount = 6; // the steps of every save
constexpr int kBackupSaveStepCount = 9;

// Returning false makes the step fail as a write error would. Only tests set one.
using SaveStepHook = std::function<bool(SaveStep)>;
void setSaveStepHook(SaveStepHook hook);
// Whether the save may go on past step: false where the test hook fails it.
bool reachSaveStep(SaveStep step);

// What a save does with the pair it replaces: a save that replaces a whole existing pair keeps it
// as the base's backup when asked; a save that makes a base anew has nothing to keep.
enum class ReplacedPair { Drop, KeepAsBackup };

// How long a save or an open waits for another instance's save of the same base. Only tests
// change it.
constexpr int kBaseLockWaitMs = 2000;
void setBaseLockWait(int ms);

QString baseLockPath(const QString& base);
// A temporary file of a save: extension ".dir" or ".dat"; an empty id gives the name that saves
// of earlier versions used, which recovery settles too.
QString savingTempPath(const QString& base, const char* extension, const QString& id = {});

// Takes the lock of a user's base, waiting a bounded time for another instance's save. Null with
// busy set when that instance keeps it; null with busy clear where no lock file can be made (a
// folder the user may not create files in).
std::unique_ptr<QLockFile> lockBase(const QString& base, bool& busy);

// Writes the tree into the working .dir and replaces destinationBase's .dir and .dat by the
// working files. Failures are reported (ReportFileError, EnsureFreeSpace) and leave the
// destination as it was, except a failed last rename, which the next recovery completes:
// -2 with the .dir when another instance's save keeps the base locked, -3 with a destination
// file that is marked read-only.
// A backup that cannot be kept never fails the save: it is reported once the new pair is in
// place.
bool SaveWorkingCopyTo(const QString& workingBase, const QString& destinationBase, const BaseTree& tree,
                       ReplacedPair replaced = ReplacedPair::Drop);
// The same for a caller that already holds destinationBase's lock (or could make none) and has
// settled its interrupted saves, so that reading the base and writing it back are one step for
// the other instances.
bool SaveWorkingCopyToLocked(const QString& workingBase, const QString& destinationBase, const BaseTree& tree,
                             ReplacedPair replaced = ReplacedPair::Drop);

// Finishes or undoes the saves of base that were cut short, when the base's lock is free (a save
// still running in another instance is left alone). A finished .dir temporary whose own .dat
// temporary is gone means that save's .dat was already replaced: the .dir one is renamed over
// the .dir. Other temporaries are dropped, a .dir one before its .dat one, so that a .dir
// temporary never outlives its .dat temporary unfinished. False, with code -2 shown, when the
// rename fails.
bool recoverInterruptedSave(const QString& base);
// The same for a caller that holds the base's lock.
bool recoverInterruptedSaveLocked(const QString& base);

} // namespace tervane
