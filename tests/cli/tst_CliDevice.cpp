#include "BaseBuilder.h"
#include "CliRun.h"
#include "FileModes.h"
#include "OrvelSimProcess.h"
#include "TestEnvironment.h"

#include "base/KeyPage.h"
#include "keys/KeyCell.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace tervane;
using test::CliRun;
using test::cp1251;
using test::finishCli;
using test::readFileBytes;

namespace {

// A devices folder of its own for each test, shared by orvel-sim and tervane-cli through
// XDG_RUNTIME_DIR, so that nothing of the user's session is seen.
class DeviceWorld {
public:
    DeviceWorld() {
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    }

    void startCli(QProcess& process, const QStringList& args) const {
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TERVANE_CLI), args);
    }

    CliRun cli(const QStringList& args) const {
        QProcess process;
        startCli(process, args);
        return finishCli(process);
    }

    QTemporaryDir runtime;
    QTemporaryDir files;
    QProcessEnvironment env;
};

// orvel-sim as a second process, followed through the lines it prints.
// orvel-sim on the test's own devices folder, serving a programmer named "sim".
class OrvelSim : public tervane::test::OrvelSimProcess {
public:
    OrvelSim(const DeviceWorld& world, const QString& model, const QStringList& more = {})
        : tervane::test::OrvelSimProcess(
              QStringLiteral(ORVEL_SIM_PATH), world.env,
              QStringList{QStringLiteral("--model"), model, QStringLiteral("--name"), QStringLiteral("sim")} + more) {}
};

KeyCell cellOf(std::uint8_t type, const QByteArray& hexCode, std::uint8_t reserved = 0) {
    const QByteArray bytes = QByteArray::fromHex(hexCode);
    KeyCell cell;
    cell.setType(type);
    KeyCode code{};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), 8), code.begin());
    cell.setCode(code);
    cell.bytes[1] = reserved;
    return cell;
}

QByteArray pageBytes(const QByteArray& file, int n) {
    return file.mid(qsizetype(n) * KeyPage::kSize, KeyPage::kSize);
}

QByteArray bytesOf(const KeyPage& page) {
    return QByteArray(reinterpret_cast<const char*>(page.data()), KeyPage::kSize);
}

QByteArray lastLine(const QByteArray& text) {
    const QList<QByteArray> lines = text.trimmed().split('\n');
    return lines.isEmpty() ? QByteArray() : lines.last();
}

// The rows of the memory that the tests fill, and what each keeps after a round trip.
struct FixtureRow {
    int row;
    KeyCell cell;
    QByteArray comment;
};

QList<FixtureRow> fixtureRows() {
    return {
        {0, cellOf(KeyTypeDallas, "01A2B3C4D5E6F700", 0x33), cp1251(QStringLiteral("кв. 1 Иванов И.И."))},
        {1, cellOf(KeyTypeIndala, "1234567890000080"), "0123456789012345678901234567890123456789"},
        {2, cellOf(KeyTypeEm410x, "0012345678AB0300"), QByteArray()},
        {99, cellOf(KeyTypeCyfral, "0000B7E200000000"), "last Lark row"},
        {100, cellOf(KeyTypeTm2002, "015A3C1E0F000000"), "first row past a Lark"},
        {499, cellOf(KeyTypeHidProx, "0001A2B3C4D50000"), "last row"},
    };
}

} // namespace

class TestCliDevice : public QObject {
    Q_OBJECT

private slots:
    void usage_data();
    void usage();
    void withoutProgrammer_data();
    void withoutProgrammer();
    void identify_data();
    void identify();
    void readKeys();
    void readCancelledOnProgrammer();
    void uploadThenDownload_data();
    void uploadThenDownload();
    void downloadLastRowFails();
    void downloadProgrammerReplaced();
    void downloadRowsFilledOnTheProgrammer();
    void downloadMissingPage();
    void downloadKeepsThePageFileMode_data();
    void downloadKeepsThePageFileMode();

private:
    // A base of three pages: the source page 0 with keys in every column, pages 1 and 2 with
    // something a download must replace or keep.
    QString writeFixtureBase(const DeviceWorld& world);
};

