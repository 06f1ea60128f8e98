#include "device/DeviceReport.h"
#include "simulator/ProgrammerSimulator.h"

#include <QTest>
#include <vector>

using namespace tervane;
using Fault = ProgrammerSimulator::Fault;

namespace {

Report command(std::uint8_t code, std::vector<std::uint8_t> parameters = {}) {
    Report r{};
    r[1] = code;
    std::copy(parameters.begin(), parameters.end(), r.begin() + 2);
    r[64] = reportChecksum(r.data());
    return r;
}

// Sends one command and returns every report the programmer queued in reply.
std::vector<Report> exchange(ProgrammerSimulator& sim, std::uint8_t code, std::vector<std::uint8_t> parameters = {}) {
    const Report r = command(code, std::move(parameters));
    sim.receive(r.data());
    std::vector<Report> replies;
    while (auto reply = sim.takeAnswer())
        replies.push_back(*reply);
    return replies;
}

std::vector<Report> drain(ProgrammerSimulator& sim) {
    std::vector<Report> replies;
    while (auto reply = sim.takeAnswer())
        replies.push_back(*reply);
    return replies;
}

} // namespace

class TestProgrammerSimulator : public QObject {
    Q_OBJECT

private slots:
    void everyAnswerIsSigned();
    void identify_data();
    void identify();
    void keyMemory_data();
    void keyMemory();
    void presentedKeys();
    void results_data();
    void results();
    void stopAndCancel();
    void faults();
    void lateAnswer();
    void ignoresCorruptCommands();
    void unplugged();
};

void TestProgrammerSimulator::everyAnswerIsSigned() {
    ProgrammerSimulator sim('U', "1.36");
    sim.presentKey(1, KeyCode{1, 2, 3, 4, 5, 6, 7, 8});
    for (std::uint8_t code : {CmdPing, CmdIdentify, CmdReadKeys, CmdStop, CmdReadBaseRow}) {
        for (const Report& reply : exchange(sim, code, {7, 0})) {
            QCOMPARE(reply[0], std::uint8_t(0));
            QVERIFY(reportChecksumHolds(reply.data()));
        }
    }
    const auto refused = exchange(sim, 0x7E);
    QCOMPARE(refused.size(), std::size_t(1));
    QCOMPARE(refused[0][1], std::uint8_t(0));
}

void TestProgrammerSimulator::identify_data() {
    QTest::addColumn<int>("letter");
    QTest::addColumn<QByteArray>("firmware");
    QTest::addColumn<int>("rows");

    QTest::newRow("Lark B") << int('B') << QByteArray("3.82") << 100;
    QTest::newRow("Lark C") << int('C') << QByteArray("3.81") << 100;
    QTest::newRow("Wren") << int('f') << QByteArray("1.10") << 500;
    QTest::newRow("Kestrel") << int('U') << QByteArray("1.36") << 500;
    QTest::newRow("text filling the report") << int('U') << QByteArray(61, '9') << 500;
}

void TestProgrammerSimulator::identify() {
    QFETCH(int, letter);
    QFETCH(QByteArray, firmware);
    QFETCH(int, rows);

    ProgrammerSimulator sim(static_cast<std::uint8_t>(letter), firmware.toStdString());
    QCOMPARE(sim.rowCount(), rows);
    const auto replies = exchange(sim, CmdIdentify);
    QCOMPARE(replies.size(), std::size_t(1));
    const Report& r = replies[0];
    QCOMPARE(r[1], std::uint8_t(StatusAck));
    QCOMPARE(int(r[2]), letter);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(r.data() + 3), firmware.size()), firmware);
    if (firmware.size() < 61)
        QCOMPARE(r[static_cast<std::size_t>(3 + firmware.size())], std::uint8_t(0));
}

void TestProgrammerSimulator::keyMemory_data() {
    QTest::addColumn<int>("letter");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("kept");

    QTest::newRow("Lark first row") << int('C') << 0 << true;
    QTest::newRow("Lark last row") << int('C') << 99 << true;
    QTest::newRow("Lark past its end") << int('C') << 100 << false;
    QTest::newRow("Kestrel row 300") << int('U') << 300 << true;
    QTest::newRow("Kestrel last row") << int('U') << 499 << true;
}

