#include "device/HidrawTransport.h"

#include "device/DeviceReport.h"
#include "device/FdReportIo.h"

#include <QFile>
#include <QSocketNotifier>

#include <cstring>
#include <fcntl.h>
#include <hidapi.h>
#include <libudev.h>
#include <unistd.h>

namespace tervane {

HidrawTransport::HidrawTransport(QObject* parent) : HidTransport(parent) {
    hid_init();
    startMonitor();
}

HidrawTransport::~HidrawTransport() {
    close();
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

// Without a monitor (no udev, as in some containers) programmers are still found at start-up,
// only their comings and goings go unnoticed.
void HidrawTransport::startMonitor() {
    m_udev = udev_new();
    if (!m_udev)
        return;
    // The "udev" source rather than "kernel": its events come after the rules have given the
    // user access to the new node.
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        return;
    }
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HidrawTransport::monitorReadable);
}

void HidrawTransport::monitorReadable() {
    udev_device* device = udev_monitor_receive_device(m_monitor);
    if (!device)
        return;
    const char* action = udev_device_get_action(device);
    const bool arrivalOrRemoval = action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
    udev_device_unref(device);
    if (arrivalOrRemoval)
        emit devicesChanged();
}

QStringList HidrawTransport::findPaths() {
    QStringList paths;
    hid_device_info* list = hid_enumerate(VendorId, ProductId);
    for (hid_device_info* info = list; info; info = info->next) {
        if (info->path && info->path[0] != '\0')
            paths.append(QFile::decodeName(info->path));
    }
    hid_free_enumeration(list);
    return paths;
}

bool HidrawTransport::open(const QString& path) {
    if (m_fd >= 0)
        return false;
    // The paths hidapi's hidraw backend lists are the device nodes themselves.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_path = path;
    m_lost = false;
    return true;
}

void HidrawTransport::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path.clear();
    m_lost = false;
}

void HidrawTransport::markLost() {
    if (m_lost)
        return;
    m_lost = true;
    // udev tells of the removal too, but a node that fails for another reason needs a notice.
    QMetaObject::invokeMethod(this, &HidTransport::devicesChanged, Qt::QueuedConnection);
}

bool HidrawTransport::writeReport(const std::uint8_t* report, int timeoutMs) {
    if (m_fd < 0 || m_lost)
        return false;
    int written = 0;
    const FdReportIo::Result result = FdReportIo::write(m_fd, report, ReportSize, timeoutMs, written);
    if (result == FdReportIo::Result::Failed) {
        markLost();
        return false;
    }
    return result == FdReportIo::Result::Done && written == ReportSize;
}

bool HidrawTransport::readReport(std::uint8_t* report, int timeoutMs) {
    if (m_fd < 0 || m_lost)
        return false;
    // An unnumbered report arrives as its 64 data bytes; the report id 0 goes in front.
    int read = 0;
    const FdReportIo::Result result = FdReportIo::read(m_fd, report + 1, ReportSize - 1, timeoutMs, read);
    if (result == FdReportIo::Result::Failed) {
        markLost();
        return false;
    }
    if (result != FdReportIo::Result::Done || read != ReportSize - 1)
        return false;
    report[0] = 0;
    return true;
}

} // namespace tervane
