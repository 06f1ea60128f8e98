#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

namespace tervane {

class ProgrammerSimulator;

// Serves one ProgrammerSimulator on a SOCK_SEQPACKET socket, one 65-byte report per message.
// Answers go to the connection whose command caused them; events the user triggers go to the
// connection that sent the last command. The socket exists exactly while the programmer is
// plugged in.
class SimServer final : public QObject {
    Q_OBJECT
public:
    using Printer = std::function<void(const QString& line)>;
    // How late a delayed answer comes: once the editor's 3000 ms wait for it has run out, and
    // before it sends its next command 100 ms later.
    static constexpr int LateAnswerMs = 3050;

    SimServer(ProgrammerSimulator& simulator, QString socketPath, Printer print, QObject* parent = nullptr);
    ~SimServer() override;

    // Creates the socket; false (with the reason printed) when it cannot.
    bool start();
    bool listening() const { return m_listenFd >= 0; }
    QString socketPath() const { return m_path; }

    // Sends whatever the simulator has queued, after a change from the user's side.
    void deliver();

private:
    bool openListener();
    void closeListener();
    void acceptClient();
    void clientReadable(int fd);
    void dropClient(int fd);
    void sendTo(int fd);
    void sendLateAnswers(int fd, quint64 batch);
    void describeCommand(const unsigned char* report);

    ProgrammerSimulator& m_simulator;
    QString m_path;
    Printer m_print;
    int m_listenFd = -1;
    QSocketNotifier* m_listenNotifier = nullptr;
    QHash<int, QSocketNotifier*> m_clients;
    int m_currentClient = -1;
    // Counts the commands received, so that a late answer's timer knows whether one came since.
    quint64 m_lateBatch = 0;
};

} // namespace tervane
