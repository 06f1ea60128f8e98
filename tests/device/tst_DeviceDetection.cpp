#include "DeviceTestRig.h"

#include "device/DeviceModel.h"

#include <QTest>

using namespace tervane;
using namespace tervane::test;
using Fault = ProgrammerSimulator::Fault;

Q_DECLARE_METATYPE(Fault)

class TestDeviceDetection : public QObject {
    Q_OBJECT

private slots:
    void identify_data();
    void identify();
    void identifyMessageInRussian();
    void identifyFailsAfterRetries();
    void detect_data();
    void detect();
    void detectionLinesInRussian();
    void detectWithoutProgrammer();
    void probeTriesTwice_data();
    void probeTriesTwice();
    void workMode_data();
    void workMode();
    void unknownStoredModelKeepsWorkMode();
    void newModelReplacesLastOne();
};

void TestDeviceDetection::identify_data() {
    QTest::addColumn<int>("letter");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("lastModel"); // the stored model before is 4
    QTest::addColumn<QString>("versionText");
    QTest::addColumn<QString>("message"); // empty: no message box

    const QString lark = QStringLiteral("Need Orvel Lark version 3.82 and above.");
    const QString wren = QStringLiteral("Need Orvel Wren version 1.10 and above.");
    const QString kestrel = QStringLiteral("Need Orvel Kestrel version 1.36 and above.");
    QTest::newRow("B Lark 3.82") << 0x42 << "3.82" << true << 1 << "3.82" << QString();
    QTest::newRow("C Lark 3.82") << 0x43 << "3.82" << true << 1 << "3.82" << QString();
    QTest::newRow("Lark 3.81") << 0x43 << "3.81" << false << 1 << "3.81" << lark;
    QTest::newRow("Lark 4.00") << 0x42 << "4.00" << true << 1 << "4.00" << QString();
    QTest::newRow("f Wren 1.10") << 0x66 << "1.10" << true << 3 << "1.10" << QString();
    QTest::newRow("Wren 1.09") << 0x66 << "1.09" << false << 3 << "1.09" << wren;
    QTest::newRow("U Kestrel 1.36") << 0x55 << "1.36" << true << 4 << "1.36" << QString();
    QTest::newRow("Kestrel 1.35") << 0x55 << "1.35" << false << 4 << "1.35" << kestrel;
    QTest::newRow("b is no Lark") << 0x62 << "3.82" << false << 4 << "-" << QString();
    QTest::newRow("F is no Wren") << 0x46 << "1.10" << false << 4 << "-" << QString();
    QTest::newRow("u is no Kestrel") << 0x75 << "1.36" << false << 4 << "-" << QString();
    // Texts that do not read as a version cannot prove the firmware new enough.
    QTest::newRow("short text") << 0x55 << "1.4" << false << 4 << "1.4" << kestrel;
    QTest::newRow("empty text") << 0x66 << "" << false << 3 << "" << wren;
    QTest::newRow("letters") << 0x43 << "v3.9" << false << 1 << "v3.9" << lark;
    QTest::newRow("long text cut to 15") << 0x55 << "1.36-beta-build-77" << true << 4 << "1.36-beta-build" << QString();
}

void TestDeviceDetection::identify() {
    QFETCH(int, letter);
    QFETCH(QString, firmware);
    QFETCH(bool, accepted);
    QFETCH(int, lastModel);
    QFETCH(QString, versionText);
    QFETCH(QString, message);

    DeviceTestRig rig(static_cast<std::uint8_t>(letter), firmware.toStdString());
    settings().setLastDeviceModel(ModelKestrel);
    if (!message.isEmpty())
        rig.env.prompts.answer(ButtonOk);

    QCOMPARE(rig.detector.IdentifyDevice(), accepted);
    QCOMPARE(settings().lastDeviceModel(), lastModel);
    QCOMPARE(rig.detector.FirmwareVersionText(), versionText);
    if (message.isEmpty()) {
        QVERIFY(rig.env.prompts.shown().isEmpty());
    } else {
        QCOMPARE(rig.env.prompts.shown().size(), 1);
        const ShownPrompt shown = rig.env.prompts.last();
        QCOMPARE(shown.icon, PromptIcon::Error);
        QCOMPARE(shown.caption, QStringLiteral("Connection is impossible."));
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.buttons, int(ButtonOk));
    }
    // A recognised model shows itself online before its version is judged.
    if (versionText != QLatin1String("-"))
        QCOMPARE(rig.status.workModes.last(),
                 QStringLiteral("Work mode: Orvel %1 v%2 (Online)").arg(deviceModelName(lastModel), versionText));
    else
        QVERIFY(rig.status.workModes.isEmpty());
}

