// Find, Find next and the VIZIT_DM import on the real main window: the find dialog over the
// window, hits selected as a click selects them, the imported page down to the saved bytes.

#include "MainWindowFixture.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "base/VizitImport.h"
#include "dialogs/FindDialog.h"
#include "settings/Settings.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/FindController.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

// Paints the windows as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.tree()->viewport()->repaint();
    w.grid()->viewport()->repaint();
    w.repaint();
    if (FindDialog* find = w.find().dialog(); find && find->isVisible())
        find->repaint();
    QApplication::processEvents();
}

QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

FindDialog& findDialog(MainWindow& w) {
    return *w.find().dialog();
}

template <typename T> T* dialogChild(MainWindow& w, const char* name) {
    return findDialog(w).findChild<T*>(QString::fromLatin1(name));
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

QString selectedName(MainWindow& w) {
    const BaseNode* node = w.document().tree().selected();
    return node ? fromCp1251(node->text) : QString();
}

BaseNode* nodeNamed(MainWindow& w, const QString& name) {
    BaseTree& tree = w.document().tree();
    for (BaseNode* n = tree.first(); n; n = tree.next(n)) {
        if (n->text == cp1251(name))
            return n;
    }
    return nullptr;
}

QString cellText(MainWindow& w, int gridRow, int gridColumn) {
    return w.gridModel()->index(gridRow - 1, gridColumn - 1).data().toString();
}

// A VIZIT_DM file with two keys: 12 34 56 (and a lost 78) in slot 0, 01 02 03 in slot 2400.
QByteArray vizWithTwoKeys() {
    QByteArray bytes(kVizitFileSize, '\xFF');
    bytes.replace(0, 4, QByteArray::fromHex("12345678"));
    bytes.replace(2400 * 4, 4, QByteArray::fromHex("010203FF"));
    return bytes;
}

} // namespace

class FindImportTest : public QObject {
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

    void findFindNextAndWrapAround();
    void findByCyrillicTextOpensTheFolderAndAllBelow();
    void fileInACollapsedFolderShowsItsPage();
    void caseTickedFindsNothingAndDisablesFindNext();
    void nodesDeletedBeforeFindNextWrap();
    void escapeClosesWithoutSearchingAndKeepsTheText();
    void cancelClosesWithoutSearching();
    void russianTexts();
    void closingTheProgramClosesTheDialog();

    void importEachType_data();
    void importEachType();
    void shortFileLeavesThePage();
    void nothingHappensWithoutAPage();
    void cancelledOpenDialogChangesNothing();
    void fullDiskKeepsTheImportForTheNextSave();

private:
    // Folder "Dom 1" (collapsed) with the files "кв 5" (page 0) and "Dom 2" (page 1, a key in
    // row 4); the file "Garage" (page 2, selected, a key and a comment in row 1); folder
    // "Дом 12" (collapsed) holding folder "Подвал" (collapsed) holding the file "дом 7" (page 3).
    QString writeFindBase();
    MainWindow& startWithFindBase();
    // Find through the dialog: Ctrl+F's command, the text typed, Enter in the text box.
    void findThroughDialog(MainWindow& w, const QString& text, bool caseSensitive = false);
    void pressF3(MainWindow& w);
    QString vizFile(const QByteArray& bytes);

    std::unique_ptr<MainWindowFixture> f;
};

QString FindImportTest::writeFindBase() {
    QDir().mkpath(f->userFolder());
    BaseBuilder b;
    BaseNode* dom1 = b.folder(QStringLiteral("Dom 1"));
    b.file(QStringLiteral("кв 5"), dom1);
    BaseNode* dom2 = b.file(QStringLiteral("Dom 2"), dom1);
    b.page(dom2).setCell(3, 0, dallasCell(0x22));
    BaseNode* garage = b.file(QStringLiteral("Garage"));
    b.page(garage).setCell(0, 0, dallasCell(0x33));
    b.page(garage).setComment(0, "gate");
    BaseNode* house = b.folder(QStringLiteral("Дом 12"));
    BaseNode* cellar = b.folder(QStringLiteral("Подвал"), house);
    b.file(QStringLiteral("дом 7"), cellar);
    b.select(garage);
    const QString base = f->userFolder() + QStringLiteral("/find");
    b.write(base);
    return base;
}

