#pragma once

#include "device/HidTransport.h"

#include <QHash>
#include <QList>

namespace tervane {

// Several backends seen as one: the programmers of the first backend come first, and a path is
// opened by the backend that listed it. Every backend's notice is passed on.
class CompositeTransport final : public HidTransport {
    Q_OBJECT
public:
    explicit CompositeTransport(QObject* parent = nullptr);

    // Takes ownership; order is the order of preference.
    void addBackend(HidTransport* backend);
    const QList<HidTransport*>& backends() const { return m_backends; }

    QStringList findPaths() override;
    bool open(const QString& path) override;
    void close() override;
    bool isOpen() const override;
    QString openPath() const override;
    bool openDeviceLost() const override;
    bool writeReport(const std::uint8_t* report, int timeoutMs) override;
    bool readReport(std::uint8_t* report, int timeoutMs) override;

private:
    QList<HidTransport*> m_backends;
    QHash<QString, HidTransport*> m_owners; // of the paths last found
    HidTransport* m_active = nullptr;
};

} // namespace tervane
