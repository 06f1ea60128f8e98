// Key bases as CSV text: quoting as spreadsheet programs read and write it, the lines of a page
// and their round trip, and every reason an import refuses a file, with its line.
#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/KeyCsv.h"
#include "base/KeyPage.h"
#include "texts/UiLanguage.h"

#include <QtTest>
#include <memory>

using namespace tervane;

namespace {

KeyCell cellOf(std::uint8_t type, const QByteArray& codeHex) {
    KeyCell cell;
    cell.setType(type);
    const QByteArray bytes = QByteArray::fromHex(codeHex);
    KeyCode code{};
    std::copy(bytes.begin(), bytes.end(), code.begin());
    cell.setCode(code);
    return cell;
}

const QByteArray kHeader = "path,page,row,column,type,code,text,comment\r\n";

// Page 1 of a two-page base; its file sits in a folder whose name holds a "/".
KeyCsvTarget twoPages() {
    KeyCsvTarget target;
    target.pageCount = 2;
    target.paths = {{0, QStringLiteral("Дом/кв 1")}, {1, QStringLiteral("Дом/кв 2")}};
    return target;
}

QStringList fieldsOf(const QByteArray& text) {
    std::vector<CsvRecord> records;
    CsvReadError error;
    if (!readCsvRecords(text, records, error) || records.size() != 1)
        return {QStringLiteral("<%1: %2>").arg(error.line).arg(error.reason)};
    return records.front().fields;
}

} // namespace

class KeyCsvTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUiLanguage(UiLanguage::English); }

    void quoting_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("plain") << QStringList{"a", "", "Дом"} << QByteArray("a,,\xD0\x94\xD0\xBE\xD0\xBC\r\n");
        QTest::newRow("comma") << QStringList{"a,b"} << QByteArray("\"a,b\"\r\n");
        QTest::newRow("quotes") << QStringList{"say \"hi\""} << QByteArray("\"say \"\"hi\"\"\"\r\n");
        QTest::newRow("line breaks") << QStringList{"1\r\n2", "3\n4"} << QByteArray("\"1\r\n2\",\"3\n4\"\r\n");
        QTest::newRow("blanks stay unquoted") << QStringList{" x "} << QByteArray(" x \r\n");
        // Unquoted, it would be taken for the file's byte-order mark at the start of a file.
        QTest::newRow("byte-order mark starting a field")
            << QStringList{QString(QChar(0xFEFF)) + "x"} << QByteArray("\"\xEF\xBB\xBFx\"\r\n");
    }
    void quoting() {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, line);
        QCOMPARE(csvRecord(fields), line);
        QCOMPARE(fieldsOf(line), fields);
    }

    void reading_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<qsizetype>>("lines");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::newRow("byte-order mark, LF, no last line end")
            << QByteArray("\xEF\xBB\xBF"
                          "a,b\nc,d")
            << QList<qsizetype>{1, 2} << QList<QStringList>{{"a", "b"}, {"c", "d"}};
        QTest::newRow("lone CR, blank and empty lines left out")
            << QByteArray("a\r\r\n,,\r\nb,\r\n") << QList<qsizetype>{1, 4} << QList<QStringList>{{"a"}, {"b", ""}};
        QTest::newRow("a quoted line break counts as a line")
            << QByteArray("\"x\r\ny\",1\r\nz\r\n") << QList<qsizetype>{1, 3}
            << QList<QStringList>{{"x\r\ny", "1"}, {"z"}};
        QTest::newRow("quote inside an unquoted field is text")
            << QByteArray("a\"b,\"\"\r\n") << QList<qsizetype>{1} << QList<QStringList>{{"a\"b", ""}};
    }
    void reading() {
        QFETCH(QByteArray, text);
        QFETCH(QList<qsizetype>, lines);
        QFETCH(QList<QStringList>, records);
        std::vector<CsvRecord> read;
        CsvReadError error;
        QVERIFY(readCsvRecords(text, read, error));
        QCOMPARE(qsizetype(read.size()), records.size());
        for (qsizetype i = 0; i < records.size(); ++i) {
            QCOMPARE(read[size_t(i)].line, lines[i]);
            QCOMPARE(read[size_t(i)].fields, records[i]);
        }
    }

    void readingErrors_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("quote never closed") << QByteArray("a\r\nb,\"c\r\nd") << 2 << "a quoted field is not closed";
        QTest::newRow("text after a closing quote")
            << QByteArray("a\n\"b\nc\"d,e") << 3 << "a character follows the closing quote of a field";
        QTest::newRow("Windows-1251 instead of UTF-8")
            << QByteArray("a\n\n\xC4\xEE\xEC") << 3 << "the text is not UTF-8";
    }
    void readingErrors() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QString, reason);
        std::vector<CsvRecord> read;
        CsvReadError error;
        QVERIFY(!readCsvRecords(text, read, error));
        QCOMPARE(error.line, line);
        QCOMPARE(error.reason, reason);
    }

    // A name's "/" and "\" are escaped, so the path splits back into the names.
    void paths() {
        BaseTree tree;
        BaseNode* folder = tree.addChild(nullptr);
        folder->text = toCp1251(QStringLiteral("Лесная 12/3"));
        BaseNode* inner = tree.addChild(folder);
        inner->text = "a\\b";
        BaseNode* file = tree.addChild(inner);
        file->text = toCp1251(QStringLiteral("кв 7"));
        file->imageIndex = ImageFile;
        file->pageNumber = 4;
        BaseNode* twin = tree.addChild(nullptr); // a damaged file node on the same page
        twin->imageIndex = ImageFile;
        twin->pageNumber = 4;
        BaseNode* top = tree.addChild(nullptr);
        top->text = "top";
        top->imageIndex = ImageFile;
        top->pageNumber = 0;

        const std::vector<KeyCsvPage> pages = keyCsvPages(tree);
        QCOMPARE(pages.size(), size_t(2));
        QCOMPARE(pages[0].page, 4);
        QCOMPARE(pages[0].path, QStringLiteral("Лесная 12\\/3/a\\\\b/кв 7"));
        QCOMPARE(pages[1].page, 0);
        QCOMPARE(pages[1].path, QStringLiteral("top"));
        QCOMPARE(keyCsvPage(tree, 9).path, QString());
    }

    // The lines of a page, exactly, and the same bytes read back into a blank page.
    void pageRoundTrip() {
        const auto page = std::make_unique<KeyPage>();
        page->setCell(0, 0,
                      cellOf(1, "01563412000000"
                                "05"));
        page->setCell(0, 5, cellOf(128, "0078563412000600"));
        page->setComment(0, toCp1251(QStringLiteral("Петров, кв \"7\"")));
        page->setComment(3, "line 1\r\nline 2");
        page->setCell(499, 1, cellOf(130, "FFFFFFFFFFFFFFFF"));
        page->setCell(2, 2, cellOf(5, "0102030405060708")); // no key type: not a key
        QByteArray text;
        QVERIFY(writeKeyCsv({{1, QStringLiteral("Дом/кв 2")}}, true, text,
                            [&](std::int32_t n, KeyPage& into) { return n == 1 ? (into = *page, true) : false; }));
        const QByteArray expected =
            "\xEF\xBB\xBF" + kHeader +
            QStringLiteral(
                "Дом/кв 2,1,0,1,1,0156341200000005, DS1990 - 000000123456,\"Петров, кв \"\"7\"\"\"\r\n"
                "Дом/кв 2,1,0,6,128,0078563412000600, EM410x - 0012345678 - RF64,\"Петров, кв \"\"7\"\"\"\r\n"
                "Дом/кв 2,1,3,,,,,\"line 1\r\nline 2\"\r\n"
                "Дом/кв 2,1,499,2,130,FFFFFFFFFFFFFFFF, ?????? ---------,\r\n")
                .toUtf8();
        QCOMPARE(text, expected);

        KeyCsvImport imported;
        CsvReadError error;
        QVERIFY2(readKeyCsv(text, twoPages(), imported, error), qPrintable(keyCsvErrorText(error)));
        QCOMPARE(imported.cells, 3);
        QCOMPARE(imported.comments, 3);
        QCOMPARE(imported.pages.size(), size_t(1));
        auto rebuilt = std::make_unique<KeyPage>();
        imported.pages.at(1).applyTo(*rebuilt);
        page->clearCell(2, 2);
        QVERIFY(*rebuilt == *page);
    }

    // Only what the lines name changes: an empty type and code empty a cell, a line without a
    // column sets the row's comment alone, an empty comment clears it.
    void importChangesOnlyTheLinesNamed() {
        const QByteArray text = kHeader + ",0,5,2,3,0134120100000079,ignored,Cyfral\r\n"
                                          ",0,5,3,,,,Cyfral\r\n"
                                          ",1,7,,,,,\r\n"
                                          ", 1 ,8,4, 4 ,01ab908b0b0000a2,,\r\n";
        KeyCsvImport imported;
        CsvReadError error;
        QVERIFY2(readKeyCsv(text, twoPages(), imported, error), qPrintable(keyCsvErrorText(error)));
        auto page0 = std::make_unique<KeyPage>();
        page0->setCell(5, 0, cellOf(1, "0100000000000000"));
        page0->setCell(5, 2, cellOf(1, "0100000000000000"));
        page0->setComment(6, "stays");
        imported.pages.at(0).applyTo(*page0);
        QCOMPARE(page0->cell(5, 0).type(), std::uint8_t(1));
        QVERIFY(page0->cell(5, 1).bytes == cellOf(3, "0134120100000079").bytes);
        QCOMPARE(page0->cell(5, 2).type(), std::uint8_t(0));
        QCOMPARE(page0->comment(5), QByteArray("Cyfral"));
        QCOMPARE(page0->comment(6), QByteArray("stays"));

        auto page1 = std::make_unique<KeyPage>();
        page1->setComment(7, "gone");
        page1->setCell(7, 0, cellOf(1, "0100000000000000"));
        imported.pages.at(1).applyTo(*page1);
        QVERIFY(!page1->hasComment(7));
        QCOMPARE(page1->cell(7, 0).type(), std::uint8_t(1));
        QVERIFY(page1->cell(8, 3).bytes == cellOf(4, "01AB908B0B0000A2").bytes);
    }

    void importErrors_data() {
        QTest::addColumn<QByteArray>("lines"); // after the header, from line 2
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        const QByteArray key = "1,0156341200000005,,";
        QTest::newRow("no header") << QByteArray("!") << 1
                                   << "the first line is not the header path,page,row,column,type,code,text,comment";
        QTest::newRow("fields missing") << QByteArray(",0,1,1\r\n") << 2 << "fields: 4, where the header has 8";
        QTest::newRow("page not a number") << ",p,0,1," + key << 2 << "\"p\" is not a page number";
        QTest::newRow("page not in the base")
            << ",0,0,,,,,\r\n,2,0,1," + key << 3 << "page 2 does not exist: pages in the key base: 2";
        QTest::newRow("path of another page") << QStringLiteral("Дом/кв 1,1,0,1,").toUtf8() + key << 2
                                              << "the path \"Дом/кв 1\" is not that of page 1, \"Дом/кв 2\"";
        QTest::newRow("row past the page") << ",0,500,1," + key << 2 << "\"500\" is not a row from 0 to 499";
        QTest::newRow("negative row") << ",0,-1,1," + key << 2 << "\"-1\" is not a row from 0 to 499";
        QTest::newRow("column 0") << ",0,0,0," + key << 2 << "\"0\" is not a key column from 1 to 6";
        QTest::newRow("column 7") << ",0,0,7," + key << 2 << "\"7\" is not a key column from 1 to 6";
        QTest::newRow("type without a key") << QByteArray(",0,0,1,0,0156341200000005,,") << 2
                                            << "\"0\" is not a key type: 1, 2, 3, 4, 128, 129, 130 or 131";
        QTest::newRow("type by name") << QByteArray(",0,0,1,DS1990,0156341200000005,,") << 2
                                      << "\"DS1990\" is not a key type: 1, 2, 3, 4, 128, 129, 130 or 131";
        QTest::newRow("code too short") << QByteArray(",0,0,1,1,01563412000000,,") << 2
                                        << "\"01563412000000\" is not a code of 16 hex digits";
        QTest::newRow("code not hex") << QByteArray(",0,0,1,1,015634120000000G,,") << 2
                                      << "\"015634120000000G\" is not a code of 16 hex digits";
        QTest::newRow("type without code") << QByteArray(",0,0,1,1,,,") << 2 << "a key needs both a type and a code";
        QTest::newRow("key without a column") << ",0,0,," + key << 2 << "a line without a column cannot hold a key";
        QTest::newRow("comment too long")
            << ",0,0,,,,," + QByteArray(129, 'c') << 2 << "the comment is longer than 128 characters";
        QTest::newRow("comment beyond Windows-1251") << QByteArray(",0,0,,,,,\xE2\x98\xBA") << 2
                                                     << "the comment holds a character that Windows-1251 cannot hold";
        QTest::newRow("cell twice") << ",0,0,1," + key + "\r\n,0,0,2," + key + "\r\n,0,0,1," + key << 4
                                    << "the cell is named again (first on line 2)";
        QTest::newRow("two comments for a row") << QByteArray(",0,0,1,1,0156341200000005,,a\r\n,0,0,,,,,b") << 3
                                                << "the row's comment differs from line 2's";
        QTest::newRow("reader's error") << QByteArray(",0,0,,,,,\"x") << 2 << "a quoted field is not closed";
    }
    void importErrors() {
        QFETCH(QByteArray, lines);
        QFETCH(int, line);
        QFETCH(QString, reason);
        const QByteArray text = lines == "!" ? QByteArray("page,row\r\n") : kHeader + lines + "\r\n";
        KeyCsvImport imported;
        imported.cells = 99;
        CsvReadError error;
        QVERIFY(!readKeyCsv(text, twoPages(), imported, error));
        QCOMPARE(error.line, line);
        QCOMPARE(error.reason, reason);
        QCOMPARE(keyCsvErrorText(error), QStringLiteral("Line %1: %2.").arg(line).arg(reason));
        QVERIFY(imported.pages.empty());
        QCOMPARE(imported.cells, 0);
    }
};

QTEST_GUILESS_MAIN(KeyCsvTest)
#include "tst_KeyCsv.moc"