QString TestCliDevice::writeFixtureBase(const DeviceWorld& world) {
    test::TestEnvironment env;
    test::BaseBuilder builder;
    KeyPage& source = builder.page(builder.file(QStringLiteral("source")));
    for (const FixtureRow& f : fixtureRows()) {
        source.setCell(f.row, 0, f.cell);
        source.setComment(f.row, f.comment);
        for (int column = 1; column < KeyPage::kKeyColumns; ++column)
            source.setCell(f.row, column, test::dallasCell(quint64(f.row * 10 + column)));
    }
    // A comment without a first key does not reach the programmer.
    source.setComment(3, "no key here");
    source.setCell(3, 2, test::dallasCell(7));
    for (const QString& name : {QStringLiteral("target"), QStringLiteral("other")}) {
        KeyPage& page = builder.page(builder.file(name));
        for (int row = 0; row < KeyPage::kRows; row += 3) {
            page.setCell(row, row % KeyPage::kKeyColumns, test::dallasCell(quint64(row + 1)));
            page.setComment(row, name.toLatin1() + QByteArray::number(row));
        }
    }
    const QString base = world.files.path() + QStringLiteral("/base");
    return builder.write(base) ? base : QString();
}

void TestCliDevice::usage_data() {
    QTest::addColumn<QStringList>("args");

    QTest::newRow("no device command") << QStringList{"device"};
    QTest::newRow("unknown device command") << QStringList{"device", "format"};
    QTest::newRow("identify with an argument") << QStringList{"device", "identify", "x"};
    QTest::newRow("count 0") << QStringList{"device", "read", "--count", "0"};
    QTest::newRow("count not a number") << QStringList{"device", "read", "--count=many"};
    QTest::newRow("count without value") << QStringList{"device", "read", "--count"};
    QTest::newRow("download without page") << QStringList{"device", "download", "base"};
    QTest::newRow("download negative page") << QStringList{"device", "download", "base", "-1"};
    QTest::newRow("rows 200") << QStringList{"device", "upload", "base", "0", "--rows", "200"};
    QTest::newRow("unknown option") << QStringList{"device", "upload", "base", "0", "--fast"};
}

// A bad command line is told before anything is opened: no programmer is needed.
void TestCliDevice::usage() {
    QFETCH(QStringList, args);
    DeviceWorld world;
    const CliRun run = world.cli(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.err.startsWith("tervane-cli: "));
}

void TestCliDevice::withoutProgrammer_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out");

    QTest::newRow("identify") << QStringList{"device", "identify"}
                              << QByteArray("{\"connected\": false, \"answered\": false, \"letter\": null, \"model\": "
                                            "null, \"firmware\": null, \"firmwareOk\": false}\n");
    QTest::newRow("read") << QStringList{"device", "read", "--count", "3"} << QByteArray();
    QTest::newRow("download") << QStringList{"device", "download", "BASE", "1"} << QByteArray();
    QTest::newRow("upload") << QStringList{"device", "upload", "BASE", "0", "--rows", "100"} << QByteArray();
}

void TestCliDevice::withoutProgrammer() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    const QByteArray before = readFileBytes(base + ".dat");
    args.replaceInStrings(QStringLiteral("BASE"), base);

    const CliRun run = world.cli(args);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, QByteArray("Data transfer error.\n"));
    QCOMPARE(readFileBytes(base + ".dat"), before);
}

void TestCliDevice::identify_data() {
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QByteArray>("out");

    QTest::newRow("Kestrel") << QStringList{"kestrel", "--firmware", "1.36"}
                             << QByteArray("{\"connected\": true, \"answered\": true, \"letter\": \"U\", \"model\": "
                                           "\"Kestrel\", \"firmware\": \"1.36\", \"firmwareOk\": true}\n");
    QTest::newRow("Lark B, old firmware") << QStringList{"B", "--firmware", "3.81"}
                                          << QByteArray("{\"connected\": true, \"answered\": true, \"letter\": \"B\", "
                                                        "\"model\": \"Lark\", \"firmware\": \"3.81\", \"firmwareOk\": "
                                                        "false}\n");
    // An answered probe is success even when the model is not known.
    QTest::newRow("unknown letter") << QStringList{"b", "--firmware", "9.99"}
                                    << QByteArray("{\"connected\": true, \"answered\": true, \"letter\": \"b\", "
                                                  "\"model\": null, \"firmware\": \"9.99\", \"firmwareOk\": false}\n");
}

