#include "device/DeviceLink.h"

#include "device/HidTransport.h"

namespace tervane {

DeviceLink::DeviceLink(HidTransport* transport) : m_transport(transport) {}

DeviceLink::~DeviceLink() {
    QObject::disconnect(m_noticeConnection);
}

void DeviceLink::setTransport(HidTransport* transport) {
    if (transport == m_transport)
        return;
    DeviceClose();
    QObject::disconnect(m_noticeConnection);
    m_transport = transport;
    if (m_noticeHandler)
        connectNotices();
}

bool DeviceLink::DeviceFindPath(QString& path) {
    path = m_transport ? m_transport->findPath() : QString();
    return !path.isEmpty();
}

void DeviceLink::DeviceOpen() {
    const QStringList paths = m_transport ? m_transport->findPaths() : QStringList();
    if (paths.isEmpty()) {
        DeviceClose();
        return;
    }
    if (m_transport->isOpen()) {
        if (!releaseIfGone(paths)) {
            m_connected = true;
            return;
        }
    }
    m_connected = false;
    // A path that cannot be opened (a stale socket, a node without access) does not hide the
    // programmers listed after it.
    for (const QString& path : paths) {
        if (m_transport->open(path)) {
            m_connected = true;
            ++m_opening;
            return;
        }
    }
}

bool DeviceLink::deviceReleaseGone() {
    if (!m_transport || !m_transport->isOpen())
        return false;
    return releaseIfGone(m_transport->findPaths());
}

// With two programmers plugged in, the one in use can leave while the other stays: its handle is
// then dead although a path is still found, so it is let go.
bool DeviceLink::releaseIfGone(const QStringList& paths) {
    const bool gone = m_transport->openDeviceLost() || !paths.contains(m_transport->openPath());
    if (gone)
        DeviceClose();
    return gone;
}

void DeviceLink::DeviceClose() {
    if (m_transport && m_transport->isOpen())
        m_transport->close();
    m_connected = false;
}

bool DeviceLink::DeviceWriteReport(const std::uint8_t* report) {
    if (!m_connected || !m_transport)
        return false;
    return m_transport->writeReport(report, WriteBoundMs);
}

bool DeviceLink::DeviceReadReport(std::uint8_t* report) {
    if (!m_connected || !m_transport)
        return false;
    return m_transport->readReport(report, ReadBoundMs);
}

bool DeviceLink::DevicePollReport(std::uint8_t* report) {
    if (!m_connected || !m_transport)
        return false;
    return m_transport->readReport(report, PollBoundMs);
}

int DeviceLink::deviceDiscardQueued() {
    if (!m_connected || !m_transport)
        return 0;
    Report report{};
    int discarded = 0;
    while (discarded < MaxDiscardedReports && m_transport->readReport(report.data(), 0))
        ++discarded;
    return discarded;
}

void DeviceLink::DeviceRegisterNotices(std::function<void()> handler) {
    QObject::disconnect(m_noticeConnection);
    m_noticeHandler = std::move(handler);
    if (m_noticeHandler)
        connectNotices();
}

void DeviceLink::connectNotices() {
    if (!m_transport)
        return;
    m_noticeConnection = QObject::connect(m_transport, &HidTransport::devicesChanged, m_transport, [this] {
        if (m_noticeHandler)
            m_noticeHandler();
    });
}

DeviceLink& deviceLink() {
    static DeviceLink link;
    return link;
}

} // namespace tervane
