// File › Export › CSV and File › Import › CSV on the real main window: where they stand in the
// menus and their shortcuts, the page shown or the whole base written with its unsaved edits,
// an import through the edit session down to the saved base, and a file refused whole.

#include "MainWindowFixture.h"

#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "settings/Settings.h"
#include "ui/BaseTreeView.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

void paintNow(MainWindow& w) {
    w.tree()->viewport()->repaint();
    w.grid()->viewport()->repaint();
    w.repaint();
    QApplication::processEvents();
}

QString cellText(MainWindow& w, int gridRow, int gridColumn) {
    return w.gridModel()->index(gridRow - 1, gridColumn - 1).data().toString();
}

QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

const QByteArray kBom = "\xEF\xBB\xBF";
const QByteArray kHeader = "path,page,row,column,type,code,text,comment\r\n";
// The sample base's page 0 with the edits of editShownPage(), and its page 1.
const QByteArray kPage0 = QStringLiteral("Дом/кв 1,0,0,1,1,0156341200000005, DS1990 - 000000123456,подъезд 1\r\n"
                                         "Дом/кв 1,0,2,,,,,\"a, \"\"b\"\"\"\r\n"
                                         "Дом/кв 1,0,7,3,128,0055443322110600, EM410x - 1122334455 - RF64,\r\n")
                              .toUtf8();
const QByteArray kPage1 = QStringLiteral("Дом/кв 2,1,3,2,1,0142000000000026, DS1990 - 000000000042,\r\n").toUtf8();

} // namespace

class CsvTest : public QObject {
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

    void commandsStandLastWithTheirShortcuts();
    void exportPageOrBase_data();
    void exportPageOrBase();
    void exportCancelledOrNotWritten();
    void importDownToTheSavedBase();
    void invalidLineImportsNothing();

private:
    MainWindow& startWithSample();
    // Unsaved edits of the page shown: only the page buffer holds them.
    void editShownPage(MainWindow& w);
    QString file(const QString& name) const { return f->userFolder() + QLatin1Char('/') + name; }

    std::unique_ptr<MainWindowFixture> f;
};

MainWindow& CsvTest::startWithSample() {
    MainWindow& w = f->start();
    f->openBase(f->writeSampleBase());
    paintNow(w);
    return w;
}

void CsvTest::editShownPage(MainWindow& w) {
    KeyCell em;
    em.setType(KeyTypeEm410x);
    em.setCode({0x00, 0x55, 0x44, 0x33, 0x22, 0x11, 0x06, 0x00});
    QVERIFY(w.edits().setCell(0, 7, 2, em));
    QVERIFY(w.edits().setComment(0, 2, "a, \"b\""));
    paintNow(w);
}

