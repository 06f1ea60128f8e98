#include "base/TreeEditing.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/TreePages.h"
#include "seams/EventPump.h"
#include "seams/Prompts.h"
#include "texts/UiLanguage.h"

namespace tervane {
namespace {

const QString kCaption = QStringLiteral("Tervane");

// The edit history's name of a tree edit: the command that began it.
QString stepName(TreeEditing::Mode mode) {
    switch (mode) {
    case TreeEditing::Mode::NewFile:
        return translate("TreeMenu", "Create file");
    case TreeEditing::Mode::NewFolder:
        return translate("TreeMenu", "Create folder");
    default:
        return translate("TreeMenu", "Rename");
    }
}

bool askYes(const QString& text) {
    return prompts().message(PromptIcon::Warning, kCaption, text, ButtonYes | ButtonNo) == ButtonYes;
}

} // namespace

TreeEditing::TreeEditing(Document& document, EditSession& edits, QObject* parent)
    : QObject(parent), m_document(document), m_edits(edits) {
    connect(&m_document, &Document::treeAboutToBeReplaced, this, &TreeEditing::abandon);
    connect(&m_edits, &EditSession::nodeAboutToBeRemoved, this, &TreeEditing::abandonIfInside);
}

BaseNode* TreeEditing::create(BaseNode* target, Mode mode) {
    if (!m_document.isOpen())
        return nullptr;
    BaseNode* parent = parentForNewNode(target);
    // A new node is not a change yet: cancelling it leaves the flag as it was, and the edit
    // history records it only when its name is given.
    m_modifiedBefore = m_document.modified();
    const bool file = mode == Mode::NewFile;
    EditSession::Unrecorded unrecorded(m_edits);
    BaseNode* node =
        m_edits.addNode(parent, {}, file ? ImageFile : ImageFolder, file ? ImageFileSelected : ImageFolder, -1);
    if (!node)
        return nullptr;
    if (parent && parent == target)
        parent->expanded = true;
    m_mode = mode;
    m_node = node;
    return node;
}

BaseNode* TreeEditing::createFile(BaseNode* target) {
    return create(target, Mode::NewFile);
}

BaseNode* TreeEditing::createFolder(BaseNode* target) {
    return create(target, Mode::NewFolder);
}

bool TreeEditing::rename(BaseNode* target) {
    if (!target || !m_document.isOpen())
        return false;
    m_mode = Mode::Rename;
    m_node = target;
    return true;
}

void TreeEditing::commit(const QByteArray& name) {
    const Mode mode = m_mode;
    BaseNode* node = m_node;
    if (mode == Mode::None || !node)
        return;
    // Committing may show an error box, which takes the focus from the name field again.
    m_mode = Mode::None;
    m_node = nullptr;

    EditSession::Step step(m_edits, stepName(mode));
    if (mode != Mode::Rename)
        m_edits.recordNodeAdded(node);
    // A new file that could not get its page goes again, and the history keeps nothing of it.
    const auto takeBack = [&] {
        m_edits.forgetStep();
        EditSession::Unrecorded unrecorded(m_edits);
        m_edits.removeNode(node);
    };
    if (mode == Mode::NewFile) {
        // The page shown goes back to the page file before another page becomes the shown one.
        if (!m_document.FlushCurrentPage()) {
            takeBack();
        } else if (m_edits.attachNewPage(node)) {
            m_document.setCurrentPage(node->pageNumber);
            // The page just appended is blank; a buffer cleared here cannot fail to read as it,
            // so the buffer always belongs to the page it is written back to.
            m_document.pageBuffer().clear();
            m_edits.renameNode(node, name);
            m_document.tree().select(node);
        } else {
            takeBack();
        }
    } else {
        // The grid keeps the page it showed until the next click in the tree.
        m_edits.renameNode(node, name);
        m_document.tree().select(node);
    }
    m_document.setModified();
    emit refreshNeeded();
}

void TreeEditing::cancel() {
    const Mode mode = m_mode;
    BaseNode* node = m_node;
    m_mode = Mode::None;
    m_node = nullptr;
    if ((mode == Mode::NewFile || mode == Mode::NewFolder) && node) {
        EditSession::Unrecorded unrecorded(m_edits);
        m_edits.removeNode(node);
        m_document.setModified(m_modifiedBefore);
        emit refreshNeeded();
    }
}

bool TreeEditing::remove(BaseNode* target) {
    if (!target || !m_document.isOpen())
        return false;
    if (!m_document.FlushCurrentPage())
        return false;
    if (subtreeHoldsFiles(target)) {
        const QString text = translate("TreeEditing", "Filder \"%1\" contains files, to delete all contents ?")
                                 .arg(fromCp1251(target->text));
        if (!askYes(text))
            return false;
    }
    if (!askYes(translate("TreeEditing", "You are assured that wish to delete the selected files ?")))
        return false;
    EditSession::Step step(m_edits, translate("TreeMenu", "Delete"));
    if (!m_edits.removeNodeWithPages(target))
        return false;
    m_document.setCurrentPage(-1);
    m_document.SelectNode();
    eventPump().processEvents();
    m_document.setModified();
    emit refreshNeeded();
    return true;
}

void TreeEditing::abandonIfInside(const BaseNode* removed) {
    for (const BaseNode* n = m_node; n; n = n->parent) {
        if (n == removed) {
            abandon();
            return;
        }
    }
}

void TreeEditing::abandon() {
    if (m_mode == Mode::None)
        return;
    m_mode = Mode::None;
    m_node = nullptr;
    emit editAbandoned();
}

} // namespace tervane
