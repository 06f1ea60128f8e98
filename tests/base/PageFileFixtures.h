#pragma once

#include "base/KeyPage.h"

#include <QByteArray>
#include <QList>
#include <QString>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

namespace tervane::test {

// A page whose every byte depends on seed, so that a record read back from the wrong place,
// or shifted, shows at once.
QByteArray pageBytes(int seed);
KeyPage pageOf(const QByteArray& bytes);
QByteArray bytesOf(const KeyPage& page);
// The pages of the seeds one after another, then tail.
QByteArray fileOf(const QList<int>& seeds, const QByteArray& tail = {});

#ifdef Q_OS_LINUX
// Makes writes past limit bytes fail with EFBIG, as a full disk would, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// Lets the process open only spare more files while it lives: the next one fails with EMFILE.
class OpenFileLimit {
public:
    explicit OpenFileLimit(int spare);
    ~OpenFileLimit();
    OpenFileLimit(const OpenFileLimit&) = delete;
    OpenFileLimit& operator=(const OpenFileLimit&) = delete;

private:
    rlimit m_old{};
};

bool sameFileSystem(const QString& a, const QString& b);
#endif

} // namespace tervane::test
