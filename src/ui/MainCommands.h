#pragma once

#include "ui/CommandId.h"

#include <QKeySequence>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace tervane {

// What decides the enabling of the commands.
struct CommandState {
    bool baseOpen = false;        // B: a key base is open
    bool pageShown = false;       // P: B and a page is shown
    bool clipboardFilled = false; // C
    bool findFound = false;       // F: the last search found a node
    bool deviceOnline = false;    // D
    bool selectionHasKey = false; // K: the grid selection holds a key in a key column
};

// Builds every command of the main window: the main menu, the grid and tree context menus and
// the command band, with their object names, captions in both languages, shortcuts and
// enabling. Shortcuts are shown in the menus but dispatched only by the shortcut hook, so that
// one key press runs one command.
class MainCommands final : public QObject {
    Q_OBJECT
public:
    static constexpr int kIconSide = 32; // the command band's pictures

    explicit MainCommands(QWidget* window);

    QMenuBar* menuBar() const { return m_menuBar; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* gridMenu() const { return m_gridMenu; }
    QMenu* treeMenu() const { return m_treeMenu; }

    // Menu items in dispatch order: depth first through File, Edit, Keys, Tools, Help.
    QList<QAction*> mainMenuItems() const;
    QList<QAction*> gridMenuItems() const;
    QList<QAction*> treeMenuItems() const;
    QAction* shortViewAction() const { return m_shortView; }

    static QKeySequence shortcutOf(const QAction* action);
    static CommandId commandOf(const QAction* action);

    void applyInterfaceTexts();
    void updateCommands(const CommandState& state);

signals:
    void commandTriggered(tervane::CommandId id);

private:
    QAction* addItem(QMenu* menu, const char* name, CommandId id, const QKeySequence& shortcut = {});
    QAction* addTool(const char* name, CommandId id, int icon);
    void setCaption(QAction* action, const char* context, const char* english);

    QMenuBar* m_menuBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_gridMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    QList<QMenu*> m_mainMenus;
    QMenu* m_importMenu = nullptr;
    QAction* m_shortView = nullptr;
};

} // namespace tervane
