// tervane-cli's export-csv and import-csv, run as a script runs them: a base and one page written
// as CSV, a file imported into a copy of the base and written out again, and every error with its
// exit status, the base's files unchanged after each.
#include "BaseBuilder.h"
#include "CliRun.h"
#include "TestEnvironment.h"

#include "base/Cp1251.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tervane;
using test::cellFromHex;
using test::CliRun;
using test::finishCli;
using test::readFileBytes;
using test::writeFileBytes;

namespace {

CliRun runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TERVANE_CLI), args);
    return finishCli(process);
}

const QByteArray kHeader = "path,page,row,column,type,code,text,comment\r\n";
const QByteArray kPage0 =
    QStringLiteral("Дом/кв 1,0,0,1,1,01AB908B0B0000A2, DS1990 - 00000B8B90AB,\"Петров, 7\"\r\n"
                   "Дом/кв 1,0,0,3,128,0055443322110600, EM410x - 1122334455 - RF64,\"Петров, 7\"\r\n"
                   "Дом/кв 1,0,499,6,3,013412010000007C, CYFRAL - 1234 ,\r\n")
        .toUtf8();
const QByteArray kPage1 = QStringLiteral("Дом/кв 1\\/2,1,4,,,,,\"две\r\nстроки\"\r\n").toUtf8();

} // namespace

class TestCliCsv : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void exportCsv_data();
    void exportCsv();
    void importCsv();
    void importErrors_data();
    void importErrors();
    void usageErrors_data();
    void usageErrors();

private:
    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    bool baseUnchanged() const {
        return readFileBytes(m_base + ".dir") == m_dirBytes && readFileBytes(m_base + ".dat") == m_datBytes;
    }

    test::TestEnvironment m_env;
    QTemporaryDir m_dir;
    QString m_base;
    QByteArray m_dirBytes;
    QByteArray m_datBytes;
};

// Folder "Дом" with "кв 1" (page 0: three keys, a comment with a comma) and "кв 1/2" (page 1: a
// comment of two lines alone); "пусто" at the top (page 2) is empty.
void TestCliCsv::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo::exists(QStringLiteral(TERVANE_CLI)));
    test::BaseBuilder b;
    BaseNode* home = b.folder(QStringLiteral("Дом"));
    KeyPage& page0 = b.page(b.file(QStringLiteral("кв 1"), home));
    page0.setCell(0, 0, cellFromHex("01 00 01 AB 90 8B 0B 00 00 A2"));
    page0.setCell(0, 2, cellFromHex("80 00 00 55 44 33 22 11 06 00"));
    page0.setComment(0, toCp1251(QStringLiteral("Петров, 7")));
    page0.setCell(499, 5, cellFromHex("03 00 01 34 12 01 00 00 00 7C"));
    b.page(b.file(QStringLiteral("кв 1/2"), home)).setComment(4, toCp1251(QStringLiteral("две\r\nстроки")));
    b.file(QStringLiteral("пусто"));
    m_base = path(QStringLiteral("база"));
    QVERIFY(b.write(m_base));
    m_dirBytes = readFileBytes(m_base + ".dir");
    m_datBytes = readFileBytes(m_base + ".dat");
}

void TestCliCsv::init() {
    QVERIFY(writeFileBytes(m_base + ".dir", m_dirBytes));
    QVERIFY(writeFileBytes(m_base + ".dat", m_datBytes));
}

void TestCliCsv::exportCsv_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("whole base") << QStringList() << kHeader + kPage0 + kPage1;
    QTest::newRow("one page, byte-order mark")
        << QStringList{"--page", "1", "--bom"} << QByteArray("\xEF\xBB\xBF") + kHeader + kPage1;
    QTest::newRow("an empty page") << QStringList{"--page=2"} << kHeader;
}

void TestCliCsv::exportCsv() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, csv);
    const CliRun run = runCli(QStringList{"export-csv", m_base + ".dir"} + options);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, csv);
}

