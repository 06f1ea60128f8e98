#include "OperationDialogRig.h"

#include "dialogs/OperationResultTexts.h"

#include <QGroupBox>
#include <QTest>

using namespace tervane;
using namespace tervane::test;
using Fault = ProgrammerSimulator::Fault;

class TestOperationDialog : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setUiLanguage(UiLanguage::English); }

    void resultTexts_data();
    void resultTexts();
    void layout_data();
    void layout();
    void captionsFollowLanguageOnReopen();
    void componentPositions();
    void showCentresAndClearsStatus();

    void readStoresAlongWalk_data();
    void readStoresAlongWalk();
    void nothingToDoOpensNothing_data();
    void nothingToDoOpensNothing();
    void cancelledEventInReadCloses();
    void staleEventDuringArmIsFailedAttempt();

    void writeWalk_data();
    void writeWalk();
    void writeLabels_data();
    void writeLabels();
    void eventResults_data();
    void eventResults();
};

void TestOperationDialog::resultTexts_data() {
    QTest::addColumn<bool>("lock");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("russian");

    struct Row {
        int code;
        const char* english;
        const char* russian;
    };
    const Row writes[] = {
        {0, "The key is successfully written.", "Ключ успешно записан."},
        {1, "Error - Data transfer is interrupted.", "Ошибка - Передача данных прервана."},
        {2, "Write error.", "Ошибка записи."},
        {3, "Write operation is cancelled.", "Операция записи отменена."},
        {4, "Error - The code is already written.", "Ошибка - Такой код уже записан на ключ."},
        {5, "Error - It is impossible to complete operation.", "Ошибка - Невозможно выполнить операцию."},
        {6, "Write error.", "Ошибка записи."},
        {7, "Error - Wrong type device.", "Ошибка - Заготовка не подходит."},
        {8, "Write error.", "Ошибка записи."},
        {255, "Write error.", "Ошибка записи."},
    };
    const Row locks[] = {
        {0, "The key is successfully locked.", "Ключ успешно финализирован."},
        {1, "Error - Data transfer is interrupted.", "Ошибка - передача данных прервана."},
        {2, "Error of locking.", "Ошибка финализации."},
        {3, "Lock operation is cancelled.", "Операция финализации отменена."},
        {4, "Error - It is impossible to complete operation.", "Ошибка - невозможно выполнить операцию."},
        {5, "Error of locking.", "Ошибка финализации."},
        {7, "Error of locking.", "Ошибка финализации."},
        {255, "Error of locking.", "Ошибка финализации."},
    };
    for (const Row& r : writes)
        QTest::addRow("write %d", r.code)
            << false << r.code << QString::fromUtf8(r.english) << QString::fromUtf8(r.russian);
    for (const Row& r : locks)
        QTest::addRow("lock %d", r.code) << true << r.code << QString::fromUtf8(r.english)
                                         << QString::fromUtf8(r.russian);
}

// Write and lock share two English texts whose Russian differs in case.
void TestOperationDialog::resultTexts() {
    QFETCH(bool, lock);
    QFETCH(int, code);
    QFETCH(QString, english);
    QFETCH(QString, russian);

    const auto textOf = [&](UiLanguage language) {
        return lock ? LockResultText(code, language) : WriteResultText(code, language);
    };
    QCOMPARE(textOf(UiLanguage::English), english);
    QCOMPARE(textOf(UiLanguage::Russian), russian);
}

void TestOperationDialog::layout_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("formHeight");
    QTest::addColumn<int>("infoTop");

    QTest::newRow("read en") << Read << false << "Keys reading" << 135 << 19;
    QTest::newRow("read ru") << Read << true << "Чтение ключей" << 135 << 19;
    QTest::newRow("write en") << Write << false << "Keys writing" << 245 << 119;
    QTest::newRow("write ru") << Write << true << "Запись заготовок" << 245 << 119;
    QTest::newRow("lock en") << Lock << false << "Lock key" << 135 << 19;
    QTest::newRow("lock ru") << Lock << true << "Финализация ключа" << 135 << 19;
}

