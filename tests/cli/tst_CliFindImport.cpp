// tervane-cli's find and import-viz, run as a script runs them, over bases and VIZIT_DM files
// built byte by byte.
#include "BaseBuilder.h"
#include "CliRun.h"
#include "FileModes.h"
#include "TestEnvironment.h"

#include "base/BaseSave.h"
#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "base/VizitImport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tervane;
using test::CliRun;
using test::cp1251;
using test::finishCli;

namespace {

QJsonObject parseObject(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << error.errorString() << json.left(200);
    return document.object();
}

// "index name level page" of each match.
QStringList matchesOf(const QByteArray& json) {
    QStringList out;
    for (const QJsonValue& value : parseObject(json).value("matches").toArray()) {
        const QJsonObject m = value.toObject();
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(m.value("index").toInt(-9))
                   .arg(m.value("name").toString())
                   .arg(m.value("level").toInt(-9))
                   .arg(m.value("page").toInt(-9));
    }
    return out;
}

// A file with keys in slots 0 (12 34 56, a lost 78) and 2400 (01 02 03); the others empty.
QByteArray vizBytes() {
    QByteArray bytes(kVizitFileSize, '\xFF');
    bytes.replace(0, 4, QByteArray::fromHex("12345678"));
    bytes.replace(2400 * 4, 4, QByteArray::fromHex("010203FF"));
    return bytes;
}

// clang-format off
// The file above as Dallas keys, printed with the default views. (No raw strings: moc misreads them.)
const char* const kImportedPage =
    "{\n"
    "  \"page\": null,\n"
    "  \"used\": 2,\n"
    "  \"rows\": [\n"
    "    {\"row\": 0, \"cells\": [\" DS1990 - 000000563412\", \"\", \"\", \"\", \"\", \"\"], \"comment\": \"\"},\n"
    "    {\"row\": 400, \"cells\": [\" DS1990 - 000000030201\", \"\", \"\", \"\", \"\", \"\"], \"comment\": \"\"}\n"
    "  ]\n"
    "}\n";

const char* const kFoundHouses =
    "{\n"
    "  \"matches\": [\n"
    "    {\"index\": 0, \"name\": \"Дом 1\", \"level\": 0, \"page\": -1},\n"
    "    {\"index\": 2, \"name\": \"ДОМ 2\", \"level\": 1, \"page\": 1},\n"
    "    {\"index\": 5, \"name\": \"дом 7\", \"level\": 1, \"page\": 3}\n"
    "  ]\n"
    "}\n";
// clang-format on

} // namespace

class TestCliFindImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void findOutput();
    void findMatches_data();
    void findMatches();
    void importPrintsThePage();
    void importTypes_data();
    void importTypes();
    void importIntoReplacesOnePage();
    void fileErrors_data();
    void fileErrors();
    void baseLockedBySaveOfAnotherInstance();
    void usageErrors_data();
    void usageErrors();
    void help();

private:
    // Runs tervane-cli with its working copies in a folder of the test's, which ends up empty.
    CliRun runCli(const QStringList& args) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TEMP"), tempFolder());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TERVANE_CLI), args);
        return finishCli(process);
    }
    QString tempFolder() const { return m_dir.path() + QStringLiteral("/temp"); }
    QStringList leftInTemp() const { return QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden); }

    // Folder "Дом 1" (open) with the files "кв 5" (page 0) and "ДОМ 2" (page 1); the file
    // "Garage" (page 2); folder "Подъезд "Ёлка"" with the file "дом 7" (page 3). Every page
    // holds a Dallas key in row 0 and the comment "page n" in row 1.
    void writeBase();
    QString path(const QString& name) const { return m_dir.path() + QStringLiteral("/ключи/") + name; }

    test::TestEnvironment m_env;
    QTemporaryDir m_dir;
    QString m_base;
    QString m_viz;
};

void TestCliFindImport::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(QFileInfo::exists(QStringLiteral(TERVANE_CLI)));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("ключи")));
    QVERIFY(QDir().mkpath(tempFolder()));
    m_base = path(QStringLiteral("город"));
    m_viz = path(QStringLiteral("визит.viz"));
    QVERIFY(test::writeFileBytes(m_viz, vizBytes()));
}

