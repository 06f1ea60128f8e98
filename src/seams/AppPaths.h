#pragma once

#include "seams/Seam.h"

#include <QString>
#include <functional>

namespace tervane {

// Where the program keeps its files: its own folder, the configuration file, the temporary
// folder of working copies and the folder of downloaded updates.
class AppPaths {
public:
    virtual ~AppPaths() = default;
    virtual QString programFolder() const = 0;
    virtual QString configFile() const = 0;
    virtual QString tempFolder() const = 0;
    virtual QString softwareFolder() const = 0;
};

// The rules of an installed program:
// - the configuration file "Tervane.cfg" sits in the program folder when that folder is writable
//   (a portable install), otherwise in the per-user configuration folder;
// - the temporary folder is the TEMP variable when it is set, otherwise "TEMP" in the program
//   folder when that folder is writable, otherwise "Tervane" in the system's temporary folder;
// - the "software" folder follows the configuration file's rule, under the per-user data folder.
class DefaultAppPaths final : public AppPaths {
public:
    using EnvLookup = std::function<QString(const char* name)>;
    // An empty programFolder means the folder of the running executable; an empty env reads the
    // process environment.
    explicit DefaultAppPaths(QString programFolder = {}, EnvLookup env = {});

    QString programFolder() const override;
    QString configFile() const override;
    QString tempFolder() const override;
    QString softwareFolder() const override;

private:
    bool programFolderWritable() const;
    QString m_programFolder;
    EnvLookup m_env;
};

AppPaths& appPaths();
// The seam itself, for a ScopedSeam that replaces the program's own for a while.
Seam<AppPaths>& appPathsSeam();

// The temporary folder of the paths in force (the working copies live there).
QString TempFolder();

} // namespace tervane