void TestOperationDialog::layout() {
    QFETCH(Operation, op);
    QFETCH(bool, russian);
    QFETCH(QString, title);
    QFETCH(int, formHeight);
    QFETCH(int, infoTop);

    OperationDialogRig rig;
    setLanguage(russian);
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, codeFor(0)));
    rig.host.selection = {1, 1, 1, 1};
    QVERIFY(start(rig, op));

    OperationDialog& form = rig.form;
    QVERIFY(form.isVisible());
    QVERIFY(form.isEnabled());
    QVERIFY(!rig.host.window.isEnabled());
    QCOMPARE(form.objectName(), QStringLiteral("TProcForm"));
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form.windowTitle(), title);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.size(), QSize(337, formHeight - OperationDialog::FrameHeight));
    QCOMPARE(form.procMode(), op == Read    ? OperationDialog::ModeRead
                              : op == Write ? OperationDialog::ModeWrite
                                            : OperationDialog::ModeLock);

    const bool write = op == Write;
    const auto* info = rig.child<QLabel>("InfoPanel");
    QVERIFY(info->isVisibleTo(&form));
    QCOMPARE(info->geometry(), QRect(32, infoTop, 273, 27));
    QCOMPARE(info->text(), russian ? QStringLiteral("Ожидание...") : QStringLiteral("Waiting..."));
    QVERIFY(!rig.gauge()->isVisibleTo(&form));
    QCOMPARE(rig.button("CancelButton")->isVisibleTo(&form), !write);
    QCOMPARE(rig.button("CancelButton")->isEnabled(), !write);
    QCOMPARE(rig.button("RepeatButton")->isEnabled(), write);
    QCOMPARE(rig.button("EndButton")->isEnabled(), write);
    // A single key: nothing follows it.
    QVERIFY(!rig.button("NextButton")->isEnabled());
    QCOMPARE(rig.child<QGroupBox>("GroupBox1")->isVisibleTo(&form), write);
    QCOMPARE(rig.child<QGroupBox>("GroupBox2")->isVisibleTo(&form), write);
    if (!write) {
        QCOMPARE(rig.child<QLabel>("InfoLabel1")->text(), QStringLiteral("-"));
        QCOMPARE(rig.child<QLabel>("InfoLabel2")->text(), QStringLiteral("-"));
        // The lower buttons lie outside the client area.
        QVERIFY(rig.button("NextButton")->y() >= form.height());
    }

    const QStringList captions =
        russian ? QStringList{"Записывается:", "Результат операции:", "Повторить", "Следующий", "Завершить", "Отмена"}
                : QStringList{"Writing:", "Operation result:", "Repeat", "Next", "Exit", "Cancel"};
    const QStringList shown{rig.child<QGroupBox>("GroupBox1")->title(),
                            rig.child<QGroupBox>("GroupBox2")->title(),
                            rig.button("RepeatButton")->text(),
                            rig.button("NextButton")->text(),
                            rig.button("EndButton")->text(),
                            rig.button("CancelButton")->text()};
    QCOMPARE(shown, captions);
}

// The captions are written again only when the language changed since they were last written.
void TestOperationDialog::captionsFollowLanguageOnReopen() {
    OperationDialogRig rig;
    for (const bool russian : {true, true, false, true}) {
        setLanguage(russian);
        QVERIFY(start(rig, Lock));
        QCOMPARE(rig.button("CancelButton")->text(), russian ? QStringLiteral("Отмена") : QStringLiteral("Cancel"));
        QCOMPARE(rig.child<QGroupBox>("GroupBox1")->title(),
                 russian ? QStringLiteral("Записывается:") : QStringLiteral("Writing:"));
        rig.form.closeIfOpen();
    }
}

