// The grid menu's Flipper Zero commands and the EM410x card numbers in the grid's tool tip, on the
// real main window: files written from the cells, keys read into the page through the edit
// session down to the saved base, and every refusal.

#include "MainWindowFixture.h"

#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "settings/Settings.h"
#include "ui/GridController.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>

using namespace tervane;
using namespace tervane::test;

namespace {

void paintNow(MainWindow& w) {
    w.grid()->viewport()->repaint();
    w.repaint();
    QApplication::processEvents();
}

QString cellText(MainWindow& w, int gridRow, int gridColumn) {
    return w.gridModel()->index(gridRow - 1, gridColumn - 1).data().toString();
}

// The card of the printed example: code 11 22 33 44 55, most significant byte first.
const QByteArray kEm = "80 00 00 55 44 33 22 11 06 00";
const QByteArray kHid = "81 00 00 01 02 03 04 05 00 00";
const QByteArray kCyfral = "03 00 01 34 12 01 00 00 00 7C";
const QByteArray kDallasFile =
    "Filetype: Flipper iButton key\nVersion: 2\nProtocol: DS1990\nRom Data: 01 AB 90 8B 0B 00 00 A2\n";

} // namespace

class FlipperTest : public QObject {
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
        setUiLanguage(UiLanguage::English);
    }

    void commandsStandLastInTheGridMenu();
    void toolTipShowsTheCardNumbers();
    void exportKey_data();
    void exportKey();
    void exportRefusals_data();
    void exportRefusals();
    void importIntoEmptyCellDownToTheSavedBase();
    void importOverAKeyAsksFirst();
    void importRefusals();
    void exportPageAsFolder();
    void exportPageWithoutKeys();

private:
    // One file "Keys" (page 0, shown): a Dallas key in row 0, key 1; the EM410x card in row 2,
    // key 2 with the comment "Front door"; a HID card in row 3, key 1; a Cyfral key in row 5,
    // key 3 with the comment "Hall/back\tdoor".
    MainWindow& startWithKeys();
    void select(MainWindow& w, int gridRow, int gridColumn);
    // Opens the grid menu over the selection and chooses the item, as a right click would.
    void choose(MainWindow& w, const char* item);
    QString folder() const { return f->env.paths.root() + QStringLiteral("/flipper"); }

    QString m_base;
    std::unique_ptr<MainWindowFixture> f;
};

MainWindow& FlipperTest::startWithKeys() {
    QDir().mkpath(f->userFolder());
    QDir().mkpath(folder());
    BaseBuilder b;
    BaseNode* keys = b.file(QStringLiteral("Keys"));
    KeyPage& page = b.page(keys);
    page.setCell(0, 0, dallasCell(0x123456));
    page.setCell(2, 1, cellFromHex(kEm));
    page.setComment(2, "Front door");
    page.setCell(3, 0, cellFromHex(kHid));
    page.setCell(5, 2, cellFromHex(kCyfral));
    page.setComment(5, "Hall/back\tdoor");
    b.select(keys);
    m_base = f->userFolder() + QStringLiteral("/keys");
    b.write(m_base);
    MainWindow& w = f->start();
    f->openBase(m_base);
    paintNow(w);
    return w;
}

void FlipperTest::select(MainWindow& w, int gridRow, int gridColumn) {
    w.grid()->setSelectionRect({gridColumn, gridRow, gridColumn, gridRow});
    paintNow(w);
}

void FlipperTest::choose(MainWindow& w, const char* item) {
    QMenu* menu = w.commands()->gridMenu();
    const QRect cell = w.grid()->visualRect(w.grid()->currentIndex());
    menu->popup(w.grid()->viewport()->mapToGlobal(cell.center()));
    QTRY_VERIFY(menu->isVisible());
    QAction* action = w.findChild<QAction*>(QString::fromLatin1(item));
    QVERIFY(action);
    QVERIFY(action->isEnabled());
    menu->hide();
    action->trigger();
    paintNow(w);
}

