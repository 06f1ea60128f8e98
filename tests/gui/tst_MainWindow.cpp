// Whole user paths through the real main window: start, open, edit, save, close, restart.

#include "MainWindowFixture.h"

#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "keys/KeyText.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/CommentEditor.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"
#include "ui/StatusPanels.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace tervane;
using namespace tervane::test;

namespace {

// Types text into a widget, Cyrillic included (QTest::keyClicks only takes ASCII).
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

QString cellText(MainWindow& w, int gridRow, int gridColumn) {
    return w.gridModel()->index(gridRow - 1, gridColumn - 1).data().toString();
}

QString caption(QAction* a) {
    return a->text().section(QLatin1Char('\t'), 0, 0);
}

QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

void editComment(MainWindow& w, int gridRow, const QString& text) {
    w.grid()->setFocus();
    w.grid()->setSelectionRect({7, gridRow, 7, gridRow});
    QTest::keyClick(w.grid(), Qt::Key_Return);
    QVERIFY(w.commentEditor()->isOpen());
    w.commentEditor()->selectAll();
    typeText(w.commentEditor(), text);
    QTest::keyClick(w.commentEditor(), Qt::Key_Return);
    QVERIFY(!w.commentEditor()->isOpen());
}

// Everything the tree model shows, walked through the model as a view walks it.
QStringList shownNames(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        names << index.data().toString();
        names += shownNames(model, index);
    }
    return names;
}

// Paints the window as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.tree()->viewport()->repaint();
    w.grid()->viewport()->repaint();
    w.repaint();
    QApplication::processEvents();
}

} // namespace

class MainWindowTest : public QObject {
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

    void replacingTheTreeResetsTheModelBeforeTheOldNodesGo() {
        const QString base = f->writeSampleBase();
        const QString other = f->writeSampleBase(QStringLiteral("other"));
        const QString broken = f->writeSampleBase(QStringLiteral("broken"));
        QFile::remove(broken + ".dat");
        f->start(base + ".dir");
        f->restart(); // the base is reopened at start
        MainWindow& w = *f->window();
        const QAbstractItemModel& model = *w.treeModel();

        // At the start of a reset the model must still show the nodes the view knows.
        QStringList shownBefore;
        QStringList seenAtReset;
        connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [&] { seenAtReset = shownNames(model); });
        const QStringList sample{QStringLiteral("Дом"), QStringLiteral("кв 1"), QStringLiteral("кв 2")};
        const QStringList placeholder{QStringLiteral("No files opened...")};
        auto step = [&](const std::function<void()>& command, const QStringList& shownAfter) {
            paintNow(w);
            shownBefore = shownNames(model);
            seenAtReset = shownBefore;
            command();
            QCOMPARE(seenAtReset, shownBefore);
            paintNow(w);
            QCOMPARE(shownNames(model), shownAfter);
            paintNow(w);
        };

