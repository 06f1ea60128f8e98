#pragma once

#include "device/HidTransport.h"

#include <QFileSystemWatcher>

class QDeadlineTimer;
class QSocketNotifier;

namespace tervane {

// Simulated programmers (orvel-sim, or any program that speaks the same reports): each is a Unix
// SOCK_SEQPACKET socket named "*.sock" in the devices folder, and each message either way is one
// 65-byte report. A socket that appears is a plugged programmer; a socket file that disappears,
// or a connection the other side closed, is one pulled out.
class SocketTransport final : public HidTransport {
    Q_OBJECT
public:
    // An empty folder means devicesFolder(). The folder is created so that it can be watched.
    explicit SocketTransport(const QString& folder = {}, QObject* parent = nullptr);
    ~SocketTransport() override;

    // $XDG_RUNTIME_DIR/tervane/devices, or /tmp/tervane-<uid>/devices without XDG_RUNTIME_DIR.
    static QString devicesFolder();
    // Creates the folder, private to the user where it is made under a shared temporary folder.
    static bool ensureFolder(const QString& folder);

    QString folder() const { return m_folder; }

    QStringList findPaths() override;
    bool open(const QString& path) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    QString openPath() const override { return m_path; }
    bool openDeviceLost() const override { return m_lost; }
    bool writeReport(const std::uint8_t* report, int timeoutMs) override;
    bool readReport(std::uint8_t* report, int timeoutMs) override;

private:
    void connectionReadable();
    void markLost(bool noticeNow);
    bool mayRetry(short events, const QDeadlineTimer& deadline);
    void watchFolder();

    QString m_folder;
    QFileSystemWatcher m_watcher;
    int m_fd = -1;
    QString m_path;
    bool m_lost = false;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tervane
