// Find key on the real main window: the dialog over the disabled window, the search on a worker
// thread with the page shown as edited, the list, and a hit opened in the tree and the grid.

#include "MainWindowFixture.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/KeyPage.h"
#include "device/DeviceLink.h"
#include "device/DeviceReport.h"
#include "dialogs/KeySearchDialog.h"
#include "dialogs/OperationDialog.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/KeyHitsModel.h"
#include "ui/KeySearchController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace tervane;
using namespace tervane::test;

namespace {

KeySearchDialog& dialog(MainWindow& w) {
    return *w.keySearch().dialog();
}

// Paints the windows as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.repaint();
    if (dialog(w).isVisible())
        dialog(w).repaint();
    QApplication::processEvents();
}

template <typename T> T* child(MainWindow& w, const char* name) {
    return dialog(w).findChild<T*>(QString::fromLatin1(name));
}

// "path | row | key | code | comment" of every row of the list.
QStringList listed(MainWindow& w) {
    QStringList rows;
    const KeyHitsModel* model = w.keySearch().model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < KeyHitsModel::ColumnCount; ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

// A double click as the window system delivers it: press, release, the second press as a
// double click, release.
void doubleClick(QWidget* widget, const QPoint& pos) {
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    const QPointF local(pos);
    QMouseEvent press(QEvent::MouseButtonDblClick, local, widget->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

QString selectedName(MainWindow& w) {
    const BaseNode* node = w.document().tree().selected();
    return node ? fromCp1251(node->text) : QString();
}

} // namespace

class KeySearchTest : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() {
        if (f->session) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            f->closeWindow();
        }
        QCOMPARE(f->env.prompts.pendingAnswers(), 0);
        f.reset();
        deviceLink().setTransport(nullptr);
        transport.reset();
        simulator.reset();
        setUiLanguage(UiLanguage::English);
    }

    void findsInEveryPageAndOpensAHit();
    void openingAgainSearchesTheBaseAsItIsNow();
    void familiesAndCardNumbers();
    void pageFileErrorIsShown();
    void russianTexts();
    void closingTheProgramClosesTheDialog();
    void presentedKeyIsFoundAndNotStored();
    void screenshot();

private:
    // Folder "Двор" (collapsed) with the file "Ворота" (page 1, a Dallas key ..1234.. in row 499,
    // key 6); the file "кв 1" (page 0, shown) with an EM410x card 0012345678 in row 3, key 2,
    // commented "Петров".
    MainWindow& startWithBase();
    // Ctrl+Shift+F, the query typed, Enter; waits for the search to end.
    void search(MainWindow& w, const QString& query);

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<ProgrammerSimulator> simulator;
    std::unique_ptr<SimulatedTransport> transport;
};

MainWindow& KeySearchTest::startWithBase() {
    QDir().mkpath(f->userFolder());
    BaseBuilder b;
    BaseNode* flat = b.file(QStringLiteral("кв 1"));
    BaseNode* yard = b.folder(QStringLiteral("Двор"));
    BaseNode* gate = b.file(QStringLiteral("Ворота"), yard);
    b.page(flat).setCell(3, 1, cellFromHex("80 00 00 78 56 34 12 00 06 00"));
    b.page(flat).setComment(3, cp1251(QStringLiteral("Петров")));
    b.page(gate).setCell(499, 5, dallasCell(0x991234));
    b.select(flat);
    const QString base = f->userFolder() + QStringLiteral("/keys");
    b.write(base);
    MainWindow& w = f->start();
    f->openBase(base);
    paintNow(w);
    return w;
}

void KeySearchTest::search(MainWindow& w, const QString& query) {
    QTRY_COMPARE(QApplication::activeWindow(), &w);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(dialog(w).isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&dialog(w)));
    auto* edit = child<QLineEdit>(w, "KeyQueryEdit");
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QTRY_VERIFY(!w.keySearch().searching());
    edit->selectAll();
    QTest::keyClicks(edit, query);
    paintNow(w);
    QTest::keyClick(edit, Qt::Key_Return);
    paintNow(w);
    QTRY_VERIFY(!w.keySearch().searching());
    QVERIFY(!child<QProgressBar>(w, "SearchProgress")->isVisible());
    paintNow(w);
}

