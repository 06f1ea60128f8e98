#include "DeviceTestRig.h"

#include "base/KeyPage.h"
#include "device/DeviceModel.h"
#include "device/KeyBaseTransfer.h"

#include <QTest>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace tervane;
using namespace tervane::test;
using Fault = ProgrammerSimulator::Fault;
using Row = ProgrammerSimulator::Row;

Q_DECLARE_METATYPE(KeyCode)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(TransferResult)

namespace {

KeyCode codeOf(const QByteArray& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    KeyCode code{};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), 8), code.begin());
    return code;
}

// A row of the programmer's memory: type, name field bytes as given (up to 25), code.
Row memoryRow(std::uint8_t type, const QByteArray& name, const KeyCode& code) {
    Row row{};
    row[0] = type;
    std::copy_n(name.constData(), std::min<qsizetype>(name.size(), 25), row.begin() + 1);
    std::copy(code.begin(), code.end(), row.begin() + 26);
    return row;
}

KeyCell cellOf(std::uint8_t type, const KeyCode& code) {
    KeyCell cell;
    cell.setType(type);
    cell.setCode(code);
    return cell;
}

// A page that a download must replace whole: keys in every column and comments past row 100.
std::unique_ptr<KeyPage> busyPage() {
    auto page = std::make_unique<KeyPage>();
    for (int row = 0; row < KeyPage::kRows; row += 7) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page->setCell(row, column, cellOf(KeyTypeCyfral, codeOf("0000000000001234")));
        page->setComment(row, "old " + QByteArray::number(row));
    }
    return page;
}

// The row number of a CmdReadBaseRow or CmdWriteBaseRow report, low byte first.
int rowOf(const Report& report) {
    return report[2] | (report[3] << 8);
}

QList<int> rowsSent(const ProgrammerSimulator& simulator, std::uint8_t code) {
    QList<int> rows;
    for (const Report& report : simulator.log()) {
        if (report[1] == code)
            rows << rowOf(report);
    }
    return rows;
}

QList<int> range(int from, int to) {
    QList<int> rows;
    for (int row = from; row <= to; ++row)
        rows << row;
    return rows;
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

private slots:
    void rowCount_data();
    void rowCount();
    void downloadReplacesPage_data();
    void downloadReplacesPage();
    void downloadRow_data();
    void downloadRow();
    void downloadFailure_data();
    void downloadFailure();
    void lateRowAnswer();
    void cancel_data();
    void cancel();
    void uploadRecords();
    void uploadLastRowFails();
};

void TestTransfer::rowCount_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("rows");

    QTest::newRow("Lark") << 1 << 100;
    QTest::newRow("Wren") << 3 << 500;
    QTest::newRow("Kestrel") << 4 << 500;
    QTest::newRow("unused 2") << 2 << 500;
    QTest::newRow("no model") << 0 << 500;
}

void TestTransfer::rowCount() {
    QFETCH(int, model);
    QFETCH(int, rows);
    QCOMPARE(DeviceRowCount(model), rows);
}

void TestTransfer::downloadReplacesPage_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("rows");

    QTest::newRow("Lark") << 1 << 100;
    QTest::newRow("Kestrel") << 4 << 500;
}

// The memory holds keys beyond row 100 too; a Lark's transfer must not reach them, and the page
// comes out exactly as the rows read describe it, nothing kept from before.
void TestTransfer::downloadReplacesPage() {
    QFETCH(int, model);
    QFETCH(int, rows);
    DeviceTestRig rig('U', "1.36");
    settings().setLastDeviceModel(model);
    for (int row : {0, 99, 100, 299, 499})
        rig.simulator.setRow(row,
                             memoryRow(KeyTypeDallas, "Row " + QByteArray::number(row), codeOf("01A2B3C4D5E6F700")));
    // The first CmdStop goes out with whatever the previous command left in the payload.
    rig.protocol.OutPayload.fill(0x5A);

    auto page = busyPage();
    bool modified = false;
    const TransferResult result =
        DownloadKeyBase(rig.protocol, DeviceRowCount(settings().lastDeviceModel()), *page, TransferHooks{}, modified);

    QCOMPARE(result, TransferResult::Done);
    QVERIFY(modified);
    const auto& log = rig.simulator.log();
    QCOMPARE(log.front()[1], std::uint8_t(CmdStop));
    QVERIFY(std::all_of(log.front().begin() + 2, log.front().begin() + 64, [](std::uint8_t b) { return b == 0x5A; }));
    QCOMPARE(rig.sent(CmdStop), 1);
    QCOMPARE(rowsSent(rig.simulator, CmdReadBaseRow), range(0, rows - 1));

    KeyPage expected;
    for (int row : {0, 99, 100, 299, 499}) {
        if (row >= rows)
            continue;
        expected.setCell(row, 0, cellOf(KeyTypeDallas, codeOf("01A2B3C4D5E6F700")));
        expected.setComment(row, "Row " + QByteArray::number(row));
    }
    QVERIFY(*page == expected);
    QVERIFY(rig.status.messages.isEmpty());
}

