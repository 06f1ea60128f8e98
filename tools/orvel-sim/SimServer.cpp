#include "SimServer.h"

#include "device/DeviceReport.h"
#include "simulator/ProgrammerSimulator.h"

#include <QByteArray>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tervane {
namespace {

bool fillAddress(const QString& path, sockaddr_un& address) {
    const QByteArray encoded = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (encoded.size() >= static_cast<int>(sizeof(address.sun_path)))
        return false;
    std::memcpy(address.sun_path, encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
}

QString hexBytes(const unsigned char* bytes, int count) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), count).toHex().toUpper());
}

} // namespace

SimServer::SimServer(ProgrammerSimulator& simulator, QString socketPath, Printer print, QObject* parent)
    : QObject(parent), m_simulator(simulator), m_path(std::move(socketPath)), m_print(std::move(print)) {
    m_simulator.onPlugChanged = [this](bool plugged) {
        if (plugged) {
            if (openListener())
                m_print(QStringLiteral("plugged ") + m_path);
        } else {
            closeListener();
            m_print(QStringLiteral("unplugged"));
        }
    };
}

SimServer::~SimServer() {
    m_simulator.onPlugChanged = nullptr;
    closeListener();
}

bool SimServer::start() {
    if (!m_simulator.plugged())
        return true;
    if (!openListener())
        return false;
    m_print(QStringLiteral("plugged ") + m_path);
    return true;
}

bool SimServer::openListener() {
    if (m_listenFd >= 0)
        return true;
    sockaddr_un address{};
    if (!fillAddress(m_path, address)) {
        m_print(QStringLiteral("error socket path too long: ") + m_path);
        return false;
    }
    const QByteArray encoded = QFile::encodeName(m_path);
    struct stat st {};
    if (::lstat(encoded.constData(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            m_print(QStringLiteral("error not a socket: ") + m_path);
            return false;
        }
        // A socket someone still answers on belongs to another simulator; one nobody answers
        // was left behind by a simulator that died.
        const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        const bool alive = probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        if (probe >= 0)
            ::close(probe);
        if (alive) {
            m_print(QStringLiteral("error socket in use: ") + m_path);
            return false;
        }
        ::unlink(encoded.constData());
    }

    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 8) != 0) {
        m_print(QStringLiteral("error cannot listen on ") + m_path + QStringLiteral(": ") +
                QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_listenFd = fd;
    m_listenNotifier = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(m_listenNotifier, &QSocketNotifier::activated, this, &SimServer::acceptClient);
    return true;
}

void SimServer::closeListener() {
    // The file goes first: the editor takes a vanished socket for a pulled-out programmer.
    if (m_listenFd >= 0)
        ::unlink(QFile::encodeName(m_path).constData());
    if (m_listenNotifier) {
        m_listenNotifier->setEnabled(false);
        m_listenNotifier->deleteLater();
    }
    m_listenNotifier = nullptr;
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    m_listenFd = -1;
    const QList<int> clients = m_clients.keys();
    for (int fd : clients)
        dropClient(fd);
}

void SimServer::acceptClient() {
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    auto* notifier = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, fd] { clientReadable(fd); });
    m_clients.insert(fd, notifier);
    m_print(QStringLiteral("connected"));
}

void SimServer::dropClient(int fd) {
    // May run inside the client's own notifier signal (a command that pulls the programmer out).
    QSocketNotifier* notifier = m_clients.take(fd);
    notifier->setEnabled(false);
    notifier->deleteLater();
    ::close(fd);
    if (m_currentClient == fd)
        m_currentClient = -1;
    m_print(QStringLiteral("disconnected"));
}

void SimServer::clientReadable(int fd) {
    unsigned char buffer[256];
    const ssize_t n = ::recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (n <= 0) {
        dropClient(fd);
        return;
    }
    if (n != ReportSize) {
        m_print(QStringLiteral("error report of %1 bytes ignored").arg(n));
        return;
    }
    m_currentClient = fd;
    describeCommand(buffer);
    m_simulator.receive(buffer);
    // The simulator may have pulled itself out on this command.
    if (m_clients.contains(fd))
        sendTo(fd);
    // The command let out whatever was held before it: an older timer has nothing left to send.
    const quint64 batch = ++m_lateBatch;
    if (m_simulator.hasLateAnswers())
        QTimer::singleShot(LateAnswerMs, this, [this, fd, batch] { sendLateAnswers(fd, batch); });
}

void SimServer::sendLateAnswers(int fd, quint64 batch) {
    if (batch != m_lateBatch || !m_simulator.hasLateAnswers())
        return;
    m_simulator.releaseLateAnswers();
    if (m_clients.contains(fd))
        sendTo(fd);
    else
        deliver();
}

void SimServer::deliver() {
    if (m_currentClient >= 0 && m_clients.contains(m_currentClient))
        sendTo(m_currentClient);
    else
        while (m_simulator.takeAnswer()) {
        }
}

void SimServer::sendTo(int fd) {
    while (const auto answer = m_simulator.takeAnswer()) {
        const Report& report = *answer;
        switch (report[1]) {
        case StatusKeyRead:
            m_print(QStringLiteral("event key-read %1 %2").arg(report[2]).arg(hexBytes(report.data() + 3, 8)));
            break;
        case StatusDone:
            m_print(QStringLiteral("event done %1").arg(report[2]));
            break;
        case StatusCancelled:
            m_print(QStringLiteral("event cancelled"));
            break;
        default:
            break;
        }
        if (::send(fd, report.data(), ReportSize, MSG_NOSIGNAL | MSG_DONTWAIT) != ReportSize)
            m_print(QStringLiteral("error answer not sent"));
    }
}

void SimServer::describeCommand(const unsigned char* report) {
    if (!reportChecksumHolds(report)) {
        m_print(QStringLiteral("command with a bad check sum ignored"));
        return;
    }
    const int row = report[2] | (report[3] << 8);
    switch (report[1]) {
    case CmdPing:
        m_print(QStringLiteral("command ping"));
        break;
    case CmdIdentify:
        m_print(QStringLiteral("command identify"));
        break;
    case CmdStop:
        m_print(QStringLiteral("command stop"));
        break;
    case CmdReadKeys:
        m_print(QStringLiteral("command read-keys"));
        break;
    case CmdWriteBlank:
        m_print(QStringLiteral("command write-blank %1 %2").arg(report[2]).arg(hexBytes(report + 3, 8)));
        break;
    case CmdLockKey:
        m_print(QStringLiteral("command lock-key"));
        break;
    case CmdReadBaseRow:
        m_print(QStringLiteral("command read-row %1").arg(row));
        break;
    case CmdWriteBaseRow:
        m_print(QStringLiteral("command write-row %1").arg(row));
        break;
    default:
        m_print(QStringLiteral("command unknown 0x%1").arg(report[1], 2, 16, QLatin1Char('0')));
        break;
    }
}

} // namespace tervane
