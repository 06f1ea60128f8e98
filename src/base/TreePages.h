#pragma once

#include "base/BaseTree.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace tervane {

// A tree's file nodes together with their pages, for the edits that change both. Each file owns
// one page: a new file gets a new page at the end of the page file, and when a subtree goes the
// pages of its files leave the page file and every later page moves down, so the numbers of the
// files that stay must follow, or they would show another file's keys.

// Where a create command puts its node for the node at the command point: a folder, or no node
// at all, takes it as its last child (nullptr: the top level); any other node gets it as its
// last sibling, since the commands never put a node under a file.
BaseNode* parentForNewNode(BaseNode* target);

// The edits of a base outside the editor (tervane-cli), placed as the tree menu's commands place
// their nodes, target expanded when it becomes the parent.
// A new file with a blank page appended to the page file; nullptr, with the error shown, when
// the page could not be appended.
BaseNode* addFileNode(BaseTree& tree, const QString& pageFile, BaseNode* target, const QByteArray& name);
BaseNode* addFolderNode(BaseTree& tree, BaseNode* target, const QByteArray& name);

// Whether a descendant of node (not node itself) is a file.
bool subtreeHoldsFiles(const BaseNode* node);

// The pages that removing node with its subtree frees, in pre-order, each once: those of its
// files that lie in a page file of pageCount pages (-1: not known, any page counts). A file
// without a page frees none, and neither does one whose page a file outside the subtree also
// names (only a damaged directory file has such): that file keeps its keys.
std::vector<std::int32_t> pagesFreedBy(const BaseTree& tree, const BaseNode* node, std::int64_t pageCount);

// Every file page number after the pages deleted (ascending) left the page file: down by the
// number of them below it.
void renumberAfterDeletion(BaseTree& tree, const std::vector<std::int32_t>& deletedAscending);
std::int32_t pageAfterDeletion(std::int32_t page, const std::vector<std::int32_t>& deletedAscending);
// The reverse, when the deleted pages come back at their numbers: every page number that stayed
// goes back to what it was before the deletion.
void renumberBeforeDeletion(BaseTree& tree, const std::vector<std::int32_t>& deletedAscending);
std::int32_t pageBeforeDeletion(std::int32_t page, const std::vector<std::int32_t>& deletedAscending);

// Removes node with its subtree and deletes the pages it frees from the page file in one rebuild,
// then renumbers the files that stay. beforeRemoval runs just before the nodes go, afterRemoval
// just after (a view's notices). deletedPages, when given, gets the page numbers as they were
// before, in pre-order. False, with the error shown, when the page file could not be rebuilt:
// then neither the tree nor the page file changed.
bool removeSubtreeWithPages(BaseTree& tree, const QString& pageFile, BaseNode* node,
                            std::vector<std::int32_t>* deletedPages = nullptr,
                            const std::function<void()>& beforeRemoval = {},
                            const std::function<void()>& afterRemoval = {});

} // namespace tervane
