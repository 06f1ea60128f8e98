#include "ui/ClipboardController.h"

#include "base/Document.h"
#include "base/EditSession.h"
#include "ui/GridController.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"

namespace tervane {

ClipboardController::ClipboardController(GridController& grid, KeyGridView* view, Document& document,
                                         EditSession& edits, QObject* parent)
    : QObject(parent), m_grid(grid), m_view(view), m_document(document), m_edits(edits) {}

void ClipboardController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::Cut, [this] { cut(); });
    commands.setHandler(CommandId::Copy, [this] { copy(); });
    commands.setHandler(CommandId::Paste, [this] { paste(); });
    commands.setHandler(CommandId::Clear, [this] { clear(); });
    commands.setHandler(CommandId::SelectAll, [this] { selectAll(); });
}

bool ClipboardController::pageShown() const {
    return m_grid.shownPage() != nullptr;
}

GridClipboard::RowTranslation ClipboardController::translation() const {
    // The rows the grid shows now: in the short view, rows past the last shown one have none.
    return [this](int gridRow) { return m_grid.pageRowOfGridRow(gridRow); };
}

void ClipboardController::apply(std::unique_ptr<KeyPage> edited) {
    if (edited)
        m_edits.replacePage(m_document.currentPage(), *edited);
}

void ClipboardController::cut() {
    if (!pageShown())
        return;
    apply(m_clipboard.cut(*m_grid.shownPage(), m_grid.gridSelection(), translation()));
    emit refreshNeeded();
}

void ClipboardController::copy() {
    if (!pageShown())
        return;
    m_clipboard.copy(*m_grid.shownPage(), m_grid.gridSelection(), translation());
    emit refreshNeeded();
}

void ClipboardController::paste() {
    if (!pageShown())
        return;
    const GridSelection at = m_grid.gridSelection();
    apply(m_clipboard.paste(*m_grid.shownPage(), at.top, at.left, translation()));
    emit refreshNeeded();
}

void ClipboardController::clear() {
    if (!pageShown())
        return;
    apply(GridClipboard::clear(*m_grid.shownPage(), m_grid.gridSelection(), translation()));
    emit refreshNeeded();
}

void ClipboardController::selectAll() {
    if (!pageShown())
        return;
    // The grid holds only the rows it shows; the selection stops at its last row.
    m_view->setSelectionRect({GridColumn::FirstKey, 1, GridColumn::LastKey, KeyPage::kRows});
}

} // namespace tervane
