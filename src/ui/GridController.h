#pragma once

#include "dialogs/OperationHost.h"
#include "grid/SelectionWalk.h"

#include <QObject>
#include <memory>
#include <utility>

namespace tervane {

class CommentEditor;
class Document;
class EditSession;
class KeyEditorDialog;
class KeyGridModel;
class KeyGridView;
class MainCommands;

// The key grid's rules: rebuilding it from the page shown, its selection in page rows, the
// comment editor, the key editor, and the grid's host for the dialogs. Every change of the page
// it makes goes through the edit session.
class GridController final : public QObject, public OperationHost {
    Q_OBJECT
public:
    GridController(QWidget* window, KeyGridView* grid, KeyGridModel* model, CommentEditor* editor, Document& document,
                   EditSession& edits, QObject* parent = nullptr);
    ~GridController() override;

    // The grid's share of RefreshView: font, page, short view and cell texts, one model reset.
    void rebuild();
    bool pageShown() const;
    // The selected key cells in page rows.
    SelectionWalk selectionWalk() const;
    bool selectionHoldsKey() const;
    // Enter or a double-click on a data cell: the comment editor on the comment column, else the
    // key editor.
    void openCellEditor();
    // Made after the main window's start-up, as the other dialogs are.
    void createKeyEditor();
    KeyEditorDialog* keyEditor() const { return m_keyEditor.get(); }
    void registerCommands(MainCommands& commands);

    // The grid's host for the dialogs.
    QWidget* hostWindow() override { return m_window; }
    GridSelection gridSelection() const override;
    int pageRowOfGridRow(int gridRow) const override;
    const KeyPage* shownPage() const override;
    void storeKey(int pageRow, int keyColumn, const KeyCell& cell) override;
    void replaceShownPage(const KeyPage& page) override;
    void touchShownPage() override;
    void beginEditStep(const QString& name) override;
    void endEditStep() override;
    void RefreshView() override { emit refreshNeeded(); }

signals:
    void refreshNeeded();

private:
    void storeComment(int pageRow, const QString& text);
    // The page row and key column (0..5) of the selection's top-left cell; -1 for a column that
    // is no key column or a row with no page row behind it.
    std::pair<int, int> selectedKeyCell() const;

    QWidget* m_window;
    KeyGridView* m_grid;
    KeyGridModel* m_model;
    CommentEditor* m_editor;
    Document& m_document;
    EditSession& m_edits;
    // No parent: disabling the main window must not disable it.
    std::unique_ptr<KeyEditorDialog> m_keyEditor;
};

} // namespace tervane
