#include "OperationDialogRig.h"

#include <QTest>

using namespace tervane;
using namespace tervane::test;
using Fault = ProgrammerSimulator::Fault;

class TestOperationDialogClosing : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setUiLanguage(UiLanguage::English); }

    void closeAlwaysSendsStop_data();
    void closeAlwaysSendsStop();
    void failedArmAborts_data();
    void failedArmAborts();
    void closedWhileRetrying_data();
    void closedWhileRetrying();
    void closedCommandIsNotTriedAgain_data();
    void closedCommandIsNotTriedAgain();
    void nextWhileRetryingTakesOver();
    void unplugClosesDialog();

    void transferLayoutAndGauge_data();
    void transferLayoutAndGauge();
    void downloadReplacesPage();
    void transferStopAfterAWrite_data();
    void transferStopAfterAWrite();
    void downloadStopped_data();
    void downloadStopped();
};

void TestOperationDialogClosing::closeAlwaysSendsStop_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QString>("closer");
    QTest::addColumn<bool>("resultFirst");

    QTest::newRow("read, Cancel") << Read << "CancelButton" << false;
    QTest::newRow("read, Esc") << Read << "Esc" << false;
    QTest::newRow("write, Exit after a finished write") << Write << "EndButton" << true;
    QTest::newRow("write, close box while waiting") << Write << "close" << false;
    QTest::newRow("lock, Cancel after the result") << Lock << "CancelButton" << true;
    QTest::newRow("lock, device offline") << Lock << "offline" << false;
}

void TestOperationDialogClosing::closeAlwaysSendsStop() {
    QFETCH(Operation, op);
    QFETCH(QString, closer);
    QFETCH(bool, resultFirst);

    OperationDialogRig rig;
    rig.host.selection = {1, 1, 2, 2};
    rig.host.page.setCell(1, 1, keyCell(KeyTypeDallas, codeFor(5)));
    QVERIFY(start(rig, op));
    if (resultFirst) {
        if (op == Write)
            rig.simulator.setWriteResult(0);
        else
            rig.simulator.setLockResult(0);
        rig.tick();
        QCOMPARE(rig.form.pendingEvents(), 0);
    }
    const int refreshes = rig.host.refreshCalls;

    if (closer == QLatin1String("Esc"))
        QTest::keyClick(&rig.form, Qt::Key_Escape);
    else if (closer == QLatin1String("close"))
        rig.form.close();
    else if (closer == QLatin1String("offline"))
        rig.form.closeIfOpen();
    else
        rig.button(qPrintable(closer))->click();

    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.form.procCancelled());
    QCOMPARE(rig.form.pendingEvents(), 0);
    QVERIFY(!rig.form.procTimer().isActive());
    QVERIFY(rig.host.window.isEnabled());
    QCOMPARE(rig.host.refreshCalls, refreshes + 1);
    QVERIFY(isBareCommand(rig.lastCommand(), CmdStop));
    QCOMPARE(rig.simulator.commandCount(CmdStop), 1);
    QCOMPARE(rig.simulator.waiting(), ProgrammerSimulator::Waiting::Nothing);

    // Nothing is awaited any more: a late key is not taken.
    const KeyPage before = rig.host.page;
    rig.simulator.queueAnswer([] {
        Report r{};
        r[1] = StatusKeyRead;
        r[2] = KeyTypeDallas;
        r[64] = reportChecksum(r.data());
        return r;
    }());
    rig.tick();
    QVERIFY(rig.host.page == before);
    QVERIFY(rig.simulator.hasAnswer());
}

void TestOperationDialogClosing::failedArmAborts_data() {
    QTest::addColumn<Operation>("op");
    QTest::newRow("read") << Read;
    QTest::newRow("write") << Write;
    QTest::newRow("lock") << Lock;
}