MainWindow& FindImportTest::startWithFindBase() {
    MainWindow& w = f->start();
    f->openBase(writeFindBase());
    paintNow(w);
    return w;
}

void FindImportTest::findThroughDialog(MainWindow& w, const QString& text, bool caseSensitive) {
    w.runCommand(CommandId::Find);
    QVERIFY(findDialog(w).isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&findDialog(w)));
    auto* edit = dialogChild<QLineEdit>(w, "EnterEdit");
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    edit->selectAll();
    typeText(text);
    dialogChild<QCheckBox>(w, "WordCaseCheckBox")->setChecked(caseSensitive);
    paintNow(w);
    QTest::keyClick(edit, Qt::Key_Return);
    paintNow(w);
}

void FindImportTest::pressF3(MainWindow& w) {
    QTRY_COMPARE(QApplication::activeWindow(), &w);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    paintNow(w);
}

QString FindImportTest::vizFile(const QByteArray& bytes) {
    const QString folder = f->env.paths.root() + QStringLiteral("/визит");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/keys.viz");
    writeFileBytes(path, bytes);
    return path;
}

void FindImportTest::findFindNextAndWrapAround() {
    MainWindow& w = startWithFindBase();
    QVERIFY(action(w, "MainMenuEditFind")->isEnabled());
    QVERIFY(!action(w, "MainMenuEditFindNext")->isEnabled());

    w.runCommand(CommandId::Find);
    FindDialog& dialog = findDialog(w);
    QCOMPARE(dialog.objectName(), QStringLiteral("TForm4"));
    QVERIFY(dialog.isVisible());
    QVERIFY(!w.isEnabled());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Find"));
    QCOMPARE(dialog.size(), QSize(441, 103));
    const QRect main = w.geometry();
    QCOMPARE(dialog.geometry().topLeft(),
             QPoint(main.left() + main.width() / 2 - 441 / 2, main.top() + main.height() / 2 - 103 / 2));
    QVERIFY(!dialogChild<QPushButton>(w, "SearchNextButton")->isEnabled());
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* edit = dialogChild<QLineEdit>(w, "EnterEdit");
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    // Enter with no text searches nothing.
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    typeText(QStringLiteral("dom"));
    QVERIFY(dialogChild<QPushButton>(w, "SearchNextButton")->isEnabled());
    paintNow(w);
    QTest::mouseClick(dialogChild<QPushButton>(w, "SearchNextButton"), Qt::LeftButton);
    paintNow(w);

    // A folder: selected, no page shown.
    QVERIFY(!dialog.isVisible());
    QVERIFY(w.isEnabled());
    QCOMPARE(selectedName(w), QStringLiteral("Dom 1"));
    QCOMPARE(w.tree()->currentIndex().data().toString(), QStringLiteral("Dom 1"));
    QCOMPARE(w.document().currentPage(), -1);
    QVERIFY(!w.grid()->isVisible());
    QVERIFY(w.document().modified()); // another node is selected
    QTRY_VERIFY(w.tree()->hasFocus());
    QVERIFY(w.find().found());
    QVERIFY(action(w, "MainMenuEditFindNext")->isEnabled());
    QVERIFY(w.findChild<QWidget*>(QStringLiteral("ToolFindNext"))->isEnabled());

    pressF3(w);
    QCOMPARE(selectedName(w), QStringLiteral("Dom 2"));
    QCOMPARE(w.tree()->currentIndex().data().toString(), QStringLiteral("Dom 2"));
    QCOMPARE(w.document().currentPage(), 1);
    QVERIFY(w.grid()->isVisible());
    QCOMPARE(cellText(w, 4, 1), QStringLiteral(" DS1990 - 000000000022"));

    // No third node holds "dom" in Latin letters: back to the first.
    pressF3(w);
    QCOMPARE(selectedName(w), QStringLiteral("Dom 1"));
    QCOMPARE(w.document().currentPage(), -1);
    QCOMPARE(w.find().occurrence(), 1);
    QCOMPARE(f->env.prompts.shown().size(), 1); // only the open dialog

    // A search from the dialog starts again at the first match, where Find next would go on.
    findThroughDialog(w, QStringLiteral("dom"));
    QCOMPARE(selectedName(w), QStringLiteral("Dom 1"));
    QCOMPARE(w.find().occurrence(), 1);
}