void TestDeviceDetection::identifyMessageInRussian() {
    DeviceTestRig rig('C', "3.81");
    setUiLanguage(UiLanguage::Russian);
    rig.env.prompts.answer(ButtonOk);
    const bool accepted = rig.detector.IdentifyDevice();
    setUiLanguage(UiLanguage::English);

    QVERIFY(!accepted);
    QCOMPARE(rig.env.prompts.last().caption, QStringLiteral("Подключение невозможно."));
    QCOMPARE(rig.env.prompts.last().text, QStringLiteral("Необходим Orvel Lark версии 3.82 и выше."));
    QCOMPARE(rig.status.workModes.last(), QStringLiteral("Режим работы: Orvel Lark v3.81 (Подключен)"));
}

void TestDeviceDetection::identifyFailsAfterRetries() {
    DeviceTestRig rig('f', "1.10");
    settings().setLastDeviceModel(ModelKestrel);
    rig.simulator.injectFault(Fault::BadChecksum, ProgrammerSimulator::Forever);

    QVERIFY(!rig.detector.IdentifyDevice());
    QCOMPARE(rig.detector.FirmwareVersionText(), QStringLiteral("-"));
    QCOMPARE(settings().lastDeviceModel(), 4);
    QCOMPARE(rig.status.messages.last(), QStringLiteral("Data transfer error."));
}

void TestDeviceDetection::detect_data() {
    QTest::addColumn<int>("letter");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("messageBox");
    QTest::addColumn<QString>("detectionLine");
    QTest::addColumn<QString>("workMode"); // empty: the panel was not written

    QTest::newRow("Lark") << 0x43 << "3.82" << false << "Found Orvel Lark [HID]"
                          << "Work mode: Orvel Lark v3.82 (Online)";
    QTest::newRow("Wren") << 0x66 << "1.10" << false << "Found Orvel Wren [HID]"
                          << "Work mode: Orvel Wren v1.10 (Online)";
    QTest::newRow("Kestrel") << 0x55 << "1.36" << false << "Found Orvel Kestrel [HID]"
                             << "Work mode: Orvel Kestrel v1.36 (Online)";
    // Too old, yet it answered: still online, with the message and the unknown-device line.
    QTest::newRow("Lark 3.81") << 0x43 << "3.81" << true << "Found: Unknown device."
                               << "Work mode: Orvel Lark v3.81 (Online)";
    QTest::newRow("unknown letter") << 0x62 << "3.82" << false << "Found: Unknown device." << QString();
}

void TestDeviceDetection::detect() {
    QFETCH(int, letter);
    QFETCH(QString, firmware);
    QFETCH(bool, messageBox);
    QFETCH(QString, detectionLine);
    QFETCH(QString, workMode);

    DeviceTestRig rig(static_cast<std::uint8_t>(letter), firmware.toStdString());
    if (messageBox)
        rig.env.prompts.answer(ButtonOk);

    rig.detector.DetectDevice();
    QVERIFY(rig.detector.DeviceAnswered());
    QCOMPARE(rig.status.messages, QStringList{detectionLine});
    QCOMPARE(rig.status.workModes, workMode.isEmpty() ? QStringList() : QStringList{workMode});
    QCOMPARE(rig.env.prompts.shown().size(), messageBox ? 1 : 0);
}

void TestDeviceDetection::detectionLinesInRussian() {
    DeviceTestRig rig('f', "1.10");
    setUiLanguage(UiLanguage::Russian);
    rig.detector.DetectDevice();
    rig.simulator.setModelLetter('b');
    rig.detector.DetectDevice();
    setUiLanguage(UiLanguage::English);
    QCOMPARE(rig.status.messages, (QStringList{QStringLiteral("Найден Orvel Wren [HID]"),
                                               QStringLiteral("Найден: Неопознанное устройство.")}));
}

void TestDeviceDetection::detectWithoutProgrammer() {
    DeviceTestRig rig;
    rig.detector.DetectDevice();
    QVERIFY(rig.detector.DeviceAnswered());

    rig.simulator.unplug();
    rig.pump.processEvents(); // the notice lets the handle go
    QVERIFY(!rig.link.DeviceConnected());
    rig.status.messages.clear();
    rig.simulator.clearLog();

    rig.detector.DetectDevice();
    QVERIFY(!rig.detector.DeviceAnswered());
    QVERIFY(rig.status.messages.isEmpty());
    QVERIFY(rig.simulator.log().empty());
}