void TestOperationDialogClosing::failedArmAborts() {
    QFETCH(Operation, op);

    OperationDialogRig rig;
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, codeFor(0)));
    rig.simulator.injectFault(Fault::NoAnswer, ProgrammerSimulator::Forever);
    QVERIFY(start(rig, op));

    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.host.window.isEnabled());
    QVERIFY(!rig.form.procTimer().isActive());
    QCOMPARE(rig.status.messages.last(), kTransferError);
    QCOMPARE(rig.simulator.commandCount(CmdStop), DeviceProtocol::MaxAttempts);
}

void TestOperationDialogClosing::closedWhileRetrying_data() {
    QTest::addColumn<Operation>("op");
    // A button's name, or "unplug".
    QTest::addColumn<QString>("closer");

    QTest::newRow("read, Cancel") << Read << "CancelButton";
    QTest::newRow("write, Exit") << Write << "EndButton";
    QTest::newRow("lock, Cancel") << Lock << "CancelButton";
    QTest::newRow("read, unplugged") << Read << "unplug";
    QTest::newRow("write, unplugged") << Write << "unplug";
}

// The dialog closes inside the retries of its arm command: the command is not tried again,
// nothing may be awaited or stored afterwards, and the programmer is not left waiting.
void TestOperationDialogClosing::closedWhileRetrying() {
    QFETCH(Operation, op);
    QFETCH(QString, closer);

    OperationDialogRig rig;
    rig.host.selection = {1, 1, 2, 1};
    rig.host.page.setCell(0, 1, keyCell(KeyTypeEm410x, codeFor(4)));
    const KeyPage before = rig.host.page;
    const bool unplug = closer == QLatin1String("unplug");
    // The arm command's first attempt and the close's first CmdStop get no answer.
    rig.simulator.injectFault(Fault::NoAnswer, unplug ? 1 : 2);
    bool closed = false;
    rig.pump.onProcessEvents = [&] {
        if (closed || !rig.status.messages.contains(QStringLiteral("Repeating data transfer: 1")))
            return;
        closed = true;
        if (unplug)
            rig.simulator.unplug();
        else
            rig.button(qPrintable(closer))->click();
    };
    QVERIFY(start(rig, op));
    rig.pump.onProcessEvents = nullptr;
    QCoreApplication::processEvents();

    QVERIFY(closed);
    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.host.window.isEnabled());
    QCOMPARE(rig.form.pendingEvents(), 0);
    QVERIFY(!rig.form.procTimer().isActive());
    QVERIFY(!rig.status.messages.contains(kTransferError));
    QCOMPARE(rig.simulator.waiting(), ProgrammerSimulator::Waiting::Nothing);
    if (!unplug) {
        QVERIFY(isBareCommand(rig.lastCommand(), CmdStop));
        // Not tried again after the close: the write whose answer was lost is the only one.
        QVERIFY(rig.simulator.writtenKeys().empty());
    }

    rig.simulator.presentKey(KeyTypeDallas, codeFor(1));
    rig.tick();
    QVERIFY(rig.host.page == before);
}

void TestOperationDialogClosing::closedCommandIsNotTriedAgain_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QString>("closer");
    QTest::addColumn<int>("code");

    QTest::newRow("read, Cancel") << Read << "CancelButton" << int(CmdReadKeys);
    QTest::newRow("write, Exit") << Write << "EndButton" << int(CmdWriteBlank);
    QTest::newRow("lock, Cancel") << Lock << "CancelButton" << int(CmdLockKey);
}

