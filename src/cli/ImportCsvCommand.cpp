#include "cli/ImportCsvCommand.h"

#include "base/CsvTransfer.h"
#include "base/KeyCsv.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "cli/BaseEditRun.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "seams/Prompts.h"

#include <memory>

namespace tervane {

QString ImportCsvCommand::usage() const {
    return QStringLiteral("  import-csv BASE FILE\n"
                          "      Sets the key cells and row comments that the lines of a CSV file name (as\n"
                          "      export-csv writes them; empty type and code empty a cell), and nothing\n"
                          "      else, and prints the numbers of cells, comments and pages changed. An\n"
                          "      invalid line is an error naming it, and the base is not changed.\n");
}

ExitCode ImportCsvCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 2) {
        usageError = QStringLiteral("import-csv takes two arguments, BASE and FILE");
        return ExitUsage;
    }
    const QString path = line.positional().at(1);
    QByteArray bytes;
    if (!readCsvFile(path, bytes))
        return ExitFileError;

    KeyCsvImport imported;
    // Saved as the editor saves, under the base's lock: both files wholly old or wholly new.
    const ExitCode code =
        runBaseEdit(line.positional().first(), usageError, [&](BaseTree& tree, const QString& pageFile) {
            CsvReadError error;
            if (!readKeyCsv(bytes, keyCsvTarget(tree, pageCount(pageFile)), imported, error)) {
                prompts().message(PromptIcon::Error, QStringLiteral("Tervane"),
                                  QStringLiteral("%1: %2").arg(path, keyCsvErrorText(error)), ButtonOk);
                return false;
            }
            const auto page = std::make_unique<KeyPage>();
            for (const auto& [number, edits] : imported.pages) {
                if (!ReadPage(pageFile, number, *page))
                    return false;
                edits.applyTo(*page);
                if (!WritePage(pageFile, number, *page))
                    return false;
            }
            return true;
        });
    if (code != ExitOk)
        return code;
    JsonWriter json;
    json.beginObject(JsonWriter::Inline);
    json.key(u"cells").number(imported.cells);
    json.key(u"comments").number(imported.comments);
    json.key(u"pages").number(qint64(imported.pages.size()));
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
