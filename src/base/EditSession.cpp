#include "base/EditSession.h"

#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/PageFile.h"
#include "base/TreePages.h"

#include <algorithm>
#include <memory>

namespace tervane {

EditSession::EditSession(Document& document, QObject* parent) : QObject(parent), m_document(document) {
    // What a step recorded belongs to the tree it was recorded on.
    connect(&m_document, &Document::treeAboutToBeReplaced, this, &EditSession::forgetStep);
}

EditSession::~EditSession() = default;

void EditSession::edited() {
    m_document.setModified(true);
}

void EditSession::beginStep(const QString& name) {
    if (m_stepDepth++ == 0) {
        m_step = std::make_unique<EditStep>();
        m_step->name = name;
    }
}

void EditSession::endStep() {
    if (m_stepDepth == 0 || --m_stepDepth > 0)
        return;
    std::unique_ptr<EditStep> step = std::move(m_step);
    if (step && !step->changes.empty())
        emit stepRecorded(std::shared_ptr<const EditStep>(std::move(step)));
}

void EditSession::forgetStep() {
    if (m_step)
        m_step->changes.clear();
}

void EditSession::record(EditStep::Change change) {
    if (m_step) {
        m_step->changes.push_back(std::move(change));
        return;
    }
    auto step = std::make_shared<EditStep>();
    step->changes.push_back(std::move(change));
    emit stepRecorded(std::move(step));
}

void EditSession::recordNodeAdded(const BaseNode* node) {
    if (node && recordingNow())
        record(EditStep::NodeInsertion{true, pathOf(node), SubtreeCopy::of(m_document.tree(), node)});
}

template <typename Change> bool EditSession::changePage(std::int32_t page, Change change) {
    if (!m_document.isOpen() || page < 0)
        return false;
    const bool recorded = recordingNow();
    std::unique_ptr<KeyPage> before;
    const auto changeRecorded = [&](KeyPage& target) {
        if (recorded)
            before = std::make_unique<KeyPage>(target);
        change(target);
    };
    if (page == m_document.currentPage()) {
        changeRecorded(m_document.pageBuffer());
        if (recorded)
            record(EditStep::PageRows{page, changedRows(*before, m_document.pageBuffer())});
    } else {
        // A page that is not shown lives in the working page file only.
        const auto stored = std::make_unique<KeyPage>();
        const QString file = m_document.workingPageFile();
        if (!ReadPage(file, page, *stored))
            return false;
        changeRecorded(*stored);
        if (!WritePage(file, page, *stored))
            return false;
        if (recorded)
            record(EditStep::PageRows{page, changedRows(*before, *stored)});
    }
    edited();
    emit pageChanged(page);
    return true;
}

// Here, beside changePage, which it replays rows through.
bool EditSession::replayRows(const EditStep::PageRows& change, bool forwards) {
    if (change.rows.empty()) {
        touchPage(change.page);
        return true;
    }
    return changePage(change.page, [&](KeyPage& page) {
        for (const EditStep::RowChange& row : change.rows)
            setRowImage(page, row.row, forwards ? row.after : row.before);
    });
}

bool EditSession::setCell(std::int32_t page, int row, int keyColumn, const KeyCell& cell) {
    if (row < 0 || row >= KeyPage::kRows || keyColumn < 0 || keyColumn >= KeyPage::kKeyColumns)
        return false;
    return changePage(page, [&](KeyPage& p) { p.setCell(row, keyColumn, cell); });
}

bool EditSession::setComment(std::int32_t page, int row, const QByteArray& text) {
    if (row < 0 || row >= KeyPage::kRows)
        return false;
    return changePage(page, [&](KeyPage& p) { p.setComment(row, text); });
}

bool EditSession::replacePage(std::int32_t page, const KeyPage& content) {
    return changePage(page, [&](KeyPage& p) { p = content; });
}

bool EditSession::applyEdits(std::int32_t page, const PageEdits& edits) {
    for (const PageEdits::Cell& c : edits.cells) {
        if (c.row < 0 || c.row >= KeyPage::kRows || c.keyColumn < 0 || c.keyColumn >= KeyPage::kKeyColumns)
            return false;
    }
    for (const PageEdits::Comment& c : edits.comments) {
        if (c.row < 0 || c.row >= KeyPage::kRows)
            return false;
    }
    return changePage(page, [&](KeyPage& p) { edits.applyTo(p); });
}

void EditSession::touchPage(std::int32_t page) {
    if (!m_document.isOpen())
        return;
    if (recordingNow())
        record(EditStep::PageRows{page, {}});
    edited();
    emit pageChanged(page);
}

BaseNode* EditSession::addNode(BaseNode* parent, const QByteArray& name, std::int32_t imageIndex,
                               std::int32_t selectedIndex, std::int32_t pageNumber) {
    if (!m_document.isOpen())
        return nullptr;
    BaseTree& tree = m_document.tree();
    emit nodeAboutToBeAdded(parent, int(tree.childrenOf(parent).size()));
    BaseNode* node = tree.addChild(parent);
    node->text = name;
    node->imageIndex = imageIndex;
    node->selectedIndex = selectedIndex;
    node->pageNumber = pageNumber;
    recordNodeAdded(node);
    edited();
    emit nodeAdded(node);
    return node;
}

void EditSession::renameNode(BaseNode* node, const QByteArray& name) {
    if (!node || !m_document.isOpen())
        return;
    if (recordingNow())
        record(EditStep::NodeRenamed{pathOf(node), node->text, name});
    node->text = name;
    edited();
    emit nodeChanged(node);
}

void EditSession::removeNode(BaseNode* node) {
    if (!node || !m_document.isOpen())
        return;
    if (recordingNow())
        record(EditStep::NodeInsertion{false, pathOf(node), SubtreeCopy::of(m_document.tree(), node)});
    emit nodeAboutToBeRemoved(node);
    m_document.tree().remove(node);
    edited();
    emit nodeRemoved();
}

bool EditSession::attachNewPage(BaseNode* node) {
    if (!node || !m_document.isOpen())
        return false;
    std::int32_t page = -1;
    if (!AppendPage(m_document.workingPageFile(), page))
        return false;
    node->pageNumber = page;
    if (recordingNow())
        record(EditStep::PageAttached{pathOf(node), page});
    edited();
    emit nodeChanged(node);
    return true;
}

bool EditSession::removeNodeWithPages(BaseNode* node, std::vector<std::int32_t>* deletedPages) {
    if (!node || !m_document.isOpen())
        return false;
    // What the step needs to put the subtree back: its nodes, and the pages that will go.
    std::unique_ptr<EditStep::SubtreeDeleted> undoable;
    if (recordingNow()) {
        undoable = std::make_unique<EditStep::SubtreeDeleted>();
        undoable->path = pathOf(node);
        undoable->subtree = SubtreeCopy::of(m_document.tree(), node);
        const QString file = m_document.workingPageFile();
        undoable->pages = pagesFreedBy(m_document.tree(), node, pageCount(file));
        for (const std::int32_t page : undoable->pages) {
            auto content = std::make_unique<KeyPage>();
            if (!ReadPage(file, page, *content))
                return false;
            undoable->content.push_back(std::move(content));
        }
    }
    std::vector<std::int32_t> deleted;
    const bool removed = removeSubtreeWithPages(
        m_document.tree(), m_document.workingPageFile(), node, &deleted, [&] { emit nodeAboutToBeRemoved(node); },
        [this] { emit nodeRemoved(); });
    if (!removed)
        return false;
    // The page buffer belongs to the page shown: a later write-back must reach that page under
    // its new number, never the page that now has its old one.
    const std::int32_t shown = m_document.currentPage();
    if (shown >= 0) {
        std::vector<std::int32_t> ascending = deleted;
        std::sort(ascending.begin(), ascending.end());
        const bool gone = std::binary_search(ascending.begin(), ascending.end(), shown);
        m_document.setCurrentPage(gone ? -1 : pageAfterDeletion(shown, ascending));
    }
    // The rebuild frees the pages by the same rule, so it deleted exactly the pages read.
    if (undoable)
        record(std::move(*undoable));
    edited();
    if (deletedPages)
        *deletedPages = std::move(deleted);
    return true;
}

} // namespace tervane