void FlipperTest::commandsStandLastInTheGridMenu() {
    MainWindow& w = startWithKeys();
    const QList<QAction*> items = w.commands()->gridMenu()->actions();
    QStringList names;
    for (QAction* a : items)
        names << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    QCOMPARE(names.mid(names.size() - 4),
             QStringList({"|", "PopUpFlipperExport", "PopUpFlipperImport", "PopUpFlipperExportPage"}));

    // Export asks for a key among the selected cells; import and the page's export for a page.
    auto enabled = [&](const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name))->isEnabled(); };
    select(w, 2, 1);
    QVERIFY(!enabled("PopUpFlipperExport"));
    QVERIFY(enabled("PopUpFlipperImport"));
    QVERIFY(enabled("PopUpFlipperExportPage"));
    select(w, 3, 2);
    QVERIFY(enabled("PopUpFlipperExport"));
    w.runCommand(CommandId::CloseFile);
    paintNow(w);
    QVERIFY(!enabled("PopUpFlipperExport"));
    QVERIFY(!enabled("PopUpFlipperImport"));
    QVERIFY(!enabled("PopUpFlipperExportPage"));
}

void FlipperTest::toolTipShowsTheCardNumbers() {
    MainWindow& w = startWithKeys();
    const QString numbers = QStringLiteral("DEZ 10: 0573785173\nDEZ 8: 03359829\nDEZ 3.5C: 051.17493\n"
                                           "DEZ 5.5: 08755.17493\nDEZ 14: 00073588229205");
    const QModelIndex em = w.gridModel()->index(2, 1);
    QCOMPARE(em.data(Qt::ToolTipRole).toString(), numbers);
    // Other keys, empty cells and comments have none.
    for (const QModelIndex& index : {w.gridModel()->index(0, 0), w.gridModel()->index(1, 0),
                                     w.gridModel()->index(2, KeyGridModel::kCommentColumn)})
        QVERIFY(index.data(Qt::ToolTipRole).isNull());

    // The mouse resting over the cell shows them.
    const QRect rect = w.grid()->visualRect(em);
    QHelpEvent help(QEvent::ToolTip, rect.center(), w.grid()->viewport()->mapToGlobal(rect.center()));
    QApplication::sendEvent(w.grid()->viewport(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), numbers);
    QToolTip::hideText();

    setUiLanguage(UiLanguage::Russian);
    QVERIFY(em.data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("Дес. 10: 0573785173\n")));
}

void FlipperTest::exportKey_data() {
    QTest::addColumn<int>("gridRow");
    QTest::addColumn<int>("gridColumn");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("EM410x") << 3 << 2 << "002-2 Front door.rfid"
                            << "Flipper RFID key (*.rfid)|*.rfid"
                            << QByteArray("Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100\n"
                                          "Data: 11 22 33 44 55\n");
    QTest::newRow("Cyfral") << 6 << 3 << "005-3 Hallbackdoor.ibtn"
                            << "Flipper iButton key (*.ibtn)|*.ibtn"
                            << QByteArray("Filetype: Flipper iButton key\nVersion: 2\nProtocol: Cyfral\n"
                                          "Data: 34 12\n");
}

void FlipperTest::exportKey() {
    QFETCH(int, gridRow);
    QFETCH(int, gridColumn);
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QByteArray, file);
    MainWindow& w = startWithKeys();
    select(w, gridRow, gridColumn);
    const QString path = folder() + QLatin1Char('/') + name;
    f->env.prompts.answerFile(path);
    choose(w, "PopUpFlipperExport");

    const ShownPrompt dialog = f->env.prompts.last();
    QCOMPARE(dialog.kind, ShownPrompt::SaveDialog);
    QCOMPARE(dialog.request.filter, filter);
    QCOMPARE(dialog.request.defaultSuffix, name.right(5));
    QCOMPARE(dialog.request.fileName, name);
    QVERIFY(dialog.request.confirmOverwrite);
    QCOMPARE(readFileBytes(path), file);
    QCOMPARE(QFile::decodeName(settings().openFolder()), folder());
    QVERIFY(!w.document().modified());
}

