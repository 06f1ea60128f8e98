#include "CliRun.h"
#include "TestEnvironment.h"

#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "keys/DallasCrc.h"
#include "keys/KeyValidity.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <algorithm>

using namespace tervane;
using test::CliRun;
using test::cp1251;
using test::finishCli;

namespace {

CliRun runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TERVANE_CLI), args);
    return finishCli(process);
}

QJsonObject parseObject(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << error.errorString() << json.left(200);
    return document.object();
}

KeyCell cellOf(std::uint8_t type, KeyCode code) {
    KeyCell cell;
    cell.setType(type);
    cell.setCode(code);
    return cell;
}

// clang-format off
// The tree as the fixture writes it. (No raw strings here: moc misreads \" inside them.)
const char* const kFixtureTree =
    "{\n"
    "  \"selected\": 1,\n"
    "  \"pages\": 1,\n"
    "  \"nodes\": [\n"
    "    {\"name\": \"Entrance\", \"level\": 0, \"image\": 0, \"selectedImage\": 0, \"page\": -1, \"expanded\": true},\n"
    "    {\"name\": \"кв. 5\", \"level\": 1, \"image\": 2, \"selectedImage\": 1, \"page\": 0, \"expanded\": false},\n"
    "    {\"name\": \"Tab\\t\\\"q\\\" \\\\ \\u0001\", \"level\": 0, \"image\": 0, \"selectedImage\": 0, \"page\": -1, \"expanded\": false}\n"
    "  ]\n"
    "}\n";

// Page 0 with the default views: full type and code, EM speed on, Dallas check sum off.
const char* const kFixturePage =
    "{\n"
    "  \"page\": 0,\n"
    "  \"used\": 2,\n"
    "  \"rows\": [\n"
    "    {\"row\": 0, \"cells\": [\" DS1990 - 000000123456\", \"\", \" EM410x - 0012345678 - RF64\", \"\", \"\", \"\"], \"comment\": \"Иванов \\\"И\\\"\"},\n"
    "    {\"row\": 3, \"cells\": [\"\", \"\", \"\", \"\", \"\", \"\"], \"comment\": \"Lift\"}\n"
    "  ]\n"
    "}\n";
// clang-format on

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void treeOutput();
    void pageDefaultOutput();
    void pageViews_data();
    void pageViews();
    void pageAllRows();
    void baseArgumentForms_data();
    void baseArgumentForms();
    void missingPageFileCountsNoPages();
    void fileErrors_data();
    void fileErrors();
    void usageErrors_data();
    void usageErrors();
    void help_data();
    void help();
    void demoBaseLoads();

private:
    // A base in a folder with a Cyrillic name: a folder "Entrance" (open) holding the file
    // "кв. 5" (page 0, selected) and a folder whose name needs escaping. Page 0 holds a Dallas
    // key and an EM410x key in row 0 with a Cyrillic comment, a comment alone in row 3, and
    // unoccupied type bytes with stray code bytes in row 4. The page file ends in a partial
    // record, which is no page.
    void writeFixture();
    QString path(const QString& name) const { return m_dir.path() + QStringLiteral("/база/") + name; }

    test::TestEnvironment m_env;
    QTemporaryDir m_dir;
    QString m_base;
};

void TestCli::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo::exists(QStringLiteral(TERVANE_CLI)));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("база")));
    m_base = path(QStringLiteral("keys"));
    writeFixture();
}

void TestCli::writeFixture() {
    BaseTree tree;
    BaseNode* folder = tree.addChild(nullptr);
    folder->text = "Entrance";
    folder->expanded = true;
    BaseNode* file = tree.addChild(folder);
    file->text = cp1251(QStringLiteral("кв. 5"));
    file->imageIndex = ImageFile;
    file->selectedIndex = ImageFileSelected;
    file->pageNumber = 0;
    tree.select(file);
    BaseNode* odd = tree.addChild(nullptr);
    odd->text = QByteArray("Tab\t\"q\" \\ \x01");
    QVERIFY(SaveDirectory(m_base + ".dir", tree));

    KeyPage page;
    KeyCode dallas{0x01, 0x56, 0x34, 0x12, 0x00, 0x00, 0x00, 0x00};
    dallas[7] = DallasCrc8(dallas.data(), 7);
    page.setCell(0, 0, cellOf(KeyTypeDallas, dallas));
    page.setCell(0, 2, cellOf(KeyTypeEm410x, {0x00, 0x78, 0x56, 0x34, 0x12, 0x00, 0x06, 0x00}));
    page.setComment(0, cp1251(QStringLiteral("Иванов \"И\"")));
    page.setComment(3, "Lift");
    page.setCell(4, 1, cellOf(5, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    page.setCell(4, 5, cellOf(132, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}));
    std::int32_t pageNumber = -1;
    QVERIFY(AppendPage(m_base + ".dat", pageNumber));
    QCOMPARE(pageNumber, 0);
    QVERIFY(WritePage(m_base + ".dat", 0, page));
    QFile dat(m_base + ".dat");
    QVERIFY(dat.open(QIODevice::Append));
    QCOMPARE(dat.write(QByteArray(10, '\x7F')), 10);
}

void TestCli::treeOutput() {
    const CliRun run = runCli({QStringLiteral("tree"), m_base});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(kFixtureTree));
}

