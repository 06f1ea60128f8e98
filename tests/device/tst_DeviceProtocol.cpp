#include "DeviceTestRig.h"

#include <QTest>

using namespace tervane;
using namespace tervane::test;
using Fault = ProgrammerSimulator::Fault;

Q_DECLARE_METATYPE(Report)

namespace {

// An answer report with the given status and data bytes from report byte 2 on, and its check sum:
// 0x55 plus bytes 1..63, worked out here rather than by the code under test.
Report answerReport(std::uint8_t status, QByteArray data = {}, int byte63 = 0) {
    Report r{};
    r[1] = status;
    for (int i = 0; i < data.size() && i + 2 < 63; ++i)
        r[static_cast<std::size_t>(i + 2)] = static_cast<std::uint8_t>(data[i]);
    r[63] = static_cast<std::uint8_t>(byte63);
    int sum = 0x55;
    for (int i = 1; i <= 63; ++i)
        sum += r[static_cast<std::size_t>(i)];
    r[64] = static_cast<std::uint8_t>(sum & 0xFF);
    return r;
}

} // namespace

class TestDeviceProtocol : public QObject {
    Q_OBJECT

private slots:
    void commandFrame_data();
    void commandFrame();
    void answerChecksum_data();
    void answerChecksum();
    void transact_data();
    void transact();
    void transactStopsWhenUnplugged();
    void transactStopsWhenClosing();
    void transactWithoutProgrammer();
    void retryTextsInRussian();
    void rejectedAnswerKeepsLastAnswer();
    void pumpWait_data();
    void pumpWait();
};

void TestDeviceProtocol::commandFrame_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("checksum");

    QTest::newRow("ping") << int(CmdPing) << QByteArray() << 0x56;
    QTest::newRow("write row 0x0102") << int(CmdWriteBaseRow) << QByteArray("\x02\x01\xAB", 3)
                                      << ((0x55 + 0x21 + 0x02 + 0x01 + 0xAB) & 0xFF);
    QTest::newRow("sum wraps") << int(CmdWriteBlank) << QByteArray(62, '\xFF') << ((0x55 + 0x11 + 62 * 0xFF) & 0xFF);
}

// The report as it leaves the program: id 0, the code, the 62 parameter bytes, the check sum.
void TestDeviceProtocol::commandFrame() {
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QFETCH(int, checksum);

    DeviceTestRig rig;
    rig.protocol.clearOutPayload();
    std::copy(payload.begin(), payload.end(), rig.protocol.OutPayload.begin());
    QVERIFY(rig.protocol.SendCommand(static_cast<std::uint8_t>(code)));

    QCOMPARE(rig.simulator.log().size(), std::size_t(1));
    const Report& sent = rig.simulator.log().front();
    QCOMPARE(sent[0], std::uint8_t(0));
    QCOMPARE(int(sent[1]), code);
    for (int i = 0; i < PayloadSize; ++i)
        QCOMPARE(sent[static_cast<std::size_t>(i + 2)], rig.protocol.OutPayload[static_cast<std::size_t>(i)]);
    QCOMPARE(int(sent[64]), checksum);
}

void TestDeviceProtocol::answerChecksum_data() {
    QTest::addColumn<Report>("report");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("ack") << answerReport(StatusAck) << true;
    Report covered = answerReport(StatusAck, QByteArray("\x42", 1), 0x10);
    QTest::newRow("byte 63 is covered") << covered << true;
    covered[64] = static_cast<std::uint8_t>(covered[64] - 0x10);
    QTest::newRow("sum that leaves out byte 63") << covered << false;
    QTest::newRow("sum wraps") << answerReport(StatusAck, QByteArray(61, '\xFF'), 0xFF) << true;
    Report off = answerReport(StatusAck);
    off[64] ^= 0x01;
    QTest::newRow("sum off by one") << off << false;
}

void TestDeviceProtocol::answerChecksum() {
    QFETCH(Report, report);
    QFETCH(bool, accepted);

    DeviceTestRig rig;
    rig.simulator.queueAnswer(report);
    QCOMPARE(rig.protocol.ReceiveAnswer(), accepted);
    if (accepted) {
        for (int i = 0; i < PayloadSize; ++i)
            QCOMPARE(rig.protocol.InAnswer[static_cast<std::size_t>(i)], report[static_cast<std::size_t>(i + 1)]);
    }
}

