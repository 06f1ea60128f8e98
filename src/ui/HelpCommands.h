#pragma once

#include <QObject>
#include <memory>

class QWidget;

namespace tervane {

class AboutDialog;
class MainCommands;

// The Help menu's commands: the web page in the system's browser and the about box. Help topics
// has no action.
class HelpCommands final : public QObject {
    Q_OBJECT
public:
    explicit HelpCommands(QWidget* window, QObject* parent = nullptr);
    ~HelpCommands() override;

    // Made after the main window's start-up, as the other dialogs are.
    void createAboutBox();
    AboutDialog* aboutBox() const { return m_about.get(); }
    void registerCommands(MainCommands& commands);

private:
    QWidget* m_window;
    // No parent: disabling the main window must not disable it.
    std::unique_ptr<AboutDialog> m_about;
};

} // namespace tervane
