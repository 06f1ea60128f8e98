#pragma once

#include <QObject>

class QProgressBar;
class QWidget;

namespace tervane {

class MainCommands;
class StatusPanels;
class UpdateCheck;

// Tools › Download update on the main window: runs the update procedure, shows the bytes
// received in a progress indicator of the status bar, keeps every command disabled while the
// procedure runs, and closes the window when the update was saved and opened.
class UpdateController final : public QObject {
    Q_OBJECT
public:
    UpdateController(QWidget* window, StatusPanels* status, MainCommands& commands, QObject* parent = nullptr);

    void registerCommands(MainCommands& commands);
    bool running() const;
    // The window closes: a running procedure stops, and nothing of it is written.
    void cancel();
    UpdateCheck& check() const { return *m_check; }

signals:
    void commandsChanged();

private:
    void started();
    void showProgress(qint64 received, qint64 total);
    void finished();

    QWidget* m_window;
    MainCommands& m_commands;
    UpdateCheck* m_check;
    QProgressBar* m_progress;
};

} // namespace tervane
