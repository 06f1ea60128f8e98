#pragma once

#include <QLockFile>
#include <QString>
#include <cstdint>
#include <memory>

namespace tervane {

// The previous version of a key base, kept beside it when a save replaces it: the base
// "keys/shop" keeps "keys/shop-backup.dir" and "keys/shop-backup.dat", a key base of its own that
// opens like any other (and whose own backup, when it is saved, is "shop-backup-backup").
//
// The backup is written as a save writes a base, under the backup's lock "<name>-backup.lck":
// while the save holds the base's lock, and once the new pair is whole in its temporaries, the
// old .dat and .dir get second names "<name>-backup.dat.saving-<id>" and
// "<name>-backup.dir.saving-<id>" (hard links, or synced copies where the file system has none),
// so their content outlives the renames that put the new pair in place. Only then are they
// renamed over the backup's pair, the .dat first. A crash at any point leaves the new base or the
// old one, and the previous backup or the new one, each pair whole: the backup's recovery
// (recoverInterruptedSave of the backup base, run by its next open and by the next save that
// keeps a backup) treats these temporaries as it treats a save's. A save that fails leaves the
// previous backup as it was.
//
// A pair under the backup's name is replaced only when it is one as far as can be told: no file
// at all, or a .dir that starts with a directory file's header record. A .dir of another kind, a
// .dat without its .dir, and a file marked read-only are left alone. Whatever keeps the backup
// from being written is reported after the save, which it never fails or undoes.
QString backupBaseOf(const QString& base);

// The backup of one save of base.
class PendingBackup {
public:
    explicit PendingBackup(QString base);
    // Drops what was taken and never committed (the save failed), the .dir temporary first.
    ~PendingBackup();
    PendingBackup(const PendingBackup&) = delete;
    PendingBackup& operator=(const PendingBackup&) = delete;

    // Under base's lock, before the new pair is renamed in: the old pair's second names.
    void take();
    // Once the new pair is in place: the backup's pair replaced, and whatever kept it from being
    // written shown as a warning.
    void commit();
    // No backup is written, for the reason of a file error code and path; the first reason given
    // is the one reported. Always false.
    bool refuse(std::int32_t code, const QString& path);

private:
    bool replaceable();
    void dropTaken();
    void report() const;

    QString m_base;
    QString m_backup;
    std::unique_ptr<QLockFile> m_lock;
    QString m_datTemp; // empty: nothing taken
    QString m_dirTemp;
    std::int32_t m_errorCode = 0;
    QString m_errorPath;
    bool m_errorShown = false; // the backup's recovery showed its own error
};

} // namespace tervane
