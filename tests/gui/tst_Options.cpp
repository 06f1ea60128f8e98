// The options dialog on the real main window: its texts in both languages, the previews of
// language, skin and font, what OK, Cancel and the close box keep, and the file OK writes.

#include "MainWindowFixture.h"

#include "base/Document.h"
#include "dialogs/OptionsDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/OptionsController.h"
#include "ui/SkinEngine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QtEndian>
#include <cstdio>

using namespace tervane;
using namespace tervane::test;

namespace {

OptionsDialog& dialog(MainWindow& w) {
    return *w.options().optionsDialog();
}

template <typename T> T* child(MainWindow& w, const char* name) {
    return dialog(w).findChild<T*>(QString::fromLatin1(name));
}

// Paints the windows as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.grid()->viewport()->repaint();
    w.repaint();
    if (dialog(w).isVisible())
        dialog(w).repaint();
    QApplication::processEvents();
}

void openOptions(MainWindow& w) {
    w.runCommand(CommandId::Options);
    paintNow(w);
}

void showPage(MainWindow& w, int page) {
    child<QTabWidget>(w, "OptionPage")->setCurrentIndex(page);
    paintNow(w);
}

void clickButton(MainWindow& w, const char* name) {
    QAbstractButton* button = child<QAbstractButton>(w, name);
    QVERIFY2(button, name);
    // A check box or an item of a radio group is as wide as its frame, but answers only on its
    // box and its text: click near its left end.
    const bool item = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint at = item ? QPoint(std::min(8, button->width() / 2), button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
    paintNow(w);
}

// A click on a row of a list of the Font page, which it shows first.
void clickRow(MainWindow& w, const char* list, int row) {
    showPage(w, 2);
    auto* box = child<QListWidget>(w, list);
    QVERIFY2(box && row < box->count(), list);
    box->scrollToItem(box->item(row));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualItemRect(box->item(row)).center());
    paintNow(w);
}

void clickSize(MainWindow& w, int size) {
    const auto& sizes = OptionsDialog::kFontSizes;
    clickRow(w, "SizeFontsListBox", int(std::find(sizes.begin(), sizes.end(), size) - sizes.begin()));
}

void choose(MainWindow& w, const char* combo, int position) {
    child<QComboBox>(w, combo)->setCurrentIndex(position);
    paintNow(w);
}

QList<int> selectedRows(MainWindow& w, const char* list) {
    QList<int> rows;
    auto* box = child<QListWidget>(w, list);
    for (const QListWidgetItem* item : box->selectedItems())
        rows << box->row(item);
    return rows;
}

qint32 storedInt(const QByteArray& file, int offset) {
    return qFromLittleEndian<qint32>(file.constData() + offset);
}

constexpr int kLanguageOffset = 4156;
constexpr int kSkinOffset = 4160;
constexpr int kSavePolicyOffset = 4164;
constexpr int kFontSizeOffset = 4428;
constexpr int kLastDeviceModelOffset = 4152;