// Only the lines' cells and comments change: a key replaced, one emptied, a comment set on a row
// of another page; what the file does not name stays.
void TestCliCsv::importCsv() {
    const QString file = path("ввод.csv");
    QVERIFY(writeFileBytes(file, "\xEF\xBB\xBF" + kHeader +
                                     QStringLiteral("Дом/кв 1,0,0,1,2,0178563412000057,,\"Петров, 7\"\r\n"
                                                    ",0,0,3,,,,\"Петров, 7\"\r\n"
                                                    ",2,10,,,,,новый\r\n")
                                         .toUtf8()));
    const CliRun run = runCli({"import-csv", m_base, file});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("{\"cells\": 2, \"comments\": 2, \"pages\": 2}\n"));

    const CliRun after = runCli({"export-csv", m_base});
    QCOMPARE(after.exitCode, 0);
    QCOMPARE(after.out, kHeader +
                            QStringLiteral("Дом/кв 1,0,0,1,2,0178563412000057, TM2002 - 12345678 ,\"Петров, 7\"\r\n"
                                           "Дом/кв 1,0,499,6,3,013412010000007C, CYFRAL - 1234 ,\r\n")
                                .toUtf8() +
                            kPage1 + QStringLiteral("пусто,2,10,,,,,новый\r\n").toUtf8());
}

void TestCliCsv::importErrors_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("err"); // %1: the file
    QTest::newRow("a page the base lacks") << kHeader + ",0,1,1,,,,\r\n,3,0,1,1,01AB908B0B0000A2,,\r\n"
                                           << "%1: Line 3: page 3 does not exist: pages in the key base: 3.\n";
    QTest::newRow("the path of another page")
        << kHeader + QStringLiteral("пусто,0,1,,,,,\r\n").toUtf8()
        << "%1: Line 2: the path \"пусто\" is not that of page 0, \"Дом/кв 1\".\n";
    QTest::newRow("a bad code after good lines, past a quoted line break")
        << kHeader + ",0,1,,,,,\"a\r\nb\"\r\n,0,2,1,1,01AB,,\r\n"
        << "%1: Line 4: \"01AB\" is not a code of 16 hex digits.\n";
    QTest::newRow("not the header") << QByteArray("a,b\r\n") + ",0,1,,,,,\r\n"
                                    << "%1: Line 1: the first line is not the header "
                                       "path,page,row,column,type,code,text,comment.\n";
}

void TestCliCsv::importErrors() {
    QFETCH(QByteArray, csv);
    QFETCH(QString, err);
    const QString file = path("bad.csv");
    QVERIFY(writeFileBytes(file, csv));
    const CliRun run = runCli({"import-csv", m_base, file});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), err.arg(file));
    QVERIFY(baseUnchanged());
}

void TestCliCsv::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // the first line
    QTest::newRow("export: page past the last") << QStringList{"export-csv", "%base", "--page", "3"} << 2
                                                << "tervane-cli: N 3 names no page: the base has 3 pages";
    QTest::newRow("export: page not a number") << QStringList{"export-csv", "%base", "--page", "x"} << 2
                                               << "tervane-cli: N must be a page number, 0 or more, not \"x\"";
    QTest::newRow("export: no base") << QStringList{"export-csv", "%dir/none"} << 1
                                     << "Open file error: \"%dir/none.dir\"";
    QTest::newRow("import: one argument")
        << QStringList{"import-csv", "%base"} << 2 << "tervane-cli: import-csv takes two arguments, BASE and FILE";
    QTest::newRow("import: no file") << QStringList{"import-csv", "%base", "%dir/none.csv"} << 1
                                     << "Open file error: \"%dir/none.csv\"";
}

void TestCliCsv::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    args.replaceInStrings("%base", m_base).replaceInStrings("%dir", m_dir.path());
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err).section(QLatin1Char('\n'), 0, 0), QString(err).replace("%dir", m_dir.path()));
    QVERIFY(baseUnchanged());
}

QTEST_GUILESS_MAIN(TestCliCsv)
#include "tst_CliCsv.moc"