void TestCliDevice::identify() {
    QFETCH(QStringList, simArgs);
    QFETCH(QByteArray, out);
    DeviceWorld world;
    OrvelSim sim(world, simArgs.first(), simArgs.mid(1));
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());

    const CliRun run = world.cli({QStringLiteral("device"), QStringLiteral("identify")});
    QCOMPARE(run.out, out);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
}

// Each key is armed on its own and waited for as long as it takes; the programmer is stopped
// at the end.
void TestCliDevice::readKeys() {
    DeviceWorld world;
    OrvelSim sim(world, QStringLiteral("kestrel"));
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());

    QProcess cli;
    world.startCli(cli,
                   {QStringLiteral("device"), QStringLiteral("read"), QStringLiteral("--count"), QStringLiteral("2")});
    QCOMPARE(sim.waitForLine(QStringLiteral("command read-keys")), QStringLiteral("command read-keys"));
    QTest::qWait(300);
    QCOMPARE(cli.state(), QProcess::Running);
    sim.command("key 1 01A2B3C4D5E6F700");
    QCOMPARE(sim.waitForLine(QStringLiteral("command read-keys")), QStringLiteral("command read-keys"));
    sim.command("key 128 0012345678AB0300");
    const CliRun run = finishCli(cli);

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("{\"type\": 1, \"code\": \"01A2B3C4D5E6F700\", \"text\": \" DS1990 - F7E6D5C4B3A2\"}\n"
                                 "{\"type\": 128, \"code\": \"0012345678AB0300\", \"text\": \" EM410x - AB78563412 - "
                                 "RF32\"}\n"));
    QCOMPARE(sim.waitForLine(QStringLiteral("command")), QStringLiteral("command stop"));
    QCOMPARE(sim.count(QStringLiteral("command read-keys")), 2);
}

void TestCliDevice::readCancelledOnProgrammer() {
    DeviceWorld world;
    OrvelSim sim(world, QStringLiteral("lark"));
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());

    QProcess cli;
    world.startCli(cli, {QStringLiteral("device"), QStringLiteral("read")});
    QVERIFY(!sim.waitForLine(QStringLiteral("command read-keys")).isEmpty());
    sim.command("cancel");
    const CliRun run = finishCli(cli);

    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err, QByteArray("The programmer cancelled the reading.\n"));
    QCOMPARE(sim.waitForLine(QStringLiteral("command")), QStringLiteral("command stop"));
}

void TestCliDevice::uploadThenDownload_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("rowsOption");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("memoryRows");

    QTest::newRow("Lark") << QStringLiteral("lark") << QStringList() << 100 << 100;
    QTest::newRow("Kestrel") << QStringLiteral("kestrel") << QStringList() << 500 << 500;
    // The simulated Lark keeps 100 rows and reads the rows past them as empty.
    QTest::newRow("Lark, --rows 500") << QStringLiteral("lark") << QStringList{"--rows", "500"} << 500 << 100;
    QTest::newRow("Wren, --rows 100") << QStringLiteral("wren") << QStringList{"--rows", "100"} << 100 << 100;
}