void TestOperationDialog::componentPositions() {
    OperationDialogRig rig;
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, codeFor(0)));
    QVERIFY(rig.form.StartWriteBlanks());

    const struct {
        const char* name;
        QRect geometry;
    } expected[] = {
        {"GroupBox1", {16, 8, 305, 81}},     {"InfoLabel1", {13, 24, 285, 16}},   {"InfoLabel2", {13, 52, 285, 16}},
        {"CancelButton", {133, 58, 75, 25}}, {"GroupBox2", {16, 95, 305, 66}},    {"InfoPanel", {32, 119, 273, 27}},
        {"ProgressBar1", {0, 0, 273, 28}},   {"RepeatButton", {16, 174, 75, 25}}, {"NextButton", {133, 174, 75, 25}},
        {"EndButton", {246, 174, 75, 25}},
    };
    for (const auto& e : expected) {
        const auto* widget = rig.child<QWidget>(e.name);
        QVERIFY2(widget, e.name);
        QCOMPARE(widget->geometry(), e.geometry);
    }
    QCOMPARE(rig.gauge()->parentWidget(), rig.child<QWidget>("InfoPanel"));
    QCOMPARE(rig.child<QWidget>("InfoLabel1")->parentWidget(), rig.child<QWidget>("GroupBox1"));
    QVERIFY(rig.gauge()->isTextVisible());
}

void TestOperationDialog::showCentresAndClearsStatus() {
    OperationDialogRig rig;
    statusSink().setMessageText(QStringLiteral("Found Orvel Lark [HID]"));
    QVERIFY(rig.form.StartLockKey());

    QCOMPARE(rig.status.messages.last(), QString());
    QCOMPARE(rig.form.geometry().center(), rig.host.window.geometry().center());
}

void TestOperationDialog::readStoresAlongWalk_data() {
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<QList<int>>("rowMap");
    QTest::addColumn<QList<int>>("types");
    // Page row and key column of the cell each key goes to.
    QTest::addColumn<QList<QPoint>>("cells");

    QTest::newRow("2 rows x 3 columns, row by row")
        << sel(2, 2, 4, 3) << QList<int>{} << QList<int>{1, 4, 128, 129, 131, 3}
        << QList<QPoint>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}};
    QTest::newRow("short view: grid rows show page rows 3 and 250")
        << sel(1, 1, 1, 2) << QList<int>{3, 250} << QList<int>{1, 2} << QList<QPoint>{{3, 0}, {250, 0}};
    QTest::newRow("types 0 and 5 use up their cells, 130 counts")
        << sel(1, 5, 4, 5) << QList<int>{} << QList<int>{0, 5, 130, 1} << QList<QPoint>{{4, 0}, {4, 1}, {4, 2}, {4, 3}};
    QTest::newRow("comment column clipped off")
        << sel(5, 1, 7, 2) << QList<int>{} << QList<int>{1, 1, 1, 1} << QList<QPoint>{{0, 4}, {0, 5}, {1, 4}, {1, 5}};
    QTest::newRow("rows without a page row are skipped")
        << sel(2, 1, 2, 4) << QList<int>{-1, 7, -1, 9} << QList<int>{1, 1} << QList<QPoint>{{7, 1}, {9, 1}};
    QTest::newRow("last grid row 500") << sel(6, 500, 7, 500) << QList<int>{} << QList<int>{1}
                                       << QList<QPoint>{{499, 5}};
}

