#include "cli/FindCommand.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/DirectoryFile.h"
#include "base/TreeSearch.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"

namespace tervane {

QString FindCommand::usage() const {
    return QStringLiteral("  find BASE TEXT [--case]\n"
                          "      The nodes whose names contain TEXT, in tree order, each with its index\n"
                          "      (as tree numbers the nodes), name, level and page (-1: none). Letters of\n"
                          "      any case match unless --case is given; an empty TEXT matches nothing.\n");
}

ExitCode FindCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line({{QStringLiteral("case"), {}}});
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 2) {
        usageError = QStringLiteral("find takes two arguments, BASE and TEXT");
        return ExitUsage;
    }
    BaseTree tree;
    if (!LoadDirectory(CommandLine::basePath(line.positional().first()) + QStringLiteral(".dir"), tree))
        return ExitFileError;
    const TreeSearch search(line.positional().at(1), line.isSet(QStringLiteral("case")));

    JsonWriter json;
    json.beginObject();
    json.key(u"matches").beginArray();
    int index = 0;
    int level = 0;
    for (const BaseNode* node = tree.first(); node; node = tree.next(node, level), ++index) {
        if (!search.matches(node->text))
            continue;
        json.beginObject(JsonWriter::Inline);
        json.key(u"index").number(index);
        json.key(u"name").string(fromCp1251(node->text));
        json.key(u"level").number(level);
        json.key(u"page").number(node->pageNumber);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