void FindImportTest::findByCyrillicTextOpensTheFolderAndAllBelow() {
    MainWindow& w = startWithFindBase();
    findThroughDialog(w, QStringLiteral("ДОМ"));
    BaseNode* house = nodeNamed(w, QStringLiteral("Дом 12"));
    BaseNode* cellar = nodeNamed(w, QStringLiteral("Подвал"));
    QCOMPARE(w.document().tree().selected(), house);
    QVERIFY(house->expanded);
    QVERIFY(cellar->expanded);
    QVERIFY(w.tree()->isExpanded(w.treeModel()->indexOf(house)));
    QVERIFY(w.tree()->isExpanded(w.treeModel()->indexOf(cellar)));
    QVERIFY(!w.grid()->isVisible());

    // Small letters of the name below match the capitals typed.
    pressF3(w);
    QCOMPARE(w.document().tree().selected(), nodeNamed(w, QStringLiteral("дом 7")));
    QCOMPARE(w.document().currentPage(), 3);
    QVERIFY(w.grid()->isVisible());
    pressF3(w);
    QCOMPARE(w.document().tree().selected(), house);
}

void FindImportTest::fileInACollapsedFolderShowsItsPage() {
    MainWindow& w = startWithFindBase();
    BaseNode* dom1 = nodeNamed(w, QStringLiteral("Dom 1"));
    QVERIFY(!w.tree()->isExpanded(w.treeModel()->indexOf(dom1)));
    findThroughDialog(w, QStringLiteral("Dom 2"));
    QCOMPARE(selectedName(w), QStringLiteral("Dom 2"));
    QCOMPARE(w.document().currentPage(), 1);
    QCOMPARE(cellText(w, 4, 1), QStringLiteral(" DS1990 - 000000000022"));
    QCOMPARE(w.tree()->currentIndex().data().toString(), QStringLiteral("Dom 2"));
    QVERIFY(w.tree()->isExpanded(w.treeModel()->indexOf(dom1)));
    QVERIFY(dom1->expanded);
    QCOMPARE(f->panel(1), QStringLiteral("Used: 1"));
}

void FindImportTest::caseTickedFindsNothingAndDisablesFindNext() {
    MainWindow& w = startWithFindBase();
    findThroughDialog(w, QStringLiteral("Dom"));
    QVERIFY(action(w, "MainMenuEditFindNext")->isEnabled());

    f->env.prompts.answer(ButtonOk);
    findThroughDialog(w, QStringLiteral("dom"), true);
    const ShownPrompt box = f->env.prompts.last();
    QCOMPARE(box.icon, PromptIcon::Information);
    QCOMPARE(box.caption, QStringLiteral("Search is completed."));
    QCOMPARE(box.text, QStringLiteral("String \"dom\" not found."));
    QCOMPARE(box.buttons, int(ButtonOk));
    QVERIFY(!findDialog(w).isVisible());
    QVERIFY(w.isEnabled());
    QVERIFY(!w.find().found());
    QVERIFY(!action(w, "MainMenuEditFindNext")->isEnabled());
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("ToolFindNext"))->isEnabled());
    QCOMPARE(selectedName(w), QStringLiteral("Dom 1")); // the last hit stays selected

    // F3 is disabled now: the hook runs nothing.
    const int shown = int(f->env.prompts.shown().size());
    w.tree()->setFocus();
    pressF3(w);
    QCOMPARE(int(f->env.prompts.shown().size()), shown);
}