void TestOperationDialog::readStoresAlongWalk() {
    QFETCH(QRect, selection);
    QFETCH(QList<int>, rowMap);
    QFETCH(QList<int>, types);
    QFETCH(QList<QPoint>, cells);

    OperationDialogRig rig;
    fillWithMarkers(rig.host.page);
    rig.host.selection = gridSelection(selection);
    rig.host.rowMap.assign(rowMap.begin(), rowMap.end());
    KeyPage expected = rig.host.page;

    // The dialog is modeless: the start returns with the first command sent and the wait begun.
    QVERIFY(rig.form.StartReadKeys());
    QVERIFY(rig.form.isVisible());
    QCOMPARE(rig.simulator.commandCount(CmdReadKeys), 1);
    QCOMPARE(rig.form.pendingEvents(), int(OperationDialog::EventKeyRead));
    QVERIFY(rig.form.procTimer().isActive());
    QCOMPARE(rig.form.procTimer().interval(), 100);

    int stored = 0;
    for (int i = 0; i < types.size(); ++i) {
        QVERIFY2(rig.form.isOpen(), qPrintable(QStringLiteral("closed before key %1").arg(i)));
        const auto type = static_cast<std::uint8_t>(types[i]);
        rig.simulator.presentKey(type, codeFor(i));
        rig.tick();
        if (IsKeyOccupied(type)) {
            KeyCell cell = expected.cell(cells[i].x(), cells[i].y());
            cell.setType(type);
            cell.setCode(codeFor(i));
            expected.setCell(cells[i].x(), cells[i].y(), cell);
            ++stored;
        }
    }

    QVERIFY(!rig.form.isOpen());
    QVERIFY(!rig.form.isVisible());
    QVERIFY(rig.host.page == expected);
    QCOMPARE(rig.host.edits, stored);
    QCOMPARE(rig.simulator.commandCount(CmdReadKeys), int(types.size()));
    QVERIFY(isBareCommand(rig.lastCommand(), CmdStop));
    QVERIFY(rig.host.window.isEnabled());
}

void TestOperationDialog::nothingToDoOpensNothing_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<QList<int>>("rowMap");
    QTest::addColumn<QList<QPoint>>("keys");
    QTest::addColumn<bool>("pageShown");

    QTest::newRow("read in the comment column") << Read << sel(7, 1, 7, 3) << QList<int>{} << QList<QPoint>{} << true;
    QTest::newRow("write in the comment column of rows with keys")
        << Write << sel(7, 1, 7, 3) << QList<int>{} << QList<QPoint>{{0, 0}, {1, 5}, {2, 3}} << true;
    QTest::newRow("write, keys only outside the selection")
        << Write << sel(2, 1, 6, 10) << QList<int>{} << QList<QPoint>{{10, 1}, {3, 0}} << true;
    QTest::newRow("write, key behind a row the grid does not show")
        << Write << sel(1, 1, 6, 3) << QList<int>{-1, 4, -1} << QList<QPoint>{{0, 0}, {1, 0}} << true;
    QTest::newRow("read, no page row behind the selection")
        << Read << sel(1, 2, 6, 4) << QList<int>{3} << QList<QPoint>{} << true;
    QTest::newRow("read without a page") << Read << sel(1, 1, 1, 1) << QList<int>{} << QList<QPoint>{} << false;
}

void TestOperationDialog::nothingToDoOpensNothing() {
    QFETCH(Operation, op);
    QFETCH(QRect, selection);
    QFETCH(QList<int>, rowMap);
    QFETCH(QList<QPoint>, keys);
    QFETCH(bool, pageShown);

    OperationDialogRig rig;
    rig.host.selection = gridSelection(selection);
    rig.host.rowMap.assign(rowMap.begin(), rowMap.end());
    rig.host.pageShown = pageShown;
    for (const QPoint& key : keys)
        rig.host.page.setCell(key.x(), key.y(), keyCell(KeyTypeDallas, codeFor(0)));

    QVERIFY(!start(rig, op));
    QVERIFY(!rig.form.isVisible());
    QVERIFY(!rig.form.isOpen());
    QVERIFY(rig.simulator.log().empty());
    QVERIFY(rig.host.window.isEnabled());
}

void TestOperationDialog::cancelledEventInReadCloses() {
    OperationDialogRig rig;
    rig.host.selection = {1, 1, 3, 3};
    QVERIFY(rig.form.StartReadKeys());
    QVERIFY(rig.simulator.cancelWaiting());
    rig.tick();

    QVERIFY(!rig.form.isOpen());
    QVERIFY(rig.host.page.isBlank());
    QVERIFY(isBareCommand(rig.lastCommand(), CmdStop));
}