void TestCli::pageDefaultOutput() {
    const CliRun run = runCli({QStringLiteral("page"), m_base, QStringLiteral("0")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(kFixturePage));
}

void TestCli::pageViews_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("optionsFirst");
    QTest::addColumn<QString>("dallas");
    QTest::addColumn<QString>("em");

    QTest::newRow("defaults spelt out") << QStringList{"--type-view", "full", "--code-view", "full",
                                                       "--speed",     "on",   "--crc",       "off"}
                                        << false << " DS1990 - 000000123456"
                                        << " EM410x - 0012345678 - RF64";
    QTest::newRow("short views") << QStringList{"--type-view", "short", "--code-view", "short"} << false
                                 << " D - 00123456"
                                 << " E - 12345678 - RF64";
    QTest::newRow("check sum on") << QStringList{"--crc", "on"} << false << " DS1990 - 000000123456 - 05 "
                                  << " EM410x - 0012345678 - RF64";
    QTest::newRow("speed off") << QStringList{"--speed=off"} << false << " DS1990 - 000000123456"
                               << " EM410x - 0012345678 ";
    QTest::newRow("type hidden") << QStringList{"--type-view=hide"} << false << " 000000123456"
                                 << " 0012345678 - RF64";
    QTest::newRow("code hidden") << QStringList{"--code-view", "hide"} << false << " DS1990"
                                 << " EM410x";
    QTest::newRow("both hidden") << QStringList{"--code-view", "hide", "--type-view", "hide"} << false << "-"
                                 << "-";
    QTest::newRow("options before the arguments")
        << QStringList{"--crc", "on", "--speed", "off"} << true << " DS1990 - 000000123456 - 05 "
        << " EM410x - 0012345678 ";
}

void TestCli::pageViews() {
    QFETCH(QStringList, options);
    QFETCH(bool, optionsFirst);
    QFETCH(QString, dallas);
    QFETCH(QString, em);

    const QStringList args = optionsFirst ? QStringList{QStringLiteral("page")} + options + QStringList{m_base, "0"}
                                          : QStringList{QStringLiteral("page"), m_base, "0"} + options;
    const CliRun run = runCli(args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QJsonObject page = parseObject(run.out);
    const QJsonArray rows = page.value("rows").toArray();
    QCOMPARE(rows.size(), 2);
    const QJsonArray cells = rows.at(0).toObject().value("cells").toArray();
    QCOMPARE(cells.size(), 6);
    QCOMPARE(cells.at(0).toString(), dallas);
    QCOMPARE(cells.at(2).toString(), em);
    QCOMPARE(cells.at(1).toString(), QString());
    // Row 4's unoccupied type bytes give no row whatever the views.
    QCOMPARE(rows.at(1).toObject().value("row").toInt(), 3);
}

void TestCli::pageAllRows() {
    const CliRun run = runCli({QStringLiteral("page"), m_base, QStringLiteral("0"), QStringLiteral("--all")});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject page = parseObject(run.out);
    QCOMPARE(page.value("used").toInt(), 2);
    const QJsonArray rows = page.value("rows").toArray();
    QCOMPARE(rows.size(), 500);
    for (int r = 0; r < rows.size(); ++r)
        QCOMPARE(rows.at(r).toObject().value("row").toInt(), r);
    const QJsonObject stray = rows.at(4).toObject();
    QCOMPARE(stray.value("cells").toArray(), QJsonArray({"", "", "", "", "", ""}));
    QCOMPARE(stray.value("comment").toString(), QString());
    QCOMPARE(rows.at(0).toObject().value("comment").toString(), QStringLiteral("Иванов \"И\""));
}

void TestCli::baseArgumentForms_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("base path") << "";
    QTest::newRow("directory file") << ".dir";
    QTest::newRow("page file") << ".dat";
}