void TestTransfer::downloadRow_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<KeyCode>("code");
    QTest::addColumn<KeyCode>("storedCode");
    QTest::addColumn<QByteArray>("comment");

    const KeyCode none{};
    QTest::newRow("Dallas") << 1 << QByteArray("Flat 12") << codeOf("01A2B3C4D5E6F700") << codeOf("01A2B3C4D5E6F700")
                            << QByteArray("Flat 12");
    QTest::newRow("Indala ending 0x80 kept")
        << 131 << QByteArray("gate") << codeOf("1234567800000080") << codeOf("1234567800000080") << QByteArray("gate");
    QTest::newRow("Indala rotated right one bit")
        << 131 << QByteArray() << codeOf("123456789ABCDEF1") << codeOf("091A2B3C4D5EEF78") << QByteArray();
    QTest::newRow("Indala low bit wraps to the top")
        << 131 << QByteArray() << codeOf("0300000000000002") << codeOf("0100000000000081") << QByteArray();
    QTest::newRow("EM410x ending 0x00 not rotated")
        << 128 << QByteArray() << codeOf("0012345678000000") << codeOf("0012345678000000") << QByteArray();
    QTest::newRow("type 130 holds a key")
        << 130 << QByteArray("x") << codeOf("0102030405060708") << codeOf("0102030405060708") << QByteArray("x");
    QTest::newRow("type 5 is no key") << 5 << QByteArray("ignored") << codeOf("0102030405060708") << none
                                      << QByteArray();
    QTest::newRow("25 characters without a zero")
        << 1 << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY") << codeOf("0100000000000000") << codeOf("0100000000000000")
        << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXY");
    QTest::newRow("name ends at the first zero")
        << 1 << QByteArray("AB\0CD", 5) << codeOf("0100000000000000") << codeOf("0100000000000000") << QByteArray("AB");
    QTest::newRow("Cyrillic bytes kept") << 2 << cp1251(QStringLiteral("Иванов")) << codeOf("0000000000000042")
                                         << codeOf("0000000000000042") << cp1251(QStringLiteral("Иванов"));
}

void TestTransfer::downloadRow() {
    QFETCH(int, type);
    QFETCH(QByteArray, name);
    QFETCH(KeyCode, code);
    QFETCH(KeyCode, storedCode);
    QFETCH(QByteArray, comment);
    DeviceTestRig rig;
    rig.simulator.setRow(42, memoryRow(static_cast<std::uint8_t>(type), name, code));

    auto page = std::make_unique<KeyPage>();
    bool modified = false;
    QCOMPARE(DownloadKeyBase(rig.protocol, 100, *page, {}, modified), TransferResult::Done);

    KeyPage expected;
    if (storedCode != KeyCode{}) {
        expected.setCell(42, 0, cellOf(static_cast<std::uint8_t>(type), storedCode));
        expected.setComment(42, comment);
    }
    QCOMPARE(page->cell(42, 0).bytes, expected.cell(42, 0).bytes);
    QCOMPARE(page->comment(42), comment);
    QVERIFY(*page == expected);
}

void TestTransfer::downloadFailure_data() {
    QTest::addColumn<int>("failingRow");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("times");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<TransferResult>("result");
    QTest::addColumn<int>("reads");
    QTest::addColumn<QString>("lastMessage");

    const QString error = QStringLiteral("Data transfer error.");
    QTest::newRow("last row not answered")
        << 99 << Fault::NoAnswer << 9 << false << TransferResult::LastRowFailed << 108 << error;
    QTest::newRow("last row not answered, Russian")
        << 99 << Fault::NoAnswer << 9 << true << TransferResult::LastRowFailed << 108
        << QStringLiteral("Ошибка передачи данных.");
    // A wrong echo is acknowledged, so it costs one command and no retry.
    QTest::newRow("last row echoes another row")
        << 99 << Fault::WrongRowEcho << 1 << false << TransferResult::LastRowFailed << 100 << error;
    QTest::newRow("earlier row not answered")
        << 5 << Fault::NoAnswer << 9 << false << TransferResult::Done << 108 << error;
    QTest::newRow("earlier row echoes another row")
        << 5 << Fault::WrongRowEcho << 1 << false << TransferResult::Done << 100 << QString();
}

