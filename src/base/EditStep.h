#pragma once

#include "base/BaseTree.h"
#include "base/KeyPage.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace tervane {

// Where a node sits: its row among its siblings at each level, from the top. A path outlives the
// node it names, so a step taken back or done again finds its nodes by their places; the tree is
// then exactly as it was when the step was recorded, so the places hold.
using NodePath = std::vector<int>;
NodePath pathOf(const BaseNode* node);
// nullptr when no node sits there.
BaseNode* nodeAtPath(const BaseTree& tree, const NodePath& path);

// A node with its whole subtree as plain values, in pre-order with depths (0: the copied node).
struct SubtreeCopy {
    struct Node {
        int depth = 0;
        QByteArray text;
        std::int32_t imageIndex = ImageFolder;
        std::int32_t selectedIndex = ImageFolder;
        std::int32_t pageNumber = -1;
        bool expanded = false;
    };
    std::vector<Node> nodes;

    static SubtreeCopy of(const BaseTree& tree, const BaseNode* node);
    // Builds the copy as child number row of parent (nothing recurses: a damaged directory file
    // may nest deeper than the call stack allows); returns the copied node.
    BaseNode* restoreInto(BaseTree& tree, BaseNode* parent, int row) const;
    std::size_t bytes() const;
};

// One step of the edit history: what one command changed in the open document, with what it
// takes to undo it and to redo it. Page changes keep only the rows that changed, before and
// after; only a deleted file keeps its whole page.
struct EditStep {
    static constexpr int kRowSize = KeyPage::kRowCellsSize + KeyPage::kCommentSize; // 189

    // A row's six cells and its comment record, as the page holds them.
    using RowImage = std::array<std::uint8_t, kRowSize>;
    struct RowChange {
        int row = 0;
        RowImage before{};
        RowImage after{};
    };
    // Rows of one page; none for an edit that left the bytes as they were.
    struct PageRows {
        std::int32_t page = -1;
        std::vector<RowChange> rows;
    };
    // A node added (inserted) or taken away (inserted == false) with its subtree.
    struct NodeInsertion {
        bool inserted = true;
        NodePath path;
        SubtreeCopy subtree;
    };
    struct NodeRenamed {
        NodePath path;
        QByteArray before;
        QByteArray after;
    };
    // A blank page appended to the page file and given to a file node that had none.
    struct PageAttached {
        NodePath path;
        std::int32_t page = -1;
    };
    // A node deleted with its subtree and the pages of its files, which left the page file.
    struct SubtreeDeleted {
        NodePath path;
        SubtreeCopy subtree;
        std::vector<std::int32_t> pages;               // as numbered before, in pre-order
        std::vector<std::unique_ptr<KeyPage>> content; // pages[i]'s bytes
    };
    using Change = std::variant<PageRows, NodeInsertion, NodeRenamed, PageAttached, SubtreeDeleted>;

    QString name;
    std::vector<Change> changes;

    // The memory the step holds, near enough to keep the history within its budget.
    std::size_t bytes() const;
    // The page of the last page change, -1 without one.
    std::int32_t lastPageChanged() const;
};

// A row's bytes out of a page and back.
EditStep::RowImage rowImage(const KeyPage& page, int row);
void setRowImage(KeyPage& page, int row, const EditStep::RowImage& image);
// The rows in which after differs from before.
std::vector<EditStep::RowChange> changedRows(const KeyPage& before, const KeyPage& after);

} // namespace tervane
