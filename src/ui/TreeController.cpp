#include "ui/TreeController.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/TreeEditing.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/MainCommands.h"
#include "ui/TreeNameEditor.h"

namespace tervane {
namespace {
constexpr int kFieldRightGap = 4; // the field ends this far inside the tree's right edge
} // namespace

TreeController::TreeController(BaseTreeView* tree, BaseTreeModel* model, Document& document, EditSession& edits,
                               QObject* parent)
    : QObject(parent), m_tree(tree), m_model(model), m_editing(std::make_unique<TreeEditing>(document, edits)),
      m_field(new TreeNameEditor(tree->viewport())) {
    connect(m_field, &TreeNameEditor::committed, this, &TreeController::TreeEditExit);
    connect(m_field, &TreeNameEditor::cancelled, this, &TreeController::TreeEditCancel);
    connect(m_editing.get(), &TreeEditing::editAbandoned, m_field, &TreeNameEditor::dismiss);
    connect(m_editing.get(), &TreeEditing::refreshNeeded, this, &TreeController::refreshNeeded);
}

TreeController::~TreeController() = default;

void TreeController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::TreeCreateFile, [this] { PopUpTreeCreateFileClick(); });
    commands.setHandler(CommandId::TreeCreateFolder, [this] { PopUpTreeCreateFolderClick(); });
    commands.setHandler(CommandId::TreeRename, [this] { PopUpTreeRenameClick(); });
    commands.setHandler(CommandId::TreeDelete, [this] { PopUpTreeDeleteClick(); });
}

BaseNode* TreeController::commandTarget() const {
    return m_model->nodeOf(m_tree->commandIndex());
}

void TreeController::finishRunningEdit() {
    // A command reached while the field is still open (its menu took the focus only for a
    // moment) finds the edit done first, as leaving the field would have done.
    if (m_field->isOpen())
        m_field->commitNow();
}

QRect TreeController::fieldGeometry(BaseNode* node) const {
    const QRect label = m_tree->labelRect(m_model->indexOf(node));
    return QRect(label.left(), label.top(), m_tree->width() - label.left() - kFieldRightGap,
                 m_field->sizeHint().height());
}

void TreeController::showNewNode(BaseNode* node) {
    if (node->parent && node->parent->expanded)
        m_tree->expand(m_model->indexOf(node->parent));
    m_tree->scrollTo(m_model->indexOf(node));
    m_field->open(fieldGeometry(node));
}

void TreeController::PopUpTreeCreateFileClick() {
    finishRunningEdit();
    if (BaseNode* node = m_editing->createFile(commandTarget()))
        showNewNode(node);
}

void TreeController::PopUpTreeCreateFolderClick() {
    finishRunningEdit();
    if (BaseNode* node = m_editing->createFolder(commandTarget()))
        showNewNode(node);
}

void TreeController::PopUpTreeRenameClick() {
    finishRunningEdit();
    BaseNode* target = commandTarget();
    if (!m_editing->rename(target))
        return;
    m_tree->scrollTo(m_model->indexOf(target));
    m_field->open(fieldGeometry(target), fromCp1251(target->text));
}

void TreeController::PopUpTreeDeleteClick() {
    finishRunningEdit();
    m_editing->remove(commandTarget());
}

void TreeController::TreeEditExit(const QString& text) {
    m_tree->setFocus();
    m_editing->commit(toCp1251(text));
}

void TreeController::TreeEditCancel() {
    m_tree->setFocus();
    m_editing->cancel();
}

} // namespace tervane
