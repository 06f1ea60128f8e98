#pragma once

#include "seams/Seam.h"

#include <QString>
#include <QtGlobal>

namespace tervane {

// Free space of the volume that holds a path.
struct VolumeSpace {
    bool checked = false; // false: not checked (a network share), any size will do
    QString drive;        // the volume's root, as the free-space warning names it
    qint64 freeBytes = 0; // 0 when the system reports nothing for the volume
};

// Facts about the system that tests replace: its interface language and free disk space.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual bool systemLanguageIsRussian() const = 0;
    virtual VolumeSpace volumeSpace(const QString& path) const = 0;
};

// The system in force: QLocale::system() and QStorageInfo unless a test installed another.
SystemInfo& systemInfo();
// The seam itself, for a ScopedSeam that replaces the program's own for a while.
Seam<SystemInfo>& systemInfoSeam();

} // namespace tervane