void TestCliFindImport::init() {
    writeBase();
}

void TestCliFindImport::writeBase() {
    BaseTree tree;
    auto add = [&tree](BaseNode* parent, const QString& name, int page) {
        BaseNode* node = tree.addChild(parent);
        node->text = cp1251(name);
        if (page >= 0) {
            node->imageIndex = ImageFile;
            node->selectedIndex = ImageFileSelected;
            node->pageNumber = page;
        }
        return node;
    };
    BaseNode* house = add(nullptr, QStringLiteral("Дом 1"), -1);
    house->expanded = true;
    add(house, QStringLiteral("кв 5"), 0);
    add(house, QStringLiteral("ДОМ 2"), 1);
    tree.select(add(nullptr, QStringLiteral("Garage"), 2));
    BaseNode* entrance = add(nullptr, QStringLiteral("Подъезд \"Ёлка\""), -1);
    add(entrance, QStringLiteral("дом 7"), 3);
    QVERIFY(SaveDirectory(m_base + ".dir", tree));

    QFile::remove(m_base + ".dat");
    for (int n = 0; n < 4; ++n) {
        KeyPage page;
        page.setCell(0, 0, test::dallasCell(quint64(0x100 + n)));
        page.setComment(1, "page " + QByteArray::number(n));
        std::int32_t number = -1;
        QVERIFY(AppendPage(m_base + ".dat", number));
        QVERIFY(WritePage(m_base + ".dat", number, page));
    }
}

void TestCliFindImport::findOutput() {
    const CliRun run = runCli({QStringLiteral("find"), m_base, QStringLiteral("дом")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(kFoundHouses));
}

void TestCliFindImport::findMatches_data() {
    QTest::addColumn<QStringList>("args"); // after "find BASE"
    QTest::addColumn<QStringList>("matches");

    QTest::newRow("capitals find every case")
        << QStringList{"ДОМ"} << QStringList{"0 Дом 1 0 -1", "2 ДОМ 2 1 1", "5 дом 7 1 3"};
    QTest::newRow("--case") << QStringList{"ДОМ", "--case"} << QStringList{"2 ДОМ 2 1 1"};
    QTest::newRow("--case first") << QStringList{"--case", "дом"} << QStringList{"5 дом 7 1 3"};
    QTest::newRow("ё finds Ё") << QStringList{"ёлка"} << QStringList{"4 Подъезд \"Ёлка\" 0 -1"};
    QTest::newRow("Latin") << QStringList{"GAR"} << QStringList{"3 Garage 0 2"};
    QTest::newRow("inside a name") << QStringList{"м 1"} << QStringList{"0 Дом 1 0 -1"};
    QTest::newRow("no match") << QStringList{"Чердак"} << QStringList{};
    QTest::newRow("empty text matches nothing") << QStringList{""} << QStringList{};
    QTest::newRow("a character no name holds") << QStringList{"☃"} << QStringList{};
    QTest::newRow("text after --") << QStringList{"--", "-x"} << QStringList{};
}

void TestCliFindImport::findMatches() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, matches);
    const CliRun run = runCli(QStringList{QStringLiteral("find"), m_base + QStringLiteral(".dir")} + args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(matchesOf(run.out), matches);
}

void TestCliFindImport::importPrintsThePage() {
    const CliRun run = runCli({QStringLiteral("import-viz"), m_viz, QStringLiteral("--as"), QStringLiteral("dallas")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(kImportedPage));
}

void TestCliFindImport::importTypes_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("first"); // row 0's first cell
    QTest::newRow("dallas") << "dallas"
                            << " DS1990 - 000000563412";
    QTest::newRow("cyfral") << "cyfral"
                            << " CYFRAL - 3412 ";
    QTest::newRow("tm2002") << "tm2002"
                            << " TM2002 - 00563412 ";
    QTest::newRow("em410x") << "em410x"
                            << " EM410x - 0000563412 - RF64";
}

