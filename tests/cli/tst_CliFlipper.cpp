// tervane-cli's key, export-flipper and import-flipper, run as a script runs them: one key cell
// with its card numbers or check sum, Flipper Zero key files written from a base and read back,
// and every error with its exit status.
#include "BaseBuilder.h"
#include "CliRun.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tervane;
using test::cellFromHex;
using test::CliRun;
using test::finishCli;

namespace {

CliRun runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TERVANE_CLI), args);
    return finishCli(process);
}

const QByteArray kEmFile = "Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\nData: 11 22 33 44 55\n";

} // namespace

class TestCliFlipper : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void key_data();
    void key();
    void exportFlipper_data();
    void exportFlipper();
    void exportErrors_data();
    void exportErrors();
    void importFlipper_data();
    void importFlipper();
    void importErrors_data();
    void importErrors();
    void usageErrors_data();
    void usageErrors();
    void help();

private:
    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }

    test::TestEnvironment m_env;
    QTemporaryDir m_dir;
    QString m_base;
};

// Page 1 of the base: the printed EM410x card in row 0, key 1; a Dallas key in row 7, key 6 and
// one with a wrong check sum in row 8, key 1; a Cyfral key in row 499, key 2; a HID card in
// row 3, key 1. Page 0 is empty.
void TestCliFlipper::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo::exists(QStringLiteral(TERVANE_CLI)));
    test::BaseBuilder b;
    b.file(QStringLiteral("empty"));
    KeyPage& page = b.page(b.file(QStringLiteral("Ключи")));
    page.setCell(0, 0, cellFromHex("80 00 00 55 44 33 22 11 06 00"));
    page.setCell(7, 5, cellFromHex("01 00 01 AB 90 8B 0B 00 00 A2"));
    page.setCell(8, 0, cellFromHex("01 00 01 AB 90 8B 0B 00 00 A3"));
    page.setCell(499, 1, cellFromHex("03 00 01 34 12 01 00 00 00 7C"));
    page.setCell(3, 0, cellFromHex("81 00 00 01 02 03 04 05 00 00"));
    m_base = path(QStringLiteral("база"));
    QVERIFY(b.write(m_base));
}

void TestCliFlipper::key_data() {
    QTest::addColumn<QStringList>("cell"); // PAGE ROW COL
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("EM410x") << QStringList{"1", "0", "1"}
                            << QByteArray("{\n"
                                          "  \"type\": 128,\n"
                                          "  \"code\": \"0055443322110600\",\n"
                                          "  \"text\": \" EM410x - 1122334455 - RF64\",\n"
                                          "  \"dez10\": \"0573785173\",\n"
                                          "  \"dez8\": \"03359829\",\n"
                                          "  \"dez3_5c\": \"051.17493\",\n"
                                          "  \"dez5_5\": \"08755.17493\",\n"
                                          "  \"dez14\": \"00073588229205\"\n"
                                          "}\n");
    QTest::newRow("Dallas") << QStringList{"1", "7", "6"}
                            << QByteArray("{\n"
                                          "  \"type\": 1,\n"
                                          "  \"code\": \"01AB908B0B0000A2\",\n"
                                          "  \"text\": \" DS1990 - 00000B8B90AB\",\n"
                                          "  \"crcOk\": true\n"
                                          "}\n");
    QTest::newRow("Dallas, wrong check sum") << QStringList{"1", "8", "1"}
                                             << QByteArray("{\n"
                                                           "  \"type\": 1,\n"
                                                           "  \"code\": \"01AB908B0B0000A3\",\n"
                                                           "  \"text\": \" DS1990 - 00000B8B90AB\",\n"
                                                           "  \"crcOk\": false\n"
                                                           "}\n");
    QTest::newRow("Cyfral, last row") << QStringList{"1", "499", "2"}
                                      << QByteArray("{\n"
                                                    "  \"type\": 3,\n"
                                                    "  \"code\": \"013412010000007C\",\n"
                                                    "  \"text\": \" CYFRAL - 1234 \"\n"
                                                    "}\n");
    QTest::newRow("empty cell") << QStringList{"0", "0", "1"}
                                << QByteArray("{\n"
                                              "  \"type\": 0,\n"
                                              "  \"code\": \"0000000000000000\",\n"
                                              "  \"text\": \"\"\n"
                                              "}\n");
}

