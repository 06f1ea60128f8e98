#pragma once

#include <QString>
#include <memory>

namespace tervane {

class MainWindow;

// One run of the editor: the main window's start-up sequence, the dialogs made after it, and the
// close sequence the window asks for when it is closed.
class AppSession {
public:
    // Runs the start-up sequence. A non-empty openBase (a .dir file, the program's argument) is
    // opened after it, unless it is the base just reopened.
    explicit AppSession(const QString& openBase = {});
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    MainWindow& window() const { return *m_window; }
    // Shows the window normal, minimised or maximised, as the settings stored it.
    void show();

private:
    void FormCreate(const QString& openBase);
    bool FormClose();

    std::unique_ptr<MainWindow> m_window;
};

} // namespace tervane
