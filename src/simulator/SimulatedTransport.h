#pragma once

#include "device/HidTransport.h"

namespace tervane {

class ProgrammerSimulator;

// The transport over an in-process ProgrammerSimulator. A read that finds no answer costs its
// whole bound through eventPump(), so that with virtual time a dead programmer's minute of
// retries takes no real time. Plugging and unplugging the simulator give the change notice.
class SimulatedTransport final : public HidTransport {
    Q_OBJECT
public:
    // simulator is not owned and must outlive the transport.
    explicit SimulatedTransport(ProgrammerSimulator& simulator, const QString& name = QStringLiteral("programmer"),
                                QObject* parent = nullptr);
    ~SimulatedTransport() override;

    ProgrammerSimulator& simulator() const { return m_simulator; }
    QString path() const { return m_path; }
    // How many times a handle was opened, to see that an open one is kept.
    int openCount() const { return m_openCount; }
    int readCount() const { return m_readCount; }

    QStringList findPaths() override;
    bool open(const QString& path) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString openPath() const override { return m_open ? m_path : QString(); }
    bool openDeviceLost() const override { return m_lost; }
    bool writeReport(const std::uint8_t* report, int timeoutMs) override;
    bool readReport(std::uint8_t* report, int timeoutMs) override;

private:
    ProgrammerSimulator& m_simulator;
    QString m_path;
    const QStringList m_paths{m_path}; // what a search finds while plugged in, made once
    bool m_open = false;
    bool m_lost = false;
    int m_openCount = 0;
    int m_readCount = 0;
};

} // namespace tervane
