#include "PageFileFixtures.h"

#include <QFile>

#include <cstring>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/stat.h>
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

bool sameFileSystem(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return stat(QFile::encodeName(a).constData(), &sa) == 0 && stat(QFile::encodeName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev;
}
#endif

} // namespace tervane::test
