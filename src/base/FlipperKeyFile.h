#pragma once

#include "keys/FlipperKeyFormat.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tervane {

// Flipper Zero key files on disk. Failures are shown in a message box captioned "Tervane".

// The message of a failed read or write of the file at path.
QString flipperErrorText(const FlipperResult& result, const QString& path);

// The key of the file at path, or nothing after its error was shown.
std::optional<KeyCell> readFlipperKeyFile(const QString& path);

// Writes the key of cell to path, replacing the file as a whole: a failed write leaves an older
// file as it was. False after a key without a Flipper counterpart or a write error was shown.
bool writeFlipperKeyFile(const QString& path, const KeyCell& cell);

// The name of a key's file in a page's folder: the page row as three digits, "-", the key column
// (0..5) counted from 1, and the row's comment after a blank, made fit for a file name, then the
// suffix of kind: "042-3 Front door.ibtn" for key column 2 of row 42.
QString flipperFileName(int pageRow, int keyColumn, const QByteArray& comment, FlipperFileKind kind);

} // namespace tervane
