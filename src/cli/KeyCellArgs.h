#pragma once

#include "keys/KeyCell.h"

#include <QString>
#include <QStringList>

namespace tervane {

class JsonWriter;

// One key cell of a key base as the commands name it: BASE PAGE ROW COL, with ROW the page row
// (0..499) and COL the grid's key column (1..6).
struct KeyCellAddress {
    QString base;
    int page = 0;
    int row = 0;
    int column = 0; // 1..6
};

// The four arguments from args[first]; false with a usageError when one is not a valid number.
bool parseKeyCellAddress(const QStringList& args, qsizetype first, KeyCellAddress& address, QString& usageError);

// The cell at address, read from the base's page file; false after a file error was shown.
bool readKeyCell(const KeyCellAddress& address, KeyCell& cell);

// The members "type", "code" (16 hex digits, c[0] first) and "text" (the grid's full text with
// the EM410x speed) of a key.
void writeKeyMembers(JsonWriter& json, const KeyCell& cell);

} // namespace tervane