void KeySearchTest::findsInEveryPageAndOpensAHit() {
    MainWindow& w = startWithBase();
    QAction* command = w.findChild<QAction*>(QStringLiteral("MainMenuEditFindKey"));
    QVERIFY(command->isEnabled());
    // An edit of the shown page that no save has written yet is searched too.
    w.document().pageBuffer().setCell(10, 0, dallasCell(0x12));
    search(w, QStringLiteral("12"));
    QVERIFY(!w.isEnabled());
    QCOMPARE(dialog(w).windowTitle(), QStringLiteral("Find key"));
    QCOMPARE(listed(w), (QStringList{"кв 1 | 003 | 2 |  EM410x - 0012345678 - RF64 | Петров",
                                     "кв 1 | 010 | 1 |  DS1990 - 000000000012 | ",
                                     "Двор / Ворота | 499 | 6 |  DS1990 - 000000991234 | "}));
    QCOMPARE(child<QLabel>(w, "SearchStatusLabel")->text(), QStringLiteral("Keys found: 3"));

    // Enter on the last hit: its file is selected, its page shown and the cell selected.
    auto* list = child<QTreeView>(w, "KeyHitsView");
    list->setFocus();
    list->setCurrentIndex(w.keySearch().model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    paintNow(w);
    QVERIFY(!dialog(w).isVisible());
    QVERIFY(w.isEnabled());
    QCOMPARE(selectedName(w), QStringLiteral("Ворота"));
    QCOMPARE(w.document().currentPage(), 1);
    QCOMPARE(w.grid()->selectionRect(), (GridSelection{6, 500, 6, 500}));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.grid()));
    // Another file selected counts as a change, as a click on it does.
    QVERIFY(w.document().modified());
}

void KeySearchTest::openingAgainSearchesTheBaseAsItIsNow() {
    MainWindow& w = startWithBase();
    search(w, QStringLiteral("1234"));
    QCOMPARE(w.keySearch().model()->rowCount(), 2);
    auto* list = child<QTreeView>(w, "KeyHitsView");
    doubleClick(list->viewport(), list->visualRect(w.keySearch().model()->index(1, 0)).center());
    paintNow(w);
    QCOMPARE(selectedName(w), QStringLiteral("Ворота"));

    // A key added above it on the page shown now; the dialog opens on the same query, searched
    // again, with the key opened last still current.
    w.document().pageBuffer().setCell(0, 0, dallasCell(0x1234));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(dialog(w).isVisible());
    QTRY_VERIFY(!w.keySearch().searching());
    QCOMPARE(child<QLineEdit>(w, "KeyQueryEdit")->text(), QStringLiteral("1234"));
    QCOMPARE(w.keySearch().model()->rowCount(), 3);
    QCOMPARE(dialog(w).currentRow(), 2);
    // Esc closes it without opening anything.
    QTest::keyClick(child<QLineEdit>(w, "KeyQueryEdit"), Qt::Key_Escape);
    QVERIFY(!dialog(w).isVisible());
    QVERIFY(w.isEnabled());
    QCOMPARE(selectedName(w), QStringLiteral("Ворота"));
}

void KeySearchTest::familiesAndCardNumbers() {
    MainWindow& w = startWithBase();
    search(w, QStringLiteral("34"));
    QCOMPARE(w.keySearch().model()->rowCount(), 2);
    auto* family = child<QComboBox>(w, "KeyFamilyBox");
    family->setCurrentIndex(family->findText(QStringLiteral("Dallas")));
    QTest::keyClick(child<QLineEdit>(w, "KeyQueryEdit"), Qt::Key_Return);
    QTRY_VERIFY(!w.keySearch().searching());
    QCOMPARE(w.keySearch().model()->rowCount(), 1);
    QCOMPARE(w.keySearch().model()->hit(0).cell.type(), std::uint8_t(KeyTypeDallas));

    // The card's printed DEZ 3.5C: 0x34 = 52, 0x5678 = 22136. The family list does not apply.
    auto* edit = child<QLineEdit>(w, "KeyQueryEdit");
    auto* find = child<QPushButton>(w, "SearchButton");
    child<QCheckBox>(w, "CardNumberCheckBox")->setChecked(true);
    QVERIFY(!family->isEnabled());
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("052,22136"));
    QVERIFY(find->isEnabled());
    QTest::mouseClick(find, Qt::LeftButton);
    QTRY_VERIFY(!w.keySearch().searching());
    QCOMPARE(w.keySearch().model()->rowCount(), 1);
    QCOMPARE(w.keySearch().model()->hit(0).cell.type(), std::uint8_t(KeyTypeEm410x));
    // Only what a card number can hold is typed, and Find waits for a whole one.
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("05A2."));
    QCOMPARE(edit->text(), QStringLiteral("052."));
    QVERIFY(!find->isEnabled());
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!w.keySearch().searching());
    QTest::keyClicks(edit, QStringLiteral("9"));
    QVERIFY(find->isEnabled());
    QTest::mouseClick(find, Qt::LeftButton);
    QTRY_VERIFY(!w.keySearch().searching());
    QCOMPARE(w.keySearch().model()->rowCount(), 0);
    QCOMPARE(child<QLabel>(w, "SearchStatusLabel")->text(), QStringLiteral("No key found."));
}

void KeySearchTest::pageFileErrorIsShown() {
    MainWindow& w = startWithBase();
    const QString pageFile = w.document().workingPageFile();
    QVERIFY(QFile::remove(pageFile));
    f->env.prompts.answer(ButtonOk);
    search(w, QStringLiteral("12"));
    QCOMPARE(f->env.prompts.last().text, QStringLiteral("Open file error: \"%1\"").arg(pageFile));
    QCOMPARE(w.keySearch().model()->rowCount(), 0);
    QCOMPARE(child<QLabel>(w, "SearchStatusLabel")->text(), QString());
    QVERIFY(child<QPushButton>(w, "SearchButton")->isEnabled());
}

