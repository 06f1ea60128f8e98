#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace tervane {

// Icon indexes of the tree: a folder, a file while selected, a file.
enum BaseImage : std::int32_t { ImageFolder = 0, ImageFileSelected = 1, ImageFile = 2 };

// A number no other node of this run carries: "the same node" must not match a new node that
// happens to sit at a freed node's address.
inline std::uint64_t nextNodeSerial() {
    static std::uint64_t last = 0;
    return ++last;
}

// One node of a key base tree. A node is a file exactly when its imageIndex is 2.
struct BaseNode {
    QByteArray text; // the name, Windows-1251 bytes as stored
    std::int32_t imageIndex = ImageFolder;
    std::int32_t selectedIndex = ImageFolder;
    std::int32_t pageNumber = -1; // -1: no page
    bool expanded = false;

    BaseNode* parent = nullptr;      // nullptr at the top level
    std::vector<BaseNode*> children; // owned by the tree
    int row = 0;                     // index among its siblings
    std::uint64_t serial = nextNodeSerial();

    bool isFile() const { return imageIndex == ImageFile; }
};

// The folder tree of a key base as plain data. Deep trees are fine: nothing here recurses.
class BaseTree {
public:
    BaseTree() = default;
    ~BaseTree();
    BaseTree(const BaseTree&) = delete;
    BaseTree& operator=(const BaseTree&) = delete;

    void clear();
    // Exchanges the whole content with other; no node is copied or freed.
    void swap(BaseTree& other) noexcept;
    bool isEmpty() const { return m_roots.empty(); }
    std::size_t size() const { return m_count; }

    const std::vector<BaseNode*>& roots() const { return m_roots; }
    const std::vector<BaseNode*>& childrenOf(const BaseNode* parent) const;

    // Adds a node as the last child of parent (the last top-level node for nullptr).
    BaseNode* addChild(BaseNode* parent);
    // Adds a node as child number row of parent; the siblings from there on move down one. A row
    // past the end adds the last child.
    BaseNode* insertChild(BaseNode* parent, int row);
    // Removes node with its whole subtree; the selection is dropped when it was inside.
    void remove(BaseNode* node);

    // Pre-order: a node, then its children in order, each followed by its own subtree.
    BaseNode* first() const { return m_roots.empty() ? nullptr : m_roots.front(); }
    // The node after node in pre-order, nullptr after the last one. A whole walk costs O(n).
    BaseNode* next(const BaseNode* node) const;
    // The same, keeping depth (0 at the top level) in step with the walk.
    BaseNode* next(const BaseNode* node, int& depth) const;
    static int depth(const BaseNode* node);
    // The 0-based pre-order index, or -1 for nullptr or a node of another tree. O(position).
    int absolutePosition(const BaseNode* node) const;
    // The node at a pre-order index, nullptr when out of range. O(position).
    BaseNode* nodeAt(int position) const;

    BaseNode* selected() const { return m_selected; }
    void select(BaseNode* node) { m_selected = node; }

private:
    std::vector<BaseNode*> m_roots;
    BaseNode* m_selected = nullptr;
    std::size_t m_count = 0;
};

} // namespace tervane
