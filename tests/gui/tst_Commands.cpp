// Every command of the main window: which are enabled in which state, and the captions, tool tips
// and shortcuts of each in both languages. The expectations are written out here, apart from
// the program's own table.

#include "texts/UiLanguage.h"
#include "ui/MainCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QToolBar>

using namespace tervane;

Q_DECLARE_METATYPE(QSet<QString>)

namespace {

// Enabled in every state: the commands whose rule is "always" or that are never changed.
const QSet<QString> kAlways{"MainMenuNewFile",
                            "MainMenuOpenFile",
                            "MainMenuImportVizitDM_CYFRAL",
                            "MainMenuImportVizitDM_TM2002",
                            "MainMenuImportVizitDM_EM410x",
                            "MainMenuExit",
                            "MainMenuOptions",
                            "MainMenuUpdateSearch",
                            "MainMenuHelpContent",
                            "MainMenuHelpWeb",
                            "MainMenuHelpAbout",
                            "PopUpCut",
                            "PopUpCopy",
                            "PopUpClear",
                            "PopUpSelectAll",
                            "PopUpTreeCreateFile",
                            "PopUpTreeCreateFolder",
                            "PopUpTreeRename",
                            "PopUpTreeDelete",
                            "ToolNewFile",
                            "ToolOpenFile",
                            "ShortViewToolButton"};
const QSet<QString> kBaseOpen{"MainMenuColseFile", "MainMenuSaveFile", "MainMenuSaveFileAs", "MainMenuEditFind",
                              "ToolSaveFile",      "ToolCloseFile",    "ToolFind",           "MainMenuEditFindKey",
                              "MainMenuImportCsv", "MainMenuExportCsv"};
const QSet<QString> kPage{"MainMenuImportVizitDM_DALLAS", "MainMenuEditCut", "MainMenuEditCopy", "MainMenuEditClear",
                          "MainMenuEditSelectAll",        "ToolCut",         "ToolCopy",         "PopUpFlipperImport",
                          "PopUpFlipperExportPage"};
// A page shown and a key among the selected cells.
const QSet<QString> kPageKey{"PopUpFlipperExport"};
const QSet<QString> kPaste{"MainMenuEditPaste", "PopUpPaste", "ToolPaste"};
const QSet<QString> kUndo{"MainMenuEditUndo", "ToolUndo"};
const QSet<QString> kRedo{"MainMenuEditRedo", "ToolRedo"};
const QSet<QString> kFindNext{"MainMenuEditFindNext", "ToolFindNext"};
const QSet<QString> kLock{"MainMenuKeysFinal", "ToolFinalKey"};
// A programmer and a key base open.
const QSet<QString> kFindPresented{"MainMenuKeysFindPresented"};
const QSet<QString> kRead{"MainMenuKeysRead", "PopUpReadKey", "ToolReadKey", "MainImportKeyBase", "MainExportKeyBase"};
const QSet<QString> kWrite{"MainMenuKeysWrite", "PopUpWriteKey", "ToolWriteKey"};

QList<QAction*> allActions(const MainCommands& c) {
    QList<QAction*> all = c.mainMenuItems() + c.gridMenuItems() + c.treeMenuItems();
    for (QAction* a : c.toolBar()->actions())
        if (!a->isSeparator())
            all << a;
    return all;
}

QString captionOf(const QAction* a) {
    return a->text().section(QLatin1Char('\t'), 0, 0);
}

struct Texts {
    const char* name;
    const char* russian;
    const char* english;
    const char* shortcut; // as a portable key sequence text; empty: none
};

// clang-format off
const Texts kTexts[] = {
    {"MainMenuFile", "&Файл", "&File", ""},
    {"MainMenuNewFile", "Создать", "Create", "Ctrl+N"},
    {"MainMenuOpenFile", "Открыть", "Open", "Ctrl+O"},
    {"MainMenuColseFile", "Закрыть", "Close", "Ctrl+W"},
    {"MainMenuSaveFile", "Сохранить", "Save", "Ctrl+S"},
    {"MainMenuSaveFileAs", "Сохранить &как...", "Save as...", "Ctrl+Alt+S"},
    {"MainMenuImport", "Импорт...", "Import...", ""},
    {"MainMenuImportVizitDM_DALLAS", "VIZIT_DM  (*.viz) как DALLAS", "VIZIT_DM  (*.viz) as DALLAS", ""},
    {"MainMenuImportVizitDM_CYFRAL", "VIZIT_DM  (*.viz) как CYFRAL", "VIZIT_DM  (*.viz) as CYFRAL", ""},
    {"MainMenuImportVizitDM_TM2002", "VIZIT_DM  (*.viz) как TM2002", "VIZIT_DM  (*.viz) as TM2002", ""},
    {"MainMenuImportVizitDM_EM410x", "VIZIT_DM  (*.viz) как EM410x", "VIZIT_DM  (*.viz) as EM410x", ""},
    {"MainMenuImportCsv", "CSV...", "CSV...", "Ctrl+Shift+I"},
    {"MainMenuExit", "Выход", "Exit", "Ctrl+X"},
    {"MainMenuExport", "Экспорт...", "Export...", ""},
    {"MainMenuExportCsv", "CSV...", "CSV...", "Ctrl+Shift+E"},
    {"MainMenuEdit", "&Правка", "&Edit", ""},
    {"MainMenuEditCut", "Вырезать", "Cut", "Ctrl+X"},
    {"MainMenuEditCopy", "Копировать", "Copy", "Ctrl+C"},
    {"MainMenuEditPaste", "Вставить", "Paste", "Ctrl+V"},
    {"MainMenuEditClear", "Удалить", "Delete", "Del"},
    {"MainMenuEditSelectAll", "Выделить все", "Select all", "Ctrl+A"},
    {"MainMenuEditFind", "Найти", "Find", "Ctrl+F"},
    {"MainMenuEditFindNext", "Найти далее", "Find next", "F3"},
    {"MainMenuEditFindKey", "Найти ключ...", "Find key...", "Ctrl+Shift+F"},
    {"MainMenuEditUndo", "Отменить", "Undo", "Ctrl+Z"},
    {"MainMenuEditRedo", "Повторить", "Redo", "Ctrl+Y"},
    {"MainMenuKeys", "&Ключи", "&Keys", ""},
    {"MainMenuKeysRead", "Считать ключи", "Read keys", "F5"},
    {"MainMenuKeysWrite", "Записать заготовки", "Write keys", "F6"},
    {"MainMenuKeysFinal", "Финализировать", "Lock key", "F7"},
    {"MainMenuKeysFindPresented", "Найти приложенный ключ", "Find the presented key", ""},
    {"MainMenuUtils", "&Утилиты", "&Tools", ""},
    {"MainMenuOptions", "Настройки программы", "Options", ""},
    {"MainMenuUpdateSearch", "Скачать обновление из Интернет", "Download update from Internet", ""},
    {"MainImportKeyBase", "Импорт базы ключей из прибора", "Import key base from device", ""},
    {"MainExportKeyBase", "Экспорт базы ключей в прибор", "Export key base to device", ""},
    {"MainMenuHelp", "&Справка", "&Help", ""},
    {"MainMenuHelpContent", "Содержание", "Help Topics", "F1"},
    {"MainMenuHelpWeb", "Web-ст&раница", "Web-page", ""},
    {"MainMenuHelpAbout", "О программе", "About", ""},
    {"PopUpCut", "В&ырезать", "C&ut", "Ctrl+X"},
    {"PopUpCopy", "&Копировать", "Co&py", "Ctrl+C"},
    {"PopUpPaste", "Вст&авить", "P&aste", "Ctrl+V"},
    {"PopUpClear", "У&далить", "&Delete", "Del"},
    {"PopUpSelectAll", "&Выделить все", "&Select all", "Ctrl+A"},
    {"PopUpReadKey", "&Считать ключи", "&Read keys", "F5"},
    {"PopUpWriteKey", "&Записать заготовки", "&Write keys", "F6"},
    {"PopUpFlipperExport", "Экспорт в файл Flipper...", "Export to Flipper file...", ""},
    {"PopUpFlipperImport", "Импорт из файла Flipper...", "Import from Flipper file...", ""},
    {"PopUpFlipperExportPage", "Экспорт страницы в файлы Flipper...", "Export page to Flipper files...", ""},
    {"PopUpTreeCreateFile", "Создать файл", "Create file", "Ins"},
    {"PopUpTreeCreateFolder", "Создать папку", "Create folder", "Shift+Ins"},
    {"PopUpTreeRename", "Переименовать", "Rename", "Ctrl+R"},
    {"PopUpTreeDelete", "Удалить", "Delete", "Del"},
    {"ToolNewFile", "Создать файл", "Create new file", ""},
    {"ToolOpenFile", "Открыть файл", "Open file", ""},
    {"ToolSaveFile", "Сохранить файл", "Save file", ""},
    {"ToolCloseFile", "Закрыть файл", "Close file", ""},
    {"ToolCut", "Вырезать", "Cut", ""},
    {"ToolCopy", "Копировать", "Copy", ""},
    {"ToolPaste", "Вставить", "Paste", ""},
    {"ToolUndo", "Отменить", "Undo", ""},
    {"ToolRedo", "Повторить", "Redo", ""},
    {"ToolFind", "Найти", "Find", ""},
    {"ToolFindNext", "Найти далее", "Find next", ""},
    {"ToolReadKey", "Считать ключи", "Read keys", ""},
    {"ToolWriteKey", "Записать заготовки", "Write keys", ""},
    {"ToolFinalKey", "Финализировать заготовку", "Lock key", ""},
    {"ShortViewToolButton", "Отключить показ пустых строк в таблице", "Disable show of null strings in the table", ""},
};
// clang-format on

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void enabling_data() {
        QTest::addColumn<unsigned>("conditions");
        QTest::addColumn<QSet<QString>>("enabled");
        QTest::newRow("no base") << 0u << kAlways;
        QTest::newRow("base without page") << unsigned(BaseOpen) << (kAlways + kBaseOpen);
        QTest::newRow("page") << unsigned(BaseOpen | PageShown) << (kAlways + kBaseOpen + kPage);
        QTest::newRow("page with key cells, offline")
            << unsigned(BaseOpen | PageShown | SelectionHasKey) << (kAlways + kBaseOpen + kPage + kPageKey);
        QTest::newRow("key cells, no page") << unsigned(BaseOpen | SelectionHasKey) << (kAlways + kBaseOpen);
        QTest::newRow("clipboard filled")
            << unsigned(BaseOpen | PageShown | ClipboardFilled) << (kAlways + kBaseOpen + kPage + kPaste);
        QTest::newRow("clipboard filled, no page") << unsigned(BaseOpen | ClipboardFilled) << (kAlways + kBaseOpen);
        QTest::newRow("find found") << unsigned(BaseOpen | FindFound) << (kAlways + kBaseOpen + kFindNext);
        QTest::newRow("undo") << unsigned(BaseOpen | CanUndo) << (kAlways + kBaseOpen + kUndo);
        QTest::newRow("redo") << unsigned(BaseOpen | CanRedo) << (kAlways + kBaseOpen + kRedo);
        QTest::newRow("device online, no base") << unsigned(DeviceOnline) << (kAlways + kLock);
        QTest::newRow("device online, page") << unsigned(BaseOpen | PageShown | DeviceOnline)
                                             << (kAlways + kBaseOpen + kPage + kLock + kRead + kFindPresented);
        QTest::newRow("device online, page with key cells")
            << unsigned(BaseOpen | PageShown | DeviceOnline | SelectionHasKey)
            << (kAlways + kBaseOpen + kPage + kPageKey + kLock + kRead + kWrite + kFindPresented);
    }
    void enabling() {
        QFETCH(unsigned, conditions);
        QFETCH(QSet<QString>, enabled);
        QWidget window;
        MainCommands commands(&window);
        // From the opposite state first, so that every command is really set.
        commands.updateCommands(~conditions);
        commands.updateCommands(conditions);
        QSet<QString> seen;
        for (QAction* a : allActions(commands))
            if (a->isEnabled())
                seen << a->objectName();
        QCOMPARE(seen, enabled);
    }

