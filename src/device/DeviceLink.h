#pragma once

#include "device/DeviceReport.h"
#include "device/HidTransport.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

namespace tervane {

// The lowest layer of the programmer link: one programmer at a time, found, opened and let go
// through a HidTransport, and single reports moved with the wait bounds the protocol expects.
class DeviceLink {
public:
    static constexpr int ReadBoundMs = 3000;
    static constexpr int WriteBoundMs = 3000;
    // Short, because the operation dialog polls every 100 ms on the interface thread.
    static constexpr int PollBoundMs = 10;
    // A programmer that keeps sending cannot hold a discard up for longer than this many reports.
    static constexpr int MaxDiscardedReports = 64;

    explicit DeviceLink(HidTransport* transport = nullptr);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Not owned. Replacing the transport closes the open programmer; registered notices follow
    // the new transport.
    void setTransport(HidTransport* transport);
    HidTransport* transport() const { return m_transport; }

    bool DeviceConnected() const { return m_connected; }
    // Counts the programmers opened. A command that began under one opening must not go on
    // under another: the programmer may be a different one, or the same one started afresh.
    quint64 deviceOpening() const { return m_opening; }

    bool DeviceFindPath(QString& path);
    // Opens a newly plugged programmer or lets go of a removed one; an open programmer that is
    // still present stays in use.
    void DeviceOpen();
    // Lets go of the open programmer when it has gone (pulled out, or its handle failed for good)
    // and says whether it did, so that what ran on it can be stopped before DeviceOpen takes
    // another programmer that is still plugged in.
    bool deviceReleaseGone();
    void DeviceClose();

    // False at once while not connected.
    bool DeviceWriteReport(const std::uint8_t* report);
    bool DeviceReadReport(std::uint8_t* report);
    bool DevicePollReport(std::uint8_t* report);
    // Reads away, without waiting, the reports already queued: answers to commands whose reader
    // gave up on them. Gives how many there were.
    int deviceDiscardQueued();

    // The handler runs on every device-change notice of the transport.
    void DeviceRegisterNotices(std::function<void()> handler);

private:
    void connectNotices();
    bool releaseIfGone(const QStringList& paths);

    QPointer<HidTransport> m_transport;
    bool m_connected = false;
    quint64 m_opening = 0;
    std::function<void()> m_noticeHandler;
    QMetaObject::Connection m_noticeConnection;
};

// The link of the running program.
DeviceLink& deviceLink();

} // namespace tervane
