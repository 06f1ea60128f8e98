#include "ui/FindController.h"

#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/TreeSearch.h"
#include "dialogs/FindDialog.h"
#include "seams/Prompts.h"
#include "texts/UiLanguage.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/MainCommands.h"

namespace tervane {

FindController::FindController(QWidget* window, Document& document, BaseTreeView* tree, BaseTreeModel* model,
                               QObject* parent)
    : QObject(parent), m_window(window), m_document(document), m_tree(tree), m_model(model) {}

FindController::~FindController() = default;

void FindController::createDialog() {
    m_dialog = std::make_unique<FindDialog>(m_window);
    connect(m_dialog.get(), &FindDialog::searchRequested, this, &FindController::Search);
    connect(m_dialog.get(), &FindDialog::cancelRequested, this, &FindController::SearchCancel);
}

void FindController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::Find, [this] { Find(); });
    commands.setHandler(CommandId::FindNext, [this] { FindNext(); });
}

void FindController::Find() {
    if (!m_dialog)
        return;
    m_findNext = false;
    m_dialog->openDialog();
}

void FindController::FindNext() {
    if (!m_dialog)
        return;
    m_findNext = true;
    Search();
}

void FindController::SearchCancel() {
    emit refreshNeeded();
    m_dialog->closeIfOpen();
}

void FindController::Search() {
    m_found = false;
    // A search from the dialog starts again at the first match; Find next goes on from the last.
    if (!m_findNext)
        m_occurrence = 0;
    const QString text = m_dialog->text();
    BaseNode* hit = TreeSearch(text, m_dialog->caseSensitive()).next(m_document.tree(), m_occurrence);
    if (hit) {
        m_found = true;
        showHit(hit);
        return;
    }
    emit refreshNeeded();
    m_dialog->closeIfOpen();
    prompts().message(PromptIcon::Information, translate("FindDialog", "Search is completed."),
                      translate("FindDialog", "String \"%1\" not found.").arg(text), ButtonOk);
}

void FindController::showHit(BaseNode* node) {
    BaseTree& tree = m_document.tree();
    // The hit and every folder below it open up, in the data as in the view; the view opens the
    // folders above it when it shows the selection.
    int depth = 0;
    for (BaseNode* n = node; n && (n == node || depth > 0); n = tree.next(n, depth)) {
        if (!n->children.empty())
            n->expanded = true;
    }
    if (!node->children.empty())
        m_tree->expandRecursively(m_model->indexOf(node));
    tree.select(node);
    // As a click: a file's page is shown, and another node than before counts as a change.
    m_document.SelectNode();
    emit refreshNeeded();
    m_dialog->closeIfOpen();
    m_tree->setFocus(Qt::OtherFocusReason);
}

} // namespace tervane