    void textsAndShortcuts_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("Russian") << int(UiLanguage::Russian);
        QTest::newRow("English") << int(UiLanguage::English);
    }
    void textsAndShortcuts() {
        QFETCH(int, language);
        const bool russian = UiLanguage(language) == UiLanguage::Russian;
        setUiLanguage(UiLanguage::English);
        QWidget window;
        MainCommands commands(&window);
        setUiLanguage(UiLanguage(language));
        commands.applyInterfaceTexts();

        QSet<QString> named;
        for (const Texts& t : kTexts) {
            named << QString::fromLatin1(t.name);
            const QString expected = QString::fromUtf8(russian ? t.russian : t.english);
            const QKeySequence shortcut(QString::fromLatin1(t.shortcut), QKeySequence::PortableText);
            if (QMenu* menu = window.findChild<QMenu*>(QString::fromLatin1(t.name))) {
                QCOMPARE(menu->menuAction()->text(), expected);
                continue;
            }
            const QList<QAction*> found = window.findChildren<QAction*>(QString::fromLatin1(t.name));
            QCOMPARE(found.size(), 1);
            QAction* a = found.first();
            if (QString::fromLatin1(t.name).startsWith("Tool") || a == commands.shortViewAction()) {
                QCOMPARE(a->toolTip(), expected);
                QVERIFY(MainCommands::shortcutOf(a).isEmpty());
                continue;
            }
            QCOMPARE(captionOf(a), expected);
            QCOMPARE(MainCommands::shortcutOf(a), shortcut);
            QCOMPARE(a->text().section(QLatin1Char('\t'), 1), shortcut.toString(QKeySequence::NativeText));
        }
        // Nothing offered that is not listed above.
        for (QAction* a : allActions(commands))
            QVERIFY2(named.contains(a->objectName()), qPrintable(a->objectName()));
        setUiLanguage(UiLanguage::English);
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_Commands.moc"