void FindImportTest::nodesDeletedBeforeFindNextWrap() {
    MainWindow& w = startWithFindBase();
    findThroughDialog(w, QStringLiteral("dom"));
    pressF3(w);
    QCOMPARE(selectedName(w), QStringLiteral("Dom 2"));
    QCOMPARE(w.find().occurrence(), 2);
    // Dom 2 goes: one Latin match is left where two were passed over.
    w.edits().removeNode(nodeNamed(w, QStringLiteral("Dom 2")));
    w.RefreshView();
    paintNow(w);
    pressF3(w);
    QCOMPARE(selectedName(w), QStringLiteral("Dom 1"));
    QCOMPARE(w.find().occurrence(), 1);
}

void FindImportTest::escapeClosesWithoutSearchingAndKeepsTheText() {
    MainWindow& w = startWithFindBase();
    w.runCommand(CommandId::Find);
    QVERIFY(QTest::qWaitForWindowActive(&findDialog(w)));
    auto* edit = dialogChild<QLineEdit>(w, "EnterEdit");
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    typeText(QStringLiteral("Garage"));
    dialogChild<QCheckBox>(w, "WordCaseCheckBox")->setChecked(true);
    QTest::keyClick(edit, Qt::Key_Escape);
    paintNow(w);
    QVERIFY(!findDialog(w).isVisible());
    QVERIFY(w.isEnabled());
    QCOMPARE(selectedName(w), QStringLiteral("Garage"));
    QVERIFY(!w.document().modified());
    QVERIFY(!w.find().found());

    w.runCommand(CommandId::Find);
    QCOMPARE(edit->text(), QStringLiteral("Garage"));
    QVERIFY(dialogChild<QCheckBox>(w, "WordCaseCheckBox")->isChecked());
    QVERIFY(dialogChild<QPushButton>(w, "SearchNextButton")->isEnabled());
    findDialog(w).closeIfOpen();
}

void FindImportTest::cancelClosesWithoutSearching() {
    MainWindow& w = startWithFindBase();
    w.runCommand(CommandId::Find);
    QVERIFY(QTest::qWaitForWindowActive(&findDialog(w)));
    typeText(QStringLiteral("Dom"));
    QTest::mouseClick(dialogChild<QPushButton>(w, "SearchCancelButton"), Qt::LeftButton);
    paintNow(w);
    QVERIFY(!findDialog(w).isVisible());
    QVERIFY(w.isEnabled());
    QCOMPARE(selectedName(w), QStringLiteral("Garage"));
    QVERIFY(!w.find().found());
}

void FindImportTest::russianTexts() {
    MainWindow& w = startWithFindBase();
    setUiLanguage(UiLanguage::Russian);
    w.runCommand(CommandId::Find);
    QCOMPARE(findDialog(w).windowTitle(), QStringLiteral("Поиск"));
    QCOMPARE(dialogChild<QLabel>(w, "textLabel")->text(), QStringLiteral("Найти:"));
    QCOMPARE(dialogChild<QCheckBox>(w, "WordCaseCheckBox")->text(), QStringLiteral("Учитывать регистр"));
    QCOMPARE(dialogChild<QPushButton>(w, "SearchNextButton")->text(), QStringLiteral("OK"));
    QCOMPARE(dialogChild<QPushButton>(w, "SearchCancelButton")->text(), QStringLiteral("Отмена"));
    findDialog(w).closeIfOpen();

    f->env.prompts.answer(ButtonOk);
    findThroughDialog(w, QStringLiteral("Чердак"));
    QCOMPARE(f->env.prompts.last().caption, QStringLiteral("Поиск завершен."));
    QCOMPARE(f->env.prompts.last().text, QStringLiteral("Строка \"Чердак\" не найдена."));
}

