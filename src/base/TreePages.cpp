#include "base/TreePages.h"

#include "base/PageFile.h"

#include <algorithm>
#include <unordered_set>

namespace tervane {
namespace {

// The node after the last one of node's subtree in pre-order, nullptr at the end of the tree.
const BaseNode* afterSubtree(const BaseTree& tree, const BaseNode* node) {
    for (const BaseNode* n = node; n; n = n->parent) {
        const std::vector<BaseNode*>& siblings = tree.childrenOf(n->parent);
        if (std::size_t(n->row) + 1 < siblings.size())
            return siblings[std::size_t(n->row) + 1];
    }
    return nullptr;
}

} // namespace

namespace {

BaseNode* addNode(BaseTree& tree, BaseNode* target, const QByteArray& name, std::int32_t image,
                  std::int32_t selectedImage, std::int32_t page) {
    BaseNode* parent = parentForNewNode(target);
    BaseNode* node = tree.addChild(parent);
    node->text = name;
    node->imageIndex = image;
    node->selectedIndex = selectedImage;
    node->pageNumber = page;
    if (parent && parent == target)
        parent->expanded = true;
    return node;
}

} // namespace

BaseNode* parentForNewNode(BaseNode* target) {
    if (target && target->imageIndex != ImageFolder)
        return target->parent;
    return target;
}

BaseNode* addFileNode(BaseTree& tree, const QString& pageFile, BaseNode* target, const QByteArray& name) {
    std::int32_t page = -1;
    if (!AppendPage(pageFile, page))
        return nullptr;
    return addNode(tree, target, name, ImageFile, ImageFileSelected, page);
}

BaseNode* addFolderNode(BaseTree& tree, BaseNode* target, const QByteArray& name) {
    return addNode(tree, target, name, ImageFolder, ImageFolder, -1);
}

bool subtreeHoldsFiles(const BaseNode* node) {
    if (!node)
        return false;
    // An explicit stack: a damaged directory file may nest deeper than the call stack allows.
    std::vector<const BaseNode*> pending(node->children.begin(), node->children.end());
    while (!pending.empty()) {
        const BaseNode* n = pending.back();
        pending.pop_back();
        if (n->isFile())
            return true;
        pending.insert(pending.end(), n->children.begin(), n->children.end());
    }
    return false;
}

std::vector<std::int32_t> pagesFreedBy(const BaseTree& tree, const BaseNode* node, std::int64_t pageCount) {
    std::vector<std::int32_t> freed;
    if (!node)
        return freed;
    const BaseNode* end = afterSubtree(tree, node);
    std::unordered_set<std::int32_t> seen;
    for (const BaseNode* n = node; n && n != end; n = tree.next(n)) {
        const std::int32_t page = n->pageNumber;
        if (!n->isFile() || page < 0 || (pageCount >= 0 && page >= pageCount))
            continue;
        if (seen.insert(page).second)
            freed.push_back(page);
    }
    if (freed.empty())
        return freed;
    // A page that a file staying in the tree still names is not freed.
    std::unordered_set<std::int32_t> kept;
    for (const BaseNode* n = tree.first(); n;) {
        if (n == node) {
            n = end;
            continue;
        }
        if (n->isFile() && seen.count(n->pageNumber))
            kept.insert(n->pageNumber);
        n = tree.next(n);
    }
    if (!kept.empty())
        freed.erase(std::remove_if(freed.begin(), freed.end(), [&](std::int32_t p) { return kept.count(p) != 0; }),
                    freed.end());
    return freed;
}

std::int32_t pageAfterDeletion(std::int32_t page, const std::vector<std::int32_t>& deletedAscending) {
    if (page < 0)
        return page;
    const auto below = std::lower_bound(deletedAscending.begin(), deletedAscending.end(), page);
    return page - std::int32_t(below - deletedAscending.begin());
}

void renumberAfterDeletion(BaseTree& tree, const std::vector<std::int32_t>& deletedAscending) {
    if (deletedAscending.empty())
        return;
    for (BaseNode* n = tree.first(); n; n = tree.next(n)) {
        if (n->isFile())
            n->pageNumber = pageAfterDeletion(n->pageNumber, deletedAscending);
    }
}

std::int32_t pageBeforeDeletion(std::int32_t page, const std::vector<std::int32_t>& deletedAscending) {
    if (page < 0)
        return page;
    // Each deleted page at or below the number found so far pushes it up by one.
    for (const std::int32_t deleted : deletedAscending) {
        if (deleted > page)
            break;
        ++page;
    }
    return page;
}

void renumberBeforeDeletion(BaseTree& tree, const std::vector<std::int32_t>& deletedAscending) {
    if (deletedAscending.empty())
        return;
    for (BaseNode* n = tree.first(); n; n = tree.next(n)) {
        if (n->isFile())
            n->pageNumber = pageBeforeDeletion(n->pageNumber, deletedAscending);
    }
}

bool removeSubtreeWithPages(BaseTree& tree, const QString& pageFile, BaseNode* node,
                            std::vector<std::int32_t>* deletedPages, const std::function<void()>& beforeRemoval,
                            const std::function<void()>& afterRemoval) {
    if (!node)
        return false;
    std::vector<std::int32_t> freed = pagesFreedBy(tree, node, pageCount(pageFile));
    // One rebuild for all of them: the page file loses every page or none, so no node is ever
    // left pointing at a page that is gone or at another file's page.
    if (!freed.empty() && !DeletePages(pageFile, freed))
        return false;
    if (deletedPages)
        *deletedPages = freed;
    std::sort(freed.begin(), freed.end());
    if (beforeRemoval)
        beforeRemoval();
    tree.remove(node);
    renumberAfterDeletion(tree, freed);
    if (afterRemoval)
        afterRemoval();
    return true;
}

} // namespace tervane