        QCOMPARE(shownNames(model), sample);
        step([&] { w.runCommand(CommandId::SaveFile); }, sample);
        step([&] { w.runCommand(CommandId::NewFile); }, {});
        step([&] { f->openBase(other); }, sample);
        QCOMPARE(w.tree()->currentIndex().data().toString(), QStringLiteral("кв 1"));
        step(
            [&] {
                editComment(w, 2, QStringLiteral("x"));
                f->env.prompts.answer(ButtonYes);
                w.runCommand(CommandId::NewFile);
            },
            {});
        step(
            [&] {
                f->env.prompts.answerFile(f->userFolder() + "/saved.dir");
                w.runCommand(CommandId::SaveFileAs);
            },
            {});
        QCOMPARE(w.windowTitle(), QStringLiteral("Tervane - saved"));
        step([&] { f->openBase(base); }, sample);
        step(
            [&] {
                editComment(w, 2, QStringLiteral("y"));
                f->env.prompts.answer(ButtonNo);
                w.runCommand(CommandId::CloseFile);
            },
            placeholder);
        step([&] { f->openBase(base); }, sample);
        step(
            [&] {
                f->env.prompts.answer(ButtonOk); // the missing .dat
                f->openBase(broken);
            },
            placeholder);
        QCOMPARE(f->env.prompts.last().text, "Open file error: \"" + QDir::toNativeSeparators(broken) + ".dat\"");
        step([&] { f->openBase(base); }, sample);
    }

    void commentColumnTakesTheRestOfTheWidth_data() {
        QTest::addColumn<int>("storedCommentWidth");
        QTest::addColumn<bool>("shortView");
        QTest::newRow("designed") << 96 << false;
        QTest::newRow("stored from a wide window") << 1500 << false;
        QTest::newRow("stored in the short view") << 1200 << true;
    }
    void commentColumnTakesTheRestOfTheWidth() {
        QFETCH(int, storedCommentWidth);
        QFETCH(bool, shortView);
        settings().setDefaults();
        settings().setColumnWidth(2, 150);
        settings().setColumnWidth(7, storedCommentWidth);
        settings().setShortView(shortView);
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        KeyGridView* grid = w.grid();
        auto fills = [&] {
            paintNow(w);
            QCOMPARE(grid->columnWidth(1), 150);
            QCOMPARE(grid->columnWidth(6), grid->viewport()->width() - 5 * 96 - 150);
            QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
        };
        fills();
        // It shrinks again with the window, and follows a key column dragged wider.
        w.resize(900, w.height());
        fills();
        grid->setColumnWidth(0, 60);
        QTRY_COMPARE(grid->columnWidth(6), grid->viewport()->width() - 4 * 96 - 150 - 60);
        w.runCommand(CommandId::ShortView);
        QTRY_COMPARE(grid->columnWidth(6), grid->viewport()->width() - 4 * 96 - 150 - 60);
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
    }

    void statusPanelsFitTheirTextsAndLetTheWindowNarrow() {
        f->env.system.russian = true;
        settings().setDefaults();
        settings().setWindowWidth(900);
        QVERIFY(SaveSettings());
        QDir().mkpath(f->userFolder());
        BaseBuilder b;
        BaseNode* file = b.file(QStringLiteral("full"));
        for (int i = 0; i < 3000; ++i)
            b.page(file).setCell(i / 6, i % 6, dallasCell(quint64(i)));
        b.select(file);
        QVERIFY(b.write(f->userFolder() + "/full"));
        MainWindow& w = f->start();
        f->openBase(f->userFolder() + "/full");
        paintNow(w);
        QCOMPARE(w.width(), 900);
        QCOMPARE(f->panel(2), QStringLiteral("Свободно: -505"));
        auto panel = [&](int i) { return w.status()->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i)); };
        for (int i = 1; i <= 3; ++i)
            QVERIFY(panel(i)->contentsRect().width() >= panel(i)->fontMetrics().horizontalAdvance(panel(i)->text()));
        QCOMPARE(panel(0)->width(), 250);
        QCOMPARE(panel(4)->width(), 330);
        // Narrower still: the window keeps the size asked for and the last panels are cut off.
        w.resize(600, w.height());
        paintNow(w);
        QCOMPARE(w.width(), 600);
    }

    void closeStoresTheStateOfTheRun() {
        const QString base = f->writeSampleBase();
        MainWindow& w = f->start();
        f->openBase(base);
        const QModelIndex flat2 = w.treeModel()->index(1, 0, w.treeModel()->index(0, 0));
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->visualRect(flat2).center());
        QCOMPARE(w.document().currentPage(), 1);
        w.grid()->setColumnWidth(2, 131);
        w.resize(1000, 500);
        paintNow(w);
        const int commentWidth = w.grid()->columnWidth(6);
        settings().setSavePolicy(SavePolicy::DoNotSave);
        QVERIFY(f->closeWindow());

        settings().setDefaults();
        LoadSettings();
        const Settings& s = settings();
        QCOMPARE(QFile::decodeName(s.lastBasePath()), QDir::toNativeSeparators(base));
        QCOMPARE(s.selectedNodeIndex(), 1);
        QCOMPARE(s.columnWidth(3), 131);
        QCOMPARE(s.columnWidth(7), commentWidth);
        QCOMPARE(s.windowWidth(), 1000);
        QCOMPARE(s.windowHeight(), 500);
        QVERIFY(QDir(f->env.paths.tempFolder()).entryList({QStringLiteral("rdb_temp_*")}).isEmpty());
    }

    void modelsFollowTheEdits() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        paintNow(w);
        BaseTreeModel& tree = *w.treeModel();
        const QModelIndex house = tree.index(0, 0);
        BaseNode* houseNode = tree.nodeOf(house);
        w.document().setModified(false);

        BaseNode* added =
            w.edits().addNode(houseNode, cp1251(QStringLiteral("кв 3")), ImageFile, ImageFileSelected, -1);
        paintNow(w);
        QCOMPARE(tree.rowCount(house), 3);
        QCOMPARE(tree.index(2, 0, house).data().toString(), QStringLiteral("кв 3"));
        w.edits().renameNode(added, cp1251(QStringLiteral("кв 4")));
        paintNow(w);
        QCOMPARE(tree.index(2, 0, house).data().toString(), QStringLiteral("кв 4"));
        w.edits().removeNode(added);
        paintNow(w);
        QCOMPARE(tree.rowCount(house), 2);

        // The grid shows a page edit without a rebuild.
        QSignalSpy cellsChanged(w.gridModel(), &QAbstractItemModel::dataChanged);
        QVERIFY(w.edits().setComment(0, 5, "gate"));
        QCOMPARE(cellsChanged.count(), 1);
        QCOMPARE(cellText(w, 6, 7), QStringLiteral("gate"));
        QVERIFY(w.document().modified());
        paintNow(w);
    }

    void firstStartWithoutConfiguration() {
        MainWindow& w = f->start();
        QCOMPARE(w.size(), QSize(1030, 560));
        QCOMPARE(w.tree()->width(), 185);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(w.grid()->columnWidth(c), 96);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tervane"));
        QVERIFY(!w.tree()->isEnabled());
        QCOMPARE(w.treeModel()->rowCount(), 1);
        QCOMPARE(w.treeModel()->index(0, 0).data().toString(), QStringLiteral("No files opened..."));
        QVERIFY(w.treeModel()->index(0, 0).data(Qt::DecorationRole).isNull());
        QVERIFY(!w.grid()->isVisible());
        QCOMPARE(f->panel(1), QStringLiteral("Used: -"));
        QCOMPARE(f->panel(2), QStringLiteral("Free: -"));
        QCOMPARE(f->panel(3), QStringLiteral("Total: -"));
        QCOMPARE(f->panel(4), QStringLiteral("Work mode: Orvel Lark (Offline)"));
        QVERIFY(!action(w, "MainMenuSaveFile")->isEnabled());
        QVERIFY(action(w, "MainMenuNewFile")->isEnabled());
        QVERIFY(!action(w, "MainMenuKeysRead")->isEnabled());
    }

    void openShowsTreeAndSelectedPage() {
        const QString base = f->writeSampleBase();
        MainWindow& w = f->start();
        f->openBase(base);
        const ShownPrompt dialog = f->env.prompts.last();
        QCOMPARE(dialog.kind, ShownPrompt::OpenDialog);
        QCOMPARE(dialog.request.filter, QStringLiteral("DataBase (*.dir)|*.dir"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tervane - shop"));
        QVERIFY(w.tree()->isEnabled());
        const QModelIndex house = w.treeModel()->index(0, 0);
        QCOMPARE(house.data().toString(), QStringLiteral("Дом"));
        QVERIFY(w.tree()->isExpanded(house));
        QCOMPARE(w.tree()->currentIndex().data().toString(), QStringLiteral("кв 1"));
        QVERIFY(w.grid()->isVisible());
        QCOMPARE(cellText(w, 1, 1), QStringLiteral(" DS1990 - 000000123456"));
        QCOMPARE(cellText(w, 1, 7), QStringLiteral("подъезд 1"));
        QCOMPARE(w.gridModel()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("000"));
        QCOMPARE(w.gridModel()->headerData(499, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("499"));
        QCOMPARE(w.gridModel()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral(" Key 3"));
        QCOMPARE(f->panel(1), QStringLiteral("Used: 1"));
        QCOMPARE(f->panel(2), QStringLiteral("Free: 2494"));
        QCOMPARE(f->panel(3), QStringLiteral("Total: 2495"));
        QVERIFY(!w.document().modified());
    }

    void commentEditThenSaveWritesExactBytes() {
        const QString base = f->writeSampleBase();
        const QByteArray dirBefore = readFileBytes(base + ".dir");
        MainWindow& w = f->start();
        f->openBase(base);
        editComment(w, 3, QStringLiteral("Ключ от почты"));
        QVERIFY(w.document().modified());
        QCOMPARE(cellText(w, 3, 7), QStringLiteral("Ключ от почты"));
        w.runCommand(CommandId::SaveFile);
        QVERIFY(!w.document().modified());

        KeyPage expected;
        expected.setCell(0, 0, dallasCell(0x123456));
        expected.setComment(0, cp1251(QStringLiteral("подъезд 1")));
        expected.setComment(2, cp1251(QStringLiteral("Ключ от почты")));
        KeyPage second;
        second.setCell(3, 1, dallasCell(0x42));
        const QByteArray dat = readFileBytes(base + ".dat");
        QCOMPARE(dat.size(), 2 * KeyPage::kSize);
        QVERIFY(dat.left(KeyPage::kSize) == QByteArray(reinterpret_cast<const char*>(expected.data()), KeyPage::kSize));
        QVERIFY(dat.mid(KeyPage::kSize) == QByteArray(reinterpret_cast<const char*>(second.data()), KeyPage::kSize));
        QCOMPARE(readFileBytes(base + ".dir"), dirBefore);
    }

    void escapeInCommentEditorKeepsTheComment() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setSelectionRect({7, 1, 7, 1});
        QTest::keyClick(w.grid(), Qt::Key_Return);
        typeText(w.commentEditor(), QStringLiteral("xyz"));
        QTest::keyClick(w.commentEditor(), Qt::Key_Escape);
        QCOMPARE(cellText(w, 1, 7), QStringLiteral("подъезд 1"));
        QVERIFY(!w.document().modified());
    }

    void leavingTheCommentEditorStoresEvenWithoutAChange() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setFocus();
        w.grid()->setSelectionRect({7, 1, 7, 1});
        QTest::keyClick(w.grid(), Qt::Key_Return);
        QVERIFY(w.commentEditor()->isOpen());
        QTRY_VERIFY(w.commentEditor()->hasFocus());
        w.tree()->setFocus(); // leaving by any other means than Enter or Esc
        QTRY_VERIFY(!w.commentEditor()->isOpen());
        QVERIFY(w.grid()->hasFocus());
        QVERIFY(w.document().modified());
        QCOMPARE(cellText(w, 1, 7), QStringLiteral("подъезд 1"));

        // A typed text is stored when the editor is left.
        w.grid()->setSelectionRect({7, 2, 7, 2});
        QTest::keyClick(w.grid(), Qt::Key_Return);
        typeText(w.commentEditor(), QString(140, QLatin1Char('x')));
        w.tree()->setFocus();
        QTRY_VERIFY(!w.commentEditor()->isOpen());
        QCOMPARE(w.document().pageBuffer().comment(1), QByteArray(128, 'x'));
    }

    void gridMouseRules() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        w.grid()->setSelectionRect({2, 3, 2, 3});
        // A right click leaves the selection as it was.
        const QRect other = w.grid()->visualRect(w.gridModel()->index(9, 4));
        QTest::mouseClick(w.grid()->viewport(), Qt::RightButton, {}, other.center());
        QCOMPARE(w.grid()->selectionRect(), (GridSelection{2, 3, 2, 3}));
        // The left button moves it.
        QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, other.center());
        QCOMPARE(w.grid()->selectionRect(), (GridSelection{5, 10, 5, 10}));
        // A double-click on a column header, or on a divider between two, does nothing.
        QWidget* header = w.grid()->horizontalHeader()->viewport();
        QTest::mouseDClick(header, Qt::LeftButton, {}, QPoint(w.grid()->columnViewportPosition(6) + 5, 5));
        QVERIFY(!w.commentEditor()->isOpen());
        for (int column : {1, 3, 6}) {
            QTest::mouseDClick(header, Qt::LeftButton, {}, QPoint(w.grid()->columnViewportPosition(column) - 1, 5));
            QCOMPARE(w.grid()->columnWidth(column - 1), 96);
        }
        QCOMPARE(w.grid()->horizontalHeader()->contextMenuPolicy(), Qt::PreventContextMenu);
        QCOMPARE(w.grid()->verticalHeader()->contextMenuPolicy(), Qt::PreventContextMenu);
        // A double-click on a comment cell opens the comment editor.
        const QRect comment = w.grid()->visualRect(w.gridModel()->index(0, 6));
        QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, comment.center());
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, comment.center());
        QVERIFY(w.commentEditor()->isOpen());
        QTest::keyClick(w.commentEditor(), Qt::Key_Escape);
    }

    void gridFontSetsRowNumberWidthAndRowHeight() {
        settings().setDefaults();
        settings().setGridFontSize(14);
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        QCOMPARE(w.grid()->verticalHeader()->width(), 56);
        QCOMPARE(w.grid()->rowHeight(0), 28);
        QCOMPARE(w.grid()->font().pointSize(), 14);
    }

    void newOnModifiedDocumentAsksAndCancelKeepsAll() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        editComment(w, 2, QStringLiteral("x"));
        f->env.prompts.answer(ButtonCancel);
        w.runCommand(CommandId::NewFile);
        const ShownPrompt q = f->env.prompts.last();
        QCOMPARE(q.caption, QStringLiteral("Tervane"));
        QCOMPARE(q.text, QStringLiteral("Save changes in \"shop\" ?"));
        QCOMPARE(q.buttons, ButtonYes | ButtonNo | ButtonCancel);
        QCOMPARE(w.windowTitle(), QStringLiteral("Tervane - shop"));
        QVERIFY(w.document().modified());
        QCOMPARE(cellText(w, 2, 7), QStringLiteral("x"));
    }

    void closeFollowsSavePolicy_data() {
        QTest::addColumn<int>("policy");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("saved");
        QTest::newRow("save automatically") << 0 << false << true;
        QTest::newRow("ask, answered No") << 1 << true << false;
        QTest::newRow("do not save") << 2 << false << false;
    }
    void closeFollowsSavePolicy() {
        QFETCH(int, policy);
        QFETCH(bool, asks);
        QFETCH(bool, saved);
        const QString base = f->writeSampleBase();
        const QByteArray datBefore = readFileBytes(base + ".dat");
        MainWindow& w = f->start();
        f->openBase(base);
        editComment(w, 5, QStringLiteral("changed"));
        settings().setSavePolicy(SavePolicy(policy));
        if (asks)
            f->env.prompts.answer(ButtonNo);
        const int shownBefore = f->env.prompts.shown().size();
        QVERIFY(f->closeWindow());
        QCOMPARE(f->env.prompts.shown().size() > shownBefore, asks);
        QCOMPARE(readFileBytes(base + ".dat") != datBefore, saved);
        // The working copies are gone.
        QVERIFY(QDir(f->env.paths.tempFolder()).entryList({QStringLiteral("rdb_temp_*.d*")}).isEmpty());
    }

    void cancelInTheCloseQuestionKeepsTheWindowOpen() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        editComment(w, 5, QStringLiteral("changed"));
        f->env.prompts.answer(ButtonCancel);
        QVERIFY(!f->closeWindow());
        QVERIFY(w.isVisible());
        QVERIFY(w.document().modified());
    }

    void nextStartReopensBaseWithSameNodeSelected() {
        const QString base = f->writeSampleBase();
        MainWindow& w = f->start();
        f->openBase(base);
        const QModelIndex flat2 = w.treeModel()->index(1, 0, w.treeModel()->index(0, 0));
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->visualRect(flat2).center());
        QCOMPARE(w.document().currentPage(), 1);
        QVERIFY(w.document().modified()); // the directory file records the selected node
        w.runCommand(CommandId::SaveFile);
        f->restart();
        MainWindow& again = *f->window();
        QCOMPARE(again.windowTitle(), QStringLiteral("Tervane - shop"));
        QCOMPARE(again.tree()->currentIndex().data().toString(), QStringLiteral("кв 2"));
        QCOMPARE(again.document().currentPage(), 1);
        QCOMPARE(cellText(again, 4, 2), QStringLiteral(" DS1990 - 000000000042"));
        QVERIFY(!again.document().modified());
    }

    void baseGivenOnTheCommandLine() {
        const QString base = f->writeSampleBase();
        const QString other = f->writeSampleBase(QStringLiteral("other"));
        f->start(base + ".dir");
        QCOMPARE(f->window()->windowTitle(), QStringLiteral("Tervane - shop"));
        QCOMPARE(f->env.prompts.shown().size(), 0);
        // The next start reopens it as the last base; naming it again asks nothing.
        f->closeWindow();
        f->start(base + ".dir");
        QCOMPARE(f->window()->windowTitle(), QStringLiteral("Tervane - shop"));
        QCOMPARE(f->env.prompts.shown().size(), 0);
        // Another base replaces it.
        f->closeWindow();
        f->start(other + ".dir");
        QCOMPARE(f->window()->windowTitle(), QStringLiteral("Tervane - other"));
    }

    void missingLastBaseStartsEmptyWithoutMessage() {
        const QString base = f->writeSampleBase();
        f->start();
        f->openBase(base);
        f->restart();
        QFile::remove(base + ".dat");
        f->restart();
        QCOMPARE(f->window()->windowTitle(), QStringLiteral("Tervane"));
    }

    void shortViewMapsGridRowsToPageRows() {
        QDir().mkpath(f->userFolder());
        BaseBuilder b;
        BaseNode* file = b.file(QStringLiteral("f"));
        b.page(file).setCell(3, 0, dallasCell(1));
        b.page(file).setCell(250, 5, dallasCell(2));
        b.select(file);
        const QString base = f->userFolder() + "/short";
        QVERIFY(b.write(base));
        MainWindow& w = f->start();
        f->openBase(base);
        QAction* shortView = action(w, "ShortViewToolButton");
        shortView->trigger();
        QVERIFY(settings().shortView());
        QCOMPARE(w.gridModel()->rowCount(), 2);
        QCOMPARE(w.gridModel()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("003"));
        QCOMPARE(w.gridModel()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("250"));
        editComment(w, 2, QStringLiteral("двор"));
        QCOMPARE(fromCp1251(w.document().pageBuffer().comment(250)), QStringLiteral("двор"));
        QVERIFY(w.document().pageBuffer().comment(1).isEmpty());
        shortView->trigger();
        QCOMPARE(w.gridModel()->rowCount(), 500);
    }

    void ctrlXCutsInTheGridAndExitsFromTheTree() {
        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        QSignalSpy cut(action(w, "PopUpCut"), &QAction::triggered);
        QSignalSpy mainCut(action(w, "MainMenuEditCut"), &QAction::triggered);
        QSignalSpy exit(action(w, "MainMenuExit"), &QAction::triggered);
        w.grid()->setFocus();
        QTRY_VERIFY(w.grid()->hasFocus());
        QTest::keyClick(w.grid(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(cut.count(), 1);
        QCOMPARE(mainCut.count(), 0);
        QCOMPARE(exit.count(), 0);
        QVERIFY(w.isVisible());
        QVERIFY(w.document().modified()); // the selected key was cut

        w.tree()->setFocus();
        QTRY_VERIFY(w.tree()->hasFocus());
        f->env.prompts.answer(ButtonNo); // the close sequence asks about the cut
        QTest::keyClick(w.tree(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(exit.count(), 1);
        QCOMPARE(cut.count(), 1);
        QTRY_VERIFY(!w.isVisible());
        f->session.reset();
    }

    void disabledFirstMatchRunsNothing() {
        // With no base open, Ctrl+S finds Save first; it is disabled, so nothing runs.
        MainWindow& w = f->start();
        QSignalSpy save(action(w, "MainMenuSaveFile"), &QAction::triggered);
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(save.count(), 0);
    }

    void fullPageShowsNegativeFree() {
        QDir().mkpath(f->userFolder());
        BaseBuilder b;
        BaseNode* file = b.file(QStringLiteral("full"));
        for (int i = 0; i < 2500; ++i)
            b.page(file).setCell(i / 6, i % 6, dallasCell(quint64(i)));
        b.select(file);
        const QString base = f->userFolder() + "/full";
        QVERIFY(b.write(base));
        f->start();
        f->openBase(base);
        QCOMPARE(f->panel(1), QStringLiteral("Used: 2500"));
        QCOMPARE(f->panel(2), QStringLiteral("Free: -5"));
    }

    void languageFollowsSystemAndSetting_data() {
        QTest::addColumn<bool>("russianSystem");
        QTest::addColumn<int>("setting");
        QTest::addColumn<bool>("russian");
        QTest::newRow("Russian system, auto") << true << 0 << true;
        QTest::newRow("Russian system, English") << true << 1 << false;
        QTest::newRow("Russian system, Russian") << true << 2 << true;
        QTest::newRow("English system, auto") << false << 0 << false;
        QTest::newRow("English system, Russian") << false << 2 << true;
    }
    void languageFollowsSystemAndSetting() {
        QFETCH(bool, russianSystem);
        QFETCH(int, setting);
        QFETCH(bool, russian);
        f->env.system.russian = russianSystem;
        settings().setDefaults();
        settings().setLanguageSetting(LanguageSetting(setting));
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        QCOMPARE(f->panel(1), russian ? QStringLiteral("Занято: -") : QStringLiteral("Used: -"));
        QCOMPARE(w.treeModel()->index(0, 0).data().toString(),
                 russian ? QStringLiteral("Нет открытых файлов...") : QStringLiteral("No files opened..."));
        QCOMPARE(w.menuBar()->actions().first()->text(), russian ? QStringLiteral("&Файл") : QStringLiteral("&File"));
        QCOMPARE(caption(action(w, "MainMenuSaveFileAs")),
                 russian ? QStringLiteral("Сохранить &как...") : QStringLiteral("Save as..."));
        QCOMPARE(action(w, "ToolFinalKey")->toolTip(),
                 russian ? QStringLiteral("Финализировать заготовку") : QStringLiteral("Lock key"));
        QCOMPARE(caption(action(w, "MainMenuKeysFinal")),
                 russian ? QStringLiteral("Финализировать") : QStringLiteral("Lock key"));
        QCOMPARE(w.gridModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 russian ? QStringLiteral(" Ключ 1") : QStringLiteral(" Key 1"));
        QCOMPARE(f->panel(4), russian ? QStringLiteral("Режим работы: Orvel Lark (Отключен)")
                                      : QStringLiteral("Work mode: Orvel Lark (Offline)"));
        w.runCommand(CommandId::NewFile);
        QCOMPARE(w.windowTitle(),
                 russian ? QStringLiteral("Tervane - База Данных") : QStringLiteral("Tervane - Data Base"));
    }

    void saveOnAFullDiskLeavesTheBaseAsItWas() {
        const QString base = f->writeSampleBase();
        const QByteArray dir = readFileBytes(base + ".dir");
        const QByteArray dat = readFileBytes(base + ".dat");
        MainWindow& w = f->start();
        f->openBase(base);
        editComment(w, 1, QStringLiteral("new"));
        f->env.system.freeBytes = 0;
        f->env.prompts.answer(ButtonCancel);
        w.runCommand(CommandId::SaveFile);
        QCOMPARE(f->env.prompts.last().buttons, ButtonRetry | ButtonCancel);
        QVERIFY(w.document().modified());
        QCOMPARE(readFileBytes(base + ".dir"), dir);
        QCOMPARE(readFileBytes(base + ".dat"), dat);
        f->env.system.freeBytes = qint64(1) << 40;
    }

private:
    std::unique_ptr<MainWindowFixture> f;
};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