void FindImportTest::closingTheProgramClosesTheDialog() {
    MainWindow& w = startWithFindBase();
    w.runCommand(CommandId::Find);
    QVERIFY(findDialog(w).isVisible());
    settings().setSavePolicy(SavePolicy::DoNotSave);
    // A dialog left shown would keep the program running without its window.
    QVERIFY(w.close());
    QVERIFY(!findDialog(w).isVisible());
    QVERIFY(f->closeWindow());
}

void FindImportTest::importEachType_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("first");  // grid row 1, key column 1
    QTest::addColumn<QString>("row401"); // grid row 401, key column 1

    QTest::newRow("Dallas") << "MainMenuImportVizitDM_DALLAS" << int(KeyTypeDallas) << " DS1990 - 000000563412"
                            << " DS1990 - 000000030201";
    QTest::newRow("Cyfral") << "MainMenuImportVizitDM_CYFRAL" << int(KeyTypeCyfral) << " CYFRAL - 3412 "
                            << " CYFRAL - 0201 ";
    QTest::newRow("TM2002") << "MainMenuImportVizitDM_TM2002" << int(KeyTypeTm2002) << " TM2002 - 00563412 "
                            << " TM2002 - 00030201 ";
    QTest::newRow("EM410x") << "MainMenuImportVizitDM_EM410x" << int(KeyTypeEm410x) << " EM410x - 0000563412 - RF64"
                            << " EM410x - 0000030201 - RF64";
}

void FindImportTest::importEachType() {
    QFETCH(QString, item);
    QFETCH(int, type);
    QFETCH(QString, first);
    QFETCH(QString, row401);

    const QString base = writeFindBase();
    MainWindow& w = f->start();
    f->openBase(base);
    paintNow(w);
    QCOMPARE(w.document().currentPage(), 2);
    QCOMPARE(cellText(w, 1, 7), QStringLiteral("gate"));
    const QString viz = vizFile(vizWithTwoKeys());

    QAction* command = action(w, item.toLatin1().constData());
    QVERIFY(command->isEnabled());
    f->env.prompts.answerFile(viz);
    command->trigger();
    paintNow(w);

    const ShownPrompt dialog = f->env.prompts.last();
    QCOMPARE(dialog.kind, ShownPrompt::OpenDialog);
    QCOMPARE(dialog.request.filter, QStringLiteral("DataBase (*.viz)|*.viz"));
    QCOMPARE(dialog.request.defaultSuffix, QStringLiteral(".viz"));
    QCOMPARE(dialog.request.startFolder, f->userFolder()); // where the base was opened
    QCOMPARE(QFile::decodeName(settings().openFolder()), QFileInfo(viz).absolutePath());

    // The whole page is the file's: its two keys, no comment, nothing else.
    QVERIFY(w.document().modified());
    QCOMPARE(cellText(w, 1, 1), first);
    QCOMPARE(cellText(w, 401, 1), row401);
    QCOMPARE(cellText(w, 1, 7), QString());
    QCOMPARE(w.document().pageBuffer().occupiedCellCount(), 2);
    QCOMPARE(int(w.document().pageBuffer().cellType(400, 0)), type);
    QCOMPARE(f->panel(1), QStringLiteral("Used: 2"));
    // Written to the working page file at once.
    KeyPage working;
    QVERIFY(ReadPage(w.document().workingPageFile(), 2, working));
    QVERIFY(working == w.document().pageBuffer());

    w.runCommand(CommandId::SaveFile);
    KeyPage saved;
    QVERIFY(ReadPage(base + QStringLiteral(".dat"), 2, saved));
    QVERIFY(saved == w.document().pageBuffer());
    KeyPage untouched;
    QVERIFY(ReadPage(base + QStringLiteral(".dat"), 1, untouched));
    QCOMPARE(untouched.occupiedCellCount(), 1);
}

