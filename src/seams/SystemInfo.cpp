#include "seams/SystemInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

namespace tervane {
namespace {

bool isNetworkFileSystem(const QByteArray& type) {
    static const char* const kNetworkTypes[] = {"nfs",        "nfs4", "cifs", "smb",   "smb2",  "smbfs",      "smb3",
                                                "fuse.sshfs", "afs",  "9p",   "ncpfs", "davfs", "fuse.davfs2"};
    for (const char* t : kNetworkTypes) {
        if (type == t)
            return true;
    }
    return false;
}

class QtSystemInfo final : public SystemInfo {
public:
    bool systemLanguageIsRussian() const override { return QLocale::system().language() == QLocale::Russian; }

    VolumeSpace volumeSpace(const QString& path) const override {
        // The file itself need not exist yet: ask about its nearest existing folder.
        QFileInfo info(path);
        QString probe = info.absoluteFilePath();
        while (!probe.isEmpty() && !QFileInfo::exists(probe)) {
            const QString parent = QFileInfo(probe).path();
            if (parent == probe)
                break;
            probe = parent;
        }
        QStorageInfo storage(probe);
        VolumeSpace space;
        if (!storage.isValid() || !storage.isReady()) {
            space.checked = true;
            space.drive = QDir::toNativeSeparators(probe);
            return space;
        }
        space.drive = QDir::toNativeSeparators(storage.rootPath());
        if (isNetworkFileSystem(storage.fileSystemType()))
            return space;
        space.checked = true;
        space.freeBytes = storage.bytesAvailable();
        return space;
    }
};
} // namespace

Seam<SystemInfo>& systemInfoSeam() {
    static QtSystemInfo fallback;
    static Seam<SystemInfo> seam(fallback);
    return seam;
}

SystemInfo& systemInfo() {
    return systemInfoSeam().get();
}

} // namespace tervane