// Import's CSV after the VIZIT_DM items, Export after Exit, each behind a separator; their
// shortcuts reach them through the window's shortcut hook.
void CsvTest::commandsStandLastWithTheirShortcuts() {
    MainWindow& w = startWithSample();
    QMenu* fileMenu = w.findChild<QMenu*>(QStringLiteral("MainMenuFile"));
    QMenu* importMenu = w.findChild<QMenu*>(QStringLiteral("MainMenuImport"));
    QMenu* exportMenu = w.findChild<QMenu*>(QStringLiteral("MainMenuExport"));
    QVERIFY(fileMenu && importMenu && exportMenu);
    const QList<QAction*> items = fileMenu->actions();
    QCOMPARE(items.size() >= 3, true);
    QCOMPARE(items.last(), exportMenu->menuAction());
    QVERIFY(items.at(items.size() - 2)->isSeparator());
    QCOMPARE(items.at(items.size() - 3)->objectName(), QStringLiteral("MainMenuExit"));
    const QList<QAction*> imports = importMenu->actions();
    QCOMPARE(imports.last()->objectName(), QStringLiteral("MainMenuImportCsv"));
    QVERIFY(imports.at(imports.size() - 2)->isSeparator());
    QCOMPARE(imports.at(imports.size() - 3)->objectName(), QStringLiteral("MainMenuImportVizitDM_EM410x"));
    QCOMPARE(exportMenu->actions(), QList<QAction*>{action(w, "MainMenuExportCsv")});

    f->env.prompts.answer(ButtonCancel);
    QTest::keyClick(w.grid(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    paintNow(w);
    QCOMPARE(f->env.prompts.shown().size(), 2); // the open dialog, then the question
    QCOMPARE(f->env.prompts.last().text,
             QStringLiteral("Export only the page shown? No exports every page of the key base."));

    f->env.prompts.answerFile(std::nullopt);
    QTest::keyClick(w.grid(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    paintNow(w);
    QCOMPARE(f->env.prompts.last().kind, ShownPrompt::OpenDialog);
    QCOMPARE(f->env.prompts.last().request.filter, QStringLiteral("CSV (*.csv)|*.csv"));
    QVERIFY(!w.document().modified());
}

void CsvTest::exportPageOrBase_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("page shown") << int(ButtonYes) << kBom + kHeader + kPage0;
    QTest::newRow("whole base") << int(ButtonNo) << kBom + kHeader + kPage0 + kPage1;
}

void CsvTest::exportPageOrBase() {
    QFETCH(int, answer);
    QFETCH(QByteArray, csv);
    MainWindow& w = startWithSample();
    editShownPage(w);
    const QString target = file(QStringLiteral("ключи.csv"));
    f->env.prompts.answer(PromptButton(answer));
    f->env.prompts.answerFile(target);
    action(w, "MainMenuExportCsv")->trigger();
    paintNow(w);

    const ShownPrompt dialog = f->env.prompts.last();
    QCOMPARE(dialog.kind, ShownPrompt::SaveDialog);
    QCOMPARE(dialog.request.filter, QStringLiteral("CSV (*.csv)|*.csv"));
    QCOMPARE(dialog.request.defaultSuffix, QStringLiteral(".csv"));
    QCOMPARE(dialog.request.fileName, QStringLiteral("shop.csv"));
    QVERIFY(dialog.request.confirmOverwrite);
    QCOMPARE(readFileBytes(target), csv);
    QCOMPARE(QFile::decodeName(settings().openFolder()), f->userFolder());
}

void CsvTest::exportCancelledOrNotWritten() {
    MainWindow& w = startWithSample();
    const int before = int(f->env.prompts.shown().size());
    f->env.prompts.answer(ButtonCancel);
    w.runCommand(CommandId::ExportCsv);
    QCOMPARE(int(f->env.prompts.shown().size()), before + 1); // no file dialog after Cancel

    const QString target = file(QStringLiteral("missing/keys.csv"));
    f->env.prompts.answer(ButtonYes);
    f->env.prompts.answerFile(target);
    f->env.prompts.answer(ButtonOk);
    w.runCommand(CommandId::ExportCsv);
    paintNow(w);
    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Error);
    QCOMPARE(f->env.prompts.last().text, QStringLiteral("Create file error: \"%1\"").arg(target));
    QVERIFY(!QFileInfo::exists(target));
}

// A key replaced and one added on the page shown, a comment on a page that is not shown; the
// cells and comments the file does not name stay.
void CsvTest::importDownToTheSavedBase() {
    MainWindow& w = startWithSample();
    const QString base = w.document().savedBase();
    const QString csv = file(QStringLiteral("ввод.csv"));
    QVERIFY(writeFileBytes(csv, kBom + kHeader +
                                    QStringLiteral("Дом/кв 1,0,0,1,,,,подъезд 1\r\n"
                                                   ",0,10,3,2,0178563412000057,,новый\r\n"
                                                   "Дом/кв 2,1,3,,,,,вход\r\n")
                                        .toUtf8()));
    f->env.prompts.answerFile(csv);
    f->env.prompts.answer(ButtonOk);
    action(w, "MainMenuImportCsv")->trigger();
    paintNow(w);

    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Information);
    QCOMPARE(f->env.prompts.last().text,
             QStringLiteral("Imported from \"%1\". Key cells: 2; row comments: 3; pages: 2.").arg(csv));
    QVERIFY(w.document().modified());
    QCOMPARE(cellText(w, 1, 1), QString());
    QCOMPARE(cellText(w, 1, 7), QStringLiteral("подъезд 1"));
    QCOMPARE(cellText(w, 11, 3), QStringLiteral(" TM2002 - 12345678 "));
    QCOMPARE(cellText(w, 11, 7), QStringLiteral("новый"));
    KeyPage other;
    QVERIFY(ReadPage(w.document().workingPageFile(), 1, other));
    QCOMPARE(fromCp1251(other.comment(3)), QStringLiteral("вход"));
    QCOMPARE(other.cellType(3, 1), std::uint8_t(KeyTypeDallas));

    w.runCommand(CommandId::SaveFile);
    KeyPage saved0;
    KeyPage saved1;
    QVERIFY(ReadPage(base + QStringLiteral(".dat"), 0, saved0));
    QVERIFY(ReadPage(base + QStringLiteral(".dat"), 1, saved1));
    QVERIFY(saved0 == w.document().pageBuffer());
    QVERIFY(saved1 == other);
}

void CsvTest::invalidLineImportsNothing() {
    MainWindow& w = startWithSample();
    const KeyPage shown = w.document().pageBuffer();
    const QByteArray pages = readFileBytes(w.document().workingPageFile());
    const QString csv = file(QStringLiteral("bad.csv"));
    QVERIFY(writeFileBytes(csv, kHeader + ",0,10,3,2,0178563412000057,,\r\n,1,3,2,1,0142,,\r\n"));
    f->env.prompts.answerFile(csv);
    f->env.prompts.answer(ButtonOk);
    w.runCommand(CommandId::ImportCsv);
    paintNow(w);

    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Error);
    QCOMPARE(
        f->env.prompts.last().text,
        QStringLiteral("Nothing was imported from \"%1\".\nLine 3: \"0142\" is not a code of 16 hex digits.").arg(csv));
    QVERIFY(!w.document().modified());
    QVERIFY(w.document().pageBuffer() == shown);
    QCOMPARE(readFileBytes(w.document().workingPageFile()), pages);
    QCOMPARE(cellText(w, 11, 3), QString());
}

QTEST_MAIN(CsvTest)
#include "tst_Csv.moc"
