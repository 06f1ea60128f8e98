#include "cli/RenameCommand.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "cli/BaseEditRun.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"

namespace tervane {

QString RenameCommand::usage() const {
    return QStringLiteral("  rename BASE INDEX NAME\n"
                          "      Names node INDEX NAME. Prints its index.\n");
}

ExitCode RenameCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 3) {
        usageError = QStringLiteral("rename takes three arguments, BASE, INDEX and NAME");
        return ExitUsage;
    }
    int index = -1;
    if (!parseNodeIndex(line.positional().at(1), false, index)) {
        usageError = QStringLiteral("INDEX must be a node's index, 0 or more, not \"%1\"").arg(line.positional().at(1));
        return ExitUsage;
    }
    const QByteArray name = toCp1251(line.positional().at(2));

    const ExitCode code = runBaseEdit(line.positional().first(), usageError, [&](BaseTree& tree, const QString&) {
        BaseNode* node = nodeForIndex(tree, index, QStringLiteral("INDEX"), usageError);
        if (!node)
            return false;
        node->text = name;
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