// The dialog closes while its arm command waits for its next attempt. The command stops there:
// tried again, it would reach the programmer in whatever operation comes next. No operation
// starts while it is still on the stack; once it has stopped, a new lock works.
void TestOperationDialogClosing::closedCommandIsNotTriedAgain() {
    QFETCH(Operation, op);
    QFETCH(QString, closer);
    QFETCH(int, code);

    OperationDialogRig rig;
    rig.host.selection = {1, 1, 1, 1};
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, codeFor(0)));
    rig.simulator.injectFault(Fault::NoAnswer);
    bool closed = false;
    bool startedInside = false;
    rig.pump.onProcessEvents = [&] {
        if (closed || !rig.status.messages.contains(QStringLiteral("Repeating data transfer: 1")))
            return;
        closed = true;
        rig.button(qPrintable(closer))->click();
        startedInside = rig.form.StartLockKey();
    };
    QVERIFY(start(rig, op));
    rig.pump.onProcessEvents = nullptr;

    QVERIFY(closed);
    QVERIFY(!startedInside);
    QCOMPARE(rig.simulator.commandCount(static_cast<std::uint8_t>(code)), 1);
    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.status.messages.contains(kTransferError));

    QVERIFY(rig.form.StartLockKey());
    rig.simulator.setLockResult(0);
    rig.tickUntil([&] { return rig.form.pendingEvents() == 0; });
    QCOMPARE(rig.infoPanel(), QStringLiteral("The key is successfully locked."));
    QVERIFY(rig.form.isOpen());
}

// Next clicked while the arm command of the current cell is still being retried: the wait
// belongs to the next cell, and the older arm step neither waits nor aborts.
void TestOperationDialogClosing::nextWhileRetryingTakesOver() {
    OperationDialogRig rig;
    rig.host.selection = {1, 1, 2, 1};
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, codeFor(0)));
    rig.host.page.setCell(0, 1, keyCell(KeyTypeDallas, codeFor(1)));
    rig.simulator.injectFault(Fault::NoAnswer);
    bool clicked = false;
    rig.pump.onProcessEvents = [&] {
        if (!clicked && rig.status.messages.contains(QStringLiteral("Repeating data transfer: 1"))) {
            clicked = true;
            rig.button("NextButton")->click();
        }
    };
    QVERIFY(rig.form.StartWriteBlanks());
    rig.pump.onProcessEvents = nullptr;

    QVERIFY(clicked);
    QVERIFY(rig.form.isOpen());
    QCOMPARE(rig.form.procCursor(), (WalkPosition{0, 1}));
    QCOMPARE(rig.form.pendingEvents(), int(OperationDialog::EventWriteResult));
    QVERIFY(rig.form.procTimer().isActive());
    QVERIFY(!rig.status.messages.contains(kTransferError));
    QVERIFY(rig.simulator.writtenKeys().back() == std::make_pair(std::uint8_t(KeyTypeDallas), codeFor(1)));
}

void TestOperationDialogClosing::unplugClosesDialog() {
    OperationDialogRig rig;
    rig.host.selection = {1, 1, 3, 3};
    QVERIFY(rig.form.StartReadKeys());
    rig.simulator.unplug();
    QTRY_VERIFY(!rig.form.isOpen());

    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.host.window.isEnabled());
    QVERIFY(!rig.form.procTimer().isActive());
    QVERIFY(!rig.status.messages.contains(kTransferError));
}

void TestOperationDialogClosing::transferLayoutAndGauge_data() {
    QTest::addColumn<bool>("download");
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("rows");

    QTest::newRow("download, Lark") << true << 1 << false << "Downloading database." << 100;
    QTest::newRow("download, Wren, ru") << true << 3 << true << "Чтение базы ключей." << 500;
    QTest::newRow("upload, Kestrel") << false << 4 << false << "Uploading database." << 500;
    QTest::newRow("upload, Lark, ru") << false << 1 << true << "Запись базы ключей." << 100;
}

