#include "cli/MkdirCommand.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/TreePages.h"
#include "cli/BaseEditRun.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"

namespace tervane {

QString MkdirCommand::usage() const {
    return QStringLiteral("  mkdir BASE PARENT NAME\n"
                          "      A new folder NAME, placed as mkfile places a file. Prints its index.\n");
}

ExitCode MkdirCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 3) {
        usageError = QStringLiteral("mkdir takes three arguments, BASE, PARENT and NAME");
        return ExitUsage;
    }
    int parentIndex = -1;
    if (!parseNodeIndex(line.positional().at(1), true, parentIndex)) {
        usageError = QStringLiteral("PARENT must be a node's index or -1, not \"%1\"").arg(line.positional().at(1));
        return ExitUsage;
    }
    const QByteArray name = toCp1251(line.positional().at(2));

    int index = -1;
    const ExitCode code = runBaseEdit(line.positional().first(), usageError, [&](BaseTree& tree, const QString&) {
        BaseNode* target = nullptr;
        if (parentIndex >= 0 && !(target = nodeForIndex(tree, parentIndex, QStringLiteral("PARENT"), usageError)))
            return false;
        index = tree.absolutePosition(addFolderNode(tree, target, name));
        return true;
    });
    if (code != ExitOk)
        return code;
    JsonWriter json;
    json.beginObject();
    json.key(u"index").number(index);
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
