#pragma once

#include "cli/Command.h"

#include <QString>
#include <functional>

namespace tervane {

class BaseTree;
struct BaseNode;

// What the commands that change a key base share: the node arguments and one edit of the base
// saved as the editor saves it.

// A node's index as "tree" lists them (pre-order, from 0); "-1" as well when topLevel is allowed.
bool parseNodeIndex(const QString& text, bool topLevelAllowed, int& index);

// The node at index, or nullptr with usageError telling that none is there.
BaseNode* nodeForIndex(const BaseTree& tree, int index, const QString& argument, QString& usageError);

// Runs edit on the base named by baseArgument (editBaseFiles): ExitOk once the base is saved,
// ExitUsage when edit refused with a usageError, ExitFileError when a file step failed (its error
// already shown). Nothing is written unless edit succeeds.
ExitCode runBaseEdit(const QString& baseArgument, QString& usageError,
                     const std::function<bool(BaseTree& tree, const QString& pageFile)>& edit);

} // namespace tervane
