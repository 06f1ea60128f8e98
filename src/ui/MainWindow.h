#pragma once

#include "dialogs/ProcHost.h"
#include "ui/CommandId.h"

#include <QMainWindow>
#include <memory>

class QSplitter;

namespace tervane {

class BaseTreeModel;
class BaseTreeView;
class CommentEditor;
class Document;
class KeyGridModel;
class KeyGridView;
class MainCommands;
class ProcForm;
class MessageHook;
class SkinEngine;
class StatusPanels;

// The main window `TForm1`: it builds the widgets, runs the start-up and close sequences and
// wires the commands to their controllers. The rules live in the controllers.
class MainWindow final : public QMainWindow, public ProcHost {
    Q_OBJECT
public:
    // Runs the start-up sequence. A non-empty openBase is opened after it, in place of the
    // dialog (the program's optional argument).
    explicit MainWindow(const QString& openBase = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the window in the state the settings stored (normal, minimised, maximised).
    void showInStoredState();

    Document& document() { return *m_document; }
    MainCommands* commands() const { return m_commands; }
    KeyGridView* grid() const { return m_grid; }
    KeyGridModel* gridModel() const { return m_gridModel; }
    BaseTreeView* tree() const { return m_tree; }
    BaseTreeModel* treeModel() const { return m_treeModel; }
    StatusPanels* status() const { return m_status; }
    CommentEditor* commentEditor() const { return m_commentEditor; }
    SkinEngine* skins() const { return m_skins.get(); }
    bool deviceOnline() const { return m_deviceOnline; }

    void RefreshView();
    void UpdateCommands();
    void UpdateTitle();
    void UpdateUsage();
    void SetDeviceOnline(bool online);
    void ApplyInterfaceTexts();

    ProcForm* procForm() const { return m_procForm.get(); }

    // What the operation dialog works on.
    QWidget* hostWindow() override { return this; }
    GridSelection gridSelection() const override;
    // Grid row (1..500) to page row (the short view's GridRowMap); -1 for a row with no page row.
    int pageRowOfGridRow(int gridRow) const override;
    KeyPage* currentPage() override;
    void setModified() override;
    void refreshView() override { RefreshView(); }

    void runCommand(CommandId id);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QString& openBase);
    bool FormClose();
    void buildWidgets();
    void applyGridFont();
    void showReplacedTree();
    void syncTreeSelection();
    void TreeViewClick();
    void EditBoxEnter();
    void onCommentCommitted(int pageRow, const QString& text);
    void onDeviceChange();
    bool selectionHasKey() const;

    std::unique_ptr<Document> m_document;
    std::unique_ptr<SkinEngine> m_skins;
    // The operation dialog has no parent: disabling the main window must not disable it.
    std::unique_ptr<ProcForm> m_procForm;
    MainCommands* m_commands = nullptr;
    MessageHook* m_hook = nullptr;
    QSplitter* m_splitter = nullptr;
    BaseTreeView* m_tree = nullptr;
    BaseTreeModel* m_treeModel = nullptr;
    KeyGridView* m_grid = nullptr;
    KeyGridModel* m_gridModel = nullptr;
    CommentEditor* m_commentEditor = nullptr;
    StatusPanels* m_status = nullptr;
    bool m_deviceOnline = false;
    bool m_syncingTree = false;
    bool m_closing = false;
    int m_storedWindowState = 0;
};

} // namespace tervane
