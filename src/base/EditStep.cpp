#include "base/EditStep.h"

#include <algorithm>
#include <cstring>

namespace tervane {

NodePath pathOf(const BaseNode* node) {
    NodePath path;
    for (const BaseNode* n = node; n; n = n->parent)
        path.push_back(n->row);
    std::reverse(path.begin(), path.end());
    return path;
}

BaseNode* nodeAtPath(const BaseTree& tree, const NodePath& path) {
    BaseNode* node = nullptr;
    for (const int row : path) {
        const std::vector<BaseNode*>& children = tree.childrenOf(node);
        if (row < 0 || std::size_t(row) >= children.size())
            return nullptr;
        node = children[std::size_t(row)];
    }
    return node;
}

SubtreeCopy SubtreeCopy::of(const BaseTree& tree, const BaseNode* node) {
    SubtreeCopy copy;
    if (!node)
        return copy;
    const int top = BaseTree::depth(node);
    int depth = top;
    for (const BaseNode* n = node; n;) {
        copy.nodes.push_back({depth - top, n->text, n->imageIndex, n->selectedIndex, n->pageNumber, n->expanded});
        n = tree.next(n, depth);
        if (depth <= top)
            break;
    }
    return copy;
}

BaseNode* SubtreeCopy::restoreInto(BaseTree& tree, BaseNode* parent, int row) const {
    BaseNode* top = nullptr;
    // The last node made at each depth: a node's parent is the one a level above it.
    std::vector<BaseNode*> lastAt;
    for (const Node& n : nodes) {
        BaseNode* made = nullptr;
        if (n.depth == 0) {
            made = tree.insertChild(parent, row);
            top = made;
        } else {
            made = tree.addChild(lastAt[std::size_t(n.depth - 1)]);
        }
        made->text = n.text;
        made->imageIndex = n.imageIndex;
        made->selectedIndex = n.selectedIndex;
        made->pageNumber = n.pageNumber;
        made->expanded = n.expanded;
        lastAt.resize(std::size_t(n.depth));
        lastAt.push_back(made);
    }
    return top;
}

std::size_t SubtreeCopy::bytes() const {
    std::size_t total = sizeof(SubtreeCopy) + nodes.size() * sizeof(Node);
    for (const Node& n : nodes)
        total += std::size_t(n.text.capacity());
    return total;
}

namespace {

std::size_t pathBytes(const NodePath& path) {
    return path.size() * sizeof(int);
}

struct ChangeBytes {
    std::size_t operator()(const EditStep::PageRows& c) const { return c.rows.size() * sizeof(EditStep::RowChange); }
    std::size_t operator()(const EditStep::NodeInsertion& c) const { return pathBytes(c.path) + c.subtree.bytes(); }
    std::size_t operator()(const EditStep::NodeRenamed& c) const {
        return pathBytes(c.path) + std::size_t(c.before.capacity() + c.after.capacity());
    }
    std::size_t operator()(const EditStep::PageAttached& c) const { return pathBytes(c.path); }
    std::size_t operator()(const EditStep::SubtreeDeleted& c) const {
        return pathBytes(c.path) + c.subtree.bytes() + c.pages.size() * sizeof(std::int32_t) +
               c.content.size() * sizeof(KeyPage);
    }
};

} // namespace

std::size_t EditStep::bytes() const {
    std::size_t total = sizeof(EditStep) + std::size_t(name.capacity()) * sizeof(QChar);
    for (const Change& change : changes)
        total += sizeof(Change) + std::visit(ChangeBytes{}, change);
    return total;
}

std::int32_t EditStep::lastPageChanged() const {
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        if (const auto* rows = std::get_if<PageRows>(&*it))
            return rows->page;
    }
    return -1;
}

EditStep::RowImage rowImage(const KeyPage& page, int row) {
    EditStep::RowImage image;
    std::memcpy(image.data(), page.data() + KeyPage::cellOffset(row, 0), KeyPage::kRowCellsSize);
    std::memcpy(image.data() + KeyPage::kRowCellsSize, page.data() + KeyPage::commentOffset(row),
                KeyPage::kCommentSize);
    return image;
}

void setRowImage(KeyPage& page, int row, const EditStep::RowImage& image) {
    std::memcpy(page.data() + KeyPage::cellOffset(row, 0), image.data(), KeyPage::kRowCellsSize);
    std::memcpy(page.data() + KeyPage::commentOffset(row), image.data() + KeyPage::kRowCellsSize,
                KeyPage::kCommentSize);
}

std::vector<EditStep::RowChange> changedRows(const KeyPage& before, const KeyPage& after) {
    std::vector<EditStep::RowChange> rows;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        const int cells = KeyPage::cellOffset(row, 0);
        const int comment = KeyPage::commentOffset(row);
        if (std::memcmp(before.data() + cells, after.data() + cells, KeyPage::kRowCellsSize) == 0 &&
            std::memcmp(before.data() + comment, after.data() + comment, KeyPage::kCommentSize) == 0)
            continue;
        rows.push_back({row, rowImage(before, row), rowImage(after, row)});
    }
    return rows;
}

} // namespace tervane