// Page 0 goes up, then the memory comes back down into page 1: page 1 ends up holding exactly
// the first keys and the first 25 characters of their names, and nothing else of the base moves.
void TestCliDevice::uploadThenDownload() {
    QFETCH(QString, model);
    QFETCH(QStringList, rowsOption);
    QFETCH(int, rows);
    QFETCH(int, memoryRows);
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    const QByteArray directory = readFileBytes(base + ".dir");
    const QByteArray before = readFileBytes(base + ".dat");
    OrvelSim sim(world, model);
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());

    const CliRun up = world.cli(QStringList{"device", "upload", base + ".dir", "0"} + rowsOption);
    QCOMPARE(up.err, QByteArray());
    QCOMPARE(up.out, QStringLiteral("{\"page\": 0, \"rows\": %1}\n").arg(rows).toUtf8());
    QCOMPARE(up.exitCode, 0);
    QCOMPARE(sim.waitForLine(QStringLiteral("command write-row %1").arg(rows - 1)),
             QStringLiteral("command write-row %1").arg(rows - 1));
    QCOMPARE(sim.waitForLine(QStringLiteral("command")), QStringLiteral("command stop"));
    QCOMPARE(sim.count(QStringLiteral("command write-row")), rows);
    QCOMPARE(readFileBytes(base + ".dat"), before);

    // The page file is replaced by a new file, not written in place: a reader of the old one
    // still sees it whole.
    QFile old(base + ".dat");
    QVERIFY(old.open(QIODevice::ReadOnly));
    const CliRun down = world.cli(QStringList{"device", "download", base, "1"} + rowsOption);
    QCOMPARE(down.err, QByteArray());
    QCOMPARE(down.out, QStringLiteral("{\"page\": 1, \"rows\": %1}\n").arg(rows).toUtf8());
    QCOMPARE(down.exitCode, 0);
    QVERIFY(!sim.waitForLine(QStringLiteral("command read-row %1").arg(rows - 1)).isEmpty());
    QCOMPARE(sim.waitForLine(QStringLiteral("command")), QStringLiteral("command stop"));
    QCOMPARE(sim.count(QStringLiteral("command read-row")), rows);

    auto expected = std::make_unique<KeyPage>();
    for (const FixtureRow& f : fixtureRows()) {
        if (f.row >= memoryRows)
            continue;
        KeyCell cell = f.cell;
        cell.bytes[1] = 0; // the memory has no reserved byte
        expected->setCell(f.row, 0, cell);
        expected->setComment(f.row, f.comment.left(25));
    }
    const QByteArray after = readFileBytes(base + ".dat");
    QCOMPARE(after.size(), before.size());
    QCOMPARE(pageBytes(after, 1), bytesOf(*expected));
    QCOMPARE(pageBytes(after, 0), pageBytes(before, 0));
    QCOMPARE(pageBytes(after, 2), pageBytes(before, 2));
    QCOMPARE(readFileBytes(base + ".dir"), directory);
    QCOMPARE(old.readAll(), before);
}

// Rows put into the programmer's memory from its console come down as the first key of their
// page rows, with their names as comments; an Indala code is turned back by one bit.
void TestCliDevice::downloadRowsFilledOnTheProgrammer() {
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    OrvelSim sim(world, QStringLiteral("kestrel"));
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());
    sim.command("row 5 1 0156341200000005 Петров кв 7");
    QCOMPARE(sim.waitForLine(QStringLiteral("row")), QStringLiteral("row 5 set"));
    sim.command("row 499 131 0300000000000001");
    QCOMPARE(sim.waitForLine(QStringLiteral("row")), QStringLiteral("row 499 set"));

    const CliRun down = world.cli({QStringLiteral("device"), QStringLiteral("download"), base, QStringLiteral("2")});
    QCOMPARE(down.err, QByteArray());
    QCOMPARE(down.exitCode, 0);
    auto expected = std::make_unique<KeyPage>();
    expected->setCell(5, 0, cellOf(1, "0156341200000005"));
    expected->setComment(5, cp1251(QStringLiteral("Петров кв 7")));
    expected->setCell(499, 0, cellOf(131, "0100000000008080"));
    QCOMPARE(pageBytes(readFileBytes(base + ".dat"), 2), bytesOf(*expected));
}

