#pragma once

#include <QObject>

class QWidget;

namespace tervane {

class MainCommands;

// The application-wide shortcut dispatcher. It sees every key press before the focused control
// and runs at most one command for it: the tree menu's item while the tree has the focus, else
// the grid menu's while the grid has it, else the first main menu item (File, Edit, Keys, Tools,
// Help, depth first) with that shortcut. The first item found is taken even when it is disabled,
// and then nothing runs. The key still reaches the focused control as a plain key.
// The in-place editors (the comment editor and the tree's name field) take their keys as text:
// a Del or Ctrl+X typed there must not clear grid cells or close the program.
class MessageHook final : public QObject {
    Q_OBJECT
public:
    MessageHook(QWidget* mainWindow, MainCommands* commands, QWidget* tree, QWidget* grid);
    void install();
    void uninstall();

    // Runs the command for one key combination as the hook would; true when an item was found.
    bool dispatch(int keyWithModifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    MainCommands* m_commands;
    QWidget* m_tree;
    QWidget* m_grid;
    bool m_installed = false;
};

} // namespace tervane