void TestCliFindImport::importTypes() {
    QFETCH(QString, type);
    QFETCH(QString, first);
    const CliRun run = runCli({QStringLiteral("import-viz"), QStringLiteral("--as=") + type, m_viz});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject page = parseObject(run.out);
    QVERIFY(page.value("page").isNull());
    QCOMPARE(page.value("used").toInt(), 2);
    const QJsonArray rows = page.value("rows").toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toObject().value("cells").toArray().at(0).toString(), first);
    QCOMPARE(rows.at(1).toObject().value("row").toInt(), 400);
}

void TestCliFindImport::importIntoReplacesOnePage() {
    const QString dat = m_base + QStringLiteral(".dat");
    const QByteArray dir = test::readFileBytes(m_base + ".dir");
    const QByteArray before = test::readFileBytes(dat);
    QVERIFY(test::setMode(dat, 0640));

    const CliRun run = runCli({QStringLiteral("import-viz"), m_viz, QStringLiteral("--into"), m_base,
                               QStringLiteral("2"), QStringLiteral("--as"), QStringLiteral("em410x")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("{\"page\": 2, \"keys\": 2}\n"));

    KeyPage page;
    QVERIFY(ReadPage(dat, 2, page));
    KeyPage expected;
    QVERIFY(readVizitPage(vizBytes(), VizitKeyType::Em410x, expected));
    QVERIFY(page == expected); // the old key and comment are gone
    const QByteArray after = test::readFileBytes(dat);
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(2 * KeyPage::kSize), before.left(2 * KeyPage::kSize));
    QCOMPARE(after.mid(3 * KeyPage::kSize), before.mid(3 * KeyPage::kSize));
    QCOMPARE(test::readFileBytes(m_base + ".dir"), dir);
    QCOMPARE(test::modeOf(dat), 0640);
    // The replacement and the lock leave nothing behind.
    QCOMPARE(QDir(path(QString())).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({QStringLiteral("визит.viz"), QStringLiteral("город.dat"), QStringLiteral("город.dir")}));
    QCOMPARE(leftInTemp(), QStringList());

    // The base given by its directory file names the same base.
    const CliRun again = runCli({QStringLiteral("import-viz"), m_viz, QStringLiteral("--as"), QStringLiteral("dallas"),
                                 QStringLiteral("--into"), m_base + QStringLiteral(".dir"), QStringLiteral("0")});
    QCOMPARE(again.exitCode, 0);
    QVERIFY(ReadPage(dat, 0, page));
    QCOMPARE(page.cellType(400, 0), KeyTypeDallas);
}

void TestCliFindImport::fileErrors_data() {
    QTest::addColumn<QStringList>("args"); // VIZ, SHORT, BASE, MISSING stand for paths
    QTest::addColumn<QString>("message");  // the same words stand for the same paths

    QTest::newRow("short file") << QStringList{"import-viz", "SHORT", "--as", "dallas"}
                                << "File read error:\"SHORT\"\n";
    QTest::newRow("short file into a base")
        << QStringList{"import-viz", "SHORT", "--as", "cyfral", "--into", "BASE", "1"} << "File read error:\"SHORT\"\n";
    QTest::newRow("no file") << QStringList{"import-viz", "MISSING.viz", "--as", "tm2002"}
                             << "Open file error: \"MISSING.viz\"\n";
    QTest::newRow("no base") << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into", "MISSING", "0"}
                             << "Open file error: \"MISSING.dir\"\n";
    QTest::newRow("page file marked read-only")
        << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into", "BASE", "0", "READONLY"}
        << "Create file error: \"BASE.dat\"\n";
    QTest::newRow("find in no base") << QStringList{"find", "MISSING", "дом"} << "Open file error: \"MISSING.dir\"\n";
}

