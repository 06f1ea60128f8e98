#include "base/CsvRecords.h"

#include "texts/UiLanguage.h"

#include <QStringDecoder>

namespace tervane {
namespace {

bool needsQuotes(const QString& field) {
    // A byte-order mark at the very start of a file is taken for the file's, not the field's.
    if (field.startsWith(QChar(0xFEFF)))
        return true;
    for (const QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    }
    return false;
}

bool decodeUtf8(QByteArrayView bytes, QString& text) {
    // The file's byte-order mark is gone by now: one at the start of a field is its text.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool allEmpty(const QStringList& fields) {
    for (const QString& field : fields) {
        if (!field.isEmpty())
            return false;
    }
    return true;
}

} // namespace

QByteArray csvRecord(const QStringList& fields) {
    qsizetype room = 2;
    for (const QString& field : fields)
        room += field.size() + 3;
    QByteArray line;
    line.reserve(room);
    // Most fields are numbers and hex codes: plain ASCII goes in without a UTF-8 copy of its own.
    const auto appendUtf8 = [&line](const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() >= 0x80) {
                line += text.toUtf8();
                return;
            }
        }
        for (const QChar c : text)
            line += char(c.unicode());
    };
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        const QString& field = fields.at(i);
        if (needsQuotes(field)) {
            QString quoted = field;
            quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
            line += '"';
            appendUtf8(quoted);
            line += '"';
        } else {
            appendUtf8(field);
        }
    }
    line += "\r\n";
    return line;
}

bool readCsvRecords(QByteArrayView bytes, std::vector<CsvRecord>& records, CsvReadError& error) {
    if (bytes.startsWith(QByteArrayView(kUtf8ByteOrderMark)))
        bytes = bytes.sliced(3);
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    qsizetype line = 1;
    // Fields are cut out as bytes: the separators are ASCII, so UTF-8 text never hides one.
    const auto fail = [&](qsizetype where, const char* reason) {
        error.line = where;
        error.reason = translate("KeyCsv", reason);
        return false;
    };
    while (pos < size) {
        CsvRecord record;
        record.line = line;
        // Room for a key record's eight fields at once, not a regrowth every few fields.
        record.fields.reserve(8);
        bool recordEnds = false;
        while (!recordEnds) {
            // A quoted field is unquoted into a copy; a plain one is decoded where it stands.
            QByteArray quotedField;
            QByteArrayView field;
            const qsizetype fieldLine = line;
            if (pos < size && bytes[pos] == '"') {
                ++pos;
                for (;;) {
                    if (pos >= size)
                        return fail(fieldLine, QT_TRANSLATE_NOOP("KeyCsv", "a quoted field is not closed"));
                    const char c = bytes[pos++];
                    if (c == '"') {
                        if (pos < size && bytes[pos] == '"') {
                            quotedField += '"';
                            ++pos;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n' || (c == '\r' && !(pos < size && bytes[pos] == '\n')))
                        ++line;
                    quotedField += c;
                }
                field = quotedField;
                if (pos < size && bytes[pos] != ',' && bytes[pos] != '\r' && bytes[pos] != '\n')
                    return fail(line, QT_TRANSLATE_NOOP("KeyCsv", "a character follows the closing quote of a field"));
            } else {
                const qsizetype start = pos;
                while (pos < size && bytes[pos] != ',' && bytes[pos] != '\r' && bytes[pos] != '\n')
                    ++pos;
                field = bytes.sliced(start, pos - start);
            }
            QString text;
            if (!decodeUtf8(field, text))
                return fail(fieldLine, QT_TRANSLATE_NOOP("KeyCsv", "the text is not UTF-8"));
            record.fields << text;
            if (pos >= size) {
                recordEnds = true;
            } else if (bytes[pos] == ',') {
                ++pos;
            } else {
                // CR LF, LF or a lone CR ends the record.
                if (bytes[pos] == '\r' && pos + 1 < size && bytes[pos + 1] == '\n')
                    ++pos;
                ++pos;
                ++line;
                recordEnds = true;
            }
        }
        if (!allEmpty(record.fields))
            records.push_back(std::move(record));
    }
    return true;
}

} // namespace tervane