void TestDeviceDetection::probeTriesTwice_data() {
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("times");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("pings");
    QTest::addColumn<QString>("detectionLine");

    QTest::newRow("first ping") << Fault::NoAnswer << 0 << true << 1 << "Found Orvel Lark [HID]";
    QTest::newRow("second ping") << Fault::NoAnswer << 1 << true << 2 << "Found Orvel Lark [HID]";
    QTest::newRow("no answer") << Fault::NoAnswer << 2 << false << 2 << "Found: Unknown device.";
    // The first ping's answer comes after its wait ran out, ahead of the second one's: neither
    // may pass for the answer to CmdIdentify.
    QTest::newRow("first ping answered late") << Fault::DelayedAnswer << 1 << true << 2 << "Found Orvel Lark [HID]";
}

// The probe is two pings without retry texts; only the detection line tells the outcome.
void TestDeviceDetection::probeTriesTwice() {
    QFETCH(Fault, fault);
    QFETCH(int, times);
    QFETCH(bool, answered);
    QFETCH(int, pings);
    QFETCH(QString, detectionLine);

    DeviceTestRig rig;
    rig.simulator.injectFault(fault, times);
    rig.detector.DetectDevice();
    QCOMPARE(rig.detector.DeviceAnswered(), answered);
    QCOMPARE(rig.sent(CmdPing), pings);
    QCOMPARE(rig.sent(CmdIdentify), answered ? 1 : 0);
    QCOMPARE(rig.status.messages, QStringList{detectionLine});
}

void TestDeviceDetection::workMode_data() {
    QTest::addColumn<bool>("russian");
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("text");

    QTest::newRow("Lark offline") << false << 1 << false << "Work mode: Orvel Lark (Offline)";
    QTest::newRow("Wren online") << false << 3 << true << "Work mode: Orvel Wren v1.10 (Online)";
    QTest::newRow("Kestrel offline") << false << 4 << false << "Work mode: Orvel Kestrel (Offline)";
    QTest::newRow("Lark online, Russian") << true << 1 << true << "Режим работы: Orvel Lark v1.10 (Подключен)";
    QTest::newRow("Kestrel offline, Russian") << true << 4 << false << "Режим работы: Orvel Kestrel (Отключен)";
}

void TestDeviceDetection::workMode() {
    QFETCH(bool, russian);
    QFETCH(int, model);
    QFETCH(bool, online);
    QFETCH(QString, text);

    DeviceTestRig rig('f', "1.10");
    QVERIFY(rig.detector.IdentifyDevice()); // the firmware text comes from here
    settings().setLastDeviceModel(model);
    setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
    if (online)
        rig.detector.ShowWorkModeOnline();
    else
        rig.detector.ShowWorkModeOffline();
    setUiLanguage(UiLanguage::English);
    QCOMPARE(rig.status.workModes.last(), text);
}

void TestDeviceDetection::unknownStoredModelKeepsWorkMode() {
    DeviceTestRig rig;
    for (int model : {0, 2, 5, -1}) {
        settings().setLastDeviceModel(model);
        rig.detector.ShowWorkModeOffline();
        rig.detector.ShowWorkModeOnline();
    }
    QVERIFY(rig.status.workModes.isEmpty());
}

// A Wren plugged in after a Lark: the stored model follows, and the offline line after it is
// pulled out names it.
void TestDeviceDetection::newModelReplacesLastOne() {
    DeviceTestRig rig('C', "3.82");
    rig.detector.DetectDevice();
    QCOMPARE(settings().lastDeviceModel(), 1);

    rig.simulator.unplug();
    rig.simulator.setModelLetter('f');
    rig.simulator.setFirmware("1.10");
    rig.simulator.plug();
    rig.pump.processEvents();
    QVERIFY(rig.link.DeviceConnected());
    rig.detector.DetectDevice();
    QCOMPARE(settings().lastDeviceModel(), 3);
    QCOMPARE(rig.status.messages.last(), QStringLiteral("Found Orvel Wren [HID]"));

    rig.simulator.unplug();
    rig.pump.processEvents();
    rig.detector.DetectDevice();
    QVERIFY(!rig.detector.DeviceAnswered());
    rig.detector.ShowWorkModeOffline();
    QCOMPARE(rig.status.workModes.last(), QStringLiteral("Work mode: Orvel Wren (Offline)"));
    // The detection line keeps its last text.
    QCOMPARE(rig.status.messages.last(), QStringLiteral("Found Orvel Wren [HID]"));
}

QTEST_GUILESS_MAIN(TestDeviceDetection)
#include "tst_DeviceDetection.moc"
