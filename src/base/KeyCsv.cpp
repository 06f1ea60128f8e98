#include "base/KeyCsv.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/KeyPage.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"
#include "texts/UiLanguage.h"

#include <QSet>
#include <limits>
#include <memory>
#include <tuple>

namespace tervane {
namespace {

enum Column { Path, Page, Row, KeyColumn, Type, Code, Text, Comment, ColumnCount };

const char* const kHeader[ColumnCount] = {"path", "page", "row", "column", "type", "code", "text", "comment"};

QString escapedName(const QByteArray& name) {
    QString text = fromCp1251(name);
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('/'), QLatin1String("\\/"));
    return text;
}

QString codeHex(const KeyCode& code) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(code.data()), qsizetype(code.size())).toHex().toUpper());
}

// Digits only, blanks around them allowed: a spreadsheet may pad a number.
bool readNumber(const QString& field, int max, int& value) {
    const QString digits = field.trimmed();
    if (digits.isEmpty() || digits.size() > 10)
        return false;
    qint64 n = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        n = n * 10 + (c.unicode() - '0');
    }
    if (n > max)
        return false;
    value = int(n);
    return true;
}

bool readCode(const QString& field, KeyCode& code) {
    const QString hex = field.trimmed();
    if (hex.size() != 16)
        return false;
    for (const QChar c : hex) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f')))
            return false;
    }
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    std::copy(bytes.begin(), bytes.end(), code.begin());
    return true;
}

bool isHeader(const QStringList& fields) {
    if (fields.size() != ColumnCount)
        return false;
    for (int i = 0; i < ColumnCount; ++i) {
        if (fields.at(i).trimmed().compare(QLatin1String(kHeader[i]), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

struct RowComment {
    QByteArray text;
    qsizetype line = 0;
};

// One line of the file checked and added to the import; false with the reason.
class LineReader {
public:
    LineReader(const KeyCsvTarget& target, KeyCsvImport& result) : m_target(target), m_result(result) {}

    bool read(const CsvRecord& record, QString& reason);

private:
    static QString text(const char* english) { return translate("KeyCsv", english); }

    const KeyCsvTarget& m_target;
    KeyCsvImport& m_result;
    std::map<std::tuple<std::int32_t, int, int>, qsizetype> m_cellLines;
    std::map<std::pair<std::int32_t, int>, RowComment> m_comments;
};

bool LineReader::read(const CsvRecord& record, QString& reason) {
    const QStringList& f = record.fields;
    if (f.size() != ColumnCount) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "fields: %1, where the header has 8")).arg(f.size());
        return false;
    }
    int page = 0;
    if (!readNumber(f[Page], std::numeric_limits<std::int32_t>::max(), page)) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "\"%1\" is not a page number")).arg(f[Page]);
        return false;
    }
    if (page >= m_target.pageCount) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "page %1 does not exist: pages in the key base: %2"))
                     .arg(page)
                     .arg(m_target.pageCount);
        return false;
    }
    if (!f[Path].isEmpty()) {
        const auto known = m_target.paths.find(page);
        const QString path = known == m_target.paths.end() ? QString() : known->second;
        if (f[Path] != path) {
            reason = text(QT_TRANSLATE_NOOP("KeyCsv", "the path \"%1\" is not that of page %2, \"%3\""))
                         .arg(f[Path])
                         .arg(page)
                         .arg(path);
            return false;
        }
    }
    int row = 0;
    if (!readNumber(f[Row], KeyPage::kRows - 1, row)) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "\"%1\" is not a row from 0 to 499")).arg(f[Row]);
        return false;
    }
    const bool keyLine = !f[KeyColumn].trimmed().isEmpty();
    int column = 0;
    if (keyLine && (!readNumber(f[KeyColumn], KeyPage::kKeyColumns, column) || column < 1)) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "\"%1\" is not a key column from 1 to 6")).arg(f[KeyColumn]);
        return false;
    }
    const bool typeGiven = !f[Type].trimmed().isEmpty();
    const bool codeGiven = !f[Code].trimmed().isEmpty();
    KeyCell cell;
    if (!keyLine && (typeGiven || codeGiven)) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "a line without a column cannot hold a key"));
        return false;
    }
    if (typeGiven != codeGiven) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "a key needs both a type and a code"));
        return false;
    }
    if (typeGiven) {
        int type = 0;
        if (!readNumber(f[Type], 255, type) || !IsKeyOccupied(std::uint8_t(type))) {
            reason = text(QT_TRANSLATE_NOOP("KeyCsv", "\"%1\" is not a key type: 1, 2, 3, 4, 128, 129, 130 or 131"))
                         .arg(f[Type]);
            return false;
        }
        KeyCode code{};
        if (!readCode(f[Code], code)) {
            reason = text(QT_TRANSLATE_NOOP("KeyCsv", "\"%1\" is not a code of 16 hex digits")).arg(f[Code]);
            return false;
        }
        cell.setType(std::uint8_t(type));
        cell.setCode(code);
    }
    const QByteArray comment = toCp1251(f[Comment]);
    if (fromCp1251(comment) != f[Comment]) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "the comment holds a character that Windows-1251 cannot hold"));
        return false;
    }
    if (comment.size() > KeyPage::kMaxCommentLength) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "the comment is longer than 128 characters"));
        return false;
    }

    PageEdits& edits = m_result.pages[page];
    if (keyLine) {
        const auto [at, added] = m_cellLines.try_emplace({page, row, column}, record.line);
        if (!added) {
            reason = text(QT_TRANSLATE_NOOP("KeyCsv", "the cell is named again (first on line %1)")).arg(at->second);
            return false;
        }
        edits.cells.push_back({row, column - 1, cell});
        ++m_result.cells;
    }
    const auto [at, added] = m_comments.try_emplace({page, row}, RowComment{comment, record.line});
    if (added) {
        edits.comments.push_back({row, comment});
        ++m_result.comments;
    } else if (at->second.text != comment) {
        reason = text(QT_TRANSLATE_NOOP("KeyCsv", "the row's comment differs from line %1's")).arg(at->second.line);
        return false;
    }
    return true;
}

} // namespace