void TestOperationDialogClosing::transferLayoutAndGauge() {
    QFETCH(bool, download);
    QFETCH(int, model);
    QFETCH(bool, russian);
    QFETCH(QString, title);
    QFETCH(int, rows);

    OperationDialogRig rig;
    setLanguage(russian);
    settings().setLastDeviceModel(model);
    rig.host.page.setCell(2, 0, keyCell(KeyTypeDallas, codeFor(2)));
    const KeyPage before = rig.host.page;

    struct Seen {
        bool taken = false;
        QString title;
        QSize size;
        QRect info;
        bool infoShown = false, gaugeShown = false, cancelShown = false, cancelEnabled = false;
        bool lowerEnabled = true, groupsShown = true, hostEnabled = true;
        int minimum = -1, maximum = -1;
    } seen;
    QList<int> gaugeValues;
    rig.pump.onProcessEvents = [&] {
        OperationDialog& form = rig.form;
        if (!form.isOpen())
            return;
        gaugeValues << rig.gauge()->value();
        if (seen.taken)
            return;
        seen.taken = true;
        seen.title = form.windowTitle();
        seen.size = form.size();
        seen.info = rig.child<QWidget>("InfoPanel")->geometry();
        seen.infoShown = rig.child<QWidget>("InfoPanel")->isVisibleTo(&form);
        seen.gaugeShown = rig.gauge()->isVisibleTo(&form);
        seen.cancelShown = rig.button("CancelButton")->isVisibleTo(&form);
        seen.cancelEnabled = rig.button("CancelButton")->isEnabled();
        seen.lowerEnabled = rig.button("RepeatButton")->isEnabled() || rig.button("NextButton")->isEnabled() ||
                            rig.button("EndButton")->isEnabled();
        seen.groupsShown =
            rig.child<QWidget>("GroupBox1")->isVisibleTo(&form) || rig.child<QWidget>("GroupBox2")->isVisibleTo(&form);
        seen.hostEnabled = rig.host.window.isEnabled();
        seen.minimum = rig.gauge()->minimum();
        seen.maximum = rig.gauge()->maximum();
    };
    if (download)
        rig.form.DownloadKeyBase();
    else
        rig.form.UploadKeyBase();
    rig.pump.onProcessEvents = nullptr;

    QVERIFY(seen.taken);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.size, QSize(337, 135 - OperationDialog::FrameHeight));
    QCOMPARE(seen.info, QRect(32, 19, 273, 27));
    QVERIFY(seen.infoShown && seen.gaugeShown && seen.cancelShown && seen.cancelEnabled);
    QVERIFY(!seen.lowerEnabled && !seen.groupsShown && !seen.hostEnabled);
    QCOMPARE(seen.minimum, 0);
    QCOMPARE(seen.maximum, rows - 1);
    QCOMPARE(gaugeValues.first(), 0);
    QCOMPARE(*std::max_element(gaugeValues.begin(), gaugeValues.end()), rows - 1);

    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.child<QWidget>("InfoPanel")->isHidden());
    QVERIFY(rig.gauge()->isHidden());
    QVERIFY(rig.host.window.isEnabled());
    QCOMPARE(rig.simulator.commandCount(download ? CmdReadBaseRow : CmdWriteBaseRow), rows);
    // One CmdStop as the transfer starts, one as the dialog closes.
    QCOMPARE(rig.simulator.commandCount(CmdStop), 2);
    QVERIFY(isBareCommand(rig.lastCommand(), CmdStop));
    if (download) {
        QVERIFY(rig.host.page.isBlank());
        QCOMPARE(rig.host.edits, 1);
    } else {
        QVERIFY(rig.host.page == before);
        QCOMPARE(rig.host.edits, 0);
        QCOMPARE(rig.simulator.row(2)[0], std::uint8_t(KeyTypeDallas));
    }
}

void TestOperationDialogClosing::downloadReplacesPage() {
    OperationDialogRig rig;
    settings().setLastDeviceModel(1);
    rig.host.page.setCell(7, 3, keyCell(KeyTypeDallas, codeFor(7)));
    rig.host.page.setComment(7, "old");
    ProgrammerSimulator::Row row{};
    row[0] = KeyTypeCyfral;
    std::copy_n("Gate", 4, row.begin() + 1);
    row[26] = 0x12;
    row[27] = 0x34;
    rig.simulator.setRow(5, row);

    rig.form.DownloadKeyBase();

    KeyPage expected;
    expected.setCell(5, 0, keyCell(KeyTypeCyfral, {0x12, 0x34, 0, 0, 0, 0, 0, 0}));
    expected.setComment(5, "Gate");
    QVERIFY(rig.host.page == expected);
    QCOMPARE(rig.host.edits, 1);
    QVERIFY(rig.host.refreshCalls >= 1);
}

