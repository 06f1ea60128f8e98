#include "device/CompositeTransport.h"

namespace tervane {

CompositeTransport::CompositeTransport(QObject* parent) : HidTransport(parent) {}

void CompositeTransport::addBackend(HidTransport* backend) {
    backend->setParent(this);
    m_backends.append(backend);
    connect(backend, &HidTransport::devicesChanged, this, &HidTransport::devicesChanged);
}

QStringList CompositeTransport::findPaths() {
    QStringList all;
    m_owners.clear();
    for (HidTransport* backend : m_backends) {
        for (const QString& path : backend->findPaths()) {
            if (m_owners.contains(path))
                continue;
            m_owners.insert(path, backend);
            all.append(path);
        }
    }
    return all;
}

bool CompositeTransport::open(const QString& path) {
    if (isOpen())
        return false;
    HidTransport* owner = m_owners.value(path);
    if (owner) {
        if (!owner->open(path))
            return false;
        m_active = owner;
        return true;
    }
    for (HidTransport* backend : m_backends) {
        if (backend->open(path)) {
            m_active = backend;
            return true;
        }
    }
    return false;
}

void CompositeTransport::close() {
    if (m_active)
        m_active->close();
    m_active = nullptr;
}

bool CompositeTransport::isOpen() const {
    return m_active && m_active->isOpen();
}

QString CompositeTransport::openPath() const {
    return m_active ? m_active->openPath() : QString();
}

bool CompositeTransport::openDeviceLost() const {
    return m_active && m_active->openDeviceLost();
}

bool CompositeTransport::writeReport(const std::uint8_t* report, int timeoutMs) {
    return m_active && m_active->writeReport(report, timeoutMs);
}

bool CompositeTransport::readReport(std::uint8_t* report, int timeoutMs) {
    return m_active && m_active->readReport(report, timeoutMs);
}

} // namespace tervane
