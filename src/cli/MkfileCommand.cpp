#include "cli/MkfileCommand.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/TreePages.h"
#include "cli/BaseEditRun.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"

namespace tervane {

QString MkfileCommand::usage() const {
    return QStringLiteral("  mkfile BASE PARENT NAME\n"
                          "      A new file NAME with a blank page appended to the page file, the last child of\n"
                          "      folder PARENT (-1: the top level; a file: last under that file's folder).\n"
                          "      Prints its index and page.\n");
}

ExitCode MkfileCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 3) {
        usageError = QStringLiteral("mkfile takes three arguments, BASE, PARENT and NAME");
        return ExitUsage;
    }
    int parentIndex = -1;
    if (!parseNodeIndex(line.positional().at(1), true, parentIndex)) {
        usageError = QStringLiteral("PARENT must be a node's index or -1, not \"%1\"").arg(line.positional().at(1));
        return ExitUsage;
    }
    const QByteArray name = toCp1251(line.positional().at(2));

    int index = -1;
    std::int32_t page = -1;
    const ExitCode code =
        runBaseEdit(line.positional().first(), usageError, [&](BaseTree& tree, const QString& pageFile) {
            BaseNode* target = nullptr;
            if (parentIndex >= 0 && !(target = nodeForIndex(tree, parentIndex, QStringLiteral("PARENT"), usageError)))
                return false;
            BaseNode* node = addFileNode(tree, pageFile, target, name);
            if (!node)
                return false;
            page = node->pageNumber;
            index = tree.absolutePosition(node);
            return true;
        });
    if (code != ExitOk)
        return code;
    JsonWriter json;
    json.beginObject();
    json.key(u"index").number(index);
    json.key(u"page").number(page);
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