// Every row is requested whatever failed before; only the last row decides whether the page is
// replaced, and a row that failed stays empty in it.
void TestTransfer::downloadFailure() {
    QFETCH(int, failingRow);
    QFETCH(Fault, fault);
    QFETCH(int, times);
    QFETCH(bool, russian);
    QFETCH(TransferResult, result);
    QFETCH(int, reads);
    QFETCH(QString, lastMessage);
    DeviceTestRig rig;
    if (russian)
        setUiLanguage(UiLanguage::Russian);
    for (int row = 0; row < 100; ++row)
        rig.simulator.setRow(row, memoryRow(KeyTypeDallas, "n" + QByteArray::number(row), codeOf("01A2B3C4D5E6F700")));

    const auto old = busyPage();
    auto page = std::make_unique<KeyPage>(*old);
    TransferHooks hooks;
    hooks.progress = [&](int row) {
        if (row == failingRow)
            rig.simulator.injectFault(fault, times);
    };
    bool modified = false;
    QCOMPARE(DownloadKeyBase(rig.protocol, 100, *page, hooks, modified), result);
    setUiLanguage(UiLanguage::English);

    QVERIFY(modified);
    QCOMPARE(rig.sent(CmdReadBaseRow), reads);
    QCOMPARE(rig.status.messages.isEmpty() ? QString() : rig.status.messages.last(), lastMessage);
    if (result == TransferResult::LastRowFailed) {
        QVERIFY(*page == *old);
        return;
    }
    QCOMPARE(page->cellType(failingRow, 0), std::uint8_t(0));
    QVERIFY(!page->hasComment(failingRow));
    QCOMPARE(page->occupiedCellCount(), 99);
}

// A row answered after its wait ran out is asked again; neither its late answer nor the second
// one may be taken for a later row's, which would then fail for naming another row.
void TestTransfer::lateRowAnswer() {
    DeviceTestRig rig;
    for (int row = 0; row < 100; ++row)
        rig.simulator.setRow(row, memoryRow(KeyTypeDallas, "n" + QByteArray::number(row), codeOf("01A2B3C4D5E6F700")));
    TransferHooks hooks;
    hooks.progress = [&](int row) {
        if (row == 5)
            rig.simulator.injectFault(Fault::DelayedAnswer);
    };
    auto page = std::make_unique<KeyPage>();
    bool modified = false;
    QCOMPARE(DownloadKeyBase(rig.protocol, 100, *page, hooks, modified), TransferResult::Done);

    QCOMPARE(rig.sent(CmdReadBaseRow), 101);
    QCOMPARE(page->occupiedCellCount(), 100);
    QCOMPARE(page->comment(6), QByteArray("n6"));
    QCOMPARE(rig.status.messages, retryTexts(1, 1));
}

void TestTransfer::cancel_data() {
    QTest::addColumn<bool>("upload");
    QTest::addColumn<int>("cancelAfterRow");

    QTest::newRow("download after row 0") << false << 0;
    QTest::newRow("download after row 40") << false << 40;
    QTest::newRow("download before the last row") << false << 98;
    QTest::newRow("upload after row 40") << true << 40;
}

// Cancel is looked at before every row, after the events were pumped: nothing more is sent, a
// download leaves the page as it was, an upload leaves the later rows of the memory untouched.
void TestTransfer::cancel() {
    QFETCH(bool, upload);
    QFETCH(int, cancelAfterRow);
    DeviceTestRig rig;
    const Row before = memoryRow(KeyTypeDallas, "device", codeOf("0100000000000000"));
    for (int row = 0; row < 100; ++row)
        rig.simulator.setRow(row, before);

    bool cancelled = false;
    QList<int> progress;
    TransferHooks hooks;
    hooks.progress = [&](int row) { progress << row; };
    // Cancel arrives as an event, the way a click on the dialog's button does.
    rig.pump.onProcessEvents = [&] { cancelled = !progress.isEmpty() && progress.last() > cancelAfterRow; };
    hooks.cancelled = [&] { return cancelled; };

    const auto old = busyPage();
    auto page = std::make_unique<KeyPage>(*old);
    bool modified = false;
    const TransferResult result = upload ? UploadKeyBase(rig.protocol, 100, *page, hooks)
                                         : DownloadKeyBase(rig.protocol, 100, *page, hooks, modified);

    QCOMPARE(result, TransferResult::Cancelled);
    QCOMPARE(progress.last(), cancelAfterRow + 1);
    QCOMPARE(rowsSent(rig.simulator, upload ? CmdWriteBaseRow : CmdReadBaseRow), range(0, cancelAfterRow));
    QCOMPARE(rig.simulator.log().back()[1], std::uint8_t(upload ? CmdWriteBaseRow : CmdReadBaseRow));
    QVERIFY(*page == *old);
    QVERIFY(rig.status.messages.isEmpty());
    if (upload) {
        QVERIFY(rig.simulator.row(cancelAfterRow) != before);
        QCOMPARE(rig.simulator.row(cancelAfterRow + 1), before);
    } else {
        QVERIFY(modified);
    }
}

