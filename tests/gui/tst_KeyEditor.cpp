// The key editor on the real main window: opened from the grid, typed into, stored through the
// edit session.

#include "MainWindowFixture.h"

#include "base/Document.h"
#include "base/EditSession.h"
#include "base/KeyPage.h"
#include "device/DeviceModel.h"
#include "dialogs/KeyEditorDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/CommentEditor.h"
#include "ui/GridController.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

// Paints the windows as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.grid()->viewport()->repaint();
    w.repaint();
    if (KeyEditorDialog* editor = w.gridController().keyEditor(); editor && editor->isVisible())
        editor->repaint();
    QApplication::processEvents();
}

KeyEditorDialog& editor(MainWindow& w) {
    return *w.gridController().keyEditor();
}

template <typename T> T* editorChild(MainWindow& w, const char* name) {
    return editor(w).findChild<T*>(QString::fromLatin1(name));
}

QString cellText(MainWindow& w, int gridRow, int gridColumn) {
    return w.gridModel()->index(gridRow - 1, gridColumn - 1).data().toString();
}

// Keys typed where the focus is, Cyrillic included (QTest::keyClicks only takes ASCII).
void typeText(const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focus, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focus, &release);
    }
}

void pressKey(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

// Enter that opens or closes the key editor: only the press, as the release goes to the window
// that has the keyboard by then.
void pressEnter(QWidget* widget) {
    QTest::keyPress(widget, Qt::Key_Return);
}

KeyCell emCell(std::uint8_t speed) {
    KeyCell cell;
    cell.setType(KeyTypeEm410x);
    cell.setCode({0, 0x78, 0x56, 0x34, 0x12, 0x00, speed, 0});
    return cell;
}

} // namespace

