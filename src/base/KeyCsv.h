#pragma once

#include "base/CsvRecords.h"
#include "base/PageEdits.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace tervane {

class BaseTree;
struct BaseNode;
class KeyPage;

// Key bases as spreadsheet text. The header names the columns path, page, row, column, type,
// code, text, comment. Each key cell that holds a key is a line, and so is each row that holds
// only a comment (its column, type, code and text empty):
// - path: the names from the top down to the page's file, joined by "/"; a "/" or "\" inside a
//   name is written with a "\" in front, so the path always splits back into its names;
// - page: the page's number in the page file; row: 0..499; column: the key column 1..6;
// - type: the key type's code in decimal (1 Dallas ... 131 Indala); code: the eight code bytes as
//   16 hex digits, c[0] first;
// - text: the key as the grid shows it with its full views (the EM410x speed shown);
// - comment: the row's comment, on every line of the row.
//
// A line addresses its cell by page, row and column alone. Its path, when not empty, must be the
// path of that page (a check that the file was made from this base); its text is never read.

// Every file's page once, in tree order, with its path. A page that two damaged file nodes share
// goes with the first.
struct KeyCsvPage {
    std::int32_t page = -1;
    QString path;
};
std::vector<KeyCsvPage> keyCsvPages(const BaseTree& tree);
// One page with its path, empty when no file holds it.
KeyCsvPage keyCsvPage(const BaseTree& tree, std::int32_t page);
QString keyCsvPath(const BaseNode* file);

// The whole text: the byte-order mark when asked for (spreadsheet programs take UTF-8 only with
// it), the header and the lines of each page in the order given. readPage loads a page and
// reports its own failure; false when it failed.
bool writeKeyCsv(const std::vector<KeyCsvPage>& pages, bool byteOrderMark, QByteArray& out,
                 const std::function<bool(std::int32_t page, KeyPage& into)>& readPage);

// What an import is checked against.
struct KeyCsvTarget {
    std::int64_t pageCount = 0;
    std::map<std::int32_t, QString> paths; // keyCsvPages by page
};
KeyCsvTarget keyCsvTarget(const BaseTree& tree, std::int64_t pageCount);

// What an import changes: only the cells and comments its lines name, page by page.
struct KeyCsvImport {
    std::map<std::int32_t, PageEdits> pages;
    int cells = 0;
    int comments = 0;
};

// Reads and checks every line. A line with a column sets that cell (empty type and code: the
// cell is emptied) and its row's comment; a line without one sets the row's comment only. False
// at the first line that is not valid, with its line number and the reason; nothing is kept then.
// Lines that name the same cell twice, or give one row two comments, are not valid.
bool readKeyCsv(QByteArrayView bytes, const KeyCsvTarget& target, KeyCsvImport& result, CsvReadError& error);

// "Line 12: ..." in the current language.
QString keyCsvErrorText(const CsvReadError& error);

} // namespace tervane
