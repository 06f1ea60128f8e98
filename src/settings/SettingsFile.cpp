#include "settings/SettingsFile.h"

#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cstring>

namespace tervane {
namespace {

void readConfigFile(Settings& target) {
    QFile file(appPaths().configFile());
    if (file.open(QIODevice::ReadOnly))
        readSettingsRecord(file, target);
}

void ensureTempFolder(LanguageSetting languageSetting) {
    const QString folder = TempFolder();
    if (QFileInfo(folder).isDir())
        return;
    if (QDir().mkdir(folder))
        return;
    const UiLanguage language = ChooseLanguage(languageSetting);
    const QString text = translateIn(language, "Settings", QT_TRANSLATE_NOOP("Settings", "Cannot create \"%1\""))
                             .arg(QDir::toNativeSeparators(folder));
    prompts().message(PromptIcon::Error, QStringLiteral("Tervane"), text, ButtonOk);
}

} // namespace

void LoadSettings() {
    Settings& record = settings();
    record.setDefaults();
    readConfigFile(record);
    ensureTempFolder(record.languageSetting());
}

bool SaveSettings() {
    const QString path = appPaths().configFile();
    // The per-user configuration folder does not exist before the first save.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!writeSettingsRecord(file, settings())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// The file is a file of whole records: only a length of exactly one record counts, and then its
// first record is taken whatever follows it.
bool readSettingsRecord(QIODevice& device, Settings& target) {
    if ((device.size() - device.pos()) / Settings::kSize != 1)
        return false;
    std::array<char, Settings::kSize> record;
    if (device.read(record.data(), Settings::kSize) != Settings::kSize)
        return false;
    std::memcpy(target.data(), record.data(), Settings::kSize);
    return true;
}

bool writeSettingsRecord(QIODevice& device, const Settings& record) {
    return device.write(reinterpret_cast<const char*>(record.data()), Settings::kSize) == Settings::kSize;
}

} // namespace tervane
