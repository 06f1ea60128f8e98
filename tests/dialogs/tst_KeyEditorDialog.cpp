// The key editor dialog over a host standing in for the main window: its field, its keys, its
// opening and closing.

#include "FakeOperationHost.h"
#include "TestEnvironment.h"

#include "device/DeviceModel.h"
#include "dialogs/KeyEditorDialog.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

KeyCell cellOf(const QByteArray& hex) {
    KeyCell cell;
    const QByteArray bytes = QByteArray::fromHex(hex);
    for (int i = 0; i < bytes.size() && i < KeyCell::kSize; ++i)
        cell.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bytes[i]);
    return cell;
}

QByteArray hexOf(const KeyCell& cell) {
    return QByteArray(reinterpret_cast<const char*>(cell.bytes.data()), KeyCell::kSize).toHex(' ').toUpper();
}

// The host window with a page whose cell (page row 4, key column 2) is the one opened.
struct Rig {
    Rig() {
        settings().setDefaults();
        host.window.setGeometry(100, 80, 800, 600);
        host.window.show();
        QApplication::setActiveWindow(&host.window);
        host.selection = {3, 5, 3, 5};
    }
    template <typename T> T* child(const char* name) const { return form.findChild<T*>(QString::fromLatin1(name)); }
    QLineEdit* codeEdit() const { return child<QLineEdit>("CodeEdit"); }
    QPushButton* okButton() const { return child<QPushButton>("EditorOkButton"); }
    KeyCell cell() const { return host.page.cell(4, 2); }
    void open(const QByteArray& cellHex) {
        host.page.setCell(4, 2, cellOf(cellHex));
        form.OpenKeyEditor();
        if (form.isOpen()) [[maybe_unused]]
            const bool active = QTest::qWaitForWindowActive(&form);
    }

    TestEnvironment env;
    FakeOperationHost host;
    KeyEditorDialog form{host};
};

// The field's text fits its width: nothing scrolls out of sight.
bool textFits(QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const int horizontalMargin = 2; // QLineEdit's own, each side
    return edit->fontMetrics().horizontalAdvance(edit->displayText()) + 2 * horizontalMargin + 1 <= contents.width();
}

} // namespace

class KeyEditorDialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setUiLanguage(UiLanguage::English); }

    void fieldIsLaidOutForTheType_data() {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("speed");
        QTest::addColumn<bool>("checksumBox");
        const QByteArray dallas = "01 00 01 56 34 12 90 78 AB 62";
        QTest::newRow("dallas") << false << dallas << " code: AB 78 90 12 34 56 crc: 62" << 270 << false << true;
        QTest::newRow("dallas ru") << true << dallas << " код: AB 78 90 12 34 56 crc: 62" << 270 << false << true;
        QTest::newRow("cyfral") << false << QByteArray("03 00 01 34 12 01 00 00 00 7C") << " code: 12 34" << 109
                                << false << false;
        QTest::newRow("tm2002 ru") << true << QByteArray("02 00 01 03 05 06 0C 00 00 00") << " код: 0C 06 05 03" << 156
                                   << false << false;
        QTest::newRow("em410x") << false << QByteArray("80 00 00 FF EE DD CC BB 06 00") << " code: BB CC DD EE FF"
                                << 180 << true << false;
        QTest::newRow("hid prox") << false << QByteArray("81 00 00 10 20 30 40 50 1E 00") << " code: 1E 50 40 30 20 10"
                                  << 204 << false << false;
        QTest::newRow("indala ru") << true << QByteArray("83 00 9A 8B 7C 6D 5E 00 00 80") << " код: 5E 6D 7C 8B 9A"
                                   << 180 << false << false;
    }

    void fieldIsLaidOutForTheType() {
        QFETCH(bool, russian);
        QFETCH(QByteArray, cell);
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(bool, speed);
        QFETCH(bool, checksumBox);
        Rig rig;
        settings().setLastDeviceModel(ModelKestrel);
        setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
        rig.open(cell);
        QLineEdit* edit = rig.codeEdit();
        QCOMPARE(edit->displayText(), text);
        QCOMPARE(edit->width(), width);
        QVERIFY2(textFits(edit), qPrintable(edit->font().family()));
        QCOMPARE(edit->font().family(), QStringLiteral("Courier"));
        QCOMPARE(rig.child<QComboBox>("TMSpeedBox")->isVisible(), speed);
        QCOMPARE(rig.child<QLabel>("LabelTMSpeed")->isVisible(), speed);
        QCOMPARE(rig.child<QCheckBox>("TMCRCCheckBox")->isVisible(), checksumBox);
        QVERIFY(rig.child<QGroupBox>("TMBox")->isVisible());
        // Unfilled positions show "0": cleared, the field still has its whole layout.
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->displayText().size(), text.size());
        const QString code = edit->displayText().section(QStringLiteral("crc"), 0, 0);
        QVERIFY2(!code.contains(QRegularExpression(QStringLiteral("[1-9A-F]"))), qPrintable(code));
        rig.form.close();
    }

    void openingShowsTheCellCentredOverTheHost_data() {
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("captions"); // GroupBox1, TMBox, OK, Cancel, box, speed label
        const QStringList english{"Key type", "Settings", "OK", "Cancel", "     CRC - auto", "Speed:"};
        const QStringList russian{"Тип ключа", "Параметры", "OK", "Отмена", "CRC - автомат", "Скорость:"};
        QTest::newRow("create") << false << QByteArray() << "Create key." << english;
        QTest::newRow("edit") << false << QByteArray("03 00 01 34 12 01 00 00 00 7C") << "Edit key." << english;
        QTest::newRow("create ru") << true << QByteArray() << "Создание ключа." << russian;
        QTest::newRow("edit ru") << true << QByteArray("03 00 01 34 12 01 00 00 00 7C") << "Редактирование ключа."
                                 << russian;
    }

    void openingShowsTheCellCentredOverTheHost() {
        QFETCH(bool, russian);
        QFETCH(QByteArray, cell);
        QFETCH(QString, title);
        QFETCH(QStringList, captions);
        Rig rig;
        setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
        rig.open(cell);
        QVERIFY(rig.form.isOpen());
        QVERIFY(rig.form.isVisible());
        QVERIFY(!rig.host.window.isEnabled());
        QCOMPARE(rig.form.windowTitle(), title);
        const QStringList shown{rig.child<QGroupBox>("GroupBox1")->title(),
                                rig.child<QGroupBox>("TMBox")->title(),
                                rig.okButton()->text(),
                                rig.child<QPushButton>("EditorChancelButton")->text(),
                                rig.child<QCheckBox>("TMCRCCheckBox")->text(),
                                rig.child<QLabel>("LabelTMSpeed")->text()};
        QCOMPARE(shown, captions);
        QVERIFY(rig.form.windowFlags() & Qt::WindowStaysOnTopHint);
        const QRect main = rig.host.window.frameGeometry();
        const QRect own = rig.form.frameGeometry();
        QCOMPARE(own.left(), main.left() + main.width() / 2 - own.width() / 2);
        QCOMPARE(own.top(), main.top() + main.height() / 2 - own.height() / 2);
        QTRY_COMPARE(QApplication::focusWidget(), rig.child<QWidget>("KeyTypeBox"));
        rig.form.close();
        QVERIFY(rig.host.window.isEnabled());
        QVERIFY(!rig.form.isVisible());
        QCOMPARE(rig.host.edits, 0);
    }

    void opensOnlyOnAKeyCellOfAShownPage_data() {
        QTest::addColumn<bool>("pageShown");
        QTest::addColumn<int>("left");
        QTest::addColumn<bool>("shortViewPastItsEnd");
        QTest::addColumn<bool>("opens");
        QTest::newRow("key column 1") << true << 1 << false << true;
        QTest::newRow("key column 6") << true << 6 << false << true;
        QTest::newRow("comment") << true << 7 << false << false;
        QTest::newRow("no page shown") << false << 1 << false << false;
        QTest::newRow("no page row behind the grid row") << true << 1 << true << false;
    }

    void opensOnlyOnAKeyCellOfAShownPage() {
        QFETCH(bool, pageShown);
        QFETCH(int, left);
        QFETCH(bool, shortViewPastItsEnd);
        QFETCH(bool, opens);
        Rig rig;
        rig.host.pageShown = pageShown;
        rig.host.selection = {left, 5, 7, 6};
        if (shortViewPastItsEnd)
            rig.host.rowMap = {10, 20};
        rig.form.OpenKeyEditor();
        QCOMPARE(rig.form.isOpen(), opens);
        QCOMPARE(rig.host.window.isEnabled(), !opens);
        rig.form.close();
    }

    // The cell opened on is the one stored, with Modified set through the host, and the view
    // refreshed once the dialog is closed.
    void okStoresTheCellOpenedOn() {
        Rig rig;
        rig.host.rowMap = {7, 250, 499};
        rig.host.selection = {6, 2, 6, 3};
        rig.host.page.setCell(250, 5, cellOf("03 00 01 34 12 01 00 00 00 7C"));
        rig.form.OpenKeyEditor();
        QVERIFY(QTest::qWaitForWindowActive(&rig.form));
        QLineEdit* edit = rig.codeEdit();
        edit->setFocus();
        QTest::keyClicks(edit, "ab");
        QCOMPARE(edit->displayText(), QStringLiteral(" code: AB 34"));
        QTest::mouseClick(rig.okButton(), Qt::LeftButton);
        QVERIFY(!rig.form.isOpen());
        QCOMPARE(hexOf(rig.host.page.cell(250, 5)), QByteArray("03 00 01 34 AB 01 00 00 00 C0"));
        QCOMPARE(rig.host.edits, 1);
        QCOMPARE(rig.host.refreshCalls, 1);
        QVERIFY(rig.host.window.isEnabled());
    }

    void enterAndEscInTheControls_data() {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("okDisabled");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("closed");
        const QByteArray dallas = "01 00 01 56 34 12 00 00 00 05";
        const QByteArray em = "80 00 00 78 56 34 12 00 06 00";
        const int enter = Qt::Key_Return;
        const int esc = Qt::Key_Escape;
        for (const char* control : {"KeyTypeBox", "CodeEdit", "TMCRCCheckBox"}) {
            QTest::addRow("enter in %s", control) << dallas << control << false << enter << true << true;
            QTest::addRow("enter in %s, OK disabled", control) << dallas << control << true << enter << false << false;
            QTest::addRow("esc in %s", control) << dallas << control << false << esc << false << true;
        }
        QTest::newRow("enter in TMSpeedBox") << em << "TMSpeedBox" << false << enter << true << true;
        QTest::newRow("keypad enter in TMSpeedBox")
            << em << "TMSpeedBox" << false << int(Qt::Key_Enter) << true << true;
        QTest::newRow("enter in TMSpeedBox, OK disabled") << em << "TMSpeedBox" << true << enter << false << false;
        QTest::newRow("esc in TMSpeedBox") << em << "TMSpeedBox" << false << esc << false << true;
    }

    void enterAndEscInTheControls() {
        QFETCH(QByteArray, cell);
        QFETCH(QString, control);
        QFETCH(bool, okDisabled);
        QFETCH(int, key);
        QFETCH(bool, stored);
        QFETCH(bool, closed);
        Rig rig;
        settings().setLastDeviceModel(ModelWren);
        rig.open(cell);
        QLineEdit* edit = rig.codeEdit();
        edit->setFocus();
        QTest::keyClicks(edit, "12");
        if (okDisabled)
            QTest::keyClicks(edit, "g");
        QCOMPARE(rig.okButton()->isEnabled(), !okDisabled);
        QWidget* target = rig.form.findChild<QWidget*>(control);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(rig.form.isOpen(), !closed);
        QCOMPARE(rig.host.edits, stored ? 1 : 0);
        if (stored)
            QCOMPARE(rig.cell().code()[rig.cell().type() == KeyTypeEm410x ? 5 : 6], std::uint8_t(0x12));
        else
            QCOMPARE(hexOf(rig.cell()), cell);
        rig.form.close();
    }

    void caretStaysWhereItWasWhenTheChecksumIsRewritten() {
        Rig rig;
        rig.open("01 00 01 56 34 12 00 00 00 05");
        QLineEdit* edit = rig.codeEdit();
        edit->setFocus();
        QCOMPARE(edit->cursorPosition(), 7); // the first code digit, not the first "0"
        QTest::keyClicks(edit, "1");
        QCOMPARE(edit->displayText(), QStringLiteral(" code: 10 00 00 12 34 56 crc: 98"));
        QCOMPARE(edit->cursorPosition(), 8);
        edit->setCursorPosition(22);
        QTest::keyClicks(edit, "f");
        QCOMPARE(edit->displayText(), QStringLiteral(" code: 10 00 00 12 34 F6 crc: C4"));
        QCOMPARE(edit->cursorPosition(), 23);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->displayText(), QStringLiteral(" code: 10 00 00 12 34 06 crc: B6"));
        QCOMPARE(edit->cursorPosition(), 22);
        QTest::mouseClick(rig.okButton(), Qt::LeftButton);
        QCOMPARE(hexOf(rig.cell()), QByteArray("01 00 01 06 34 12 00 00 10 B6"));
    }

    // Type 130 has no layout: the field stays as the last type left it.
    void typeWithoutLayoutKeepsThePreviousOne() {
        Rig rig;
        rig.open("02 00 01 03 05 06 0C 00 00 00");
        const QString mask = rig.codeEdit()->inputMask();
        rig.form.close();
        rig.open("82 00 11 22 33 44 55 66 77 88");
        QCOMPARE(rig.codeEdit()->inputMask(), mask);
        QCOMPARE(rig.child<QComboBox>("KeyTypeBox")->currentIndex(), -1);
        QVERIFY(rig.okButton()->isEnabled());
        QTest::mouseClick(rig.okButton(), Qt::LeftButton);
        QCOMPARE(hexOf(rig.cell()), QByteArray("82 00 11 22 33 44 55 66 77 88"));
    }

    void emCardNumbersFollowTheCode() {
        Rig rig;
        settings().setLastDeviceModel(ModelWren);
        rig.open("80 00 00 55 44 33 22 11 06 00");
        auto label = [&](const char* name) { return rig.child<QLabel>(name); };
        QCOMPARE(label("Dez10Label")->text(), QStringLiteral("DEZ 10: 0573785173"));
        QCOMPARE(label("Dez8Label")->text(), QStringLiteral("DEZ 8: 03359829"));
        QCOMPARE(label("Dez35CLabel")->text(), QStringLiteral("DEZ 3.5C: 051.17493"));
        QCOMPARE(label("Dez55Label")->text(), QStringLiteral("DEZ 5.5: 08755.17493"));
        QCOMPARE(label("Dez14Label")->text(), QStringLiteral("DEZ 14: 00073588229205"));
        for (const char* name : {"Dez10Label", "Dez8Label", "Dez35CLabel", "Dez55Label", "Dez14Label"}) {
            QVERIFY(label(name)->isVisible());
            QTRY_VERIFY2(label(name)->width() >= label(name)->sizeHint().width(), name);
            QVERIFY2(label(name)->height() >= label(name)->sizeHint().height(), name);
            QVERIFY(label(name)->geometry().right() < label(name)->parentWidget()->width());
            // The whole column stands inside the code box, above the buttons.
            const QWidget* box = rig.child<QGroupBox>("TMBox");
            const QRect inBox(label(name)->mapTo(box, QPoint(0, 0)), label(name)->size());
            QVERIFY2(inBox.bottom() < box->height(), name);
        }
        QLineEdit* edit = rig.codeEdit();
        edit->setFocus();
        edit->setCursorPosition(19);
        QTest::keyClicks(edit, "0");
        QCOMPARE(label("Dez35CLabel")->text(), QStringLiteral("DEZ 3.5C: 051.17413"));
        // An unreadable code has no numbers.
        QTest::keyClicks(edit, "x");
        QCOMPARE(label("Dez10Label")->text(), QStringLiteral("DEZ 10: "));
        // Other types show none.
        QComboBox* types = rig.child<QComboBox>("KeyTypeBox");
        types->setCurrentIndex(0);
        QVERIFY(!label("Dez10Label")->isVisible());
        rig.form.close();

        setUiLanguage(UiLanguage::Russian);
        rig.open("80 00 00 55 44 33 22 11 06 00");
        QCOMPARE(label("Dez10Label")->text(), QStringLiteral("Дес. 10: 0573785173"));
        QCOMPARE(label("Dez14Label")->text(), QStringLiteral("Дес. 14: 00073588229205"));
        rig.form.close();
    }

    // Choosing the type a cell of type 4 already shows is no change: it stays type 4.
    void typeFourStaysUntilAnotherTypeIsChosen() {
        Rig rig;
        rig.open("04 00 01 56 34 12 00 00 00 05");
        QComboBox* types = rig.child<QComboBox>("KeyTypeBox");
        QCOMPARE(types->currentIndex(), 0);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Home);
        QTest::mouseClick(rig.okButton(), Qt::LeftButton);
        QCOMPARE(hexOf(rig.cell()), QByteArray("04 00 01 56 34 12 00 00 00 05"));
    }

    void closingGivesTheHostItsFocusBack() {
        Rig rig;
        auto* hostField = new QLineEdit(&rig.host.window);
        hostField->show();
        hostField->setFocus();
        QTRY_VERIFY(hostField->hasFocus());
        rig.open({});
        QTRY_VERIFY(rig.child<QWidget>("KeyTypeBox")->hasFocus());
        QTest::keyClick(rig.child<QWidget>("KeyTypeBox"), Qt::Key_Escape);
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.host.window.isEnabled());
        QTRY_VERIFY(hostField->hasFocus());
    }
};

QTEST_MAIN(KeyEditorDialogTest)
#include "tst_KeyEditorDialog.moc"