// A written row reads back with its number echoed and its first 34 bytes; rows past the end of
// the memory are acknowledged but read as empty.
void TestProgrammerSimulator::keyMemory() {
    QFETCH(int, letter);
    QFETCH(int, row);
    QFETCH(bool, kept);

    ProgrammerSimulator sim(static_cast<std::uint8_t>(letter));
    std::vector<std::uint8_t> parameters{std::uint8_t(row & 0xFF), std::uint8_t(row >> 8)};
    for (int i = 0; i < BaseRowSize; ++i)
        parameters.push_back(std::uint8_t(0xA0 + i));
    const auto written = exchange(sim, CmdWriteBaseRow, parameters);
    QCOMPARE(written.size(), std::size_t(1));
    QCOMPARE(written[0][1], std::uint8_t(StatusAck));
    QCOMPARE(sim.row(row)[59], std::uint8_t(kept ? 0xA0 + 59 : 0));

    const auto read = exchange(sim, CmdReadBaseRow, {std::uint8_t(row & 0xFF), std::uint8_t(row >> 8)});
    QCOMPARE(read.size(), std::size_t(1));
    const Report& r = read[0];
    QCOMPARE(r[1], std::uint8_t(StatusAck));
    QCOMPARE(int(r[2] | (r[3] << 8)), row);
    for (int i = 0; i < BaseRowReadSize; ++i)
        QCOMPARE(int(r[static_cast<std::size_t>(4 + i)]), kept ? 0xA0 + i : 0);
    QCOMPARE(r[4 + BaseRowReadSize], std::uint8_t(0));
}

// Each presented key is read by one acknowledged CmdReadKeys and comes as one event after the
// acknowledgement.
void TestProgrammerSimulator::presentedKeys() {
    ProgrammerSimulator sim('U', "1.36");
    const KeyCode first{0x01, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    const KeyCode second{0x0A, 0, 0, 0, 0x12, 0x34, 0, 0};
    sim.presentKey(1, first);
    sim.presentKey(128, second);
    QVERIFY(!sim.hasAnswer());

    auto replies = exchange(sim, CmdReadKeys);
    QCOMPARE(replies.size(), std::size_t(2));
    QCOMPARE(replies[0][1], std::uint8_t(StatusAck));
    QCOMPARE(replies[1][1], std::uint8_t(StatusKeyRead));
    QCOMPARE(replies[1][2], std::uint8_t(1));
    QVERIFY(std::equal(first.begin(), first.end(), replies[1].begin() + 3));
    QCOMPARE(sim.presentedKeys(), std::size_t(1));
    QCOMPARE(sim.waiting(), ProgrammerSimulator::Waiting::Nothing);

    replies = exchange(sim, CmdReadKeys);
    QCOMPARE(replies.size(), std::size_t(2));
    QCOMPARE(replies[1][2], std::uint8_t(128));
    QVERIFY(std::equal(second.begin(), second.end(), replies[1].begin() + 3));

    // No key left: the programmer waits, and a key presented now is read at once.
    replies = exchange(sim, CmdReadKeys);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(sim.waiting(), ProgrammerSimulator::Waiting::ReadKey);
    sim.presentKey(3, KeyCode{0xAB, 0xCD});
    replies = drain(sim);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(replies[0][1], std::uint8_t(StatusKeyRead));
    QCOMPARE(replies[0][2], std::uint8_t(3));
}

void TestProgrammerSimulator::results_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");

    QTest::newRow("written") << int(CmdWriteBlank) << 0 << int(StatusDone) << 0;
    QTest::newRow("wrong blank") << int(CmdWriteBlank) << 7 << int(StatusDone) << 7;
    QTest::newRow("write cancelled") << int(CmdWriteBlank) << ProgrammerSimulator::Cancelled << int(StatusCancelled)
                                     << 0;
    QTest::newRow("locked") << int(CmdLockKey) << 0 << int(StatusDone) << 0;
    QTest::newRow("lock error") << int(CmdLockKey) << 5 << int(StatusDone) << 5;
    QTest::newRow("lock cancelled") << int(CmdLockKey) << ProgrammerSimulator::Cancelled << int(StatusCancelled) << 0;
}

// A scripted result ends the write or lock it belongs to, whether it was set before or after
// the command; a write result never ends a lock.
void TestProgrammerSimulator::results() {
    QFETCH(int, command);
    QFETCH(int, result);
    QFETCH(int, status);
    QFETCH(int, code);
    const bool write = command == CmdWriteBlank;
    const auto script = [&](ProgrammerSimulator& sim, int value, bool forWrite) {
        if (forWrite)
            sim.setWriteResult(value);
        else
            sim.setLockResult(value);
    };

    ProgrammerSimulator sim('U', "1.36");
    script(sim, 9, !write);
    auto replies = exchange(sim, std::uint8_t(command), {131, 1, 2, 3, 4, 5, 6, 7, 8});
    QCOMPARE(replies.size(), std::size_t(1));
    script(sim, result, write);
    replies = drain(sim);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(int(replies[0][1]), status);
    QCOMPARE(int(replies[0][2]), code);

    script(sim, result, write);
    replies = exchange(sim, std::uint8_t(command), {131, 1, 2, 3, 4, 5, 6, 7, 8});
    QCOMPARE(replies.size(), std::size_t(2));
    QCOMPARE(int(replies[1][1]), status);
    if (write) {
        QCOMPARE(sim.writtenKeys().size(), std::size_t(2));
        QCOMPARE(sim.writtenKeys()[0].first, std::uint8_t(131));
        QCOMPARE(sim.writtenKeys()[0].second, (KeyCode{1, 2, 3, 4, 5, 6, 7, 8}));
    }
}