// Every text of the dialog: an objectName (a window title, a group's title, a button's or
// label's text), or a name and a position (a page's title, a list's item).
struct ShownText {
    const char* element;
    int position;
    const char* russian;
    const char* english;
};
const ShownText kTexts[] = {
    {"TOptionForm", -1, "Настройки", "Options"},
    {"OkButton", -1, "OK", "OK"},
    {"CancelButton", -1, "Отмена", "Cancel"},
    {"OptionPage", 0, "Общие", "Preferens"},
    {"OptionPage", 1, "Редактор", "Editor"},
    {"OptionPage", 2, "Шрифт", "Font"},
    {"SkinGroupBox", -1, "Скин программы:", "Skin:"},
    {"LanguageGroupBox", -1, "Язык программы:", "Language:"},
    {"SaveGroupeBox", -1, "Сохранение измененных файлов:", "Saving of the changed files:"},
    {"SaveGroupeBoxItem0", -1, "Автоматически сохранять", "Save automatically"},
    {"SaveGroupeBoxItem1", -1, "Запрашивать действие", "Request operation"},
    {"SaveGroupeBoxItem2", -1, "Не сохранять", "Disabled"},
    {"KeyTypeGroup", -1, "Тип ключа:", "Key type:"},
    {"CodeGroup", -1, "Код ключа:", "Key code:"},
    {"KeyTypeGroupItem0", -1, "Полностью", "Full"},
    {"KeyTypeGroupItem1", -1, "Сокращенно", "Short"},
    {"KeyTypeGroupItem2", -1, "Не отображать", "Hide"},
    {"CodeGroupItem0", -1, "Полностью", "Full"},
    {"CodeGroupItem1", -1, "Сокращенно", "Short"},
    {"CodeGroupItem2", -1, "Не отображать", "Hide"},
    {"SpeedGroupBox", -1, "Скорость EM410x", "Speed EM410x"},
    {"CrcRadioGroup", -1, "CRC DS1990A", "CRC DS1990A"},
    {"SpeedCheckBox", -1, "Отображать", "Visible"},
    {"CrcCheckBox", -1, "Отображать", "Visible"},
    {"FontGroupBox", -1, "Настройки шрифта", "Font propertes"},
    {"NameFontLabel", -1, "Название:", "Name:"},
    {"TypeFontLabel", -1, "Начертание:", "Style:"},
    {"SizeFontsLabel", -1, "Размер:", "Size:"},
    {"TypeFontListBox", 0, "обычный", "classic"},
    {"TypeFontListBox", 1, "курсив", "italic"},
    {"TypeFontListBox", 2, "жирный", "bold"},
    {"TypeFontListBox", 3, "жирный курсив", "bold italic"},
    {"LangComboBox", 0, "Auto/Авто", "Auto/Авто"},
    {"LangComboBox", 1, "English", "English"},
    {"LangComboBox", 2, "Руский", "Руский"},
    {"SkinComboBox", 0, "Отключен", "Disabled"},
};

QString shownText(OptionsDialog& d, const ShownText& t) {
    const QString name = QString::fromLatin1(t.element);
    if (name == d.objectName())
        return d.windowTitle();
    QWidget* widget = d.findChild<QWidget*>(name);
    if (auto* pages = qobject_cast<QTabWidget*>(widget))
        return pages->tabText(t.position);
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return t.position < list->count() ? list->item(t.position)->text() : QString();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->itemText(t.position);
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return QStringLiteral("<no %1>").arg(name);
}

void compareTexts(OptionsDialog& d, bool russian) {
    for (const ShownText& t : kTexts) {
        const QString expected = QString::fromUtf8(russian ? t.russian : t.english);
        const QString shown = shownText(d, t);
        if (shown != expected)
            QFAIL(qPrintable(QStringLiteral("%1 %2: \"%3\", expected \"%4\"")
                                 .arg(QLatin1String(t.element))
                                 .arg(t.position)
                                 .arg(shown, expected)));
    }
}

