#include "ui/GridController.h"

#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/FlipperTransfer.h"
#include "dialogs/KeyEditorDialog.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"
#include "ui/CommentEditor.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"

#include <QAction>

namespace tervane {
namespace {

QFont gridFont() {
    const Settings& s = settings();
    QFont font(fromCp1251(s.gridFontName()));
    const int size = s.gridFontSize() > 0 ? s.gridFontSize() : 8;
    font.setPointSize(size);
    const FontStyle style = s.gridFontStyle();
    font.setItalic(style == FontStyle::Italic || style == FontStyle::BoldItalic);
    font.setBold(style == FontStyle::Bold || style == FontStyle::BoldItalic);
    return font;
}

} // namespace

GridController::GridController(QWidget* window, KeyGridView* grid, KeyGridModel* model, CommentEditor* editor,
                               Document& document, EditSession& edits, QObject* parent)
    : QObject(parent), m_window(window), m_grid(grid), m_model(model), m_editor(editor), m_document(document),
      m_edits(edits) {
    connect(m_grid, &KeyGridView::editRequested, this, &GridController::openCellEditor);
    connect(m_editor, &CommentEditor::committed, this, &GridController::storeComment);
    connect(m_editor, &CommentEditor::cancelled, this, [this] {
        RefreshView();
        m_grid->setFocus();
    });
    connect(&m_edits, &EditSession::pageChanged, this, [this](std::int32_t page) {
        if (pageShown() && page == m_document.currentPage())
            m_model->pageEdited();
    });
}

GridController::~GridController() = default;

void GridController::createKeyEditor() {
    m_keyEditor = std::make_unique<KeyEditorDialog>(*this);
}

bool GridController::pageShown() const {
    return m_document.isOpen() && m_document.currentPage() != -1;
}

void GridController::rebuild() {
    const Settings& s = settings();
    const QFont font = gridFont();
    m_grid->applyFont(font, font.pointSize());
    QFont editorFont = m_editor->font();
    editorFont.setPointSize(font.pointSize());
    editorFont.setBold(font.bold());
    editorFont.setItalic(font.italic());
    m_editor->setFont(editorFont);

    const bool shown = pageShown();
    m_model->setPage(shown ? &m_document.pageBuffer() : nullptr);
    m_model->setShortView(s.shortView());
    m_model->setDisplay(s.keyTypeView(), s.keyCodeView(), s.emSpeedVisible(), s.dallasCrcVisible());
    m_grid->rebuildKeepingSelection();
    m_grid->setEnabled(shown);
    m_grid->setVisible(shown);
}

GridSelection GridController::gridSelection() const {
    return m_grid->selectionRect();
}

int GridController::pageRowOfGridRow(int gridRow) const {
    return m_model->pageRowOf(gridRow - 1);
}

SelectionWalk GridController::selectionWalk() const {
    return SelectionWalk(gridSelection(), [this](int gridRow) { return pageRowOfGridRow(gridRow); });
}

bool GridController::selectionHoldsKey() const {
    const KeyPage* page = shownPage();
    return page && selectionWalk().holdsKey(*page);
}

const KeyPage* GridController::shownPage() const {
    return pageShown() ? &m_document.pageBuffer() : nullptr;
}

void GridController::storeKey(int pageRow, int keyColumn, const KeyCell& cell) {
    if (!pageShown())
        return;
    EditSession::Step step(m_edits, translate("EditSteps", "Edit key"));
    m_edits.setCell(m_document.currentPage(), pageRow, keyColumn, cell);
}

void GridController::replaceShownPage(const KeyPage& page) {
    if (pageShown())
        m_edits.replacePage(m_document.currentPage(), page);
}

void GridController::touchShownPage() {
    if (pageShown())
        m_edits.touchPage(m_document.currentPage());
}

void GridController::beginEditStep(const QString& name) {
    m_edits.beginStep(name);
}

void GridController::endEditStep() {
    m_edits.endStep();
}

void GridController::openCellEditor() {
    if (!shownPage())
        return;
    const GridSelection sel = gridSelection();
    if (sel.left == GridColumn::Comment) {
        const int pageRow = pageRowOfGridRow(sel.top);
        if (pageRow < 0)
            return;
        const QModelIndex index = m_model->index(sel.top - 1, KeyGridModel::kCommentColumn);
        m_grid->scrollTo(index);
        m_editor->open(pageRow, m_grid->visualRect(index), fromCp1251(m_document.pageBuffer().comment(pageRow)));
        return;
    }
    if (m_keyEditor)
        m_keyEditor->OpenKeyEditor();
}

void GridController::storeComment(int pageRow, const QString& text) {
    // Leaving the editor counts as an edit even when the text is the same.
    if (pageShown() && pageRow >= 0) {
        EditSession::Step step(m_edits, translate("EditSteps", "Edit comment"));
        m_edits.setComment(m_document.currentPage(), pageRow, toCp1251(text));
    }
    RefreshView();
    m_grid->setFocus();
}

void GridController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::ShortView, [this, &commands] {
        settings().setShortView(commands.shortViewAction()->isChecked());
        RefreshView();
    });
    commands.setHandler(CommandId::FlipperExportKey, [this] {
        if (const KeyPage* page = shownPage()) {
            const auto [row, column] = selectedKeyCell();
            exportFlipperKey(*page, row, column);
        }
    });
    commands.setHandler(CommandId::FlipperImportKey, [this] {
        if (const KeyPage* page = shownPage()) {
            const auto [row, column] = selectedKeyCell();
            if (importFlipperKey(m_edits, m_document.currentPage(), *page, row, column))
                RefreshView();
        }
    });
    commands.setHandler(CommandId::FlipperExportPage, [this] {
        if (const KeyPage* page = shownPage())
            exportFlipperPage(*page);
    });
}

std::pair<int, int> GridController::selectedKeyCell() const {
    const GridSelection sel = gridSelection();
    if (sel.left < GridColumn::FirstKey || sel.left > GridColumn::LastKey)
        return {-1, -1};
    return {pageRowOfGridRow(sel.top), sel.left - GridColumn::FirstKey};
}

} // namespace tervane
