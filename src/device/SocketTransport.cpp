#include "device/SocketTransport.h"

#include "device/DeviceReport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tervane {
namespace {

// Waits for the events on fd until the deadline; false on a time-out. Interrupted waits resume.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int remaining = static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
        const int n = ::poll(&p, 1, remaining);
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool isSocket(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

} // namespace

SocketTransport::SocketTransport(const QString& folder, QObject* parent)
    : HidTransport(parent), m_folder(folder.isEmpty() ? devicesFolder() : folder) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        // A folder removed and made again drops out of the watch; take it up again.
        if (!m_watcher.directories().contains(m_folder))
            watchFolder();
        emit devicesChanged();
    });
    watchFolder();
}

SocketTransport::~SocketTransport() {
    close();
}

QString SocketTransport::devicesFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/tervane/devices");
    return QStringLiteral("/tmp/tervane-%1/devices").arg(::getuid());
}

bool SocketTransport::ensureFolder(const QString& folder) {
    const QDir dir(folder);
    if (dir.exists())
        return true;
    QDir parent = dir;
    parent.cdUp();
    const bool parentExisted = parent.exists();
    if (!QDir().mkpath(folder))
        return false;
    // Under a shared /tmp nobody else may plant a programmer for this user.
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(folder, ownerOnly);
    if (!parentExisted)
        QFile::setPermissions(parent.path(), ownerOnly);
    return true;
}

void SocketTransport::watchFolder() {
    if (ensureFolder(m_folder))
        m_watcher.addPath(m_folder);
}

QStringList SocketTransport::findPaths() {
    // Sockets in a folder that another user owns could pose as this user's programmer.
    if (QFileInfo(m_folder).ownerId() != ::getuid())
        return {};
    QStringList names = QDir(m_folder).entryList({QStringLiteral("*.sock")}, QDir::System | QDir::Files);
    std::sort(names.begin(), names.end());
    QStringList paths;
    for (const QString& name : names) {
        const QString path = m_folder + QLatin1Char('/') + name;
        if (isSocket(path))
            paths.append(path);
    }
    return paths;
}

bool SocketTransport::open(const QString& path) {
    if (m_fd >= 0)
        return false;
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (encoded.size() >= static_cast<int>(sizeof(address.sun_path)))
        return false;
    std::memcpy(address.sun_path, encoded.constData(), static_cast<std::size_t>(encoded.size()));

    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_lost = false;
    m_notifier = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SocketTransport::connectionReadable);
    return true;
}

void SocketTransport::close() {
    // The notice of a lost connection closes the transport from inside the notifier's own signal.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
    }
    m_notifier = nullptr;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    m_lost = false;
}

// Watches the idle connection so that a peer that goes away is noticed without a transfer.
void SocketTransport::connectionReadable() {
    char byte = 0;
    const ssize_t n = ::recv(m_fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        markLost(true);
        return;
    }
    // A report waits for the next read; until then the notifier would fire without end.
    if (n > 0 && m_notifier)
        m_notifier->setEnabled(false);
}

void SocketTransport::markLost(bool noticeNow) {
    if (m_lost)
        return;
    m_lost = true;
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (noticeNow)
        emit devicesChanged();
    else
        QMetaObject::invokeMethod(this, &HidTransport::devicesChanged, Qt::QueuedConnection);
}

// After a send or recv that failed with errno: true when the call may be made again (it was
// interrupted, or the socket became ready before the deadline). A broken connection is lost.
bool SocketTransport::mayRetry(short events, const QDeadlineTimer& deadline) {
    if (errno == EINTR)
        return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
        markLost(false);
        return false;
    }
    return waitFor(m_fd, events, deadline);
}

bool SocketTransport::writeReport(const std::uint8_t* report, int timeoutMs) {
    if (m_fd < 0 || m_lost)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const ssize_t n = ::send(m_fd, report, ReportSize, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n == ReportSize)
            return true;
        if (n >= 0 || !mayRetry(POLLOUT, deadline))
            return false;
    }
}

bool SocketTransport::readReport(std::uint8_t* report, int timeoutMs) {
    if (m_fd < 0 || m_lost)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (n == 0) {
            markLost(false);
            return false;
        }
        if (n > 0) {
            if (m_notifier)
                m_notifier->setEnabled(true);
            if (n != ReportSize)
                return false;
            std::memcpy(report, buffer, ReportSize);
            return true;
        }
        if (!mayRetry(POLLIN, deadline))
            return false;
    }
}

} // namespace tervane