void TestCliFindImport::fileErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    const QString shortFile = path(QStringLiteral("short.viz"));
    QVERIFY(test::writeFileBytes(shortFile, vizBytes().chopped(1)));
    const QString dat = m_base + QStringLiteral(".dat");
    if (args.removeAll(QStringLiteral("READONLY")))
        QVERIFY(test::setMode(dat, 0444));
    const QByteArray before = test::readFileBytes(dat);
    const auto substitute = [&](QString text) {
        return text.replace(QStringLiteral("SHORT"), shortFile)
            .replace(QStringLiteral("MISSING"), path(QStringLiteral("нет")))
            .replace(QStringLiteral("BASE"), m_base)
            .replace(QStringLiteral("VIZ"), m_viz);
    };
    for (QString& arg : args)
        arg = substitute(arg);

    const CliRun run = runCli(args);
    QVERIFY(test::setMode(dat, 0644));
    QFile::remove(shortFile);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), substitute(message));
    QCOMPARE(test::readFileBytes(dat), before);
    QCOMPARE(leftInTemp(), QStringList());
}

void TestCliFindImport::baseLockedBySaveOfAnotherInstance() {
    // This process stands for an editor in the middle of saving the base.
    QLockFile lock(baseLockPath(m_base));
    QVERIFY(lock.tryLock(0));
    const QByteArray before = test::readFileBytes(m_base + ".dat");
    const CliRun run = runCli({QStringLiteral("import-viz"), m_viz, QStringLiteral("--as"), QStringLiteral("dallas"),
                               QStringLiteral("--into"), m_base, QStringLiteral("0")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QString::fromUtf8(run.err), QStringLiteral("Open file error: \"%1.dir\"\n").arg(m_base));
    QCOMPARE(test::readFileBytes(m_base + ".dat"), before);
}

void TestCliFindImport::usageErrors_data() {
    QTest::addColumn<QStringList>("args"); // BASE and VIZ stand for the fixture's files

    QTest::newRow("find without TEXT") << QStringList{"find", "BASE"};
    QTest::newRow("find with two texts") << QStringList{"find", "BASE", "a", "b"};
    QTest::newRow("find with an unknown option") << QStringList{"find", "BASE", "a", "--all"};
    QTest::newRow("find --case with a value") << QStringList{"find", "BASE", "a", "--case=yes"};
    QTest::newRow("import without --as") << QStringList{"import-viz", "VIZ"};
    QTest::newRow("import without FILE") << QStringList{"import-viz", "--as", "dallas"};
    QTest::newRow("import with two files") << QStringList{"import-viz", "VIZ", "VIZ", "--as", "dallas"};
    QTest::newRow("unknown type") << QStringList{"import-viz", "VIZ", "--as", "indala"};
    QTest::newRow("type in capitals") << QStringList{"import-viz", "VIZ", "--as", "DALLAS"};
    QTest::newRow("--into without N") << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into", "BASE"};
    QTest::newRow("--into N not a number") << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into", "BASE", "x"};
    QTest::newRow("--into N past the last page")
        << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into", "BASE", "4"};
    QTest::newRow("--into N negative") << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into", "BASE", "-1"};
    QTest::newRow("--into twice") << QStringList{"import-viz", "VIZ", "--as",   "dallas", "--into",
                                                 "BASE",       "0",   "--into", "BASE",   "1"};
    QTest::newRow("--into=BASE") << QStringList{"import-viz", "VIZ", "--as", "dallas", "--into=BASE", "0"};
}

void TestCliFindImport::usageErrors() {
    QFETCH(QStringList, args);
    args.replaceInStrings(QStringLiteral("BASE"), m_base);
    args.replaceInStrings(QStringLiteral("VIZ"), m_viz);
    const QByteArray before = test::readFileBytes(m_base + ".dat");
    const QByteArray dir = test::readFileBytes(m_base + ".dir");
    const CliRun run = runCli(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("tervane-cli: "), run.err.constData());
    QVERIFY(run.err.contains("\nUsage: tervane-cli COMMAND"));
    QCOMPARE(test::readFileBytes(m_base + ".dat"), before);
    QCOMPARE(test::readFileBytes(m_base + ".dir"), dir);
    QCOMPARE(leftInTemp(), QStringList());
}

void TestCliFindImport::help() {
    const CliRun run = runCli({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    for (const char* words :
         {"find BASE TEXT [--case]", "import-viz FILE --as dallas|cyfral|tm2002|em410x", "[--into BASE N]"})
        QVERIFY2(run.out.contains(words), words);
}

QTEST_GUILESS_MAIN(TestCliFindImport)
#include "tst_CliFindImport.moc"