QString menuText(MainWindow& w) {
    return w.findChild<QAction*>(QStringLiteral("MainMenuOptions"))->text();
}

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        settings().setDefaults();
    }
    void cleanup() {
        if (f->session) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            f->closeWindow();
        }
        QCOMPARE(f->env.prompts.pendingAnswers(), 0);
        f.reset();
    }

    void textsInTheLanguageOfTheSettings_data() {
        QTest::addColumn<bool>("russianSystem");
        QTest::addColumn<int>("setting");
        QTest::addColumn<bool>("russian");
        QTest::newRow("Russian") << false << 2 << true;
        QTest::newRow("English") << true << 1 << false;
        QTest::newRow("automatic, Russian system") << true << 0 << true;
        QTest::newRow("automatic, English system") << false << 0 << false;
    }
    void textsInTheLanguageOfTheSettings() {
        QFETCH(bool, russianSystem);
        QFETCH(int, setting);
        QFETCH(bool, russian);
        f->env.system.russian = russianSystem;
        settings().setLanguageSetting(LanguageSetting(setting));
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        openOptions(w);
        compareTexts(dialog(w), russian);
        QCOMPARE(child<QComboBox>(w, "LangComboBox")->currentIndex(), setting);
        const auto sizes = child<QListWidget>(w, "SizeFontsListBox");
        QStringList sizeItems;
        for (int i = 0; i < sizes->count(); ++i)
            sizeItems << sizes->item(i)->text();
        QCOMPARE(sizeItems.join(QLatin1Char(' ')), QStringLiteral("8 9 10 11 12 14 16 18 20 22 24 26 28"));
    }

    void opensModelessOverTheDisabledWindowAndKeepsItsPage() {
        MainWindow& w = f->start();
        openOptions(w);
        OptionsDialog& d = dialog(w);
        QCOMPARE(d.objectName(), QStringLiteral("TOptionForm"));
        QVERIFY(d.isVisible());
        QVERIFY(!d.isModal());
        QVERIFY(!w.isEnabled());
        QVERIFY(d.isEnabled());
        const QRect main = w.geometry();
        QCOMPARE(d.geometry().left(), main.left() + main.width() / 2 - d.width() / 2);
        QCOMPARE(d.geometry().top(), main.top() + main.height() / 2 - d.height() / 2);
        QCOMPARE(child<QTabWidget>(w, "OptionPage")->currentIndex(), 0);
        showPage(w, 2);
        clickButton(w, "CancelButton");
        QVERIFY(!d.isVisible());
        QVERIFY(w.isEnabled());

        openOptions(w);
        QCOMPARE(child<QTabWidget>(w, "OptionPage")->currentIndex(), 2);
        clickButton(w, "OkButton");
        QVERIFY(w.isEnabled());
    }

    // The dialog relabels itself at once; the window follows only on OK.
    void languagePreviewThenOk() {
        settings().setLanguageSetting(LanguageSetting::Russian);
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        QCOMPARE(menuText(w), QStringLiteral("Настройки программы"));
        openOptions(w);
        choose(w, "LangComboBox", 1);
        QCOMPARE(dialog(w).windowTitle(), QStringLiteral("Options"));
        QCOMPARE(child<QGroupBox>(w, "SaveGroupeBox")->title(), QStringLiteral("Saving of the changed files:"));
        QCOMPARE(menuText(w), QStringLiteral("Настройки программы"));
        QCOMPARE(uiLanguage(), UiLanguage::Russian);
        QCOMPARE(settings().languageSetting(), LanguageSetting::Russian);

        clickButton(w, "OkButton");
        QCOMPARE(menuText(w), QStringLiteral("Options"));
        QCOMPARE(uiLanguage(), UiLanguage::English);
        QCOMPARE(f->panel(1), QStringLiteral("Used: -"));
        QCOMPARE(storedInt(readFileBytes(f->env.paths.configFile()), kLanguageOffset), 1);
    }

    void cancelKeepsTheLanguage() {
        MainWindow& w = f->start();
        openOptions(w);
        choose(w, "LangComboBox", 2);
        QCOMPARE(dialog(w).windowTitle(), QStringLiteral("Настройки"));
        clickButton(w, "CancelButton");
        QCOMPARE(menuText(w), QStringLiteral("Options"));
        QCOMPARE(settings().languageSetting(), LanguageSetting::Automatic);
        openOptions(w);
        QCOMPARE(dialog(w).windowTitle(), QStringLiteral("Options"));
        QCOMPARE(child<QComboBox>(w, "LangComboBox")->currentIndex(), 0);
    }

    // The Editor page and the saving policy are stored on OK, and the grid shows its cells by
    // them.
    void editorChoicesStoredOnOk() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        const QString before = w.gridModel()->index(0, 0).data().toString();
        QVERIFY(before.startsWith(QLatin1String(" DS1990")));
        openOptions(w);
        clickButton(w, "SaveGroupeBoxItem2");
        showPage(w, 1);
        clickButton(w, "KeyTypeGroupItem2");
        clickButton(w, "CodeGroupItem2");
        clickButton(w, "SpeedCheckBox");
        clickButton(w, "CrcCheckBox");
        QCOMPARE(w.gridModel()->index(0, 0).data().toString(), before);

        clickButton(w, "OkButton");
        QCOMPARE(w.gridModel()->index(0, 0).data().toString(), QStringLiteral("-"));
        const Settings& s = settings();
        QCOMPARE(s.savePolicy(), SavePolicy::DoNotSave);
        QCOMPARE(s.keyTypeView(), 2);
        QCOMPARE(s.keyCodeView(), 2);
        QVERIFY(!s.emSpeedVisible());
        QVERIFY(s.dallasCrcVisible());
        openOptions(w);
        QVERIFY(child<QRadioButton>(w, "SaveGroupeBoxItem2")->isChecked());
        QVERIFY(child<QRadioButton>(w, "CodeGroupItem2")->isChecked());
        QVERIFY(!child<QCheckBox>(w, "SpeedCheckBox")->isChecked());
        clickButton(w, "CancelButton");
    }

    // The Editor page shows the copy's values again, so the changes made on it before a change of
    // language are gone, and OK stores the values from the opening.
    void changeOfLanguageTakesBackTheEditorPage() {
        MainWindow& w = f->start();
        openOptions(w);
        showPage(w, 1);
        clickButton(w, "SpeedCheckBox");
        clickButton(w, "KeyTypeGroupItem1");
        clickButton(w, "SaveGroupeBoxItem0");
        QVERIFY(!child<QCheckBox>(w, "SpeedCheckBox")->isChecked());
        clickRow(w, "TypeFontListBox", 1);
        QCOMPARE(settings().gridFontStyle(), FontStyle::Italic);

        choose(w, "LangComboBox", 2);
        QCOMPARE(child<QCheckBox>(w, "SpeedCheckBox")->text(), QStringLiteral("Отображать"));
        QVERIFY(child<QCheckBox>(w, "SpeedCheckBox")->isChecked());
        QVERIFY(child<QRadioButton>(w, "KeyTypeGroupItem0")->isChecked());
        QVERIFY(child<QRadioButton>(w, "SaveGroupeBoxItem1")->isChecked());
        QVERIFY(selectedRows(w, "TypeFontListBox").isEmpty());

        clickButton(w, "OkButton");
        QVERIFY(settings().emSpeedVisible());
        QCOMPARE(settings().keyTypeView(), 0);
        QCOMPARE(settings().savePolicy(), SavePolicy::Ask);
        QCOMPARE(settings().gridFontStyle(), FontStyle::Italic);
        QCOMPARE(settings().languageSetting(), LanguageSetting::Russian);
    }

    void skinListBuiltInAndFromTheSkinFolder() {
        QVERIFY(QDir().mkpath(f->env.paths.programFolder() + QStringLiteral("/Skins")));
        QVERIFY(writeFileBytes(f->env.paths.programFolder() + QStringLiteral("/Skins/Amber (warm).qss"),
                               QByteArrayLiteral("QPushButton { color: #402000; }")));
        MainWindow& w = f->start();
        openOptions(w);
        auto* skins = child<QComboBox>(w, "SkinComboBox");
        QCOMPARE(skins->count(), 1 + 39 + 1);
        QCOMPARE(skins->itemText(0), QStringLiteral("Disabled"));
        QCOMPARE(skins->itemText(1), QStringLiteral("Acryl"));
        QCOMPARE(skins->itemText(2), QStringLiteral("Amber"));
        QCOMPARE(skins->itemText(3), QStringLiteral("Beijing"));
        QCOMPARE(skins->itemText(24), QStringLiteral("Office2007 Black"));
        QCOMPARE(skins->itemText(40), QStringLiteral("XPSilver"));
        QCOMPARE(skins->currentIndex(), 1);

        choose(w, "SkinComboBox", 2);
        QCOMPARE(w.skins()->currentSkin(), QStringLiteral("Amber (warm)"));
        QVERIFY(w.skins()->isEnabled());
        QVERIFY(dialog(w).isVisible());
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QPushButton { color: #402000; }"));
        clickButton(w, "OkButton");
        QCOMPARE(settings().skinIndex(), 2);
    }

    void skinPreviewCancelAndOk_data() {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("shown"); // empty: skinning off
        QTest::newRow("a built-in skin") << 5 << QStringLiteral("BlueIce (internal)");
        QTest::newRow("Disabled") << 0 << QString();
    }
    void skinPreviewCancelAndOk() {
        QFETCH(int, chosen);
        QFETCH(QString, shown);
        MainWindow& w = f->start();
        QCOMPARE(w.skins()->currentSkin(), QStringLiteral("Acryl (internal)"));
        const QPalette acryl = QApplication::palette();

        openOptions(w);
        choose(w, "SkinComboBox", chosen);
        QCOMPARE(w.skins()->isEnabled(), !shown.isEmpty());
        if (!shown.isEmpty())
            QCOMPARE(w.skins()->currentSkin(), shown);
        QVERIFY(dialog(w).isVisible());
        QVERIFY(QApplication::palette() != acryl);
        clickButton(w, "CancelButton");
        QVERIFY(w.skins()->isEnabled());
        QCOMPARE(w.skins()->currentSkin(), QStringLiteral("Acryl (internal)"));
        QCOMPARE(QApplication::palette(), acryl);
        QCOMPARE(settings().skinIndex(), 1);

        openOptions(w);
        choose(w, "SkinComboBox", chosen);
        clickButton(w, "OkButton");
        QCOMPARE(w.skins()->isEnabled(), !shown.isEmpty());
        QCOMPARE(settings().skinIndex(), chosen);
        QCOMPARE(storedInt(readFileBytes(f->env.paths.configFile()), kSkinOffset), chosen);
    }

    // A size redraws the grid at once; each way of leaving but OK and the close box takes it back.
    void fontPreviewTakenBack_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << QStringLiteral("cancel");
        QTest::newRow("Esc") << QStringLiteral("escape");
        QTest::newRow("the program closed") << QStringLiteral("exit");
    }
    void fontPreviewTakenBack() {
        QFETCH(QString, how);
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        QCOMPARE(w.grid()->verticalHeader()->width(), 32);
        openOptions(w);
        clickSize(w, 14);
        QCOMPARE(w.grid()->font().pointSize(), 14);
        QCOMPARE(w.grid()->verticalHeader()->width(), 56);
        QCOMPARE(w.grid()->rowHeight(0), 28);
        clickRow(w, "TypeFontListBox", 2);
        QVERIFY(w.grid()->font().bold());
        QCOMPARE(settings().gridFontSize(), 14);
        QCOMPARE(dialog(w).dialogSettings().gridFontSize(), 14);

        if (how == QLatin1String("exit")) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            QVERIFY(f->closeWindow());
            const QByteArray file = readFileBytes(f->env.paths.configFile());
            QCOMPARE(storedInt(file, kFontSizeOffset), 8);
            return;
        }
        if (how == QLatin1String("cancel"))
            clickButton(w, "CancelButton");
        else
            QTest::keyClick(child<QListWidget>(w, "TypeFontListBox"), Qt::Key_Escape);
        QVERIFY(!dialog(w).isVisible());
        QVERIFY(w.isEnabled());
        QCOMPARE(settings().gridFontSize(), 8);
        QCOMPARE(settings().gridFontStyle(), FontStyle::Regular);
        QCOMPARE(w.grid()->font().pointSize(), 8);
        QVERIFY(!w.grid()->font().bold());
        QCOMPARE(w.grid()->verticalHeader()->width(), 32);
        QCOMPARE(w.grid()->rowHeight(0), 16);
    }

    // The close box only enables the window: a previewed font stays (and is written at the
    // program's close), a previewed skin stays shown under the old number, the rest is dropped.
    void closeBoxKeepsTheFontOnly() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        openOptions(w);
        choose(w, "SkinComboBox", 5);
        showPage(w, 1);
        clickButton(w, "SpeedCheckBox");
        clickSize(w, 14);
        const QByteArray fileBefore = readFileBytes(f->env.paths.configFile());

        QVERIFY(dialog(w).close());
        paintNow(w);
        QVERIFY(!dialog(w).isVisible());
        QVERIFY(w.isEnabled());
        QCOMPARE(settings().gridFontSize(), 14);
        QCOMPARE(w.grid()->rowHeight(0), 28);
        QCOMPARE(w.skins()->currentSkin(), QStringLiteral("BlueIce (internal)"));
        QCOMPARE(settings().skinIndex(), 1);
        QVERIFY(settings().emSpeedVisible());
        QCOMPARE(readFileBytes(f->env.paths.configFile()), fileBefore);

        settings().setSavePolicy(SavePolicy::DoNotSave);
        QVERIFY(f->closeWindow());
        const QByteArray file = readFileBytes(f->env.paths.configFile());
        QCOMPARE(storedInt(file, kFontSizeOffset), 14);
        QCOMPARE(storedInt(file, kSkinOffset), 1);
    }

    // OK writes the configuration file before anything else happens: a program killed then keeps
    // the options.
    void okWritesTheFileAtOnce() {
        MainWindow& w = f->start();
        const QByteArray before = readFileBytes(f->env.paths.configFile());
        openOptions(w);
        clickButton(w, "SaveGroupeBoxItem0");
        clickSize(w, 12);
        clickButton(w, "OkButton");
        const QByteArray file = readFileBytes(f->env.paths.configFile());
        QCOMPARE(file.size(), Settings::kSize);
        QVERIFY(file != before);
        QCOMPARE(file, QByteArray(reinterpret_cast<const char*>(settings().data()), Settings::kSize));
        QCOMPARE(storedInt(file, kSavePolicyOffset), 0);
        QCOMPARE(storedInt(file, kFontSizeOffset), 12);
    }

    // A configuration file that cannot be written: the user hears of it, and the options stay in
    // force for this run, to be written again at the program's close.
    void okReportsAFileThatCannotBeWritten() {
        MainWindow& w = f->start();
        const QString config = f->env.paths.configFile();
        QFile::remove(config);
        QVERIFY(QDir().mkpath(config));
        openOptions(w);
        clickButton(w, "SaveGroupeBoxItem0");
        f->env.prompts.answer(ButtonOk);
        clickButton(w, "OkButton");
        QCOMPARE(f->env.prompts.texts(),
                 QStringList{QStringLiteral("File write error:\"%1\"").arg(QDir::toNativeSeparators(config))});
        QCOMPARE(f->env.prompts.last().caption, QStringLiteral("Tervane"));
        QVERIFY(w.isEnabled());
        QCOMPARE(settings().savePolicy(), SavePolicy::SaveWithoutAsking);
    }

    // OK has the options on the disk before it returns: a program killed the hard way right
    // afterwards starts again with them. The child is this test program running
    // okThenWaitForTheKill.
    void okSurvivesAKill() {
#ifndef Q_OS_UNIX
        QSKIP("a kill the hard way is a Unix signal here");
#else
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TERVANE_OPTIONS_CHILD"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("okThenWaitForTheKill")});
        QString config;
        while (config.isEmpty() && child.waitForReadyRead(60000)) {
            while (child.canReadLine()) {
                const QByteArray line = child.readLine().trimmed();
                if (line.startsWith("config: "))
                    config = QString::fromUtf8(line.mid(8));
            }
        }
        QVERIFY2(!config.isEmpty(), child.readAllStandardError().constData());
        child.kill();
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        // The child's folders outlive it: its own clean-up never ran.
        const QString root = QFileInfo(QFileInfo(config).absolutePath()).absolutePath();
        const QByteArray file = readFileBytes(config);
        QDir(root).removeRecursively();

        QCOMPARE(file.size(), Settings::kSize);
        QCOMPARE(storedInt(file, kLanguageOffset), 2);
        QCOMPARE(storedInt(file, kSavePolicyOffset), 0);
        QCOMPARE(storedInt(file, kFontSizeOffset), 12);
#endif
    }
    void okThenWaitForTheKill() {
        if (qEnvironmentVariableIsEmpty("TERVANE_OPTIONS_CHILD"))
            QSKIP("the child of okSurvivesAKill");
        MainWindow& w = f->start();
        openOptions(w);
        choose(w, "LangComboBox", 2);
        clickButton(w, "SaveGroupeBoxItem0");
        clickSize(w, 12);
        clickButton(w, "OkButton");
        std::printf("config: %s\n", qPrintable(f->env.paths.configFile()));
        std::fflush(stdout);
        for (;;)
            QTest::qWait(1000);
    }

    // A programmer identified while the dialog is open stores its model; OK keeps it.
    void okKeepsWhatChangedMeanwhile() {
        MainWindow& w = f->start();
        QCOMPARE(settings().lastDeviceModel(), 1);
        openOptions(w);
        settings().setLastDeviceModel(4);
        clickButton(w, "OkButton");
        QCOMPARE(settings().lastDeviceModel(), 4);
        QCOMPARE(storedInt(readFileBytes(f->env.paths.configFile()), kLastDeviceModelOffset), 4);
    }

    void fontListsSelectTheGridsFont_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("style");
        QTest::addColumn<QList<int>>("sizeRow");
        QTest::addColumn<QList<int>>("styleRow");
        QTest::newRow("8, regular") << 8 << 0 << QList<int>{0} << QList<int>{0};
        QTest::newRow("14, bold") << 14 << 2 << QList<int>{5} << QList<int>{2};
        QTest::newRow("28, bold italic") << 28 << 3 << QList<int>{12} << QList<int>{3};
        QTest::newRow("15, not in the list") << 15 << 1 << QList<int>{} << QList<int>{1};
    }
    void fontListsSelectTheGridsFont() {
        QFETCH(int, size);
        QFETCH(int, style);
        QFETCH(QList<int>, sizeRow);
        QFETCH(QList<int>, styleRow);
        // A family installed here, written into the configuration file as the next start reads it.
        MainWindow& w = f->start();
        openOptions(w);
        auto* names = child<QListWidget>(w, "NameFontListBox");
        QVERIFY(names->count() > 0);
        const int familyRow = names->count() / 2;
        const QString family = names->item(familyRow)->text();
        clickButton(w, "CancelButton");
        settings().setSavePolicy(SavePolicy::DoNotSave);
        QVERIFY(f->closeWindow());

        settings().setGridFontName(cp1251(family));
        settings().setGridFontSize(size);
        settings().setGridFontStyle(FontStyle(style));
        QVERIFY(SaveSettings());
        MainWindow& again = f->start();
        openOptions(again);
        QCOMPARE(selectedRows(again, "NameFontListBox"), QList<int>{familyRow});
        QCOMPARE(selectedRows(again, "SizeFontsListBox"), sizeRow);
        QCOMPARE(selectedRows(again, "TypeFontListBox"), styleRow);
        // Only a choice changes the font: OK stores the size that came from the file.
        clickButton(again, "OkButton");
        QCOMPARE(settings().gridFontSize(), size);
    }

    // A family that is not installed: the list shows the face the grid draws instead, and the
    // settings keep the name until another is chosen.
    void fontNotInstalledSelectsTheFaceShown() {
        const QByteArray missing = QByteArrayLiteral("No Such Family Tervane");
        settings().setGridFontName(missing);
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        openOptions(w);
        auto* names = child<QListWidget>(w, "NameFontListBox");
        const QList<QListWidgetItem*> chosen = names->selectedItems();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first()->text(), QFontInfo(w.grid()->font()).family());
        clickButton(w, "OkButton");
        QCOMPARE(settings().gridFontName(), missing);
    }

    // Choosing a family: the grid shows it at once and the settings hold its name.
    void fontNameChosen() {
        MainWindow& w = f->start();
        openOptions(w);
        auto* names = child<QListWidget>(w, "NameFontListBox");
        QVERIFY(names->count() > 0);
        const int row = names->count() - 1;
        const QString family = names->item(row)->text();
        clickRow(w, "NameFontListBox", row);
        QCOMPARE(w.grid()->font().family(), family);
        QCOMPARE(settings().gridFontName(), cp1251(family));
        clickButton(w, "OkButton");
        QCOMPARE(settings().gridFontName(), cp1251(family));
    }

    // Pictures of the four pages for the documentation, when TERVANE_SCREENSHOTS names a folder;
    // taken on a real display (QT_QPA_PLATFORM=xcb, under xvfb-run on a server).
    void screenshots() {
        const QString folder = qEnvironmentVariable("TERVANE_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("TERVANE_SCREENSHOTS names no folder");
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        openOptions(w);
        const char* files[] = {"options-interface.png", "options-editor.png", "options-font.png",
                               "options-tervane.png"};
        for (int page = 0; page < 4; ++page) {
            showPage(w, page);
            QTest::qWait(200);
            QVERIFY(dialog(w).grab().save(folder + QLatin1Char('/') + QLatin1String(files[page])));
        }
        clickButton(w, "CancelButton");
    }

private:
    std::unique_ptr<MainWindowFixture> f;
};

QTEST_MAIN(OptionsTest)
#include "tst_Options.moc"
