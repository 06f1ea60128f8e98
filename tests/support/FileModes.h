#pragma once

// The owner's view of a file, as the system keeps it: mode bits, group and inode. -1 when the
// file cannot be read.
#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tervane::test {

#ifdef Q_OS_UNIX
inline struct stat statOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        st.st_ino = 0;
    return st;
}

inline int modeOf(const QString& path) {
    const struct stat st = statOf(path);
    return st.st_ino ? int(st.st_mode & 07777) : -1;
}

inline int groupOf(const QString& path) {
    const struct stat st = statOf(path);
    return st.st_ino ? int(st.st_gid) : -1;
}

inline qint64 inodeOf(const QString& path) {
    const struct stat st = statOf(path);
    return st.st_ino ? qint64(st.st_ino) : -1;
}

inline bool setMode(const QString& path, int mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

// uid or gid -1 leaves that one as it is.
inline bool setOwner(const QString& path, int uid, int gid) {
    return ::chown(QFile::encodeName(path).constData(), uid_t(uid), gid_t(gid)) == 0;
}
#endif

} // namespace tervane::test
