#include "cli/KeyCommand.h"

#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "cli/KeyCellArgs.h"
#include "keys/DallasCrc.h"
#include "keys/EmCardNumbers.h"

namespace tervane {

QString KeyCommand::usage() const {
    return QStringLiteral("  key BASE PAGE ROW COL\n"
                          "      The key in row ROW (0..499), key column COL (1..6) of page PAGE: its type,\n"
                          "      its code (16 hex digits, c[0] first) and its text; an EM410x key adds the\n"
                          "      numbers printed on cards (dez10, dez8, dez3_5c, dez5_5, dez14), a Dallas\n"
                          "      key whether its check sum is right (crcOk).\n");
}

ExitCode KeyCommand::run(const QStringList& args, QByteArray& out, QString& usageError) {
    CommandLine line;
    if (!line.parse(args, usageError))
        return ExitUsage;
    if (line.positional().size() != 4) {
        usageError = QStringLiteral("key takes four arguments, BASE PAGE ROW COL");
        return ExitUsage;
    }
    KeyCellAddress address;
    if (!parseKeyCellAddress(line.positional(), 0, address, usageError))
        return ExitUsage;
    KeyCell cell;
    if (!readKeyCell(address, cell))
        return ExitFileError;

    JsonWriter json;
    json.beginObject();
    writeKeyMembers(json, cell);
    const KeyCode code = cell.code();
    if (cell.type() == KeyTypeEm410x) {
        const EmCardNumbers numbers = emCardNumbers(code);
        json.key(u"dez10").string(QString::fromStdString(numbers.dez10));
        json.key(u"dez8").string(QString::fromStdString(numbers.dez8));
        json.key(u"dez3_5c").string(QString::fromStdString(numbers.dez35c));
        json.key(u"dez5_5").string(QString::fromStdString(numbers.dez55));
        json.key(u"dez14").string(QString::fromStdString(numbers.dez14));
    } else if (cell.type() == KeyTypeDallas || cell.type() == KeyTypeDallas4) {
        json.key(u"crcOk").boolean(DallasCrc8(code.data(), 7) == code[7]);
    }
    json.endObject();
    out = json.finish();
    return ExitOk;
}

} // namespace tervane
