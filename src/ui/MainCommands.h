#pragma once

#include "ui/CommandId.h"
#include "ui/CommandTable.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace tervane {

// Builds every command of the main window from the command table: the main menu, the grid and
// tree context menus and the command band, with their object names, captions in both languages,
// shortcuts and enabling. Shortcuts are shown in the menus but dispatched only by the shortcut
// hook, so that one key press runs one command. A command runs the handler that its area's
// controller set for it; a command without one does nothing.
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
    // Whether the key runs the item: its shortcut or its second one.
    static bool runsOnKey(const QAction* action, const QKeySequence& key);

    // The caption of a command that names what it acts on (Undo names the edit); empty: the
    // plain caption.
    void setCaptionArgument(CommandId id, const QString& argument);
    // What a command is called where it is named elsewhere (the edit history): its main menu
    // caption, in the language of the interface, without its accelerator and its dots, after
    // its submenu's ("Import CSV").
    static QString commandName(CommandId id);
    // Every command runs inside scope, which calls run once: the edit history makes one step of
    // whatever the command changed.
    using CommandScope = std::function<void(CommandId id, const std::function<void()>& run)>;
    void setCommandScope(CommandScope scope) { m_scope = std::move(scope); }

    void setHandler(CommandId id, std::function<void()> handler);
    void run(CommandId id);

    void applyInterfaceTexts();
    // conditions: the Condition bits that hold now.
    void updateCommands(unsigned conditions);
    // While suspended (a procedure runs that no command may interrupt) every command is disabled;
    // the next updateCommands applies it.
    void setSuspended(bool suspended) { m_suspended = suspended; }

private:
    QMenu* menuFor(MenuId id);
    QAction* addCommand(const CommandRow& row);

    QMenuBar* m_menuBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_gridMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    std::map<MenuId, QMenu*> m_menus;
    QList<QMenu*> m_bandMenus;
    QAction* m_shortView = nullptr;
    std::vector<std::pair<QAction*, const CommandRow*>> m_actions;
    std::map<CommandId, std::function<void()>> m_handlers;
    std::map<CommandId, QString> m_captionArguments;
    CommandScope m_scope;
    bool m_suspended = false;
};

} // namespace tervane
