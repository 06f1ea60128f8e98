#pragma once

#include "ui/CommandId.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QSplitter;

namespace tervane {

class BaseTreeModel;
class BaseTreeView;
class ClipboardController;
class CommentEditor;
class DeviceController;
class Document;
class EditSession;
class FindController;
class GridController;
class HelpCommands;
class ImportController;
class KeyGridModel;
class KeyGridView;
class KeySearchController;
class MainCommands;
class MessageHook;
class OperationDialog;
class OptionsController;
class SkinEngine;
class StatusPanels;
class TreeController;
class UndoController;
class UpdateController;
class WindowStateSync;

// The main window `TForm1`: it builds the widgets, owns the controllers that hold the rules
// (the document and its edit session, the grid, the clipboard, the programmer, the window's
// geometry) and wires them to the commands. Its own routines are the view's: RefreshView and the
// parts it runs. The start-up and close sequences are the application session's.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() const { return *m_document; }
    EditSession& edits() const { return *m_edits; }
    GridController& gridController() const { return *m_gridController; }
    ClipboardController& clipboard() const { return *m_clipboard; }
    DeviceController& device() const { return *m_device; }
    TreeController& treeController() const { return *m_treeController; }
    FindController& find() const { return *m_find; }
    KeySearchController& keySearch() const { return *m_keySearch; }
    ImportController& importer() const { return *m_import; }
    OptionsController& options() const { return *m_options; }
    HelpCommands& help() const { return *m_help; }
    UpdateController& updates() const { return *m_updates; }
    UndoController& undoHistory() const { return *m_undo; }
    WindowStateSync& stateSync() const { return *m_stateSync; }
    MainCommands* commands() const { return m_commands; }
    MessageHook* hook() const { return m_hook; }
    KeyGridView* grid() const { return m_grid; }
    KeyGridModel* gridModel() const { return m_gridModel; }
    BaseTreeView* tree() const { return m_tree; }
    BaseTreeModel* treeModel() const { return m_treeModel; }
    StatusPanels* status() const { return m_status; }
    CommentEditor* commentEditor() const { return m_commentEditor; }
    SkinEngine* skins() const { return m_skins.get(); }
    bool deviceOnline() const;
    OperationDialog* operationDialog() const;

    // After every change of the page, the tree, the shown page, the device state or the
    // settings: the grid, then the commands, the usage counters and the title.
    void RefreshView();
    void UpdateCommands();
    void UpdateTitle();
    void UpdateUsage();
    void ApplyInterfaceTexts();

    void runCommand(CommandId id);
    // Asked before the window closes; false keeps it open. Once it said yes, the window closes.
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void wireControllers();
    void showReplacedTree();
    void syncTreeSelection();
    void TreeViewClick();

    std::unique_ptr<Document> m_document;
    std::unique_ptr<EditSession> m_edits;
    std::unique_ptr<SkinEngine> m_skins;
    std::unique_ptr<WindowStateSync> m_stateSync;
    GridController* m_gridController = nullptr;
    ClipboardController* m_clipboard = nullptr;
    DeviceController* m_device = nullptr;
    TreeController* m_treeController = nullptr;
    FindController* m_find = nullptr;
    KeySearchController* m_keySearch = nullptr;
    ImportController* m_import = nullptr;
    OptionsController* m_options = nullptr;
    HelpCommands* m_help = nullptr;
    UpdateController* m_updates = nullptr;
    UndoController* m_undo = nullptr;
    MainCommands* m_commands = nullptr;
    MessageHook* m_hook = nullptr;
    QSplitter* m_splitter = nullptr;
    BaseTreeView* m_tree = nullptr;
    BaseTreeModel* m_treeModel = nullptr;
    KeyGridView* m_grid = nullptr;
    KeyGridModel* m_gridModel = nullptr;
    CommentEditor* m_commentEditor = nullptr;
    StatusPanels* m_status = nullptr;
    std::function<bool()> m_closeGuard;
    bool m_syncingTree = false;
    bool m_closing = false;
};

} // namespace tervane
