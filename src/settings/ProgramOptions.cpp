#include "settings/ProgramOptions.h"

#include "seams/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tervane {
namespace {

const QString kKeepBackupKey = QStringLiteral("Saving/KeepBackup");

bool g_unsaved = false;

// A yes/no value as people write it in an INI file; anything else keeps the default.
bool readSwitch(const QSettings& file, const QString& key, bool fallback) {
    const QString text = file.value(key).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes") ||
        text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0") || text == QLatin1String("no") ||
        text == QLatin1String("off"))
        return false;
    return fallback;
}

} // namespace

ProgramOptions& programOptions() {
    static ProgramOptions options;
    return options;
}

QString programOptionsFile() {
    return QFileInfo(appPaths().configFile()).absolutePath() + QStringLiteral("/Tervane.ini");
}

void LoadProgramOptions() {
    ProgramOptions& options = programOptions();
    options = ProgramOptions();
    const QSettings file(programOptionsFile(), QSettings::IniFormat);
    options.setKeepBaseBackup(readSwitch(file, kKeepBackupKey, options.keepBaseBackup()));
    g_unsaved = false;
}

bool SaveProgramOptions() {
    const QString path = programOptionsFile();
    // The per-user configuration folder does not exist before the first save.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        g_unsaved = true;
        return false;
    }
    QSettings file(path, QSettings::IniFormat);
    file.setValue(kKeepBackupKey, programOptions().keepBaseBackup());
    file.sync();
    g_unsaved = file.status() != QSettings::NoError;
    return !g_unsaved;
}

bool programOptionsUnsaved() {
    return g_unsaved;
}

} // namespace tervane