class KeyEditorTest : public QObject {
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
    }

    void createADallasKeyByTyping() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setFocus();
        w.grid()->setSelectionRect({2, 3, 2, 3});
        paintNow(w);
        pressEnter(w.grid());
        QVERIFY(editor(w).isOpen());
        QVERIFY(!w.isEnabled());
        QCOMPARE(editor(w).windowTitle(), QStringLiteral("Create key."));
        QVERIFY(QTest::qWaitForWindowActive(&editor(w)));
        QTRY_COMPARE(QApplication::focusWidget(), editorChild<QWidget>(w, "KeyTypeBox"));
        paintNow(w);

        pressKey(Qt::Key_Tab);
        auto* code = editorChild<QLineEdit>(w, "CodeEdit");
        QTRY_COMPARE(QApplication::focusWidget(), code);
        typeText(QStringLiteral("000000abcdef"));
        paintNow(w);
        QCOMPARE(code->displayText(), QStringLiteral(" code: 00 00 00 AB CD EF crc: C3"));
        pressEnter(code);

        QVERIFY(!editor(w).isVisible());
        QVERIFY(w.isEnabled());
        QTRY_VERIFY(w.grid()->hasFocus());
        paintNow(w);
        const KeyCell cell = w.document().pageBuffer().cell(2, 1);
        QCOMPARE(cell.type(), std::uint8_t(KeyTypeDallas));
        QCOMPARE(cell.code(), (KeyCode{1, 0xEF, 0xCD, 0xAB, 0, 0, 0, 0xC3}));
        QCOMPARE(cellText(w, 3, 2), QStringLiteral(" DS1990 - 000000ABCDEF"));
        QVERIFY(w.document().modified());

        // The next new key starts from this one.
        w.grid()->setSelectionRect({3, 3, 3, 3});
        pressEnter(w.grid());
        QVERIFY(editor(w).isOpen());
        QCOMPARE(code->displayText(), QStringLiteral(" code: 00 00 00 AB CD EF crc: C3"));
        QTest::keyClick(editorChild<QWidget>(w, "KeyTypeBox"), Qt::Key_Escape);
        QVERIFY(!editor(w).isOpen());
        QCOMPARE(w.document().pageBuffer().cell(2, 2).type(), std::uint8_t(0));
    }

    void editAnEm410xKeyKeepingItsSpeed() {
        settings().setDefaults();
        settings().setLastDeviceModel(ModelWren);
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.edits().setCell(w.document().currentPage(), 5, 3, emCell(6));
        QCOMPARE(cellText(w, 6, 4), QStringLiteral(" EM410x - 0012345678 - RF64"));
        paintNow(w);

        const QRect rect = w.grid()->visualRect(w.gridModel()->index(5, 3));
        QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(editor(w).isOpen());
        QCOMPARE(editor(w).windowTitle(), QStringLiteral("Edit key."));
        QCOMPARE(editorChild<QComboBox>(w, "KeyTypeBox")->currentText(), QStringLiteral("EM Marin 410x"));
        QCOMPARE(editorChild<QComboBox>(w, "TMSpeedBox")->currentText(), QStringLiteral("RF64"));
        paintNow(w);

        auto* code = editorChild<QLineEdit>(w, "CodeEdit");
        code->setFocus();
        code->setCursorPosition(19);
        QTest::keyClicks(code, "99");
        QCOMPARE(code->displayText(), QStringLiteral(" code: 00 12 34 56 99"));
        QTest::mouseClick(editorChild<QPushButton>(w, "EditorOkButton"), Qt::LeftButton);
        paintNow(w);
        QVERIFY(!editor(w).isOpen());
        QCOMPARE(w.document().pageBuffer().cell(5, 3).code(), (KeyCode{0, 0x99, 0x56, 0x34, 0x12, 0, 6, 0}));
        QCOMPARE(cellText(w, 6, 4), QStringLiteral(" EM410x - 0012345699 - RF64"));
    }

    // A Lark cannot make EM410x keys: the list offers three types, and an EM410x cell keeps its
    // type.
    void larkOffersThreeTypes() {
        MainWindow& w = f->start();
        QCOMPARE(settings().lastDeviceModel(), int(ModelLark));
        f->openBase(f->writeSampleBase());
        w.edits().setCell(w.document().currentPage(), 1, 0, emCell(3));
        w.grid()->setFocus();
        w.grid()->setSelectionRect({1, 2, 1, 2});
        pressEnter(w.grid());
        QVERIFY(editor(w).isOpen());
        paintNow(w);
        auto* types = editorChild<QComboBox>(w, "KeyTypeBox");
        QCOMPARE(types->count(), 3);
        QCOMPARE(types->itemText(0), QStringLiteral("Dallas"));
        QCOMPARE(types->itemText(1), QStringLiteral("Cyfral (DC-2000)"));
        QCOMPARE(types->itemText(2), QStringLiteral("TM2002 Metacom"));
        QCOMPARE(types->currentIndex(), -1);
        auto* code = editorChild<QLineEdit>(w, "CodeEdit");
        QCOMPARE(code->displayText(), QStringLiteral(" code: 00 12 34 56 78"));
        QCOMPARE(code->width(), 180);
        pressEnter(code);
        QVERIFY(!editor(w).isOpen());
        QCOMPARE(w.document().pageBuffer().cell(1, 0).bytes, emCell(3).bytes);
    }

    void invalidTm2002CodeLeavesOkDisabled() {
        settings().setDefaults();
        settings().setLanguageSetting(LanguageSetting::Russian);
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setFocus();
        w.grid()->setSelectionRect({4, 1, 4, 1});
        pressEnter(w.grid());
        QVERIFY(editor(w).isOpen());
        QCOMPARE(editor(w).windowTitle(), QStringLiteral("Создание ключа."));
        auto* types = editorChild<QComboBox>(w, "KeyTypeBox");
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(types->currentText(), QStringLiteral("TM2002 Metacom"));
        auto* code = editorChild<QLineEdit>(w, "CodeEdit");
        QCOMPARE(code->displayText(), QStringLiteral(" код: 00 00 00 00"));
        auto* ok = editorChild<QPushButton>(w, "EditorOkButton");
        QVERIFY(ok->isEnabled());
        paintNow(w);

        code->setFocus();
        QTest::keyClicks(code, "01");
        paintNow(w);
        QVERIFY(!ok->isEnabled());
        QTest::keyClick(code, Qt::Key_Return);
        QVERIFY(editor(w).isOpen());
        QCOMPARE(w.document().pageBuffer().cell(0, 3).type(), std::uint8_t(0));

        // Even parity again, then a Cyrillic letter in a group.
        code->setCursorPosition(6);
        QTest::keyClicks(code, "03");
        QVERIFY(ok->isEnabled());
        typeText(QStringLiteral("ж"));
        QCOMPARE(code->displayText(), QStringLiteral(" код: 03 Ж0 00 00"));
        QVERIFY(!ok->isEnabled());
        QTest::keyClick(code, Qt::Key_Escape);
        QVERIFY(!editor(w).isOpen());
        QVERIFY(w.isEnabled());
        QCOMPARE(w.document().pageBuffer().cell(0, 3).type(), std::uint8_t(0));
        QVERIFY(!w.document().modified());
    }

    void enterOnACommentCellOpensTheCommentEditor() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setFocus();
        w.grid()->setSelectionRect({7, 1, 7, 1});
        QTest::keyClick(w.grid(), Qt::Key_Return);
        QVERIFY(w.commentEditor()->isOpen());
        QVERIFY(!editor(w).isOpen());
        QVERIFY(w.isEnabled());
        QTest::keyClick(w.commentEditor(), Qt::Key_Escape);
        // A selection that starts in a key column opens the key editor, even when it reaches
        // the comment column.
        w.grid()->setSelectionRect({6, 1, 7, 2});
        pressEnter(w.grid());
        QVERIFY(editor(w).isOpen());
        QVERIFY(!w.commentEditor()->isOpen());
        editor(w).close();
        QVERIFY(w.isEnabled());
    }

    // Closing the program while the editor is open leaves no window of it behind.
    void closingTheProgramClosesTheEditor() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setSelectionRect({1, 1, 1, 1});
        w.gridController().openCellEditor();
        QVERIFY(editor(w).isVisible());
        settings().setSavePolicy(SavePolicy::DoNotSave);
        QVERIFY(w.close());
        QVERIFY(!editor(w).isVisible());
    }

private:
    std::unique_ptr<MainWindowFixture> f;
};

QTEST_MAIN(KeyEditorTest)
#include "tst_KeyEditor.moc"
