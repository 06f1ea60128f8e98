#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tervane {

// How the program reaches a programmer: find it, open it, move one 65-byte report at a time with
// a bounded wait, close it, and say when programmers may have come or gone. The protocol above
// knows nothing else about the device.
class HidTransport : public QObject {
    Q_OBJECT
public:
    explicit HidTransport(QObject* parent = nullptr) : QObject(parent) {}

    // The paths of the programmers present, the one to use first.
    virtual QStringList findPaths() = 0;
    QString findPath() {
        const QStringList paths = findPaths();
        return paths.isEmpty() ? QString() : paths.first();
    }

    virtual bool open(const QString& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString openPath() const = 0;
    // True once the open programmer is known to have gone (a read failed for good, the peer
    // closed the connection) even when its path is still listed.
    virtual bool openDeviceLost() const { return false; }

    // One report of ReportSize bytes; true when all of it went out or came in within the bound.
    // A read gives the report id in byte 0 as the backend delivers it.
    virtual bool writeReport(const std::uint8_t* report, int timeoutMs) = 0;
    virtual bool readReport(std::uint8_t* report, int timeoutMs) = 0;

signals:
    // A programmer may have been plugged in or pulled out; delivered through the event loop.
    void devicesChanged();
};

} // namespace tervane