void KeySearchTest::russianTexts() {
    MainWindow& w = startWithBase();
    setUiLanguage(UiLanguage::Russian);
    w.ApplyInterfaceTexts();
    QCOMPARE(w.findChild<QAction*>(QStringLiteral("MainMenuEditFindKey"))->text().section(QLatin1Char('\t'), 0, 0),
             QStringLiteral("Найти ключ..."));
    search(w, QStringLiteral("1234"));
    QCOMPARE(dialog(w).windowTitle(), QStringLiteral("Найти ключ"));
    QCOMPARE(child<QLabel>(w, "QueryLabel")->text(), QStringLiteral("Код:"));
    QCOMPARE(child<QComboBox>(w, "KeyFamilyBox")->itemText(0), QStringLiteral("Все типы ключей"));
    QCOMPARE(child<QCheckBox>(w, "CardNumberCheckBox")->text(),
             QStringLiteral("Номер карты EM410x (DEZ 10, DEZ 8 или 051.17493)"));
    QCOMPARE(child<QPushButton>(w, "SearchButton")->text(), QStringLiteral("Найти"));
    QCOMPARE(child<QPushButton>(w, "CloseButton")->text(), QStringLiteral("Закрыть"));
    QCOMPARE(child<QLabel>(w, "SearchStatusLabel")->text(), QStringLiteral("Найдено ключей: 2"));
    QStringList headers;
    for (int c = 0; c < KeyHitsModel::ColumnCount; ++c)
        headers << w.keySearch().model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(headers, (QStringList{"Файл", "Строка", "Ключ", "Код", "Комментарий"}));
}

void KeySearchTest::closingTheProgramClosesTheDialog() {
    MainWindow& w = startWithBase();
    search(w, QStringLiteral("12"));
    QVERIFY(dialog(w).isVisible());
    QVERIFY(f->closeWindow());
    QVERIFY(!f->session);
}

// Keys > Find the presented key reads one key through the operation dialog, stores nothing, and
// lists the keys with exactly its code, of its family: a longer Dallas code holding its digits
// and the EM410x card with them are not listed.
void KeySearchTest::presentedKeyIsFoundAndNotStored() {
    simulator = std::make_unique<ProgrammerSimulator>('U', "1.36");
    transport = std::make_unique<SimulatedTransport>(*simulator);
    deviceLink().setTransport(transport.get());
    MainWindow& w = startWithBase();
    QVERIFY(w.deviceOnline());
    QAction* command = w.findChild<QAction*>(QStringLiteral("MainMenuKeysFindPresented"));
    QVERIFY(command->isEnabled());
    QCOMPARE(command->text(), QStringLiteral("Find the presented key"));
    w.document().pageBuffer().setCell(5, 0, dallasCell(0x12991234));
    const KeyPage before = w.document().pageBuffer();
    KeyCell key = dallasCell(0x991234);
    key.setType(KeyTypeDallas4);
    simulator->presentKey(key.type(), key.code());

    w.runCommand(CommandId::FindPresentedKey);
    QVERIFY(w.operationDialog()->isOpen());
    QCOMPARE(w.operationDialog()->windowTitle(), QStringLiteral("Find the presented key"));
    QTRY_VERIFY(dialog(w).isVisible());
    QVERIFY(!w.operationDialog()->isOpen());
    QVERIFY(simulator->commandCount(CmdStop) >= 1);
    QTRY_VERIFY(!w.keySearch().searching());
    paintNow(w);
    QVERIFY(!w.isEnabled());
    QCOMPARE(child<QLineEdit>(w, "KeyQueryEdit")->text(), QStringLiteral("000000991234"));
    QCOMPARE(child<QComboBox>(w, "KeyFamilyBox")->currentText(), QStringLiteral("Dallas"));
    QCOMPARE(listed(w), QStringList{"Двор / Ворота | 499 | 6 |  DS1990 - 000000991234 | "});
    QVERIFY(w.document().pageBuffer() == before);
    QVERIFY(!w.document().modified());
}

// A picture of the dialog for the documentation, when TERVANE_SCREENSHOTS names a folder; taken
// on a real display (QT_QPA_PLATFORM=xcb, under xvfb-run on a server).
void KeySearchTest::screenshot() {
    const QString folder = qEnvironmentVariable("TERVANE_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("TERVANE_SCREENSHOTS names no folder");
    MainWindow& w = startWithBase();
    search(w, QStringLiteral("12"));
    QTest::qWait(200);
    QVERIFY(dialog(w).grab().save(folder + QStringLiteral("/key-search.png")));
}

QTEST_MAIN(KeySearchTest)
#include "tst_KeySearch.moc"