QString keyCsvPath(const BaseNode* file) {
    QStringList names;
    for (const BaseNode* node = file; node; node = node->parent)
        names.prepend(escapedName(node->text));
    return names.join(QLatin1Char('/'));
}

std::vector<KeyCsvPage> keyCsvPages(const BaseTree& tree) {
    std::vector<KeyCsvPage> pages;
    QSet<std::int32_t> seen;
    for (const BaseNode* node = tree.first(); node; node = tree.next(node)) {
        if (!node->isFile() || node->pageNumber < 0 || seen.contains(node->pageNumber))
            continue;
        seen.insert(node->pageNumber);
        pages.push_back({node->pageNumber, keyCsvPath(node)});
    }
    return pages;
}

KeyCsvPage keyCsvPage(const BaseTree& tree, std::int32_t page) {
    for (const KeyCsvPage& p : keyCsvPages(tree)) {
        if (p.page == page)
            return p;
    }
    return {page, QString()};
}

KeyCsvTarget keyCsvTarget(const BaseTree& tree, std::int64_t pageCount) {
    KeyCsvTarget target;
    target.pageCount = pageCount;
    for (KeyCsvPage& p : keyCsvPages(tree))
        target.paths.emplace(p.page, std::move(p.path));
    return target;
}

bool writeKeyCsv(const std::vector<KeyCsvPage>& pages, bool byteOrderMark, QByteArray& out,
                 const std::function<bool(std::int32_t page, KeyPage& into)>& readPage) {
    QByteArray text = byteOrderMark ? QByteArray(kUtf8ByteOrderMark) : QByteArray();
    QStringList header;
    for (const char* name : kHeader)
        header << QLatin1String(name);
    text += csvRecord(header);
    const auto page = std::make_unique<KeyPage>();
    for (const KeyCsvPage& p : pages) {
        if (!readPage(p.page, *page))
            return false;
        const QString number = QString::number(p.page);
        for (int row = 0; row < KeyPage::kRows; ++row) {
            bool keyInRow = false;
            for (int column = 0; column < KeyPage::kKeyColumns && !keyInRow; ++column)
                keyInRow = IsKeyOccupied(page->cell(row, column).type());
            // Most rows of most pages are empty: they make no texts.
            if (!keyInRow && !page->hasComment(row))
                continue;
            const QString rowText = QString::number(row);
            const QString comment = fromCp1251(page->comment(row));
            for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
                const KeyCell cell = page->cell(row, column);
                if (!IsKeyOccupied(cell.type()))
                    continue;
                text += csvRecord(
                    {p.path, number, rowText, QString::number(column + 1), QString::number(cell.type()),
                     codeHex(cell.code()),
                     QString::fromStdString(FormatKeyCellText(cell, KeyViewFull, KeyViewFull, true, false)), comment});
            }
            if (!keyInRow)
                text += csvRecord({p.path, number, rowText, QString(), QString(), QString(), QString(), comment});
        }
    }
    out = std::move(text);
    return true;
}

bool readKeyCsv(QByteArrayView bytes, const KeyCsvTarget& target, KeyCsvImport& result, CsvReadError& error) {
    result = KeyCsvImport();
    std::vector<CsvRecord> records;
    if (!readCsvRecords(bytes, records, error))
        return false;
    if (records.empty() || !isHeader(records.front().fields)) {
        error.line = records.empty() ? 1 : records.front().line;
        error.reason =
            translate("KeyCsv", "the first line is not the header path,page,row,column,type,code,text,comment");
        return false;
    }
    KeyCsvImport read;
    LineReader reader(target, read);
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (!reader.read(records[i], error.reason)) {
            error.line = records[i].line;
            return false;
        }
    }
    result = std::move(read);
    return true;
}

QString keyCsvErrorText(const CsvReadError& error) {
    return translate("KeyCsv", "Line %1: %2.").arg(error.line).arg(error.reason);
}

} // namespace tervane
