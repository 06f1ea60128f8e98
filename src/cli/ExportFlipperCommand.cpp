#include "cli/ExportFlipperCommand.h"

#include "base/FlipperKeyFile.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/KeyCellArgs.h"

namespace tervane {

QString ExportFlipperCommand::usage() const {
    return QStringLiteral("  export-flipper BASE PAGE ROW COL FILE\n"
                          "      Writes the key in row ROW (0..499), key column COL (1..6) of page PAGE as a\n"
                          "      Flipper Zero key file: FILE ends in .ibtn for Dallas, Cyfral and TM2002\n"
                          "      keys, in .rfid for EM410x keys. Prints the file and its key.\n");
}

ExitCode ExportFlipperCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 5) {
        usageError = QStringLiteral("export-flipper takes five arguments, BASE PAGE ROW COL FILE");
        return ExitUsage;
    }
    KeyCellAddress address;
    if (!parseKeyCellAddress(line.positional(), 0, address, usageError))
        return ExitUsage;
    const QString file = line.positional().at(4);
    KeyCell cell;
    if (!readKeyCell(address, cell))
        return ExitFileError;

    // A Flipper Zero shows a key file only under the suffix of its kind.
    const QString suffix = QLatin1String(flipperFileSuffix(flipperFileKind(cell.type())));
    if (!suffix.isEmpty() && !file.endsWith(suffix)) {
        usageError = QStringLiteral("FILE must end in \"%1\" for this key, not \"%2\"").arg(suffix, file);
        return ExitUsage;
    }
    if (!writeFlipperKeyFile(file, cell))
        return ExitFileError;

    JsonWriter json;
    json.beginObject(JsonWriter::Inline);
    json.key(u"file").string(file);
    writeKeyMembers(json, cell);
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