void FindImportTest::shortFileLeavesThePage() {
    MainWindow& w = startWithFindBase();
    const KeyPage before = w.document().pageBuffer();
    const QString viz = vizFile(vizWithTwoKeys().chopped(1));
    f->env.prompts.answerFile(viz);
    f->env.prompts.answer(ButtonOk);
    w.runCommand(CommandId::ImportVizitTm2002);
    paintNow(w);
    QCOMPARE(f->env.prompts.last().caption, QStringLiteral("Tervane"));
    QCOMPARE(f->env.prompts.last().text, QStringLiteral("File read error:\"%1\"").arg(viz));
    QVERIFY(w.document().pageBuffer() == before);
    QVERIFY(!w.document().modified());
    QCOMPARE(cellText(w, 1, 7), QStringLiteral("gate"));
    KeyPage working;
    QVERIFY(ReadPage(w.document().workingPageFile(), 2, working));
    QVERIFY(working == before);
}

void FindImportTest::nothingHappensWithoutAPage() {
    // No base open, then a folder selected: no command opens a dialog (an unexpected one would
    // fail the test) or changes anything.
    MainWindow& w = f->start();
    const CommandId imports[] = {CommandId::ImportVizitDallas, CommandId::ImportVizitCyfral,
                                 CommandId::ImportVizitTm2002, CommandId::ImportVizitEm410x};
    for (const CommandId id : imports)
        w.runCommand(id);
    QCOMPARE(f->env.prompts.shown().size(), 0);

    f->openBase(writeFindBase());
    findThroughDialog(w, QStringLiteral("Dom 1"));
    QCOMPARE(w.document().currentPage(), -1);
    QVERIFY(!action(w, "MainMenuImportVizitDM_DALLAS")->isEnabled());
    const int shown = int(f->env.prompts.shown().size());
    const QByteArray pages = readFileBytes(w.document().workingPageFile());
    for (const CommandId id : imports)
        w.runCommand(id);
    QCOMPARE(int(f->env.prompts.shown().size()), shown);
    QCOMPARE(readFileBytes(w.document().workingPageFile()), pages);
}

void FindImportTest::cancelledOpenDialogChangesNothing() {
    MainWindow& w = startWithFindBase();
    const QByteArray openFolder = settings().openFolder();
    f->env.prompts.answerFile(std::nullopt);
    w.runCommand(CommandId::ImportVizitEm410x);
    QVERIFY(!w.document().modified());
    QCOMPARE(cellText(w, 1, 7), QStringLiteral("gate"));
    QCOMPARE(settings().openFolder(), openFolder);
}

void FindImportTest::fullDiskKeepsTheImportForTheNextSave() {
    const QString base = writeFindBase();
    MainWindow& w = f->start();
    f->openBase(base);
    const QString viz = vizFile(vizWithTwoKeys());
    f->env.system.freeBytes = 0;
    f->env.prompts.answerFile(viz);
    f->env.prompts.answer(ButtonCancel); // no room: the write to the working page file gives up
    w.runCommand(CommandId::ImportVizitDallas);
    paintNow(w);
    QCOMPARE(f->env.prompts.last().buttons, ButtonRetry | ButtonCancel);

    // What the grid shows is what a save writes: the import, marked as a change.
    QVERIFY(w.document().modified());
    QCOMPARE(cellText(w, 1, 1), QStringLiteral(" DS1990 - 000000563412"));
    QCOMPARE(cellText(w, 1, 7), QString());
    f->env.system.freeBytes = qint64(1) << 40;
    w.runCommand(CommandId::SaveFile);
    QVERIFY(!w.document().modified());
    KeyPage saved;
    QVERIFY(ReadPage(base + QStringLiteral(".dat"), 2, saved));
    QCOMPARE(saved.occupiedCellCount(), 2);
    QVERIFY(!saved.hasComment(0));
}

QTEST_MAIN(FindImportTest)
#include "tst_FindImport.moc"