void TestOperationDialogClosing::transferStopAfterAWrite_data() {
    QTest::addColumn<bool>("download");
    QTest::newRow("download") << true;
    QTest::newRow("upload") << false;
}

// A transfer's first CmdStop goes out with the parameters the previous command left: after a
// written blank, that command is the closing dialog's CmdStop, and the key is gone from them.
void TestOperationDialogClosing::transferStopAfterAWrite() {
    QFETCH(bool, download);
    OperationDialogRig rig;
    settings().setLastDeviceModel(1);
    rig.host.selection = {1, 1, 1, 1};
    rig.host.page.setCell(0, 0, keyCell(KeyTypeEm410x, codeFor(6)));
    QVERIFY(rig.form.StartWriteBlanks());
    rig.simulator.setWriteResult(0);
    rig.tickUntil([&] { return rig.form.pendingEvents() == 0; });
    rig.button("EndButton")->click();
    QVERIFY(isBareCommand(rig.lastCommand(), CmdStop));

    const std::size_t before = rig.simulator.log().size();
    if (download)
        rig.form.DownloadKeyBase();
    else
        rig.form.UploadKeyBase();
    QVERIFY(rig.simulator.log().size() > before);
    QVERIFY(isBareCommand(rig.simulator.log()[before], CmdStop));
}

void TestOperationDialogClosing::downloadStopped_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel at row 10") << "cancel";
    QTest::newRow("close box at row 10") << "close";
    QTest::newRow("unplugged at row 10") << "unplug";
    QTest::newRow("Cancel while the last row is retried") << "last row";
}

// A download that does not run to its end leaves the page as it was.
void TestOperationDialogClosing::downloadStopped() {
    QFETCH(QString, how);

    OperationDialogRig rig;
    settings().setLastDeviceModel(1);
    rig.host.page.setCell(7, 3, keyCell(KeyTypeDallas, codeFor(7)));
    ProgrammerSimulator::Row row{};
    row[0] = KeyTypeDallas;
    row[26] = 0x01;
    rig.simulator.setRow(5, row);
    const KeyPage before = rig.host.page;

    bool faulted = false;
    bool stopped = false;
    rig.pump.onProcessEvents = [&] {
        if (stopped || !rig.form.isOpen())
            return;
        const int at = rig.gauge()->value();
        if (how == QLatin1String("last row")) {
            if (at == 99 && !faulted) {
                faulted = true;
                rig.simulator.injectFault(Fault::NoAnswer);
            } else if (faulted && rig.status.messages.contains(QStringLiteral("Repeating data transfer: 1"))) {
                stopped = true;
                rig.button("CancelButton")->click();
            }
            return;
        }
        if (at != 10)
            return;
        stopped = true;
        if (how == QLatin1String("cancel"))
            rig.button("CancelButton")->click();
        else if (how == QLatin1String("close"))
            rig.form.close();
        else
            rig.simulator.unplug();
    };
    rig.form.DownloadKeyBase();
    rig.pump.onProcessEvents = nullptr;
    QCoreApplication::processEvents();

    QVERIFY(stopped);
    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.host.window.isEnabled());
    QVERIFY(rig.host.page == before);
    QVERIFY(!rig.status.messages.contains(kTransferError));
    // The last row is not asked again once the dialog has closed.
    if (how == QLatin1String("last row"))
        QCOMPARE(rig.simulator.commandCount(CmdReadBaseRow), 100);
    else
        QVERIFY(rig.simulator.commandCount(CmdReadBaseRow) <= 11);
}

QTEST_MAIN(TestOperationDialogClosing)
#include "tst_OperationDialogClosing.moc"
