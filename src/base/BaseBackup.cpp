#include "base/BaseBackup.h"

#include "base/BaseSave.h"
#include "base/DirectoryRecord.h"
#include "base/DurableFile.h"
#include "base/FileErrors.h"
#include "seams/Prompts.h"
#include "texts/UiLanguage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace tervane {
namespace {

QString dirOf(const QString& base) {
    return base + QStringLiteral(".dir");
}

QString datOf(const QString& base) {
    return base + QStringLiteral(".dat");
}

// Whether the file starts with the header record of a directory file: version 100 and the
// signature "Data Base".
bool isDirectoryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(DirectoryRecord::kSize);
    if (bytes.size() != DirectoryRecord::kSize)
        return false;
    const DirectoryRecord header = DirectoryRecord::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()));
    return header.version() == DirectoryRecord::kVersion && header.hasSignature();
}

// Gives source the new name target: a hard link, or where the file system has none a synced copy
// with source's permission bits. False, with taken set when target already exists.
bool secondName(const QString& source, const QString& target, bool& taken) {
    if (linkFile(source, target, &taken))
        return true;
    if (taken)
        return false;
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Never opened when it exists: the file may be another process's.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        taken = QFileInfo::exists(target);
        return false;
    }
    const bool copied = keepFileMode(out, source) && copyOpenFileInto(in, out);
    out.close();
    if (copied && out.error() == QFileDevice::NoError)
        return true;
    out.remove();
    return false;
}

} // namespace

QString backupBaseOf(const QString& base) {
    return base + QStringLiteral("-backup");
}

PendingBackup::PendingBackup(QString base) : m_base(std::move(base)), m_backup(backupBaseOf(m_base)) {}

PendingBackup::~PendingBackup() {
    dropTaken();
}

bool PendingBackup::refuse(std::int32_t code, const QString& path) {
    if (m_errorCode == 0) {
        m_errorCode = code;
        m_errorPath = path;
    }
    return false;
}

bool PendingBackup::replaceable() {
    const QString dir = dirOf(m_backup);
    const QString dat = datOf(m_backup);
    const bool hasDir = QFileInfo::exists(dir);
    if (hasDir && !isDirectoryFile(dir))
        return refuse(FileErrorFormat, dir);
    if (!hasDir && QFileInfo::exists(dat))
        return refuse(FileErrorOpen, dir);
    // A backup the user marked read-only is one to keep, as a base's own files are.
    for (const QString& file : {dat, dir}) {
        if (isReadOnlyFile(file))
            return refuse(FileErrorCreate, file);
    }
    return true;
}

void PendingBackup::take() {
    bool busy = false;
    m_lock = lockBase(m_backup, busy);
    if (!m_lock) {
        refuse(busy ? FileErrorWrite : FileErrorCreate, dirOf(m_backup));
        return;
    }
    // A backup cut short by a crash is settled first, so that the pair replaced below is whole.
    if (!recoverInterruptedSaveLocked(m_backup)) {
        m_errorShown = true;
        refuse(FileErrorWrite, dirOf(m_backup));
        return;
    }
    if (!replaceable())
        return;

    // The .dat one first and the .dir one of the same id after it, as a save makes its
    // temporaries, so that the backup's recovery reads them as it reads a save's.
    QString id;
    bool taken = true;
    for (int attempt = 0; attempt < 16 && taken; ++attempt) {
        id = QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, u'0');
        m_datTemp = savingTempPath(m_backup, ".dat", id);
        if (secondName(datOf(m_base), m_datTemp, taken))
            break;
        m_datTemp.clear();
    }
    if (m_datTemp.isEmpty()) {
        refuse(FileErrorCreate, datOf(m_backup));
        return;
    }
    m_dirTemp = savingTempPath(m_backup, ".dir", id);
    if (!secondName(dirOf(m_base), m_dirTemp, taken)) {
        m_dirTemp.clear();
        dropTaken();
        refuse(FileErrorCreate, dirOf(m_backup));
        return;
    }
    // No sync of the folder here: the save's own, after its renames in the same folder, makes the
    // second names durable with them, and until then the old pair is still the base's.
    if (!reachSaveStep(SaveStep::BackupTaken)) {
        dropTaken();
        refuse(FileErrorCreate, datOf(m_backup));
    }
}

void PendingBackup::commit() {
    if (!m_datTemp.isEmpty()) {
        const QString dat = datOf(m_backup);
        const QString dir = dirOf(m_backup);
        if (!replaceFile(m_datTemp, dat)) {
            dropTaken();
            refuse(FileErrorWrite, dat);
        } else {
            // From here on the backup can only go forward: a .dir temporary left behind is renamed
            // over the backup's .dir by its next recovery.
            m_datTemp.clear();
            const bool replaced = reachSaveStep(SaveStep::BackupPageReplaced) && replaceFile(m_dirTemp, dir);
            m_dirTemp.clear();
            if (replaced) {
                syncFolder(QFileInfo(m_backup).absolutePath());
                reachSaveStep(SaveStep::BackupDirectoryReplaced);
            } else {
                refuse(FileErrorWrite, dir);
            }
        }
    }
    m_lock.reset();
    report();
}

void PendingBackup::dropTaken() {
    if (!m_dirTemp.isEmpty())
        QFile::remove(m_dirTemp);
    if (!m_datTemp.isEmpty())
        QFile::remove(m_datTemp);
    m_dirTemp.clear();
    m_datTemp.clear();
}

void PendingBackup::report() const {
    if (m_errorCode == 0 || m_errorShown)
        return;
    const QString text =
        translate("BaseBackup", "The key base is saved, but its previous version was not kept as a backup. %1")
            .arg(fileErrorText(m_errorCode, QDir::toNativeSeparators(m_errorPath)));
    prompts().message(PromptIcon::Warning, QStringLiteral("Tervane"), text, ButtonOk);
}

} // namespace tervane
