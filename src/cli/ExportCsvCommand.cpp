#include "cli/ExportCsvCommand.h"

#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/KeyCsv.h"
#include "base/PageFile.h"
#include "cli/CommandLine.h"

namespace tervane {

QString ExportCsvCommand::usage() const {
    return QStringLiteral("  export-csv BASE [--page N] [--bom]\n"
                          "      Every key cell that holds a key and every row that holds only a comment, of\n"
                          "      each file's page in tree order or of page N alone, as UTF-8 CSV with the\n"
                          "      header path,page,row,column,type,code,text,comment; --bom puts the\n"
                          "      byte-order mark in front, as the editor does for spreadsheet programs.\n");
}

ExitCode ExportCsvCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line({{QStringLiteral("page"), {}, true}, {QStringLiteral("bom"), {}}});
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 1) {
        usageError = QStringLiteral("export-csv takes one argument, BASE");
        return ExitUsage;
    }
    const QString base = CommandLine::basePath(line.positional().first());
    const QString pageFile = base + QStringLiteral(".dat");
    BaseTree tree;
    if (!LoadDirectory(base + QStringLiteral(".dir"), tree))
        return ExitFileError;
    std::vector<KeyCsvPage> pages;
    if (!line.isSet(QStringLiteral("page"))) {
        pages = keyCsvPages(tree);
    } else {
        const QString text = line.value(QStringLiteral("page"), {});
        int page = 0;
        if (!CommandLine::parseNumber(text, page)) {
            usageError = QStringLiteral("N must be a page number, 0 or more, not \"%1\"").arg(text);
            return ExitUsage;
        }
        const std::int64_t count = pageCount(pageFile);
        if (count >= 0 && page >= count) {
            usageError = QStringLiteral("N %1 names no page: the base has %2 pages").arg(page).arg(count);
            return ExitUsage;
        }
        pages = {keyCsvPage(tree, page)};
    }
    const bool written = writeKeyCsv(pages, line.isSet(QStringLiteral("bom")), out,
                                     [&](std::int32_t page, KeyPage& into) { return ReadPage(pageFile, page, into); });
    return written ? ExitOk : ExitFileError;
}

} // namespace tervane
