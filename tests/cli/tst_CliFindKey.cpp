// tervane-cli's find-key, run as a script runs it, over a base built in the test.
#include "BaseBuilder.h"
#include "CliRun.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tervane;
using test::CliRun;
using test::runCli;

namespace {

// "path index page row column type" of each hit.
QStringList hitsOf(const QByteArray& json) {
    QStringList out;
    const QJsonArray hits = QJsonDocument::fromJson(json).object().value("hits").toArray();
    for (const QJsonValue& value : hits) {
        const QJsonObject h = value.toObject();
        QStringList path;
        for (const QJsonValue& name : h.value("path").toArray())
            path << name.toString();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                   .arg(path.join(QLatin1Char('/')))
                   .arg(h.value("index").toInt(-9))
                   .arg(h.value("page").toInt(-9))
                   .arg(h.value("row").toInt(-9))
                   .arg(h.value("column").toInt(-9))
                   .arg(h.value("type").toInt(-9));
    }
    return out;
}

// clang-format off
// The one hit of "find-key BASE 789A --type em410x": every member, in its order. (No raw strings:
// moc misreads them.)
const char* const kCardHit =
    "{\n"
    "  \"hits\": [\n"
    "    {\"path\": [\"Дом 1\", \"кв 5\"], \"index\": 1, \"page\": 1, \"row\": 7, \"column\": 3, \"type\": 128, "
    "\"code\": \"009A785634120600\", \"text\": \" EM410x - 123456789A - RF64\", \"comment\": \"Петров\"}\n"
    "  ]\n"
    "}\n";
// clang-format on

} // namespace

class TestCliFindKey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void output();
    void hits_data();
    void hits();
    void noBase();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir m_dir;
    QString m_base;
};

// Folder "Дом 1" with the file "кв 5" (page 1), then the file "Гараж" (page 0): tree order is
// not page order.
void TestCliFindKey::initTestCase() {
    QVERIFY(QFileInfo::exists(QStringLiteral(TERVANE_CLI)));
    test::BaseBuilder b;
    BaseNode* house = b.folder(QStringLiteral("Дом 1"));
    BaseNode* garage = b.file(QStringLiteral("Гараж"));     // page 0
    BaseNode* flat = b.file(QStringLiteral("кв 5"), house); // page 1
    KeyPage& flatPage = b.page(flat);
    flatPage.setCell(7, 3, test::cellFromHex("80 00 00 9A 78 56 34 12 06 00")); // DEZ 3.5C 086.30874
    flatPage.setComment(7, test::cp1251(QStringLiteral("Петров")));
    flatPage.setCell(8, 0, test::dallasCell(0x789A00));
    KeyPage& garagePage = b.page(garage);
    garagePage.setCell(0, 5, test::dallasCell(0x123456));
    garagePage.setCell(0, 4, test::cellFromHex("83 00 9A 78 00 00 00 00 00 80")); // Indala 000000789A
    m_base = m_dir.path() + QStringLiteral("/ключи");
    QVERIFY(b.write(m_base));
}

void TestCliFindKey::output() {
    const CliRun run = runCli({QStringLiteral("find-key"), m_base + QStringLiteral(".dir"), QStringLiteral("789A"),
                               QStringLiteral("--type"), QStringLiteral("em410x")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(kCardHit));
}

void TestCliFindKey::hits_data() {
    QTest::addColumn<QStringList>("args"); // after "find-key BASE"
    QTest::addColumn<QStringList>("hits");
    const QString card = QStringLiteral("Дом 1/кв 5 1 1 7 3 128");
    const QString dallas = QStringLiteral("Дом 1/кв 5 1 1 8 0 1");
    const QString indala = QStringLiteral("Гараж 2 0 0 4 131");
    QTest::newRow("every family, in tree order") << QStringList{"78 9a"} << QStringList{card, dallas, indala};
    QTest::newRow("one family") << QStringList{"789A", "--type", "dallas"} << QStringList{dallas};
    QTest::newRow("--type first") << QStringList{"--type=indala", "789A"} << QStringList{indala};
    QTest::newRow("no hit") << QStringList{"FEDCBA"} << QStringList{};
    QTest::newRow("DEZ 10") << QStringList{"--dec", "0878082202"} << QStringList{card};
    QTest::newRow("DEZ 8") << QStringList{"--dec", "05666970"} << QStringList{card};
    QTest::newRow("DEZ 3.5C") << QStringList{"--dec", "086,30874"} << QStringList{card};
    QTest::newRow("another card number") << QStringList{"--dec", "086.30875"} << QStringList{};
}

void TestCliFindKey::hits() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, hits);
    const CliRun run = runCli(QStringList{QStringLiteral("find-key"), m_base} + args);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(hitsOf(run.out), hits);
    if (hits.isEmpty())
        QCOMPARE(run.out, QByteArray("{\n  \"hits\": []\n}\n"));
}

void TestCliFindKey::noBase() {
    const QString missing = m_dir.path() + QStringLiteral("/нет");
    const CliRun run = runCli({QStringLiteral("find-key"), missing, QStringLiteral("12")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(QString::fromUtf8(run.err), QStringLiteral("Open file error: \"%1.dir\"\n").arg(missing));
}

void TestCliFindKey::usageErrors_data() {
    QTest::addColumn<QStringList>("args"); // after "find-key"; BASE stands for the base
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("no query") << QStringList{"BASE"} << QByteArray("BASE and QUERY");
    QTest::newRow("query and --dec") << QStringList{"BASE", "12", "--dec", "5"} << QByteArray("BASE and QUERY");
    QTest::newRow("--dec with --type") << QStringList{"BASE", "--dec", "5", "--type", "em410x"}
                                       << QByteArray("--type does not go with --dec");
    QTest::newRow("unknown type") << QStringList{"BASE", "12", "--type", "dallas4"} << QByteArray("dallas4");
    QTest::newRow("not hex") << QStringList{"BASE", "12G"} << QByteArray("hex digits");
    QTest::newRow("blanks only") << QStringList{"BASE", "  "} << QByteArray("no hex digit");
    QTest::newRow("13 digits") << QStringList{"BASE", "1234567890ABC"} << QByteArray("more than 12");
    QTest::newRow("hex card number") << QStringList{"BASE", "--dec", "12AB"} << QByteArray("card number");
    QTest::newRow("card number too large") << QStringList{"BASE", "--dec", "4294967296"} << QByteArray("too large");
}

void TestCliFindKey::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, reason);
    args.replaceInStrings(QStringLiteral("BASE"), m_base);
    const CliRun run = runCli(QStringList{QStringLiteral("find-key")} + args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("tervane-cli: ") && run.err.contains(reason), run.err.constData());
    QVERIFY(run.err.contains("find-key BASE --dec N"));
}

QTEST_GUILESS_MAIN(TestCliFindKey)
#include "tst_CliFindKey.moc"