void TestDeviceProtocol::transact_data() {
    QTest::addColumn<int>("fault"); // -1: none
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("staleStatus");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<qint64>("virtualMs");

    const QStringList allFailed = retryTexts(1, 9) << QStringLiteral("Data transfer error.");
    QTest::newRow("acknowledged at once") << -1 << 0 << 0 << int(CmdIdentify) << true << QStringList() << 1 << 0LL;
    QTest::newRow("two bad check sums") << int(Fault::BadChecksum) << 2 << 0 << int(CmdIdentify) << true
                                        << retryTexts(1, 2) << 3 << 200LL;
    // Each attempt waits out its 3000 ms read and its 100 ms pause.
    QTest::newRow("dead programmer") << int(Fault::NoAnswer) << ProgrammerSimulator::Forever << 0 << int(CmdPing)
                                     << false << allFailed << 9 << 9 * 3100LL;
    QTest::newRow("eight lost answers") << int(Fault::NoAnswer) << 8 << 0 << int(CmdStop) << true << retryTexts(1, 8)
                                        << 9 << 8 * 3100LL;
    QTest::newRow("stale key read") << int(Fault::StaleEvent) << 1 << int(StatusKeyRead) << int(CmdReadKeys) << true
                                    << retryTexts(1, 1) << 2 << 100LL;
    QTest::newRow("stale write result") << int(Fault::StaleEvent) << 1 << int(StatusDone) << int(CmdWriteBlank) << true
                                        << retryTexts(1, 1) << 2 << 100LL;
    QTest::newRow("stale cancellation") << int(Fault::StaleEvent) << 1 << int(StatusCancelled) << int(CmdLockKey)
                                        << true << retryTexts(1, 1) << 2 << 100LL;
    QTest::newRow("refused command") << -1 << 0 << 0 << 0x7E << false << allFailed << 9 << 900LL;
}

void TestDeviceProtocol::transact() {
    QFETCH(int, fault);
    QFETCH(int, times);
    QFETCH(int, staleStatus);
    QFETCH(int, code);
    QFETCH(bool, result);
    QFETCH(QStringList, texts);
    QFETCH(int, attempts);
    QFETCH(qint64, virtualMs);

    DeviceTestRig rig;
    if (fault >= 0)
        rig.simulator.injectFault(static_cast<Fault>(fault), times);
    rig.simulator.staleEventStatus = static_cast<std::uint8_t>(staleStatus);

    rig.protocol.clearOutPayload();
    QCOMPARE(rig.protocol.Transact(static_cast<std::uint8_t>(code)), result);
    QCOMPARE(rig.status.messages, texts);
    QCOMPARE(rig.sent(static_cast<std::uint8_t>(code)), attempts);
    QCOMPARE(rig.pump.now, virtualMs);
    if (result)
        QCOMPARE(rig.protocol.InAnswer[0], std::uint8_t(StatusAck));
}

// The programmer pulled out on the third attempt: its notice arrives in the pause, and the loop
// ends there without calling it a transfer error.
void TestDeviceProtocol::transactStopsWhenUnplugged() {
    DeviceTestRig rig;
    rig.simulator.injectFault(Fault::NoAnswer, 2);
    rig.simulator.injectFault(Fault::Unplug);

    QVERIFY(!rig.protocol.Transact(CmdIdentify));
    QVERIFY(!rig.link.DeviceConnected());
    QCOMPARE(rig.status.messages, retryTexts(1, 3));
    QCOMPARE(rig.sent(CmdIdentify), 3);
}

void TestDeviceProtocol::transactStopsWhenClosing() {
    DeviceTestRig rig;
    rig.simulator.injectFault(Fault::NoAnswer, ProgrammerSimulator::Forever);
    rig.pump.onProcessEvents = [&] {
        if (rig.status.messages.size() == 2)
            setAppClosing(true);
    };

    QVERIFY(!rig.protocol.Transact(CmdPing));
    QCOMPARE(rig.status.messages, retryTexts(1, 2));
    QCOMPARE(rig.sent(CmdPing), 2);

    // Once closing, nothing more is sent.
    QVERIFY(!rig.protocol.Transact(CmdStop));
    QCOMPARE(rig.sent(CmdStop), 0);
}

