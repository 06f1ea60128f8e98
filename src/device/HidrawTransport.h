#pragma once

#include "device/HidTransport.h"

struct hid_device_;
struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace tervane {

// Real programmers on Linux: hidapi's hidraw backend for the reports, and a udev monitor on the
// "hidraw" subsystem for the plug and unplug notices.
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
    bool isOpen() const override { return m_device != nullptr; }
    QString openPath() const override { return m_path; }
    bool openDeviceLost() const override { return m_lost; }
    bool writeReport(const std::uint8_t* report, int timeoutMs) override;
    bool readReport(std::uint8_t* report, int timeoutMs) override;

private:
    void startMonitor();
    void monitorReadable();
    void markLost();

    hid_device_* m_device = nullptr;
    QString m_path;
    bool m_lost = false;
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tervane
