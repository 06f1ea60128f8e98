#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace tervane {

class ProgrammerSimulator;
class SimServer;

// The simulator's standard input: one command a line, as `help` lists them.
class SimConsole final : public QObject {
    Q_OBJECT
public:
    using Printer = std::function<void(const QString& line)>;

    SimConsole(ProgrammerSimulator& simulator, SimServer& server, Printer print, QObject* parent = nullptr);

    // Starts reading standard input.
    void start();
    // Carries out one command line; public so that the lines can come from elsewhere too.
    void execute(const QString& line);

    static QString helpText();

signals:
    void quitRequested();

private:
    void readable();

    ProgrammerSimulator& m_simulator;
    SimServer& m_server;
    Printer m_print;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
};

} // namespace tervane