void TestDeviceProtocol::transactWithoutProgrammer() {
    DeviceTestRig rig;
    rig.link.DeviceClose();
    QVERIFY(!rig.protocol.Transact(CmdIdentify));
    QVERIFY(!rig.protocol.SendCommand(CmdPing));
    QVERIFY(!rig.protocol.ReceiveAnswer());
    QVERIFY(!rig.protocol.PollAnswer());
    QVERIFY(rig.simulator.log().empty());
    QVERIFY(rig.status.messages.isEmpty());
    QCOMPARE(rig.pump.now, 0);
}

void TestDeviceProtocol::retryTextsInRussian() {
    DeviceTestRig rig;
    setUiLanguage(UiLanguage::Russian);
    rig.simulator.injectFault(Fault::BadChecksum, ProgrammerSimulator::Forever);

    const bool result = rig.protocol.Transact(CmdPing);
    setUiLanguage(UiLanguage::English);
    QVERIFY(!result);
    QCOMPARE(rig.status.messages.size(), 10);
    QCOMPARE(rig.status.messages.first(), QStringLiteral("Повтор передачи данных: 1"));
    QCOMPARE(rig.status.messages.at(8), QStringLiteral("Повтор передачи данных: 9"));
    QCOMPARE(rig.status.messages.last(), QStringLiteral("Ошибка передачи данных."));

    // Back in English, the same counts read in English again.
    rig.status.messages.clear();
    QVERIFY(!rig.protocol.Transact(CmdPing));
    QCOMPARE(rig.status.messages.first(), QStringLiteral("Repeating data transfer: 1"));
    QCOMPARE(rig.status.messages.last(), QStringLiteral("Data transfer error."));
}

// Nothing may take an old answer for a new one: a missing or corrupt answer leaves InAnswer as
// the last accepted answer made it, and says so.
void TestDeviceProtocol::rejectedAnswerKeepsLastAnswer() {
    DeviceTestRig rig('U', "1.36");
    QVERIFY(rig.protocol.Transact(CmdIdentify));
    const Payload identified = rig.protocol.InAnswer;
    QCOMPARE(identified[1], std::uint8_t('U'));

    Report corrupt = answerReport(StatusKeyRead, QByteArray("\x01\x11\x22\x33\x44\x55\x66\x77\x88", 9));
    corrupt[64] ^= 0x80;
    rig.simulator.queueAnswer(corrupt);
    QVERIFY(!rig.protocol.PollAnswer());
    QCOMPARE(rig.protocol.InAnswer, identified);

    const qint64 before = rig.pump.now;
    QVERIFY(!rig.protocol.PollAnswer());
    QCOMPARE(rig.pump.now - before, 10);
    QVERIFY(!rig.protocol.ReceiveAnswer());
    QCOMPARE(rig.pump.now - before, 3010);
    QCOMPARE(rig.protocol.InAnswer, identified);

    rig.simulator.queueAnswer(answerReport(StatusKeyRead, QByteArray("\x01\x11", 2)));
    QVERIFY(rig.protocol.PollAnswer());
    QCOMPARE(rig.protocol.InAnswer[0], std::uint8_t(StatusKeyRead));
    QCOMPARE(rig.protocol.InAnswer[2], std::uint8_t(0x11));
}

void TestDeviceProtocol::pumpWait_data() {
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("closeAtCall"); // 0: never
    QTest::addColumn<qint64>("slept");
    QTest::addColumn<int>("processCalls");

    QTest::newRow("100 ms") << 100 << 0 << 100LL << 11;
    QTest::newRow("shorter than a step") << 5 << 0 << 0LL << 1;
    QTest::newRow("closing stops it") << 100 << 4 << 30LL << 4;
}

void TestDeviceProtocol::pumpWait() {
    QFETCH(int, ms);
    QFETCH(int, closeAtCall);
    QFETCH(qint64, slept);
    QFETCH(int, processCalls);

    DeviceTestRig rig;
    rig.pump.processCalls = 0;
    rig.pump.onProcessEvents = [&] {
        if (rig.pump.processCalls == closeAtCall)
            setAppClosing(true);
    };
    DeviceProtocol::PumpWait(ms);
    QCOMPARE(rig.pump.now, slept);
    QCOMPARE(rig.pump.processCalls, processCalls);
}

QTEST_GUILESS_MAIN(TestDeviceProtocol)
#include "tst_DeviceProtocol.moc"