// An event still queued from an earlier operation is no acknowledgement: the command is tried
// again and the stale key is not stored.
void TestOperationDialog::staleEventDuringArmIsFailedAttempt() {
    OperationDialogRig rig;
    rig.host.selection = {1, 1, 1, 2};
    rig.simulator.staleEventStatus = StatusKeyRead;
    rig.simulator.injectFault(Fault::StaleEvent);
    QVERIFY(rig.form.StartReadKeys());

    QVERIFY(rig.status.messages.contains(QStringLiteral("Repeating data transfer: 1")));
    QCOMPARE(rig.simulator.commandCount(CmdReadKeys), 2);
    QVERIFY(rig.host.page.isBlank());
    QCOMPARE(rig.form.pendingEvents(), int(OperationDialog::EventKeyRead));

    rig.simulator.presentKey(KeyTypeEm410x, codeFor(3));
    rig.tickUntil([&] { return !rig.host.page.isBlank(); });
    QVERIFY(rig.host.page.cell(0, 0).bytes == keyCell(KeyTypeEm410x, codeFor(3)).bytes);
    QCOMPARE(rig.form.procCursor(), (WalkPosition{1, 0}));
    QVERIFY(rig.form.isOpen());
}

void TestOperationDialog::writeWalk_data() {
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<QList<int>>("rowMap");
    QTest::addColumn<QList<QPoint>>("keys");
    // The key cells written, in order, as page row and key column.
    QTest::addColumn<QList<QPoint>>("visits");

    QTest::newRow("key only in the last cell")
        << sel(1, 1, 3, 2) << QList<int>{} << QList<QPoint>{{1, 2}} << QList<QPoint>{{1, 2}};
    QTest::newRow("empty cells, outside cells and the comment column skipped")
        << sel(2, 1, 7, 3) << QList<int>{} << QList<QPoint>{{0, 0}, {0, 3}, {2, 1}, {2, 5}, {3, 1}}
        << QList<QPoint>{{0, 3}, {2, 1}, {2, 5}};
    QTest::newRow("short view") << sel(1, 1, 2, 3) << QList<int>{3, 250, 400}
                                << QList<QPoint>{{250, 1}, {3, 0}, {400, 0}, {4, 0}}
                                << QList<QPoint>{{3, 0}, {250, 1}, {400, 0}};
    QTest::newRow("row without a page row")
        << sel(1, 1, 1, 3) << QList<int>{5, -1, 6} << QList<QPoint>{{5, 0}, {6, 0}} << QList<QPoint>{{5, 0}, {6, 0}};
}

void TestOperationDialog::writeWalk() {
    QFETCH(QRect, selection);
    QFETCH(QList<int>, rowMap);
    QFETCH(QList<QPoint>, keys);
    QFETCH(QList<QPoint>, visits);

    OperationDialogRig rig;
    rig.host.selection = gridSelection(selection);
    rig.host.rowMap.assign(rowMap.begin(), rowMap.end());
    for (int i = 0; i < keys.size(); ++i)
        rig.host.page.setCell(keys[i].x(), keys[i].y(), keyCell(KeyTypeDallas4, codeFor(i)));
    const KeyPage before = rig.host.page;

    QVERIFY(rig.form.StartWriteBlanks());
    std::size_t writes = 0;
    for (int i = 0; i < visits.size(); ++i) {
        const QPoint visit = visits[i];
        const WalkPosition cursor = rig.form.procCursor();
        QCOMPARE(rig.host.pageRowOfGridRow(cursor.row + 1), visit.x());
        QCOMPARE(cursor.column, visit.y());
        ++writes;
        QCOMPARE(rig.simulator.writtenKeys().size(), writes);
        const KeyCell cell = before.cell(visit.x(), visit.y());
        QVERIFY(rig.simulator.writtenKeys().back() == std::make_pair(cell.type(), cell.code()));
        QCOMPARE(rig.button("NextButton")->isEnabled(), i + 1 < visits.size());

        if (i == 0) {
            // Repeat works while the result is still awaited: the same key goes out again.
            rig.button("RepeatButton")->click();
            ++writes;
            QCOMPARE(rig.simulator.writtenKeys().size(), writes);
            QVERIFY(rig.simulator.writtenKeys().back() == std::make_pair(cell.type(), cell.code()));
            QCOMPARE(rig.form.procCursor(), cursor);
        }
        rig.simulator.setWriteResult(0);
        rig.tickUntil([&] { return rig.form.pendingEvents() == 0; });
        QCOMPARE(rig.infoPanel(), QStringLiteral("The key is successfully written."));
        if (rig.button("NextButton")->isEnabled())
            rig.button("NextButton")->click();
    }
    QVERIFY(rig.form.isOpen());
    rig.button("EndButton")->click();
    QVERIFY(!rig.form.isOpen());
    QVERIFY(rig.host.page == before);
    QCOMPARE(rig.host.edits, 0);
}

