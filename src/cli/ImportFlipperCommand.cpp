#include "cli/ImportFlipperCommand.h"

#include "base/FlipperKeyFile.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/KeyCellArgs.h"

namespace tervane {

QString ImportFlipperCommand::usage() const {
    return QStringLiteral("  import-flipper FILE\n"
                          "      The key of a Flipper Zero key file (.ibtn or .rfid) as a key cell holds it:\n"
                          "      its type, code and text.\n");
}

ExitCode ImportFlipperCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 1) {
        usageError = QStringLiteral("import-flipper takes one argument, FILE");
        return ExitUsage;
    }
    const std::optional<KeyCell> cell = readFlipperKeyFile(line.positional().first());
    if (!cell)
        return ExitFileError;
    JsonWriter json;
    json.beginObject(JsonWriter::Inline);
    writeKeyMembers(json, *cell);
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