void TestCliFlipper::key() {
    QFETCH(QStringList, cell);
    QFETCH(QByteArray, json);
    const CliRun run = runCli(QStringList{"key", m_base + ".dir"} + cell);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, json);
}

void TestCliFlipper::exportFlipper_data() {
    QTest::addColumn<QStringList>("cell");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("type"); // as printed
    QTest::newRow("EM410x") << QStringList{"1", "0", "1"} << "карта.rfid" << kEmFile << QByteArray("\"type\": 128");
    QTest::newRow("Dallas") << QStringList{"1", "7", "6"} << "ключ.ibtn"
                            << QByteArray("Filetype: Flipper iButton key\nVersion: 2\nProtocol: DS1990\n"
                                          "Rom Data: 01 AB 90 8B 0B 00 00 A2\n")
                            << QByteArray("\"type\": 1");
}

void TestCliFlipper::exportFlipper() {
    QFETCH(QStringList, cell);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, type);
    const QString target = path(file);
    QFile::remove(target);
    const CliRun run = runCli(QStringList{"export-flipper", m_base} + cell + QStringList{target});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("{\"file\": \"" + target.toUtf8() + "\", " + type), run.out.constData());
    QCOMPARE(test::readFileBytes(target), bytes);

    // And back: the file gives the cell it came from.
    const CliRun back = runCli({"import-flipper", target});
    QCOMPARE(back.exitCode, 0);
    const CliRun original = runCli(QStringList{"key", m_base} + cell);
    const auto code = [](const QByteArray& json) {
        return QJsonDocument::fromJson(json).object().value("code").toString();
    };
    QCOMPARE(code(back.out), code(original.out));
    QVERIFY(!code(back.out).isEmpty());
}

void TestCliFlipper::exportErrors_data() {
    QTest::addColumn<QStringList>("cell");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // %1: the file
    QTest::newRow("HID Prox II") << QStringList{"1", "3", "1"} << "hid.rfid" << 1
                                 << "HID Prox II keys cannot be stored in a Flipper file: the Flipper Zero has no key "
                                    "type that matches them exactly.\n";
    QTest::newRow("empty cell") << QStringList{"1", "1", "1"} << "none.ibtn" << 1 << "The cell holds no key.\n";
    QTest::newRow("suffix of the other kind") << QStringList{"1", "0", "1"} << "card.ibtn" << 2
                                              << "tervane-cli: FILE must end in \".rfid\" for this key, not \"%1\"\n";
    QTest::newRow("folder not there") << QStringList{"1", "0", "1"} << "missing/card.rfid" << 1
                                      << "Create file error: \"%1\"\n";
    QTest::newRow("page not there") << QStringList{"5", "0", "1"} << "card.rfid" << 1 << "";
}

void TestCliFlipper::exportErrors() {
    QFETCH(QStringList, cell);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    const QString target = path(file);
    const CliRun run = runCli(QStringList{"export-flipper", m_base} + cell + QStringList{target});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    if (err.isEmpty())
        QVERIFY(!run.err.isEmpty());
    else
        QVERIFY2(run.err.startsWith(err.arg(target).toUtf8()), run.err.constData());
    QVERIFY(!QFileInfo::exists(target));
}

void TestCliFlipper::importFlipper_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("Dallas")
        << QByteArray("Filetype: Flipper iButton key\nVersion: 2\nProtocol: DS1990\n"
                      "Rom Data: 01 AB 90 8B 0B 00 00 A2\n")
        << QByteArray("{\"type\": 1, \"code\": \"01AB908B0B0000A2\", \"text\": \" DS1990 - 00000B8B90AB\"}");
    QTest::newRow("Cyfral") << QByteArray("Filetype: Flipper iButton key\nVersion: 2\nProtocol: Cyfral\nData: 34 12\n")
                            << QByteArray(
                                   "{\"type\": 3, \"code\": \"013412010000007C\", \"text\": \" CYFRAL - 1234 \"}");
    QTest::newRow("Metakom, version 1")
        << QByteArray("Filetype: Flipper iButton key\nVersion: 1\nKey type: Metakom\nData: 82 81 C9 B2\n")
        << QByteArray("{\"type\": 2, \"code\": \"018281C9B20000E6\", \"text\": \" TM2002 - B2C98182 \"}");
    QTest::newRow("EM4100")
        << QByteArray("Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\nData: 20 00 1D 59 1F\n")
        << QByteArray("{\"type\": 128, \"code\": \"001F591D00200600\", \"text\": \" EM410x - 20001D591F - RF64\"}");
    QTest::newRow("EM4100/16")
        << QByteArray("Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100/16\nData: 20 00 1D 59 1F\n")
        << QByteArray("{\"type\": 128, \"code\": \"001F591D00200200\", \"text\": \" EM410x - 20001D591F - RF16\"}");
}