void TestOperationDialog::writeLabels_data() {
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("keyLabel");
    QTest::addColumn<QString>("codeLabel");

    QTest::newRow("en") << false << "    Key: Dallas"
                        << " Code:  665544332211 - AB ";
    QTest::newRow("ru") << true << "Ключ: Dallas"
                        << "  Код:  665544332211 - AB ";
}

// The code shows in full with its check sum, whatever the grid's view settings say.
void TestOperationDialog::writeLabels() {
    QFETCH(bool, russian);
    QFETCH(QString, keyLabel);
    QFETCH(QString, codeLabel);

    OperationDialogRig rig;
    setLanguage(russian);
    settings().setKeyCodeView(KeyViewShort);
    settings().setDallasCrcVisible(false);
    rig.host.selection = {1, 1, 1, 1};
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, {0x01, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xAB}));
    QVERIFY(rig.form.StartWriteBlanks());

    QCOMPARE(rig.child<QLabel>("InfoLabel1")->text(), keyLabel);
    QCOMPARE(rig.child<QLabel>("InfoLabel2")->text(), codeLabel);
    const Report& sent = rig.lastCommand();
    QCOMPARE(sent[1], std::uint8_t(CmdWriteBlank));
    QCOMPARE(sent[2], std::uint8_t(KeyTypeDallas));
    QCOMPARE(sent[10], std::uint8_t(0xAB));
    QCOMPARE(sent[11], std::uint8_t(0));
}

void TestOperationDialog::eventResults_data() {
    QTest::addColumn<Operation>("op");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");

    const int cancelled = ProgrammerSimulator::Cancelled;
    QTest::newRow("write 6") << Write << false << 6 << "Write error.";
    QTest::newRow("write 7 en") << Write << false << 7 << "Error - Wrong type device.";
    QTest::newRow("write 7 ru") << Write << true << 7 << "Ошибка - Заготовка не подходит.";
    QTest::newRow("write cancelled") << Write << false << cancelled << "Write operation is cancelled.";
    QTest::newRow("lock 5") << Lock << false << 5 << "Error of locking.";
    QTest::newRow("lock 0 ru") << Lock << true << 0 << "Ключ успешно финализирован.";
    QTest::newRow("lock cancelled ru") << Lock << true << cancelled << "Операция финализации отменена.";
}

void TestOperationDialog::eventResults() {
    QFETCH(Operation, op);
    QFETCH(bool, russian);
    QFETCH(int, result);
    QFETCH(QString, text);

    OperationDialogRig rig;
    setLanguage(russian);
    rig.host.page.setCell(0, 0, keyCell(KeyTypeDallas, codeFor(0)));
    QVERIFY(start(rig, op));
    QCOMPARE(rig.form.pendingEvents(),
             int(op == Write ? OperationDialog::EventWriteResult : OperationDialog::EventLockResult));
    if (op == Write)
        rig.simulator.setWriteResult(result);
    else
        rig.simulator.setLockResult(result);
    rig.tick();

    QCOMPARE(rig.infoPanel(), text);
    QCOMPARE(rig.form.pendingEvents(), 0);
    QVERIFY(!rig.form.procTimer().isActive());
    // The user reads the result and closes the dialog.
    QVERIFY(rig.form.isOpen());
}

QTEST_MAIN(TestOperationDialog)
#include "tst_OperationDialog.moc"
