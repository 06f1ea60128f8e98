#pragma once

#include <QByteArray>
#include <QString>

namespace tervane {

class Document;
class EditSession;

// File › Export › CSV and File › Import › CSV on the open key base, with their file dialogs and
// messages. The editor's files carry the byte-order mark, which spreadsheet programs need to
// take them as UTF-8.

// Asks whether the page shown alone or the whole base goes out (no page shown: the whole base),
// then writes the file the user names, whole or not at all.
void exportKeyCsv(Document& document);

// Reads a file the user picks, checks every line and changes nothing unless all are valid; then
// the cells and comments it names change through the edit session, one edit per page, and the
// user is told how many. True when the base changed.
bool importKeyCsv(EditSession& edits);

// The whole file an import reads; false after its open or read error was shown.
bool readCsvFile(const QString& path, QByteArray& bytes);

} // namespace tervane
