#include "cli/ImportVizCommand.h"

#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "base/VizitImport.h"
#include "cli/BaseEditRun.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/PageJson.h"

#include <memory>
#include <optional>

namespace tervane {

namespace {

const QStringList kTypes{QStringLiteral("dallas"), QStringLiteral("cyfral"), QStringLiteral("tm2002"),
                         QStringLiteral("em410x")};

VizitKeyType typeOf(const QString& name) {
    if (name == QLatin1String("cyfral"))
        return VizitKeyType::Cyfral;
    if (name == QLatin1String("tm2002"))
        return VizitKeyType::Tm2002;
    if (name == QLatin1String("em410x"))
        return VizitKeyType::Em410x;
    return VizitKeyType::Dallas;
}

struct Target {
    QString base; // as given: with or without ".dir"
    int page = 0;
};

} // namespace

QString ImportVizCommand::usage() const {
    return QStringLiteral("  import-viz FILE --as dallas|cyfral|tm2002|em410x [--into BASE N]\n"
                          "      A VIZIT_DM file (.viz) as a page of keys of that type, printed as page\n"
                          "      prints a page (\"page\": null). With --into, page N of BASE is replaced\n"
                          "      by it, keys and comments, and the page number and key count are printed;\n"
                          "      N must be a page of BASE.\n");
}

ExitCode ImportVizCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    // --into takes two values, which the command line's options do not: it is taken out first.
    QStringList rest;
    std::optional<Target> into;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--")) {
            rest += args.mid(i);
            break;
        }
        if (arg != QLatin1String("--into")) {
            rest << arg;
            continue;
        }
        if (into) {
            usageError = QStringLiteral("option --into is given twice");
            return ExitUsage;
        }
        if (i + 2 >= args.size()) {
            usageError = QStringLiteral("option --into needs BASE and N");
            return ExitUsage;
        }
        into = Target{args.at(i + 1), 0};
        if (!CommandLine::parseNumber(args.at(i + 2), into->page)) {
            usageError = QStringLiteral("N must be a page number, 0 or more, not \"%1\"").arg(args.at(i + 2));
            return ExitUsage;
        }
        i += 2;
    }
    CommandLine line({{QStringLiteral("as"), kTypes}});
    if (!line.parse(rest, usageError))
        return ExitUsage;
    if (line.positional().size() != 1) {
        usageError = QStringLiteral("import-viz takes one argument, FILE");
        return ExitUsage;
    }
    if (!line.isSet(QStringLiteral("as"))) {
        usageError = QStringLiteral("import-viz needs --as %1").arg(kTypes.join(QLatin1Char('|')));
        return ExitUsage;
    }

    const auto page = std::make_unique<KeyPage>();
    if (!ImportVizitFile(line.positional().first(), typeOf(line.value(QStringLiteral("as"), {})), *page))
        return ExitFileError;

    JsonWriter json;
    if (into) {
        // Saved as the editor saves, under the base's lock: both files wholly old or wholly new.
        const ExitCode code = runBaseEdit(into->base, usageError, [&](BaseTree&, const QString& pageFile) {
            const std::int64_t pages = pageCount(pageFile);
            if (pages >= 0 && into->page >= pages) {
                usageError = QStringLiteral("N %1 names no page: the base has %2 pages").arg(into->page).arg(pages);
                return false;
            }
            return WritePage(pageFile, into->page, *page);
        });
        if (code != ExitOk)
            return code;
        json.beginObject(JsonWriter::Inline);
        json.key(u"page").number(into->page);
        json.key(u"keys").number(page->occupiedCellCount());
    } else {
        json.beginObject();
        json.key(u"page").null();
        writePageRows(json, *page, PageViews(), false);
    }
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
