// The edit session's undo and redo: a recorded step replayed backwards or forwards through the
// same edits as the commands make, unrecorded.
#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/FileErrors.h"
#include "base/PageFile.h"
#include "base/TreePages.h"

#include <algorithm>
#include <utility>

namespace tervane {
namespace {

// The parent of the node at path, and whether there is one to take a child: nullptr is the top.
bool parentAtPath(const BaseTree& tree, const NodePath& path, BaseNode*& parent) {
    if (path.empty())
        return false;
    parent = nodeAtPath(tree, NodePath(path.begin(), path.end() - 1));
    return path.size() == 1 || parent;
}

class ReplayScope {
public:
    explicit ReplayScope(bool& replaying) : m_replaying(replaying) { m_replaying = true; }
    ~ReplayScope() { m_replaying = false; }
    ReplayScope(const ReplayScope&) = delete;
    ReplayScope& operator=(const ReplayScope&) = delete;

private:
    bool& m_replaying;
};

} // namespace

bool EditSession::replayInsertion(const EditStep::NodeInsertion& change, bool insert) {
    BaseTree& tree = m_document.tree();
    if (insert) {
        BaseNode* parent = nullptr;
        if (!parentAtPath(tree, change.path, parent) || change.subtree.nodes.empty())
            return false;
        emit nodeAboutToBeAdded(parent, std::min(change.path.back(), int(tree.childrenOf(parent).size())));
        BaseNode* top = change.subtree.restoreInto(tree, parent, change.path.back());
        edited();
        emit nodeAdded(top);
        return true;
    }
    BaseNode* node = nodeAtPath(tree, change.path);
    if (!node)
        return false;
    removeNode(node);
    return true;
}

bool EditSession::replayRename(const EditStep::NodeRenamed& change, bool forwards) {
    BaseNode* node = nodeAtPath(m_document.tree(), change.path);
    if (!node)
        return false;
    renameNode(node, forwards ? change.after : change.before);
    return true;
}

bool EditSession::replayAttach(const EditStep::PageAttached& change, bool forwards) {
    BaseNode* node = nodeAtPath(m_document.tree(), change.path);
    if (!node)
        return false;
    const QString file = m_document.workingPageFile();
    if (forwards) {
        // The page file is as it was when the page was appended, so the page comes at the same
        // number again.
        if (pageCount(file) != change.page)
            return false;
        return attachNewPage(node);
    }
    if (pageCount(file) != std::int64_t(change.page) + 1)
        return false;
    // The page buffer may hold that page: it goes with it, never to be written back.
    if (m_document.currentPage() == change.page)
        m_document.setCurrentPage(-1);
    if (!TruncatePages(file, change.page))
        return false;
    node->pageNumber = -1;
    edited();
    emit nodeChanged(node);
    return true;
}

bool EditSession::replayDeletion(const EditStep::SubtreeDeleted& change, bool forwards) {
    BaseTree& tree = m_document.tree();
    if (!m_document.FlushCurrentPage())
        return false;
    if (forwards) {
        BaseNode* node = nodeAtPath(tree, change.path);
        return node && removeNodeWithPages(node);
    }
    BaseNode* parent = nullptr;
    if (!parentAtPath(tree, change.path, parent) || change.subtree.nodes.empty() ||
        change.pages.size() != change.content.size())
        return false;
    std::vector<std::pair<std::int32_t, const KeyPage*>> pages;
    for (std::size_t i = 0; i < change.pages.size(); ++i)
        pages.emplace_back(change.pages[i], change.content[i].get());
    if (!pages.empty() && !InsertPages(m_document.workingPageFile(), pages))
        return false;
    std::vector<std::int32_t> ascending = change.pages;
    std::sort(ascending.begin(), ascending.end());
    // The files that stayed go back to their numbers, and so does the page shown, before the
    // deleted files come back with theirs.
    renumberBeforeDeletion(tree, ascending);
    if (m_document.currentPage() >= 0)
        m_document.setCurrentPage(pageBeforeDeletion(m_document.currentPage(), ascending));
    emit nodeAboutToBeAdded(parent, std::min(change.path.back(), int(tree.childrenOf(parent).size())));
    BaseNode* top = change.subtree.restoreInto(tree, parent, change.path.back());
    edited();
    emit nodeAdded(top);
    return true;
}

bool EditSession::replay(const EditStep& step, bool forwards) {
    if (!m_document.isOpen())
        return false;
    ReplayScope scope(m_replaying);
    const auto replayOne = [&](const EditStep::Change& change) {
        if (const auto* rows = std::get_if<EditStep::PageRows>(&change))
            return replayRows(*rows, forwards);
        if (const auto* insertion = std::get_if<EditStep::NodeInsertion>(&change))
            return replayInsertion(*insertion, insertion->inserted == forwards);
        if (const auto* rename = std::get_if<EditStep::NodeRenamed>(&change))
            return replayRename(*rename, forwards);
        if (const auto* attach = std::get_if<EditStep::PageAttached>(&change))
            return replayAttach(*attach, forwards);
        return replayDeletion(std::get<EditStep::SubtreeDeleted>(change), forwards);
    };
    if (forwards)
        return std::all_of(step.changes.begin(), step.changes.end(), replayOne);
    return std::all_of(step.changes.rbegin(), step.changes.rend(), replayOne);
}

bool EditSession::undo(const EditStep& step) {
    return replay(step, false);
}

bool EditSession::redo(const EditStep& step) {
    return replay(step, true);
}

} // namespace tervane
