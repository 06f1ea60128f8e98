#include "ui/CommandTable.h"

#include <QtGlobal>

namespace tervane {
namespace {

constexpr QKeyCombination kNone{Qt::Key_unknown};
constexpr QKeyCombination ctrl(Qt::Key key) {
    return QKeyCombination(Qt::ControlModifier, key);
}
constexpr QKeyCombination key(Qt::Key k) {
    return QKeyCombination(k);
}
constexpr CommandIconId kNoIcon = CommandIconId::New; // ignored outside the command band

using enum Surface;
using enum CommandId;
constexpr unsigned B = BaseOpen;
constexpr unsigned P = PageShown;
constexpr unsigned C = ClipboardFilled;
constexpr unsigned F = FindFound;
constexpr unsigned D = DeviceOnline;
constexpr unsigned K = SelectionHasKey;
constexpr unsigned U = CanUndo;
constexpr unsigned R = CanRedo;

// clang-format off
constexpr CommandRow kRows[] = {
    // id, surface, menu, separator before, objectName, context, caption, shortcut, icon, enabled when
    {NewFile, MainMenu, MenuId::File, false, "MainMenuNewFile", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Create"), ctrl(Qt::Key_N), kNoIcon, Always},
    {OpenFile, MainMenu, MenuId::File, false, "MainMenuOpenFile", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Open"), ctrl(Qt::Key_O), kNoIcon, Always},
    {CloseFile, MainMenu, MenuId::File, false, "MainMenuColseFile", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Close"), ctrl(Qt::Key_W), kNoIcon, B},
    {SaveFile, MainMenu, MenuId::File, true, "MainMenuSaveFile", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Save"), ctrl(Qt::Key_S), kNoIcon, B},
    {SaveFileAs, MainMenu, MenuId::File, false, "MainMenuSaveFileAs", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Save as..."), QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_S), kNoIcon, B},
    {ImportVizitDallas, MainMenu, MenuId::Import, false, "MainMenuImportVizitDM_DALLAS", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "VIZIT_DM  (*.viz) as DALLAS"), kNone, kNoIcon, P},
    {ImportVizitCyfral, MainMenu, MenuId::Import, false, "MainMenuImportVizitDM_CYFRAL", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "VIZIT_DM  (*.viz) as CYFRAL"), kNone, kNoIcon, Always},
    {ImportVizitTm2002, MainMenu, MenuId::Import, false, "MainMenuImportVizitDM_TM2002", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "VIZIT_DM  (*.viz) as TM2002"), kNone, kNoIcon, Always},
    {ImportVizitEm410x, MainMenu, MenuId::Import, false, "MainMenuImportVizitDM_EM410x", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "VIZIT_DM  (*.viz) as EM410x"), kNone, kNoIcon, Always},
    {ImportCsv, MainMenu, MenuId::Import, true, "MainMenuImportCsv", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "CSV..."), QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_I), kNoIcon, B},
    {Exit, MainMenu, MenuId::File, true, "MainMenuExit", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Exit"), ctrl(Qt::Key_X), kNoIcon, Always},
    {ExportCsv, MainMenu, MenuId::Export, false, "MainMenuExportCsv", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "CSV..."), QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_E), kNoIcon, B},

