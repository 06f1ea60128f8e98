#include "seams/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tervane {

DefaultAppPaths::DefaultAppPaths(QString programFolder, EnvLookup env)
    : m_programFolder(std::move(programFolder)), m_env(std::move(env)) {}

QString DefaultAppPaths::programFolder() const {
    if (!m_programFolder.isEmpty())
        return m_programFolder;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

bool DefaultAppPaths::programFolderWritable() const {
    const QFileInfo info(programFolder());
    return info.isDir() && info.isWritable();
}

QString DefaultAppPaths::configFile() const {
    if (programFolderWritable())
        return programFolder() + QStringLiteral("/Tervane.cfg");
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Tervane.cfg");
}

QString DefaultAppPaths::tempFolder() const {
    const QString temp = m_env ? m_env("TEMP") : qEnvironmentVariable("TEMP");
    if (!temp.isEmpty())
        return temp;
    if (programFolderWritable())
        return programFolder() + QStringLiteral("/TEMP");
    return QDir::tempPath() + QStringLiteral("/Tervane");
}

QString DefaultAppPaths::softwareFolder() const {
    if (programFolderWritable())
        return programFolder() + QStringLiteral("/software");
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/software");
}

namespace {} // namespace

Seam<AppPaths>& appPathsSeam() {
    static DefaultAppPaths fallback;
    static Seam<AppPaths> seam(fallback);
    return seam;
}

AppPaths& appPaths() {
    return appPathsSeam().get();
}

QString TempFolder() {
    return appPaths().tempFolder();
}

} // namespace tervane
