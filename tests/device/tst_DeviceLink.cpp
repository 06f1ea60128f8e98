#include "DeviceTestRig.h"

#include "device/CompositeTransport.h"

#include <QSignalSpy>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

// Two simulated programmers behind one composite transport, the way real and socket
// programmers share the system transport.
struct TwoProgrammers {
    TwoProgrammers() {
        settings().setDefaults();
        pump.processQtEvents = true;
        composite.addBackend(first);
        composite.addBackend(second);
        link.DeviceRegisterNotices([this] { link.DeviceOpen(); });
    }
    TestEnvironment env;
    VirtualEventPump pump;
    ProgrammerSimulator lark{'C', "3.82"};
    ProgrammerSimulator kestrel{'U', "1.36"};
    CompositeTransport composite;
    SimulatedTransport* first = new SimulatedTransport(lark, QStringLiteral("lark"));
    SimulatedTransport* second = new SimulatedTransport(kestrel, QStringLiteral("kestrel"));
    DeviceLink link{&composite};
    DeviceProtocol protocol{link};
};

} // namespace

class TestDeviceLink : public QObject {
    Q_OBJECT

private slots:
    void transfersNeedConnection();
    void openKeepsOpenHandle();
    void unplugAndPlugNotices();
    void readBounds();
    void compositeOrder();
    void compositePassesNotices();
    void programmerInUseLeavesWhileAnotherStays();
    void commandStaysWithItsProgrammer();
    void programmerReplacedDuringDetection_data();
    void programmerReplacedDuringDetection();
    void replacingTransportCloses();
};

void TestDeviceLink::transfersNeedConnection() {
    DeviceTestRig rig;
    rig.link.DeviceClose();
    QVERIFY(!rig.link.DeviceConnected());

    Report report{};
    QVERIFY(!rig.link.DeviceWriteReport(report.data()));
    QVERIFY(!rig.link.DeviceReadReport(report.data()));
    QVERIFY(!rig.link.DevicePollReport(report.data()));
    // Refused at once: nothing reached the programmer and no wait was spent.
    QVERIFY(rig.simulator.log().empty());
    QCOMPARE(rig.transport.readCount(), 0);
    QCOMPARE(rig.pump.now, 0);
}

void TestDeviceLink::openKeepsOpenHandle() {
    DeviceTestRig rig;
    QVERIFY(rig.link.DeviceConnected());
    QCOMPARE(rig.transport.openCount(), 1);

    rig.link.DeviceOpen();
    emit rig.transport.devicesChanged(); // another HID device came: the programmer stays open
    QVERIFY(rig.link.DeviceConnected());
    QCOMPARE(rig.transport.openCount(), 1);
    QString path;
    QVERIFY(rig.link.DeviceFindPath(path));
    QCOMPARE(path, rig.transport.path());
}

void TestDeviceLink::unplugAndPlugNotices() {
    DeviceTestRig rig;
    QSignalSpy notices(&rig.transport, &HidTransport::devicesChanged);

    rig.simulator.unplug();
    // The notice goes through the event loop, after whatever call noticed the loss.
    QVERIFY(rig.link.DeviceConnected());
    rig.pump.processEvents();
    QCOMPARE(notices.size(), 1);
    QVERIFY(!rig.link.DeviceConnected());
    QVERIFY(!rig.transport.isOpen());
    QString path;
    QVERIFY(!rig.link.DeviceFindPath(path));
    QVERIFY(path.isEmpty());

    rig.simulator.plug();
    rig.pump.processEvents();
    QCOMPARE(notices.size(), 2);
    QVERIFY(rig.link.DeviceConnected());
    QCOMPARE(rig.transport.openCount(), 2);
    QVERIFY(rig.protocol.Transact(CmdPing));
}

void TestDeviceLink::readBounds() {
    DeviceTestRig rig;
    Report report{};
    QVERIFY(!rig.link.DevicePollReport(report.data()));
    QCOMPARE(rig.pump.now, 10);
    QVERIFY(!rig.link.DeviceReadReport(report.data()));
    QCOMPARE(rig.pump.now, 3010);
    // An answer that waits costs nothing.
    rig.simulator.queueAnswer(Report{});
    QVERIFY(rig.link.DeviceReadReport(report.data()));
    QCOMPARE(rig.pump.now, 3010);
}

void TestDeviceLink::compositeOrder() {
    TwoProgrammers two;
    QCOMPARE(two.composite.findPaths(), (QStringList{QStringLiteral("sim:lark"), QStringLiteral("sim:kestrel")}));
    two.link.DeviceOpen();
    QVERIFY(two.link.DeviceConnected());
    QCOMPARE(two.composite.openPath(), QStringLiteral("sim:lark"));

    QVERIFY(two.protocol.Transact(CmdIdentify));
    QCOMPARE(two.protocol.InAnswer[1], std::uint8_t('C'));
    QCOMPARE(two.lark.commandCount(CmdIdentify), 1);
    QCOMPARE(two.kestrel.commandCount(CmdIdentify), 0);

    // With the first one absent, the second is found.
    two.link.DeviceClose();
    two.lark.unplug();
    QCOMPARE(two.composite.findPaths(), QStringList{QStringLiteral("sim:kestrel")});
    two.link.DeviceOpen();
    QCOMPARE(two.composite.openPath(), QStringLiteral("sim:kestrel"));
}