void TestCli::baseArgumentForms() {
    QFETCH(QString, suffix);
    const CliRun tree = runCli({QStringLiteral("tree"), m_base + suffix});
    QCOMPARE(tree.exitCode, 0);
    QCOMPARE(QString::fromUtf8(tree.out), QString::fromUtf8(kFixtureTree));
    const CliRun page = runCli({QStringLiteral("page"), m_base + suffix, QStringLiteral("0")});
    QCOMPARE(page.exitCode, 0);
    QCOMPARE(QString::fromUtf8(page.out), QString::fromUtf8(kFixturePage));
}

void TestCli::missingPageFileCountsNoPages() {
    const QString base = path(QStringLiteral("no-pages"));
    QVERIFY(QFile::copy(m_base + ".dir", base + ".dir"));
    const CliRun run = runCli({QStringLiteral("tree"), base});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QJsonObject tree = parseObject(run.out);
    QCOMPARE(tree.value("pages").toInt(-1), 0);
    QCOMPARE(tree.value("nodes").toArray().size(), 3);
}

void TestCli::fileErrors_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("directoryFile"); // written as name.dir unless empty
    QTest::addColumn<QStringList>("command");      // BASE is appended after the command word
    QTest::addColumn<QString>("message");          // %1: the base path

    QByteArray header(kDirectoryRecordSize, '\0');
    header[0] = 9;
    header.replace(1, 9, "Data Base");
    qToLittleEndian<qint32>(kDirectoryVersion, header.data() + 256);
    qToLittleEndian<qint32>(-1, header.data() + 261);
    QByteArray version101 = header;
    qToLittleEndian<qint32>(101, version101.data() + 256);
    QByteArray lowerCase = header;
    lowerCase.replace(1, 9, "data base");

    QTest::newRow("version 101") << "v101" << version101 << QStringList{"tree"}
                                 << "Incorrect data base version: \"%1.dir\"\n";
    QTest::newRow("signature") << "sig" << lowerCase << QStringList{"tree"}
                               << "The database file has an unknown format: \"%1.dir\"\n";
    QTest::newRow("short header") << "short" << header.left(100) << QStringList{"tree"}
                                  << "File read error:\"%1.dir\"\n";
    QTest::newRow("missing base") << "missing" << QByteArray() << QStringList{"tree"}
                                  << "Open file error: \"%1.dir\"\n";
    QTest::newRow("missing page file") << "missing" << QByteArray() << QStringList{"page"}
                                       << "Open file error: \"%1.dat\"\n";
}

void TestCli::fileErrors() {
    QFETCH(QString, name);
    QFETCH(QByteArray, directoryFile);
    QFETCH(QStringList, command);
    QFETCH(QString, message);

    const QString base = path(name);
    if (!directoryFile.isEmpty())
        QVERIFY(test::writeFileBytes(base + ".dir", directoryFile));
    QStringList args = command;
    args << base;
    if (command.first() == QLatin1String("page"))
        args << QStringLiteral("0");
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), message.arg(base));
}

void TestCli::usageErrors_data() {
    QTest::addColumn<QStringList>("args"); // "BASE" stands for the fixture's base

    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"frob", "BASE"};
    QTest::newRow("tree without BASE") << QStringList{"tree"};
    QTest::newRow("tree with two bases") << QStringList{"tree", "BASE", "BASE"};
    QTest::newRow("tree with a page option") << QStringList{"tree", "BASE", "--all"};
    QTest::newRow("page without N") << QStringList{"page", "BASE"};
    QTest::newRow("page with an extra argument") << QStringList{"page", "BASE", "0", "1"};
    QTest::newRow("N not a number") << QStringList{"page", "BASE", "x"};
    QTest::newRow("N negative") << QStringList{"page", "BASE", "-1"};
    QTest::newRow("N with a sign") << QStringList{"page", "BASE", "+0"};
    QTest::newRow("N with blanks") << QStringList{"page", "BASE", " 0"};
    QTest::newRow("N too large") << QStringList{"page", "BASE", "4294967296"};
    QTest::newRow("bad view") << QStringList{"page", "BASE", "0", "--type-view", "wide"};
    QTest::newRow("bad switch") << QStringList{"page", "BASE", "0", "--crc=yes"};
    QTest::newRow("option without value") << QStringList{"page", "BASE", "0", "--speed"};
    QTest::newRow("flag with a value") << QStringList{"page", "BASE", "0", "--all=1"};
    QTest::newRow("unknown option") << QStringList{"page", "BASE", "0", "--rows"};
    QTest::newRow("short option") << QStringList{"page", "BASE", "0", "-a"};
}

