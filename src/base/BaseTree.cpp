#include "base/BaseTree.h"

#include <algorithm>
#include <utility>

namespace tervane {

namespace {

// Deletes every node of the given subtrees without recursion: a directory file may describe a
// chain far deeper than the stack would allow. Returns how many nodes went and whether
// watched was among them.
std::size_t deleteSubtrees(std::vector<BaseNode*> pending, const BaseNode* watched, bool& sawWatched) {
    std::size_t deleted = 0;
    while (!pending.empty()) {
        BaseNode* node = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), node->children.begin(), node->children.end());
        if (node == watched)
            sawWatched = true;
        delete node;
        ++deleted;
    }
    return deleted;
}

} // namespace

BaseTree::~BaseTree() {
    clear();
}

void BaseTree::clear() {
    bool unused = false;
    deleteSubtrees(std::move(m_roots), nullptr, unused);
    m_roots.clear();
    m_selected = nullptr;
    m_count = 0;
}

void BaseTree::swap(BaseTree& other) noexcept {
    m_roots.swap(other.m_roots);
    std::swap(m_selected, other.m_selected);
    std::swap(m_count, other.m_count);
}

const std::vector<BaseNode*>& BaseTree::childrenOf(const BaseNode* parent) const {
    return parent ? parent->children : m_roots;
}

BaseNode* BaseTree::addChild(BaseNode* parent) {
    return insertChild(parent, int(childrenOf(parent).size()));
}

BaseNode* BaseTree::insertChild(BaseNode* parent, int row) {
    auto* node = new BaseNode;
    node->parent = parent;
    std::vector<BaseNode*>& siblings = parent ? parent->children : m_roots;
    row = std::clamp(row, 0, int(siblings.size()));
    node->row = row;
    auto it = siblings.insert(siblings.begin() + row, node);
    for (++it; it != siblings.end(); ++it)
        ++(*it)->row;
    ++m_count;
    return node;
}

void BaseTree::remove(BaseNode* node) {
    if (!node)
        return;
    std::vector<BaseNode*>& siblings = node->parent ? node->parent->children : m_roots;
    auto it = siblings.begin() + node->row;
    it = siblings.erase(it);
    for (; it != siblings.end(); ++it)
        --(*it)->row;
    bool selectionGone = false;
    m_count -= deleteSubtrees({node}, m_selected, selectionGone);
    if (selectionGone)
        m_selected = nullptr;
}

BaseNode* BaseTree::next(const BaseNode* node) const {
    int depth = 0;
    return next(node, depth);
}

BaseNode* BaseTree::next(const BaseNode* node, int& depth) const {
    if (!node)
        return nullptr;
    if (!node->children.empty()) {
        ++depth;
        return node->children.front();
    }
    while (node) {
        const std::vector<BaseNode*>& siblings = childrenOf(node->parent);
        if (std::size_t(node->row) + 1 < siblings.size())
            return siblings[node->row + 1];
        node = node->parent;
        --depth;
    }
    return nullptr;
}

int BaseTree::depth(const BaseNode* node) {
    int level = -1;
    for (; node; node = node->parent)
        ++level;
    return level;
}

int BaseTree::absolutePosition(const BaseNode* node) const {
    if (!node)
        return -1;
    int position = 0;
    for (const BaseNode* n = first(); n; n = next(n), ++position) {
        if (n == node)
            return position;
    }
    return -1;
}

BaseNode* BaseTree::nodeAt(int position) const {
    if (position < 0)
        return nullptr;
    BaseNode* n = first();
    for (; n && position > 0; --position)
        n = next(n);
    return n;
}

} // namespace tervane