void TestDeviceLink::compositePassesNotices() {
    TwoProgrammers two;
    QSignalSpy notices(&two.composite, &HidTransport::devicesChanged);
    two.kestrel.unplug();
    two.lark.unplug();
    QCoreApplication::processEvents();
    QCOMPARE(notices.size(), 2);
}

// The programmer in use pulled out while another stays: the dead handle is let go and the other
// programmer taken, instead of failing every transfer until both are gone.
void TestDeviceLink::programmerInUseLeavesWhileAnotherStays() {
    TwoProgrammers two;
    two.link.DeviceOpen();
    QCOMPARE(two.composite.openPath(), QStringLiteral("sim:lark"));

    two.lark.unplug();
    two.pump.processEvents();
    QVERIFY(two.link.DeviceConnected());
    QCOMPARE(two.composite.openPath(), QStringLiteral("sim:kestrel"));
    QVERIFY(two.protocol.Transact(CmdIdentify));
    QCOMPARE(two.protocol.InAnswer[1], std::uint8_t('U'));

    // The first one back: the open one stays in use.
    two.lark.plug();
    two.pump.processEvents();
    QCOMPARE(two.composite.openPath(), QStringLiteral("sim:kestrel"));
    QCOMPARE(two.second->openCount(), 1);
}

// The programmer in use is pulled out while a command waits for its next attempt, and the
// other one is opened in the pause: the command does not go on with a programmer it never began
// with.
void TestDeviceLink::commandStaysWithItsProgrammer() {
    TwoProgrammers two;
    two.link.DeviceOpen();
    const quint64 opening = two.link.deviceOpening();
    two.lark.injectFault(ProgrammerSimulator::Fault::NoAnswer);
    two.pump.onProcessEvents = [&] { two.lark.unplug(); };

    QVERIFY(!two.protocol.Transact(CmdIdentify));
    QVERIFY(two.link.DeviceConnected());
    QCOMPARE(two.composite.openPath(), QStringLiteral("sim:kestrel"));
    QVERIFY(two.link.deviceOpening() != opening);
    QVERIFY(two.kestrel.log().empty());
    QCOMPARE(two.lark.commandCount(CmdIdentify), 1);
}

void TestDeviceLink::programmerReplacedDuringDetection_data() {
    QTest::addColumn<bool>("inProbe");
    QTest::newRow("between the pings") << true;
    QTest::newRow("between the identifications") << false;
}

// The programmer being detected is pulled out in a pause of the detection, and the notice opens
// and detects the other one: that outcome stands. The older detection sends the new programmer
// nothing and tells no outcome of its own.
void TestDeviceLink::programmerReplacedDuringDetection() {
    QFETCH(bool, inProbe);
    TwoProgrammers two;
    RecordingStatusSink status;
    DeviceDetector detector(two.protocol);
    two.link.DeviceRegisterNotices([&] {
        two.link.DeviceOpen();
        detector.DetectDevice();
    });
    two.link.DeviceOpen();
    if (!inProbe)
        two.lark.injectFault(ProgrammerSimulator::Fault::WrongRowEcho); // spent on the ping
    two.lark.injectFault(ProgrammerSimulator::Fault::NoAnswer);
    two.pump.onProcessEvents = [&] { two.lark.unplug(); };

    detector.DetectDevice();
    QVERIFY(detector.DeviceAnswered());
    QCOMPARE(two.kestrel.commandCount(CmdPing), 1);
    QCOMPARE(two.kestrel.commandCount(CmdIdentify), 1);
    QCOMPARE(two.lark.commandCount(CmdIdentify), inProbe ? 0 : 1);
    QVERIFY(status.messages.contains(QStringLiteral("Found Orvel Kestrel [HID]")));
    QVERIFY(!status.messages.contains(QStringLiteral("Found: Unknown device.")));
    QCOMPARE(settings().lastDeviceModel(), 4);
}

void TestDeviceLink::replacingTransportCloses() {
    DeviceTestRig rig;
    ProgrammerSimulator other('U', "1.36");
    SimulatedTransport otherTransport(other, QStringLiteral("other"));
    rig.link.setTransport(&otherTransport);
    QVERIFY(!rig.link.DeviceConnected());
    QVERIFY(!rig.transport.isOpen());

    // The registered notice handler follows the new transport.
    other.unplug();
    other.plug();
    rig.pump.processEvents();
    QVERIFY(rig.link.DeviceConnected());
    QCOMPARE(otherTransport.openCount(), 1);
    rig.link.setTransport(&rig.transport);
}

QTEST_GUILESS_MAIN(TestDeviceLink)
#include "tst_DeviceLink.moc"
