// The main window with a programmer: detection at start, the device commands, plug and unplug.

#include "MainWindowFixture.h"

#include "base/Document.h"
#include "base/KeyPage.h"
#include "device/CompositeTransport.h"
#include "device/DeviceLink.h"
#include "device/DeviceReport.h"
#include "dialogs/OperationDialog.h"
#include "keys/DallasCrc.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

Q_DECLARE_METATYPE(tervane::GridSelection)
Q_DECLARE_METATYPE(tervane::CommandId)

namespace {

QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

KeyCode dallasCode(std::uint8_t low) {
    KeyCode c{1, low, 0x34, 0x12, 0, 0, 0, 0};
    c[7] = DallasCrc8(c.data(), 7);
    return c;
}

} // namespace

class MainWindowDeviceTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        simulator = std::make_unique<ProgrammerSimulator>('U', "1.36");
        transport = std::make_unique<SimulatedTransport>(*simulator);
        deviceLink().setTransport(transport.get());
    }
    void cleanup() {
        if (f->session) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            f->closeWindow();
        }
        deviceLink().setTransport(nullptr);
        transport.reset();
        simulator.reset();
        f.reset();
    }

    void startFindsTheProgrammer() {
        MainWindow& w = f->start();
        QCOMPARE(f->panel(0), QStringLiteral("Found Orvel Kestrel [HID]"));
        QCOMPARE(f->panel(4), QStringLiteral("Work mode: Orvel Kestrel v1.36 (Online)"));
        QVERIFY(w.deviceOnline());
        QVERIFY(action(w, "MainMenuKeysFinal")->isEnabled());
        QVERIFY(!action(w, "MainMenuKeysRead")->isEnabled()); // no page shown yet
        f->openBase(f->writeSampleBase());
        QVERIFY(action(w, "MainMenuKeysRead")->isEnabled());
        QVERIFY(action(w, "MainImportKeyBase")->isEnabled());
        QCOMPARE(settings().lastDeviceModel(), 4);
    }

    void writeKeysNeedsAKeyInTheSelection_data() {
        QTest::addColumn<GridSelection>("selection");
        QTest::addColumn<bool>("enabled");
        // The sample page holds a key in row 0, key column 0, and a comment in row 0.
        QTest::newRow("the key's cell") << GridSelection{1, 1, 1, 1} << true;
        QTest::newRow("a block around it") << GridSelection{1, 1, 3, 4} << true;
        QTest::newRow("empty cells") << GridSelection{2, 1, 6, 5} << false;
        QTest::newRow("the comment only") << GridSelection{7, 1, 7, 1} << false;
        QTest::newRow("key column and comment") << GridSelection{6, 1, 7, 1} << false;
    }
    void writeKeysNeedsAKeyInTheSelection() {
        QFETCH(GridSelection, selection);
        QFETCH(bool, enabled);
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setSelectionRect(selection);
        QCOMPARE(action(w, "MainMenuKeysWrite")->isEnabled(), enabled);
        QCOMPARE(action(w, "ToolWriteKey")->isEnabled(), enabled);
        QCOMPARE(action(w, "PopUpWriteKey")->isEnabled(), enabled);
        QVERIFY(action(w, "MainMenuKeysRead")->isEnabled());
    }

    void f5ReadsPresentedKeysIntoTheSelection() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setFocus();
        QTRY_VERIFY(w.grid()->hasFocus());
        w.grid()->setSelectionRect({1, 2, 2, 2});
        simulator->presentKey(KeyTypeDallas, dallasCode(0x01));
        simulator->presentKey(KeyTypeDallas, dallasCode(0x02));
        QTest::keyClick(w.grid(), Qt::Key_F5);
        QVERIFY(w.operationDialog()->isOpen());
        QVERIFY(!w.isEnabled());
        QTRY_VERIFY(!w.operationDialog()->isOpen());
        QVERIFY(w.isEnabled());
        const KeyPage& page = w.document().pageBuffer();
        QCOMPARE(page.cell(1, 0).code(), dallasCode(0x01));
        QCOMPARE(page.cell(1, 1).code(), dallasCode(0x02));
        QVERIFY(w.document().modified());
        QCOMPARE(w.gridModel()->index(1, 1).data().toString(), QStringLiteral(" DS1990 - 000000123402"));
        QVERIFY(simulator->commandCount(CmdStop) >= 1);
    }

    // A programmer that stopped answering while the lock dialog waits: closing the window closes
    // the dialog without trying its CmdStop nine times.
    void closingWithADeadProgrammerDoesNotWaitForIt() {
        VirtualEventPump pump;
        pump.processQtEvents = true;
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.runCommand(CommandId::LockKey);
        QVERIFY(w.operationDialog()->isOpen());
        simulator->injectFault(ProgrammerSimulator::Fault::NoAnswer, 100);
        const int stopsBefore = simulator->commandCount(CmdStop);
        const qint64 before = pump.now;
        settings().setSavePolicy(SavePolicy::DoNotSave);
        QVERIFY(f->closeWindow());
        QVERIFY(pump.now - before < DeviceLink::ReadBoundMs);
        QCOMPARE(simulator->commandCount(CmdStop), stopsBefore);
    }

    void unplugGoesOfflineAndClosesTheDialog() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.runCommand(CommandId::LockKey);
        QVERIFY(w.operationDialog()->isOpen());
        simulator->unplug();
        QTRY_VERIFY(!w.deviceOnline());
        QVERIFY(!w.operationDialog()->isOpen());
        QVERIFY(w.isEnabled());
        QCOMPARE(f->panel(4), QStringLiteral("Work mode: Orvel Kestrel (Offline)"));
        QVERIFY(!action(w, "MainMenuKeysFinal")->isEnabled());
        simulator->plug();
        QTRY_VERIFY(w.deviceOnline());
        QCOMPARE(f->panel(4), QStringLiteral("Work mode: Orvel Kestrel v1.36 (Online)"));
    }

    // Cancel lands while the lock command waits for its next attempt: the device commands stay
    // off until that command has stopped, and come back on by themselves afterwards.
    void deviceCommandsWaitForACancelledCommand() {
        VirtualEventPump pump;
        pump.processQtEvents = true;
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        simulator->injectFault(ProgrammerSimulator::Fault::NoAnswer);
        bool cancelled = false;
        bool enabledInside = true;
        pump.onProcessEvents = [&] {
            if (cancelled || f->panel(0) != QStringLiteral("Repeating data transfer: 1"))
                return;
            cancelled = true;
            w.operationDialog()->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
            enabledInside = action(w, "MainMenuKeysFinal")->isEnabled() || action(w, "MainMenuKeysRead")->isEnabled();
        };
        w.runCommand(CommandId::LockKey);
        pump.onProcessEvents = nullptr;

        QVERIFY(cancelled);
        QVERIFY(!enabledInside);
        QVERIFY(!w.operationDialog()->isOpen());
        QCOMPARE(simulator->commandCount(CmdLockKey), 1);
        QVERIFY(action(w, "MainMenuKeysFinal")->isEnabled());
        QVERIFY(action(w, "MainMenuKeysRead")->isEnabled());
    }

    void programmerReplacedUnderTheDialog_data() {
        QTest::addColumn<CommandId>("command");
        QTest::addColumn<GridSelection>("selection");
        QTest::newRow("read") << CommandId::ReadKeys << GridSelection{1, 2, 2, 2};
        QTest::newRow("write") << CommandId::WriteKeys << GridSelection{1, 1, 1, 1};
        QTest::newRow("lock") << CommandId::LockKey << GridSelection{1, 1, 1, 1};
        QTest::newRow("download") << CommandId::ImportKeyBase << GridSelection{1, 1, 1, 1};
        QTest::newRow("upload") << CommandId::ExportKeyBase << GridSelection{1, 1, 1, 1};
    }
    // Two programmers plugged in, and the one in use pulled out during an operation: the
    // operation ends as for a lone programmer pulled out, and the other one, taken into use,
    // hears nothing but the probe and the identification.
    void programmerReplacedUnderTheDialog() {
        QFETCH(CommandId, command);
        QFETCH(GridSelection, selection);
        VirtualEventPump pump;
        pump.processQtEvents = true;
        ProgrammerSimulator lark('C', "3.82");
        ProgrammerSimulator kestrel('U', "1.36");
        CompositeTransport composite;
        composite.addBackend(new SimulatedTransport(lark, QStringLiteral("lark")));
        composite.addBackend(new SimulatedTransport(kestrel, QStringLiteral("kestrel")));
        deviceLink().setTransport(&composite);
        MainWindow& w = f->start();
        QCOMPARE(composite.openPath(), QStringLiteral("sim:lark"));
        f->openBase(f->writeSampleBase());
        w.grid()->setSelectionRect(selection);
        const KeyPage before = w.document().pageBuffer();
        kestrel.clearLog();

        // A transfer loses its programmer at row 10; the other operations while they wait.
        const bool transfer = command == CommandId::ImportKeyBase || command == CommandId::ExportKeyBase;
        pump.onProcessEvents = [&] {
            if (lark.plugged() && lark.commandCount(CmdReadBaseRow) + lark.commandCount(CmdWriteBaseRow) >= 10)
                lark.unplug();
        };
        w.runCommand(command);
        if (!transfer) {
            QVERIFY(w.operationDialog()->isOpen());
            lark.unplug();
        }
        for (int i = 0; i < 3; ++i)
            pump.processEvents();
        pump.onProcessEvents = nullptr;

        QVERIFY(!lark.plugged());
        QVERIFY(!w.operationDialog()->isOpen());
        QVERIFY(w.isEnabled());
        QVERIFY(w.deviceOnline());
        QCOMPARE(composite.openPath(), QStringLiteral("sim:kestrel"));
        QCOMPARE(f->panel(4), QStringLiteral("Work mode: Orvel Kestrel v1.36 (Online)"));
        for (const Report& report : kestrel.log())
            QVERIFY2(report[1] == CmdPing || report[1] == CmdIdentify, qPrintable(QString::number(report[1])));
        QVERIFY(w.document().pageBuffer() == before);
        QVERIFY(lark.commandCount(CmdReadBaseRow) + lark.commandCount(CmdWriteBaseRow) <= 11);
        settings().setSavePolicy(SavePolicy::DoNotSave);
        f->closeWindow();
    }

    void downloadWithALarkFillsTheFirstHundredRows() {
        // The transport lets go of its programmer when it goes, so it goes first.
        deviceLink().setTransport(nullptr);
        transport.reset();
        simulator = std::make_unique<ProgrammerSimulator>('C', "3.82");
        transport = std::make_unique<SimulatedTransport>(*simulator);
        deviceLink().setTransport(transport.get());
        ProgrammerSimulator::Row row{};
        row[0] = KeyTypeDallas;
        row[1] = 'A';
        const KeyCode code = dallasCode(0x07);
        std::copy(code.begin(), code.end(), row.begin() + 26);
        simulator->setRow(99, row);
        MainWindow& w = f->start();
        QCOMPARE(settings().lastDeviceModel(), 1);
        f->openBase(f->writeSampleBase());
        w.runCommand(CommandId::ImportKeyBase);
        QTRY_VERIFY(!w.operationDialog()->isOpen());
        QCOMPARE(simulator->commandCount(CmdReadBaseRow), 100);
        const KeyPage& page = w.document().pageBuffer();
        QCOMPARE(page.cell(99, 0).code(), code);
        QCOMPARE(page.comment(99), QByteArray("A"));
        // The old page's keys and comments are gone, rows past the programmer's memory included.
        QCOMPARE(page.occupiedCellCount(), 1);
        QVERIFY(page.comment(0).isEmpty());
        QVERIFY(w.document().modified());
    }

private:
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<ProgrammerSimulator> simulator;
    std::unique_ptr<SimulatedTransport> transport;
};

QTEST_MAIN(MainWindowDeviceTest)
#include "tst_MainWindowDevice.moc"
