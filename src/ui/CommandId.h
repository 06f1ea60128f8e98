#pragma once

namespace tervane {

// The commands of the main window; menu items, grid and tree menu items and tool buttons that
// share an id run the same command.
enum class CommandId {
    NewFile,
    OpenFile,
    CloseFile,
    SaveFile,
    SaveFileAs,
    ImportVizitDallas,
    ImportVizitCyfral,
    ImportVizitTm2002,
    ImportVizitEm410x,
    Exit,
    Cut,
    Copy,
    Paste,
    Clear,
    SelectAll,
    Find,
    FindNext,
    ReadKeys,
    WriteKeys,
    LockKey,
    Options,
    UpdateSearch,
    ImportKeyBase,
    ExportKeyBase,
    HelpContent,
    HelpWeb,
    HelpAbout,
    TreeCreateFile,
    TreeCreateFolder,
    TreeRename,
    TreeDelete,
    ShortView,
    FlipperExportKey,
    FlipperImportKey,
    FlipperExportPage,
    FindKey,
    FindPresentedKey,
    ImportCsv,
    ExportCsv,
    Undo,
    Redo,
};

} // namespace tervane