void TestCli::usageErrors() {
    QFETCH(QStringList, args);
    args.replaceInStrings(QStringLiteral("BASE"), m_base);
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("tervane-cli: "), run.err.constData());
    QVERIFY(run.err.contains("\nUsage: tervane-cli COMMAND"));
}

void TestCli::help_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("alone") << QStringList{"--help"};
    QTest::newRow("short") << QStringList{"-h"};
    QTest::newRow("after a command") << QStringList{"page", "--help"};
}

void TestCli::help() {
    QFETCH(QStringList, args);
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QVERIFY(run.out.startsWith("Usage: tervane-cli COMMAND"));
    for (const char* word : {"tree BASE", "page BASE N", "--type-view", "--code-view", "--speed", "--crc", "--all"})
        QVERIFY2(run.out.contains(word), word);
}

void TestCli::demoBaseLoads() {
    const QString base = QStringLiteral(TERVANE_DEMO_BASE);
    const CliRun run = runCli({QStringLiteral("tree"), base + QStringLiteral(".dir")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    const QJsonObject tree = parseObject(run.out);
    const QJsonArray nodes = tree.value("nodes").toArray();
    const int pages = tree.value("pages").toInt();
    QVERIFY(!nodes.isEmpty());

    QSet<int> filePages;
    QStringList names;
    int expandedFolders = 0;
    for (const QJsonValue& value : nodes) {
        const QJsonObject node = value.toObject();
        names << node.value("name").toString();
        if (node.value("image").toInt() == ImageFile) {
            const int page = node.value("page").toInt();
            QVERIFY2(page >= 0 && page < pages, qPrintable(names.last()));
            filePages.insert(page);
        } else if (node.value("expanded").toBool()) {
            ++expandedFolders;
        }
    }
    // Every file owns its own page, and the pages run from 0.
    QCOMPARE(filePages.size(), pages);
    QVERIFY(expandedFolders >= 1);
    QVERIFY(names.contains(QStringLiteral("ул. Ленина")));
    const int selected = tree.value("selected").toInt();
    QVERIFY(selected >= 0 && selected < nodes.size());
    QCOMPARE(nodes.at(selected).toObject().value("image").toInt(), int(ImageFile));

    // Every key type, each with a sound code, and comments in both alphabets.
    QSet<int> types;
    bool cyrillicComment = false;
    bool latinComment = false;
    for (int n = 0; n < pages; ++n) {
        QVERIFY(runCli({QStringLiteral("page"), base, QString::number(n)}).exitCode == 0);
        KeyPage page;
        QVERIFY(ReadPage(base + ".dat", n, page));
        for (int row = 0; row < KeyPage::kRows; ++row) {
            const QByteArray comment = page.comment(row);
            cyrillicComment |= std::any_of(comment.begin(), comment.end(), [](char c) { return uchar(c) >= 0xC0; });
            latinComment |= !comment.isEmpty() &&
                            std::all_of(comment.begin(), comment.end(), [](char c) { return uchar(c) < 0x80; });
            for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
                const KeyCell cell = page.cell(row, column);
                if (!IsKeyOccupied(cell.type()))
                    continue;
                types.insert(cell.type());
                const KeyCode code = cell.code();
                if (cell.type() <= KeyTypeDallas4)
                    QCOMPARE(code[7], DallasCrc8(code.data(), 7));
                if (cell.type() == KeyTypeTm2002)
                    QVERIFY(IsValidTm2002Code(code));
                if (cell.type() == KeyTypeIndala)
                    QVERIFY(IsValidIndalaCode(code));
                if (cell.type() == KeyTypeHidProx)
                    QVERIFY(code[6] <= 0x1F);
            }
        }
    }
    QCOMPARE(types, (QSet<int>{1, 2, 3, 4, 128, 129, 130, 131}));
    QVERIFY(cyrillicComment);
    QVERIFY(latinComment);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_Cli.moc"
