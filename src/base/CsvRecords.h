#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

namespace tervane {

// Comma-separated text as spreadsheet programs write it (RFC 4180): records end in CR LF (a lone
// LF or CR is taken too), fields are separated by commas, and a field that holds a comma, a
// double quote or a line break is quoted, its quotes doubled. Text is UTF-8; a byte-order mark
// in front is taken and dropped.

// One record as a line of the file: its fields quoted where needed, ending in CR LF.
QByteArray csvRecord(const QStringList& fields);

inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

struct CsvRecord {
    qsizetype line = 0; // 1-based line of the file where the record starts
    QStringList fields;
};

// The reader's verdict on bytes that are no comma-separated UTF-8 text.
struct CsvReadError {
    qsizetype line = 0;
    QString reason; // in the current language
};

// Every record of the text, blank lines and lines of empty fields left out. False with the
// first fault (a field that is not UTF-8, a quote that is never closed, a character after a
// closing quote): the records read up to it stay in records.
bool readCsvRecords(QByteArrayView bytes, std::vector<CsvRecord>& records, CsvReadError& error);

} // namespace tervane
