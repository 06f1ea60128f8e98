#include "cli/KeyCellArgs.h"

#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"

#include <memory>

namespace tervane {

bool parseKeyCellAddress(const QStringList& args, qsizetype first, KeyCellAddress& address, QString& usageError) {
    address.base = CommandLine::basePath(args.at(first));
    const QString& page = args.at(first + 1);
    const QString& row = args.at(first + 2);
    const QString& column = args.at(first + 3);
    if (!CommandLine::parseNumber(page, address.page)) {
        usageError = QStringLiteral("PAGE must be a page number, 0 or more, not \"%1\"").arg(page);
        return false;
    }
    if (!CommandLine::parseNumber(row, address.row) || address.row >= KeyPage::kRows) {
        usageError = QStringLiteral("ROW must be a row from 0 to 499, not \"%1\"").arg(row);
        return false;
    }
    if (!CommandLine::parseNumber(column, address.column) || address.column < 1 ||
        address.column > KeyPage::kKeyColumns) {
        usageError = QStringLiteral("COL must be a key column from 1 to 6, not \"%1\"").arg(column);
        return false;
    }
    return true;
}

bool readKeyCell(const KeyCellAddress& address, KeyCell& cell) {
    const auto page = std::make_unique<KeyPage>();
    if (!ReadPage(address.base + QStringLiteral(".dat"), address.page, *page))
        return false;
    cell = page->cell(address.row, address.column - 1);
    return true;
}

void writeKeyMembers(JsonWriter& json, const KeyCell& cell) {
    const KeyCode code = cell.code();
    const QByteArray hex =
        QByteArray(reinterpret_cast<const char*>(code.data()), qsizetype(code.size())).toHex().toUpper();
    json.key(u"type").number(cell.type());
    json.key(u"code").string(QString::fromLatin1(hex));
    json.key(u"text").string(
        QString::fromStdString(FormatKeyCellText(cell, KeyViewFull, KeyViewFull, /*speed*/ true, /*crc*/ false)));
}

} // namespace tervane