// The records as the programmer receives them, byte for byte.
void TestTransfer::uploadRecords() {
    DeviceTestRig rig('f', "1.10");
    settings().setLastDeviceModel(ModelWren);
    Row junk;
    junk.fill(0xEE);
    for (int row = 0; row < 500; ++row)
        rig.simulator.setRow(row, junk);

    auto page = std::make_unique<KeyPage>();
    // Row 0: a 40-character comment, and the neighbouring cells whose raw bytes ride along.
    page->setCell(0, 0, cellOf(KeyTypeDallas, codeOf("01A2B3C4D5E6F700")));
    page->setCell(0, 1, cellOf(KeyTypeEm410x, codeOf("0012345678000040")));
    page->data()[KeyPage::cellOffset(0, 1) + 1] = 0x77; // a reserved byte travels too
    page->setCell(0, 2, cellOf(KeyTypeIndala, codeOf("1122334455667788")));
    page->setCell(0, 3, cellOf(KeyTypeCyfral, codeOf("A1A2A3A4A5A6A7A8")));
    page->setCell(0, 4, cellOf(KeyTypeCyfral, codeOf("B1B2B3B4B5B6B7B8")));
    page->setComment(0, "0123456789012345678901234567890123456789");
    // Row 1: keys and a comment, but key column 0 is empty.
    page->setCell(1, 1, cellOf(KeyTypeDallas, codeOf("0100000000000000")));
    page->setComment(1, "no first key");
    // Row 2: a short comment is followed by zeros.
    page->setCell(2, 0, cellOf(KeyTypeHidProx, codeOf("0102030405000000")));
    page->setComment(2, cp1251(QStringLiteral("Дом")));
    // Row 499, the last: a type that holds no key is still sent, since it is not 0.
    page->setCell(499, 0, cellOf(5, codeOf("0900000000000000")));

    QCOMPARE(UploadKeyBase(rig.protocol, DeviceRowCount(settings().lastDeviceModel()), *page, {}),
             TransferResult::Done);
    QCOMPARE(rowsSent(rig.simulator, CmdWriteBaseRow), range(0, 499));
    QCOMPARE(rig.simulator.log().front()[1], std::uint8_t(CmdStop));

    const auto bytes = [](const Row& row) { return QByteArray(reinterpret_cast<const char*>(row.data()), 60); };
    const QByteArray row0 = QByteArray::fromHex("01") + "0123456789012345678901234" +
                            QByteArray::fromHex("01A2B3C4D5E6F700"
                                                "8077"
                                                "0012345678000040"
                                                "8300"
                                                "1122334455667788"
                                                "0300"
                                                "A1A2A3A4");
    QCOMPARE(bytes(rig.simulator.row(0)).toHex(), row0.toHex());
    QCOMPARE(bytes(rig.simulator.row(1)), QByteArray(60, '\0'));
    QCOMPARE(bytes(rig.simulator.row(2)).toHex(),
             (QByteArray::fromHex("81") + cp1251(QStringLiteral("Дом")) + QByteArray(22, '\0') +
              QByteArray::fromHex("0102030405000000") + QByteArray(26, '\0'))
                 .toHex());
    QCOMPARE(bytes(rig.simulator.row(3)), QByteArray(60, '\0'));
    QCOMPARE(bytes(rig.simulator.row(499)).toHex(), (QByteArray::fromHex("05") + QByteArray(25, '\0') +
                                                     QByteArray::fromHex("0900000000000000") + QByteArray(26, '\0'))
                                                        .toHex());
    QVERIFY(rig.status.messages.isEmpty());
}

void TestTransfer::uploadLastRowFails() {
    DeviceTestRig rig;
    auto page = std::make_unique<KeyPage>();
    TransferHooks hooks;
    hooks.progress = [&](int row) {
        if (row == 99)
            rig.simulator.unplug();
    };
    QCOMPARE(UploadKeyBase(rig.protocol, 100, *page, hooks), TransferResult::LastRowFailed);
    QCOMPARE(rig.sent(CmdWriteBaseRow), 99);
    // Transact stays quiet about a programmer that left; the transfer itself still tells.
    QCOMPARE(rig.status.messages, QStringList{QStringLiteral("Data transfer error.")});
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_Transfer.moc"
