#include "cli/RmCommand.h"

#include "base/BaseTree.h"
#include "base/TreePages.h"
#include "cli/BaseEditRun.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"

#include <vector>

namespace tervane {

QString RmCommand::usage() const {
    return QStringLiteral("  rm BASE INDEX\n"
                          "      Removes node INDEX with everything under it and the pages of its files; the\n"
                          "      other files' page numbers follow their pages. Prints the page numbers\n"
                          "      removed, as they were, in tree order.\n");
}

ExitCode RmCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 2) {
        usageError = QStringLiteral("rm takes two arguments, BASE and INDEX");
        return ExitUsage;
    }
    int index = -1;
    if (!parseNodeIndex(line.positional().at(1), false, index)) {
        usageError = QStringLiteral("INDEX must be a node's index, 0 or more, not \"%1\"").arg(line.positional().at(1));
        return ExitUsage;
    }

    std::vector<std::int32_t> removed;
    const ExitCode code =
        runBaseEdit(line.positional().first(), usageError, [&](BaseTree& tree, const QString& pageFile) {
            BaseNode* node = nodeForIndex(tree, index, QStringLiteral("INDEX"), usageError);
            return node && removeSubtreeWithPages(tree, pageFile, node, &removed);
        });
    if (code != ExitOk)
        return code;
    JsonWriter json;
    json.beginObject();
    json.key(u"removedPages").beginArray(JsonWriter::Inline);
    for (const std::int32_t page : removed)
        json.number(page);
    json.endArray();
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