void TestCliFlipper::importFlipper() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, json);
    const QString file = path(QStringLiteral("ввод.ibtn"));
    QVERIFY(test::writeFileBytes(file, bytes));
    const CliRun run = runCli({"import-flipper", file});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, json + "\n");
}

void TestCliFlipper::importErrors_data() {
    QTest::addColumn<QByteArray>("bytes"); // empty: no file
    QTest::addColumn<QString>("err");
    QTest::newRow("no file") << QByteArray() << "Open file error: \"%1\"\n";
    QTest::newRow("wrong Filetype") << QByteArray("Filetype: Flipper NFC device\nVersion: 3\n")
                                    << "\"%1\" is not a Flipper key file.\n";
    QTest::newRow("version 3")
        << QByteArray(
               "Filetype: Flipper iButton key\nVersion: 3\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 A2\n")
        << "\"%1\" is a Flipper key file of version 3, which this program cannot read.\n";
    QTest::newRow("too few bytes") << QByteArray(
                                          "Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\nData: 20 00 1D\n")
                                   << "The \"Data\" line of \"%1\" holds 3 bytes where 5 are needed.\n";
    QTest::newRow("unknown type") << QByteArray(
                                         "Filetype: Flipper RFID key\nVersion: 1\nKey type: HIDProx\nData: 20 00 1D\n")
                                  << "\"%1\" holds a key of type \"HIDProx\", which a key base cannot hold.\n";
}

void TestCliFlipper::importErrors() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, err);
    const QString file = path(QStringLiteral("bad.ibtn"));
    QFile::remove(file);
    if (!bytes.isEmpty())
        QVERIFY(test::writeFileBytes(file, bytes));
    const CliRun run = runCli({"import-flipper", file});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), err.arg(file));
}

void TestCliFlipper::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("key, three arguments")
        << QStringList{"key", "BASE", "1", "0"} << QByteArray("key takes four arguments, BASE PAGE ROW COL");
    QTest::newRow("key, row 500") << QStringList{"key", "BASE", "1", "500", "1"}
                                  << QByteArray("ROW must be a row from 0 to 499, not \"500\"");
    QTest::newRow("key, column 0") << QStringList{"key", "BASE", "1", "0", "0"}
                                   << QByteArray("COL must be a key column from 1 to 6, not \"0\"");
    QTest::newRow("key, column 7") << QStringList{"key", "BASE", "1", "0", "7"}
                                   << QByteArray("COL must be a key column from 1 to 6, not \"7\"");
    QTest::newRow("key, page -1") << QStringList{"key", "BASE", "-1", "0", "1"}
                                  << QByteArray("PAGE must be a page number, 0 or more, not \"-1\"");
    QTest::newRow("key, page x") << QStringList{"key", "BASE", "x", "0", "1"}
                                 << QByteArray("PAGE must be a page number, 0 or more, not \"x\"");
    QTest::newRow("export, no file") << QStringList{"export-flipper", "BASE", "1", "0", "1"}
                                     << QByteArray("export-flipper takes five arguments, BASE PAGE ROW COL FILE");
    QTest::newRow("import, two files") << QStringList{"import-flipper", "a.ibtn", "b.ibtn"}
                                       << QByteArray("import-flipper takes one argument, FILE");
}

void TestCliFlipper::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, reason);
    args.replaceInStrings(QStringLiteral("BASE"), m_base);
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("tervane-cli: " + reason), run.err.constData());
    QVERIFY(run.err.contains("\nUsage: tervane-cli COMMAND"));
}

void TestCliFlipper::help() {
    const CliRun run = runCli({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    for (const char* words : {"key BASE PAGE ROW COL", "export-flipper BASE PAGE ROW COL FILE", "import-flipper FILE"})
        QVERIFY2(run.out.contains(words), words);
}

QTEST_GUILESS_MAIN(TestCliFlipper)
#include "tst_CliFlipper.moc"