void TestProgrammerSimulator::stopAndCancel() {
    ProgrammerSimulator sim('f', "1.10");
    QVERIFY(!sim.cancelWaiting());
    exchange(sim, CmdReadKeys);
    QVERIFY(sim.cancelWaiting());
    auto replies = drain(sim);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(replies[0][1], std::uint8_t(StatusCancelled));

    // CmdStop ends the wait without an event: a key presented afterwards stays for the next read.
    exchange(sim, CmdReadKeys);
    replies = exchange(sim, CmdStop);
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(sim.waiting(), ProgrammerSimulator::Waiting::Nothing);
    sim.presentKey(1, KeyCode{});
    QVERIFY(!sim.hasAnswer());
    QVERIFY(!sim.cancelWaiting());
}

void TestProgrammerSimulator::faults() {
    ProgrammerSimulator sim('C', "3.82");
    sim.injectFault(Fault::NoAnswer);
    sim.injectFault(Fault::BadChecksum);
    sim.injectFault(Fault::WrongRowEcho);
    sim.staleEventStatus = StatusDone;
    sim.injectFault(Fault::StaleEvent);

    QVERIFY(exchange(sim, CmdPing).empty());
    auto replies = exchange(sim, CmdPing);
    QCOMPARE(replies.size(), std::size_t(1));
    QVERIFY(!reportChecksumHolds(replies[0].data()));
    replies = exchange(sim, CmdReadBaseRow, {0x05, 0x00});
    QCOMPARE(replies.size(), std::size_t(1));
    QCOMPARE(replies[0][2], std::uint8_t(0x06));
    replies = exchange(sim, CmdPing);
    QCOMPARE(replies.size(), std::size_t(2));
    QCOMPARE(replies[0][1], std::uint8_t(StatusDone));
    QCOMPARE(replies[1][1], std::uint8_t(StatusAck));
    // Used up: the next command is answered normally.
    replies = exchange(sim, CmdPing);
    QCOMPARE(replies.size(), std::size_t(1));
    QVERIFY(reportChecksumHolds(replies[0].data()));
    QCOMPARE(sim.log().size(), std::size_t(5));
}

// A delayed answer stays back until the reader has given up, and nothing overtakes it: what the
// programmer sends meanwhile follows it, and the next command's answer comes after it.
void TestProgrammerSimulator::lateAnswer() {
    ProgrammerSimulator sim('C', "3.82");
    sim.injectFault(Fault::DelayedAnswer);
    QVERIFY(exchange(sim, CmdReadKeys).empty());
    sim.presentKey(1, KeyCode{1, 2, 3, 4, 5, 6, 7, 8});
    QVERIFY(!sim.hasAnswer());
    QVERIFY(sim.hasLateAnswers());

    sim.releaseLateAnswers();
    auto replies = drain(sim);
    QCOMPARE(replies.size(), std::size_t(2));
    QCOMPARE(replies[0][1], std::uint8_t(StatusAck));
    QCOMPARE(replies[1][1], std::uint8_t(StatusKeyRead));
    QVERIFY(!sim.hasLateAnswers());

    // Not let out by anyone: the next command lets it out ahead of its own answer.
    sim.injectFault(Fault::DelayedAnswer);
    QVERIFY(exchange(sim, CmdPing).empty());
    replies = exchange(sim, CmdIdentify);
    QCOMPARE(replies.size(), std::size_t(2));
    QCOMPARE(replies[0][2], std::uint8_t(0));
    QCOMPARE(replies[1][2], std::uint8_t('C'));

    // Pulled out, the programmer sends nothing more.
    sim.injectFault(Fault::DelayedAnswer);
    exchange(sim, CmdPing);
    sim.unplug();
    QVERIFY(!sim.hasLateAnswers());
}

void TestProgrammerSimulator::ignoresCorruptCommands() {
    ProgrammerSimulator sim('C', "3.82");
    Report r = command(CmdWriteBaseRow, {1, 0, 0x42});
    r[64] ^= 0x01;
    sim.receive(r.data());
    QVERIFY(!sim.hasAnswer());
    QCOMPARE(sim.row(1)[0], std::uint8_t(0));
    QCOMPARE(sim.log().size(), std::size_t(1));
}

void TestProgrammerSimulator::unplugged() {
    ProgrammerSimulator sim('C', "3.82");
    std::vector<bool> changes;
    sim.onPlugChanged = [&](bool plugged) { changes.push_back(plugged); };
    sim.injectFault(Fault::Unplug);
    exchange(sim, CmdReadKeys);
    QVERIFY(!sim.plugged());
    QVERIFY(exchange(sim, CmdPing).empty());
    sim.plug();
    QCOMPARE(changes, (std::vector<bool>{false, true}));
    QCOMPARE(exchange(sim, CmdPing).size(), std::size_t(1));
}

QTEST_GUILESS_MAIN(TestProgrammerSimulator)
#include "tst_ProgrammerSimulator.moc"