void FlipperTest::exportRefusals_data() {
    QTest::addColumn<int>("gridRow");
    QTest::addColumn<int>("gridColumn");
    QTest::addColumn<QString>("message");
    QTest::newRow("HID Prox II") << 4 << 1
                                 << "HID Prox II keys cannot be stored in a Flipper file: the Flipper Zero has no key "
                                    "type that matches them exactly.";
    // The selection holds a key, but not in the cell the command acts on.
    QTest::newRow("empty top-left cell") << 1 << 2 << "The cell holds no key.";
}

void FlipperTest::exportRefusals() {
    QFETCH(int, gridRow);
    QFETCH(int, gridColumn);
    QFETCH(QString, message);
    MainWindow& w = startWithKeys();
    w.grid()->setSelectionRect({gridColumn, gridRow, 3, 4});
    paintNow(w);
    f->env.prompts.answer(ButtonOk);
    choose(w, "PopUpFlipperExport");
    QCOMPARE(f->env.prompts.shown().size(), 2); // the open dialog of the base, then the refusal
    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Warning);
    QCOMPARE(f->env.prompts.last().text, message);
    QVERIFY(QDir(folder()).isEmpty());
}

void FlipperTest::importIntoEmptyCellDownToTheSavedBase() {
    MainWindow& w = startWithKeys();
    const QString path = folder() + QStringLiteral("/Dallas.ibtn");
    QVERIFY(writeFileBytes(path, kDallasFile));
    select(w, 2, 4);
    f->env.prompts.answerFile(path);
    choose(w, "PopUpFlipperImport");

    const ShownPrompt dialog = f->env.prompts.last();
    QCOMPARE(dialog.kind, ShownPrompt::OpenDialog);
    QCOMPARE(dialog.request.filter, QStringLiteral("Flipper key (*.ibtn *.rfid)|*.ibtn;*.rfid"));
    QCOMPARE(cellText(w, 2, 4), QStringLiteral(" DS1990 - 00000B8B90AB"));
    QVERIFY(w.document().modified());
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("Tervane - ")));
    QCOMPARE(f->panel(1), QStringLiteral("Used: 5"));

    w.runCommand(CommandId::SaveFile);
    KeyPage saved;
    QVERIFY(ReadPage(m_base + QStringLiteral(".dat"), 0, saved));
    QCOMPARE(saved.cell(1, 3).bytes, cellFromHex("01 00 01 AB 90 8B 0B 00 00 A2").bytes);
    QCOMPARE(saved.occupiedCellCount(), 5);
}

void FlipperTest::importOverAKeyAsksFirst() {
    MainWindow& w = startWithKeys();
    const QString path = folder() + QStringLiteral("/card.rfid");
    QVERIFY(
        writeFileBytes(path, "Filetype: Flipper RFID key\nVersion: 1\nKey type: EM4100/32\nData: 20 00 1D 59 1F\n"));
    select(w, 6, 3);
    const QString before = cellText(w, 6, 3);

    f->env.prompts.answerFile(path);
    f->env.prompts.answer(ButtonNo);
    choose(w, "PopUpFlipperImport");
    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Question);
    QCOMPARE(f->env.prompts.last().text,
             QStringLiteral("The cell already holds a key. Replace it with the key of the file?"));
    QCOMPARE(cellText(w, 6, 3), before);
    QVERIFY(!w.document().modified());

    f->env.prompts.answerFile(path);
    f->env.prompts.answer(ButtonYes);
    choose(w, "PopUpFlipperImport");
    QCOMPARE(cellText(w, 6, 3), QStringLiteral(" EM410x - 20001D591F - RF32"));
    QVERIFY(w.document().modified());
}