// The page is looked at before the programmer: a page the base does not have costs no traffic.
void TestCliDevice::downloadMissingPage() {
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    const QByteArray before = readFileBytes(base + ".dat");

    const CliRun run = world.cli({QStringLiteral("device"), QStringLiteral("download"), base, QStringLiteral("3")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "File read error:\"" + QFile::encodeName(base) + ".dat\"\n");
    QCOMPARE(readFileBytes(base + ".dat"), before);
}

// The replaced page file keeps its mode; one marked read-only is refused before any traffic.
void TestCliDevice::downloadKeepsThePageFileMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("written");
    QTest::newRow("0640 kept") << 0640 << true;
    QTest::newRow("0600 kept") << 0600 << true;
    QTest::newRow("0444 refused") << 0444 << false;
    QTest::newRow("0400 refused") << 0400 << false;
}

void TestCliDevice::downloadKeepsThePageFileMode() {
    QFETCH(int, mode);
    QFETCH(bool, written);
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    const QString dat = base + ".dat";
    QVERIFY(tervane::test::setMode(dat, mode));
    const QByteArray before = readFileBytes(dat);
    OrvelSim sim(world, QStringLiteral("kestrel"));
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());

    const CliRun run = world.cli({QStringLiteral("device"), QStringLiteral("download"), base, QStringLiteral("1")});
    QCOMPARE(tervane::test::modeOf(dat), mode);
    if (written) {
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(readFileBytes(dat) != before);
    } else {
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, "Create file error: \"" + QFile::encodeName(dat) + "\"\n");
        QCOMPARE(readFileBytes(dat), before);
        QCOMPARE(sim.count(QStringLiteral("command read-row")), 0);
    }
}

// Every row answers with another row's number: the last row fails, and the base stays as it was.
void TestCliDevice::downloadLastRowFails() {
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    const QByteArray before = readFileBytes(base + ".dat");
    OrvelSim sim(world, QStringLiteral("lark"));
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());
    sim.command("fault wrong-echo 1000");
    QVERIFY(!sim.waitForLine(QStringLiteral("fault set")).isEmpty());

    const CliRun run = world.cli({QStringLiteral("device"), QStringLiteral("download"), base, QStringLiteral("1")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(lastLine(run.err), QByteArray("Data transfer error."));
    QCOMPARE(readFileBytes(base + ".dat"), before);
    QVERIFY(!sim.waitForLine(QStringLiteral("command read-row 99")).isEmpty());
    QCOMPARE(sim.waitForLine(QStringLiteral("command")), QStringLiteral("command stop"));
    QCOMPARE(sim.count(QStringLiteral("command read-row")), 100);
}

// The programmer in use is pulled out during a download while another one stays plugged in:
// the download ends there and the base keeps its page, instead of being made of two
// programmers' rows; the other programmer hears nothing, not even a CmdStop.
void TestCliDevice::downloadProgrammerReplaced() {
    DeviceWorld world;
    const QString base = writeFixtureBase(world);
    QVERIFY(!base.isEmpty());
    const QByteArray before = readFileBytes(base + ".dat");
    OrvelSim first(world, QStringLiteral("kestrel"));
    QVERIFY(!first.waitForLine(QStringLiteral("plugged")).isEmpty());
    OrvelSim other(world, QStringLiteral("kestrel"), {QStringLiteral("--name"), QStringLiteral("zz")});
    QVERIFY(!other.waitForLine(QStringLiteral("plugged")).isEmpty());
    // CmdIdentify, CmdStop and rows 0 to 9 come through (the rows naming another row, which a
    // download survives), then row 10 pulls the programmer out.
    first.command("fault wrong-echo 12");
    QVERIFY(!first.waitForLine(QStringLiteral("fault set")).isEmpty());
    first.command("fault unplug");
    QVERIFY(!first.waitForLine(QStringLiteral("fault set")).isEmpty());

    const CliRun run = world.cli({QStringLiteral("device"), QStringLiteral("download"), base, QStringLiteral("1")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(readFileBytes(base + ".dat"), before);
    QVERIFY(!first.waitForLine(QStringLiteral("unplugged")).isEmpty());
    QCOMPARE(first.count(QStringLiteral("command read-row")), 11);
    QCOMPARE(other.waitForLine(QStringLiteral("command"), 500), QString());
}

QTEST_GUILESS_MAIN(TestCliDevice)
#include "tst_CliDevice.moc"
