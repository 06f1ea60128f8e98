#pragma once

#include "grid/GridClipboard.h"

#include <QObject>
#include <memory>

namespace tervane {

class Document;
class EditSession;
class GridController;
class KeyGridView;
class MainCommands;

// Cut, Copy, Paste, Clear and Select all on the key grid, with the one clipboard of the run.
// Each edit reaches the page shown as a single replacement through the edit session, so the grid
// hears of it once and an undo takes it back whole. With no page shown the commands do nothing:
// the grid menu offers them always.
class ClipboardController final : public QObject {
    Q_OBJECT
public:
    ClipboardController(GridController& grid, KeyGridView* view, Document& document, EditSession& edits,
                        QObject* parent = nullptr);

    const GridClipboard& clipboard() const { return m_clipboard; }
    bool clipboardFilled() const { return m_clipboard.isFilled(); }
    void registerCommands(MainCommands& commands);

    void cut();
    void copy();
    void paste();
    void clear();
    // Key columns of every grid row; the comment column is left out.
    void selectAll();

signals:
    // After every command but Select all.
    void refreshNeeded();

private:
    bool pageShown() const;
    GridClipboard::RowTranslation translation() const;
    void apply(std::unique_ptr<KeyPage> edited);

    GridController& m_grid;
    KeyGridView* m_view;
    Document& m_document;
    EditSession& m_edits;
    GridClipboard m_clipboard;
};

} // namespace tervane