    {Cut, MainMenu, MenuId::Edit, false, "MainMenuEditCut", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Cut"), ctrl(Qt::Key_X), kNoIcon, P},
    {Copy, MainMenu, MenuId::Edit, false, "MainMenuEditCopy", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Copy"), ctrl(Qt::Key_C), kNoIcon, P},
    {Paste, MainMenu, MenuId::Edit, false, "MainMenuEditPaste", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Paste"), ctrl(Qt::Key_V), kNoIcon, P | C},
    {Clear, MainMenu, MenuId::Edit, true, "MainMenuEditClear", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Delete"), key(Qt::Key_Delete), kNoIcon, P},
    {SelectAll, MainMenu, MenuId::Edit, false, "MainMenuEditSelectAll", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Select all"), ctrl(Qt::Key_A), kNoIcon, P},
    {Find, MainMenu, MenuId::Edit, true, "MainMenuEditFind", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Find"), ctrl(Qt::Key_F), kNoIcon, B},
    {FindNext, MainMenu, MenuId::Edit, false, "MainMenuEditFindNext", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Find next"), key(Qt::Key_F3), kNoIcon, B | F},
    {FindKey, MainMenu, MenuId::Edit, true, "MainMenuEditFindKey", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Find key..."), QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F), kNoIcon, B},
    {Undo, MainMenu, MenuId::Edit, true, "MainMenuEditUndo", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Undo"), ctrl(Qt::Key_Z), kNoIcon, U, QT_TRANSLATE_NOOP("MainMenu", "Undo %1")},
    {Redo, MainMenu, MenuId::Edit, false, "MainMenuEditRedo", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Redo"), ctrl(Qt::Key_Y), kNoIcon, R, QT_TRANSLATE_NOOP("MainMenu", "Redo %1"), QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)},

    {ReadKeys, MainMenu, MenuId::Keys, false, "MainMenuKeysRead", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Read keys"), key(Qt::Key_F5), kNoIcon, D | P},
    {WriteKeys, MainMenu, MenuId::Keys, false, "MainMenuKeysWrite", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Write keys"), key(Qt::Key_F6), kNoIcon, D | P | K},
    {LockKey, MainMenu, MenuId::Keys, false, "MainMenuKeysFinal", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Lock key"), key(Qt::Key_F7), kNoIcon, D},
    {FindPresentedKey, MainMenu, MenuId::Keys, true, "MainMenuKeysFindPresented", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Find the presented key"), kNone, kNoIcon, D | B},

    {Options, MainMenu, MenuId::Tools, false, "MainMenuOptions", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Options"), kNone, kNoIcon, Always},
    {UpdateSearch, MainMenu, MenuId::Tools, false, "MainMenuUpdateSearch", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Download update from Internet"), kNone, kNoIcon, Always},
    {ImportKeyBase, MainMenu, MenuId::Tools, true, "MainImportKeyBase", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Import key base from device"), kNone, kNoIcon, D | P},
    {ExportKeyBase, MainMenu, MenuId::Tools, false, "MainExportKeyBase", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Export key base to device"), kNone, kNoIcon, D | P},

    {HelpContent, MainMenu, MenuId::Help, false, "MainMenuHelpContent", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Help Topics"), key(Qt::Key_F1), kNoIcon, Always},
    {HelpWeb, MainMenu, MenuId::Help, true, "MainMenuHelpWeb", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "Web-page"), kNone, kNoIcon, Always},
    {HelpAbout, MainMenu, MenuId::Help, true, "MainMenuHelpAbout", "MainMenu", QT_TRANSLATE_NOOP("MainMenu", "About"), kNone, kNoIcon, Always},

    {Cut, GridMenu, MenuId::None, false, "PopUpCut", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "C&ut"), ctrl(Qt::Key_X), kNoIcon, Always},
    {Copy, GridMenu, MenuId::None, false, "PopUpCopy", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "Co&py"), ctrl(Qt::Key_C), kNoIcon, Always},
    {Paste, GridMenu, MenuId::None, false, "PopUpPaste", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "P&aste"), ctrl(Qt::Key_V), kNoIcon, P | C},
    {Clear, GridMenu, MenuId::None, true, "PopUpClear", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "&Delete"), key(Qt::Key_Delete), kNoIcon, Always},
    {SelectAll, GridMenu, MenuId::None, false, "PopUpSelectAll", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "&Select all"), ctrl(Qt::Key_A), kNoIcon, Always},
    {ReadKeys, GridMenu, MenuId::None, true, "PopUpReadKey", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "&Read keys"), key(Qt::Key_F5), kNoIcon, D | P},
    {WriteKeys, GridMenu, MenuId::None, false, "PopUpWriteKey", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "&Write keys"), key(Qt::Key_F6), kNoIcon, D | P | K},
    {FlipperExportKey, GridMenu, MenuId::None, true, "PopUpFlipperExport", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "Export to Flipper file..."), kNone, kNoIcon, P | K},
    {FlipperImportKey, GridMenu, MenuId::None, false, "PopUpFlipperImport", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "Import from Flipper file..."), kNone, kNoIcon, P},
    {FlipperExportPage, GridMenu, MenuId::None, false, "PopUpFlipperExportPage", "GridMenu", QT_TRANSLATE_NOOP("GridMenu", "Export page to Flipper files..."), kNone, kNoIcon, P},

    {TreeCreateFile, TreeMenu, MenuId::None, false, "PopUpTreeCreateFile", "TreeMenu", QT_TRANSLATE_NOOP("TreeMenu", "Create file"), key(Qt::Key_Insert), kNoIcon, Always},
    {TreeCreateFolder, TreeMenu, MenuId::None, false, "PopUpTreeCreateFolder", "TreeMenu", QT_TRANSLATE_NOOP("TreeMenu", "Create folder"), QKeyCombination(Qt::ShiftModifier, Qt::Key_Insert), kNoIcon, Always},
    {TreeRename, TreeMenu, MenuId::None, true, "PopUpTreeRename", "TreeMenu", QT_TRANSLATE_NOOP("TreeMenu", "Rename"), ctrl(Qt::Key_R), kNoIcon, Always},
    {TreeDelete, TreeMenu, MenuId::None, false, "PopUpTreeDelete", "TreeMenu", QT_TRANSLATE_NOOP("TreeMenu", "Delete"), key(Qt::Key_Delete), kNoIcon, Always},

    {NewFile, CommandBand, MenuId::None, false, "ToolNewFile", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Create new file"), kNone, CommandIconId::New, Always},
    {OpenFile, CommandBand, MenuId::None, false, "ToolOpenFile", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Open file"), kNone, CommandIconId::Open, Always},
    {SaveFile, CommandBand, MenuId::None, false, "ToolSaveFile", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Save file"), kNone, CommandIconId::Save, B},
    {CloseFile, CommandBand, MenuId::None, false, "ToolCloseFile", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Close file"), kNone, CommandIconId::Close, B},
    {Cut, CommandBand, MenuId::None, true, "ToolCut", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Cut"), kNone, CommandIconId::Cut, P},
    {Copy, CommandBand, MenuId::None, false, "ToolCopy", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Copy"), kNone, CommandIconId::Copy, P},
    {Paste, CommandBand, MenuId::None, false, "ToolPaste", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Paste"), kNone, CommandIconId::Paste, P | C},
    {Undo, CommandBand, MenuId::None, true, "ToolUndo", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Undo"), kNone, CommandIconId::Undo, U, QT_TRANSLATE_NOOP("ToolTips", "Undo %1")},
    {Redo, CommandBand, MenuId::None, false, "ToolRedo", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Redo"), kNone, CommandIconId::Redo, R, QT_TRANSLATE_NOOP("ToolTips", "Redo %1")},
    {Find, CommandBand, MenuId::None, true, "ToolFind", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Find"), kNone, CommandIconId::Find, B},
    {FindNext, CommandBand, MenuId::None, false, "ToolFindNext", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Find next"), kNone, CommandIconId::FindNext, B | F},
    {ReadKeys, CommandBand, MenuId::None, true, "ToolReadKey", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Read keys"), kNone, CommandIconId::ReadKeys, D | P},
    {WriteKeys, CommandBand, MenuId::None, false, "ToolWriteKey", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Write keys"), kNone, CommandIconId::WriteKeys, D | P | K},
    {LockKey, CommandBand, MenuId::None, false, "ToolFinalKey", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Lock key"), kNone, CommandIconId::LockKey, D},
    {ShortView, CommandBand, MenuId::None, true, "ShortViewToolButton", "ToolTips", QT_TRANSLATE_NOOP("ToolTips", "Disable show of null strings in the table"), kNone, CommandIconId::ShortView, Always},
};

constexpr MenuRow kMenus[] = {
    {MenuId::File, MenuId::None, false, "MainMenuFile", QT_TRANSLATE_NOOP("MainMenu", "&File")},
    {MenuId::Import, MenuId::File, true, "MainMenuImport", QT_TRANSLATE_NOOP("MainMenu", "Import...")},
    {MenuId::Export, MenuId::File, true, "MainMenuExport", QT_TRANSLATE_NOOP("MainMenu", "Export...")},
    {MenuId::Edit, MenuId::None, false, "MainMenuEdit", QT_TRANSLATE_NOOP("MainMenu", "&Edit")},
    {MenuId::Keys, MenuId::None, false, "MainMenuKeys", QT_TRANSLATE_NOOP("MainMenu", "&Keys")},
    {MenuId::Tools, MenuId::None, false, "MainMenuUtils", QT_TRANSLATE_NOOP("MainMenu", "&Tools")},
    {MenuId::Help, MenuId::None, false, "MainMenuHelp", QT_TRANSLATE_NOOP("MainMenu", "&Help")},
};
// clang-format on

} // namespace

std::span<const CommandRow> commandRows() {
    return kRows;
}

std::span<const MenuRow> menuRows() {
    return kMenus;
}

} // namespace tervane
