#pragma once

#include "device/HidTransport.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace tervane {

// Real programmers on Linux: hidapi's hidraw backend finds them, their hidraw nodes carry the
// reports, and a udev monitor on the "hidraw" subsystem gives the plug and unplug notices.
// The node is opened here, not through hidapi: hidapi's write waits without a bound of its own,
// and its read takes a wait that a signal interrupted for a removed programmer.
class HidrawTransport final : public HidTransport {
    Q_OBJECT
public:
    static constexpr unsigned short VendorId = 0x04D8;
    static constexpr unsigned short ProductId = 0x003F;

    explicit HidrawTransport(QObject* parent = nullptr);
    ~HidrawTransport() override;

    // Every interface with the programmer's ids, in enumeration order.
    QStringList findPaths() override;
    bool open(const QString& path) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    QString openPath() const override { return m_path; }
    bool openDeviceLost() const override { return m_lost; }
    bool writeReport(const std::uint8_t* report, int timeoutMs) override;
    bool readReport(std::uint8_t* report, int timeoutMs) override;

private:
    void startMonitor();
    void monitorReadable();
    void markLost();

    int m_fd = -1;
    QString m_path;
    bool m_lost = false;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tervane