void FlipperTest::importRefusals() {
    MainWindow& w = startWithKeys();
    const KeyPage before = w.document().pageBuffer();

    // The comment column: refused before any file is chosen.
    select(w, 3, 7);
    f->env.prompts.answer(ButtonOk);
    choose(w, "PopUpFlipperImport");
    QCOMPARE(f->env.prompts.last().kind, ShownPrompt::Message);
    QCOMPARE(f->env.prompts.last().text, QStringLiteral("Select a key cell, in one of the columns Key 1 to Key 6."));

    // A file of another version.
    const QString path = folder() + QStringLiteral("/new.ibtn");
    QVERIFY(writeFileBytes(path, "Filetype: Flipper iButton key\nVersion: 3\nProtocol: Cyfral\nData: 34 12\n"));
    select(w, 2, 4);
    f->env.prompts.answerFile(path);
    f->env.prompts.answer(ButtonOk);
    choose(w, "PopUpFlipperImport");
    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Error);
    QCOMPARE(f->env.prompts.last().text,
             QStringLiteral("\"%1\" is a Flipper key file of version 3, which this program cannot read.").arg(path));

    // A cancelled dialog.
    f->env.prompts.answerFile(std::nullopt);
    choose(w, "PopUpFlipperImport");

    QVERIFY(w.document().pageBuffer() == before);
    QVERIFY(!w.document().modified());
}

void FlipperTest::exportPageAsFolder() {
    MainWindow& w = startWithKeys();
    // A file of an earlier export is replaced.
    QVERIFY(writeFileBytes(folder() + QStringLiteral("/000-1.ibtn"), "old"));
    f->env.prompts.answerFile(folder());
    f->env.prompts.answer(ButtonOk);
    choose(w, "PopUpFlipperExportPage");

    QCOMPARE(f->env.prompts.shown().at(f->env.prompts.shown().size() - 2).kind, ShownPrompt::FolderDialog);
    QCOMPARE(f->env.prompts.last().icon, PromptIcon::Information);
    QCOMPARE(f->env.prompts.last().text,
             QStringLiteral("Key files written to \"%1\": 3. Keys left out, as the Flipper Zero has no "
                            "counterpart for HID Prox II, Indala and keys of unknown type: 1.")
                 .arg(QDir::toNativeSeparators(folder())));
    const QStringList files = QDir(folder()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList({"000-1.ibtn", "002-2 Front door.rfid", "005-3 Hallbackdoor.ibtn"}));
    QCOMPARE(readFileBytes(folder() + QStringLiteral("/000-1.ibtn")),
             QByteArray("Filetype: Flipper iButton key\nVersion: 2\nProtocol: DS1990\n"
                        "Rom Data: 01 56 34 12 00 00 00 ") +
                 QByteArray::number(dallasCell(0x123456).code()[7], 16).toUpper().rightJustified(2, '0') + "\n");
    // Each file reads back as the cell it came from.
    for (const auto& [name, row, column, into] :
         {std::tuple{"002-2 Front door.rfid", 2, 1, 10}, std::tuple{"005-3 Hallbackdoor.ibtn", 5, 2, 11}}) {
        f->env.prompts.answerFile(folder() + QLatin1Char('/') + QString::fromUtf8(name));
        select(w, into + 1, 6);
        choose(w, "PopUpFlipperImport");
        QCOMPARE(w.document().pageBuffer().cell(into, 5).bytes, w.document().pageBuffer().cell(row, column).bytes);
    }
}

void FlipperTest::exportPageWithoutKeys() {
    MainWindow& w = startWithKeys();
    KeyPage onlyHid;
    onlyHid.setCell(0, 0, cellFromHex(kHid));
    w.edits().replacePage(0, onlyHid);
    paintNow(w);
    f->env.prompts.answer(ButtonOk);
    choose(w, "PopUpFlipperExportPage");
    QCOMPARE(f->env.prompts.last().kind, ShownPrompt::Message);
    QCOMPARE(f->env.prompts.last().text, QStringLiteral("The page holds no key that a Flipper file can hold."));
    QVERIFY(QDir(folder()).isEmpty());
}

QTEST_MAIN(FlipperTest)
#include "tst_Flipper.moc"
