#include "cli/BaseEditRun.h"

#include "base/BaseFileEdit.h"
#include "base/BaseTree.h"
#include "cli/CommandLine.h"

namespace tervane {

bool parseNodeIndex(const QString& text, bool topLevelAllowed, int& index) {
    if (topLevelAllowed && text == QLatin1String("-1")) {
        index = -1;
        return true;
    }
    return CommandLine::parseNumber(text, index);
}

BaseNode* nodeForIndex(const BaseTree& tree, int index, const QString& argument, QString& usageError) {
    BaseNode* node = index >= 0 ? tree.nodeAt(index) : nullptr;
    if (!node)
        usageError =
            QStringLiteral("%1 %2 names no node: the tree has %3 nodes").arg(argument).arg(index).arg(tree.size());
    return node;
}

ExitCode runBaseEdit(const QString& baseArgument, QString& usageError,
                     const std::function<bool(BaseTree& tree, const QString& pageFile)>& edit) {
    usageError.clear();
    if (editBaseFiles(CommandLine::basePath(baseArgument), edit))
        return ExitOk;
    return usageError.isEmpty() ? ExitFileError : ExitUsage;
}

} // namespace tervane
