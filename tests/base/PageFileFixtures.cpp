#include "PageFileFixtures.h"

#include <QFile>

#include <cstring>

#ifdef Q_OS_LINUX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tervane::test {

QByteArray pageBytes(int seed) {
    QByteArray bytes(KeyPage::kSize, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(seed * 37 + i * 13 + (i >> 9));
    return bytes;
}

KeyPage pageOf(const QByteArray& bytes) {
    KeyPage page;
    std::memcpy(page.data(), bytes.constData(), KeyPage::kSize);
    return page;
}

QByteArray bytesOf(const KeyPage& page) {
    return QByteArray(reinterpret_cast<const char*>(page.data()), KeyPage::kSize);
}

QByteArray fileOf(const QList<int>& seeds, const QByteArray& tail) {
    QByteArray bytes;
    for (int seed : seeds)
        bytes += pageBytes(seed);
    return bytes + tail;
}

#ifdef Q_OS_LINUX
FileSizeLimit::FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = m_old;
    lowered.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}

OpenFileLimit::OpenFileLimit(int spare) {
    getrlimit(RLIMIT_NOFILE, &m_old);
    // The system hands out the lowest free descriptor, so spare files from the lowest free one
    // on are all that can still be opened.
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(lowestFree);
    rlimit lowered = m_old;
    lowered.rlim_cur = rlim_t(lowestFree + spare);
    setrlimit(RLIMIT_NOFILE, &lowered);
}

OpenFileLimit::~OpenFileLimit() {
    setrlimit(RLIMIT_NOFILE, &m_old);
}

bool sameFileSystem(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return stat(QFile::encodeName(a).constData(), &sa) == 0 && stat(QFile::encodeName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev;
}
#endif

} // namespace tervane::test
