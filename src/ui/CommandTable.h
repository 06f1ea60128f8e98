#pragma once

#include "ui/CommandIcons.h"
#include "ui/CommandId.h"

#include <QKeyCombination>
#include <span>

namespace tervane {

// Where a command is offered.
enum class Surface { MainMenu, GridMenu, TreeMenu, CommandBand };

// The main menu's entries; Import and Export are the File menu's submenus.
enum class MenuId { None, File, Import, Export, Edit, Keys, Tools, Help };

// What enabling a command asks for: it is enabled when every condition of its rule holds.
// A rule without conditions is always enabled.
enum Condition : unsigned {
    Always = 0,
    BaseOpen = 1u << 0,        // B: a key base is open
    PageShown = 1u << 1,       // P: B and a page is shown
    ClipboardFilled = 1u << 2, // C: the grid's clipboard holds a block
    FindFound = 1u << 3,       // F: the last search found a node
    DeviceOnline = 1u << 4,    // D
    SelectionHasKey = 1u << 5, // K: a selected cell in a key column holds a key
    CanUndo = 1u << 6,         // U: the edit history has a step to undo
    CanRedo = 1u << 7,         // R: the edit history has a step to redo
};

// One command on one surface. Captions are English source texts in a translation context; a
// command band row's caption is its tool tip.
struct CommandRow {
    CommandId id;
    Surface surface;
    MenuId menu; // MenuId::None outside the main menu
    bool separatorBefore;
    const char* objectName;
    const char* context;
    const char* caption;
    QKeyCombination shortcut; // Qt::Key_unknown: none
    CommandIconId icon;       // command band rows only
    unsigned enabledWhen;     // Condition bits
    // The caption when the command names what it acts on ("%1"), as Undo names the edit.
    const char* namedCaption = nullptr;
    QKeyCombination otherShortcut{Qt::Key_unknown}; // a second key for the same command
};

// One entry of the main menu's band, or its submenu.
struct MenuRow {
    MenuId id;
    MenuId parent; // None for the band's entries
    bool separatorBefore;
    const char* objectName;
    const char* caption; // context "MainMenu"
};

// Every command of the main window, in the order its surface shows them.
std::span<const CommandRow> commandRows();
// The main menu's entries in band order; a submenu follows its parent's items that precede it.
std::span<const MenuRow> menuRows();

} // namespace tervane
