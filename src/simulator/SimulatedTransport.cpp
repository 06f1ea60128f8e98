#include "simulator/SimulatedTransport.h"

#include "seams/EventPump.h"
#include "simulator/ProgrammerSimulator.h"

#include <algorithm>

namespace tervane {

SimulatedTransport::SimulatedTransport(ProgrammerSimulator& simulator, const QString& name, QObject* parent)
    : HidTransport(parent), m_simulator(simulator), m_path(QStringLiteral("sim:") + name) {
    m_simulator.onPlugChanged = [this](bool plugged) {
        if (!plugged && m_open)
            m_lost = true;
        // Like the system's notice, it arrives through the event loop, after the failing call.
        QMetaObject::invokeMethod(this, &HidTransport::devicesChanged, Qt::QueuedConnection);
    };
}

SimulatedTransport::~SimulatedTransport() {
    m_simulator.onPlugChanged = nullptr;
}

QStringList SimulatedTransport::findPaths() {
    return m_simulator.plugged() ? m_paths : QStringList{};
}

bool SimulatedTransport::open(const QString& path) {
    if (m_open || path != m_path || !m_simulator.plugged())
        return false;
    m_open = true;
    m_lost = false;
    ++m_openCount;
    return true;
}

void SimulatedTransport::close() {
    m_open = false;
    m_lost = false;
}

bool SimulatedTransport::writeReport(const std::uint8_t* report, int) {
    if (!m_open || m_lost || !m_simulator.plugged())
        return false;
    m_simulator.receive(report);
    return true;
}

bool SimulatedTransport::readReport(std::uint8_t* report, int timeoutMs) {
    ++m_readCount;
    if (m_open && !m_lost && m_simulator.plugged()) {
        if (const auto answer = m_simulator.takeAnswer()) {
            std::copy(answer->begin(), answer->end(), report);
            return true;
        }
    }
    // A look without a wait costs nothing, and is no giving up on a late answer: that one
    // arrives once a reader has waited for it in vain.
    if (timeoutMs <= 0)
        return false;
    eventPump().sleepMs(timeoutMs);
    if (m_open && !m_lost)
        m_simulator.releaseLateAnswers();
    return false;
}

} // namespace tervane
