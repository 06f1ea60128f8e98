// Shaping the tree in the real window: Insert, Shift+Insert, Ctrl+R and Del on the node at the
// command point, the name field laid over the node, and what a create or a delete leaves in the
// working copy and, after a save and a reopen, in the user's files.

#include "MainWindowFixture.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/PageFile.h"
#include "settings/Settings.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"
#include "ui/TreeController.h"
#include "ui/TreeNameEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

// Paints the window as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.tree()->viewport()->repaint();
    w.grid()->viewport()->repaint();
    w.repaint();
    QApplication::processEvents();
}

// Types text into a widget, Cyrillic included (QTest::keyClicks only takes ASCII).
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

BaseNode* nodeNamed(MainWindow& w, const QString& name) {
    BaseTree& tree = w.document().tree();
    for (BaseNode* n = tree.first(); n; n = tree.next(n))
        if (n->text == toCp1251(name))
            return n;
    return nullptr;
}

QModelIndex indexOf(MainWindow& w, const QString& name) {
    return w.treeModel()->indexOf(nodeNamed(w, name));
}

// A left click on a node's name: it becomes the command point, and its page is shown.
void clickNode(MainWindow& w, const QString& name) {
    QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->nodeRect(indexOf(w, name)).center());
}

// The tree as lines indented by level, with ":page" after a file.
QStringList outline(MainWindow& w) {
    QStringList lines;
    const BaseTree& tree = w.document().tree();
    int level = 0;
    for (const BaseNode* n = tree.first(); n; n = tree.next(n, level)) {
        QString line = QString(2 * level, QLatin1Char(' ')) + fromCp1251(n->text);
        if (n->isFile())
            line += QLatin1Char(':') + QString::number(n->pageNumber);
        lines << line;
    }
    return lines;
}

// The names the view shows, walked through the model as the view walks it.
QStringList shownNames(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex i = model.index(row, 0, parent);
        names << i.data().toString();
        names += shownNames(model, i);
    }
    return names;
}

} // namespace

class TreeEditingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    TreeNameEditor* field() { return f->window()->treeController().nameEditor(); }
    qint64 workingPages() { return pageCount(f->window()->document().workingPageFile()); }

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

    void createByTheCommandPoint() {
        MainWindow& w = f->start(f->writeSampleBase() + ".dir");
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 2:1"}));
        paintNow(w);

        // Insert on a file in a folder: the new file goes last in that folder.
        clickNode(w, "кв 2");
        QCOMPARE(w.document().currentPage(), 1);
        QTest::keyClick(w.tree(), Qt::Key_Insert);
        QVERIFY(field()->isVisible());
        QVERIFY(field()->hasFocus());
        QVERIFY(field()->text().isEmpty());
        // Laid over the new node's name, to 4 pixels short of the tree's right edge.
        const QRect label = w.tree()->labelRect(w.treeModel()->index(2, 0, indexOf(w, "Дом")));
        QCOMPARE(field()->geometry().topLeft(), label.topLeft());
        QCOMPARE(field()->geometry().right() + 1, w.tree()->width() - 4);
        typeText(field(), "кв 3");
        paintNow(w);
        QTest::keyClick(field(), Qt::Key_Return);
        QVERIFY(!field()->isVisible());
        QVERIFY(w.tree()->hasFocus());
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 2:1", "  кв 3:2"}));
        QCOMPARE(workingPages(), 3);
        QCOMPARE(w.document().currentPage(), 2);
        QVERIFY(w.grid()->isVisible());
        QCOMPARE(w.tree()->currentIndex(), indexOf(w, "кв 3"));
        QVERIFY(w.document().modified());
        paintNow(w);

        // A second file without typing takes the name the field kept.
        QTest::keyClick(w.tree(), Qt::Key_Insert);
        QCOMPARE(field()->text(), QStringLiteral("кв 3"));
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 2:1", "  кв 3:2", "  кв 3:3"}));
        paintNow(w);

        // Shift+Insert with the mouse last pressed below the nodes: a folder at the top level.
        const QPoint below(10, w.tree()->viewport()->height() - 5);
        QVERIFY(!w.tree()->indexAt(below).isValid());
        QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, below);
        QTest::keyClick(w.tree(), Qt::Key_Insert, Qt::ShiftModifier);
        field()->selectAll();
        typeText(field(), "Гараж");
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(outline(w).last(), QStringLiteral("Гараж"));
        QCOMPARE(workingPages(), 4);
        // A folder is selected without switching the page.
        QCOMPARE(w.document().tree().selected(), nodeNamed(w, "Гараж"));
        QCOMPARE(w.document().currentPage(), 3);
        paintNow(w);

        // Insert on the folder: its last child, the folder opened.
        clickNode(w, "Гараж");
        QTest::keyClick(w.tree(), Qt::Key_Insert);
        field()->selectAll();
        typeText(field(), "бокс 1");
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(outline(w).mid(5), QStringList({"Гараж", "  бокс 1:4"}));
        QVERIFY(w.tree()->isExpanded(indexOf(w, "Гараж")));
        QVERIFY(shownNames(*w.treeModel()).contains("бокс 1"));
        paintNow(w);

        // Saved and opened again, every new file is there with a page of its own.
        w.runCommand(CommandId::SaveFile);
        f->restart();
        MainWindow& again = *f->window();
        QCOMPARE(outline(again),
                 QStringList({"Дом", "  кв 1:0", "  кв 2:1", "  кв 3:2", "  кв 3:3", "Гараж", "  бокс 1:4"}));
        QCOMPARE(workingPages(), 5);
    }

    // A click right of a name is a click on no node: the command has no target there.
    void blankRestOfARowIsNoNode() {
        MainWindow& w = f->start(f->writeSampleBase() + ".dir");
        paintNow(w);
        const QRect name = w.tree()->nodeRect(indexOf(w, "кв 1"));
        const QPoint right(name.right() + 20, name.center().y());
        QVERIFY(right.x() < w.tree()->viewport()->width());
        QVERIFY(w.tree()->indexAt(right).isValid());
        w.tree()->setFocus();
        QTest::mousePress(w.tree()->viewport(), Qt::RightButton, {}, right);
        QTest::mouseRelease(w.tree()->viewport(), Qt::RightButton, {}, right);
        w.runCommand(CommandId::TreeCreateFolder);
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 2:1", ""}));
    }

    void renameAndEscape() {
        MainWindow& w = f->start(f->writeSampleBase() + ".dir");
        paintNow(w);

        // Escape while renaming leaves the old name.
        clickNode(w, "кв 2");
        w.document().setModified(false);
        QTest::keyClick(w.tree(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(field()->text(), QStringLiteral("кв 2"));
        QVERIFY(field()->hasFocus());
        typeText(field(), "0");
        QTest::keyClick(field(), Qt::Key_Escape);
        QVERIFY(!field()->isVisible());
        QVERIFY(w.tree()->hasFocus());
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 2:1"}));
        QVERIFY(!w.document().modified());
        paintNow(w);

        // Escape while creating removes the node, and no page is added.
        QTest::keyClick(w.tree(), Qt::Key_Insert);
        QCOMPARE(outline(w).size(), 4);
        QTest::keyClick(field(), Qt::Key_Escape);
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 2:1"}));
        QCOMPARE(workingPages(), 2);
        QVERIFY(!w.document().modified());
        QCOMPARE(shownNames(*w.treeModel()), QStringList({"Дом", "кв 1", "кв 2"}));
        paintNow(w);

        // A rename commits on Enter, and again leaving the field commits, once.
        QTest::keyClick(w.tree(), Qt::Key_R, Qt::ControlModifier);
        field()->selectAll();
        typeText(field(), "кв 22");
        QTest::keyClick(field(), Qt::Key_Return);
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 22:1"}));
        QVERIFY(w.document().modified());
        paintNow(w);

        QTest::keyClick(w.tree(), Qt::Key_Insert);
        typeText(field(), "4");
        clickNode(w, "кв 1"); // the field loses the focus: the new file is committed
        QVERIFY(!field()->isVisible());
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "  кв 22:1", "  кв 224:2"}));
        QCOMPARE(workingPages(), 3);
        // and the click still shows the page clicked
        QCOMPARE(w.document().currentPage(), 0);
        paintNow(w);
    }

    void deleteFolderWithFilesAtTwoLevels() {
        QDir().mkpath(f->userFolder());
        BaseBuilder b;
        BaseNode* house = b.folder(QStringLiteral("Дом"), nullptr, true);
        BaseNode* flat1 = b.file(QStringLiteral("кв 1"), house);
        BaseNode* entrance = b.folder(QStringLiteral("Подъезд"), house, true);
        BaseNode* flat2 = b.file(QStringLiteral("кв 2"), entrance);
        BaseNode* floor = b.folder(QStringLiteral("Этаж"), entrance, true);
        BaseNode* flat3 = b.file(QStringLiteral("кв 3"), floor);
        BaseNode* garage = b.file(QStringLiteral("Гараж"));
        int serial = 0x10;
        for (BaseNode* file : {flat1, flat2, flat3, garage})
            b.page(file).setCell(file->pageNumber, 0, dallasCell(quint64(++serial)));
        b.select(garage);
        const QString base = f->userFolder() + "/street";
        QVERIFY(b.write(base));
        const KeyPage flat1Keys = b.page(flat1);
        const KeyPage garageKeys = b.page(garage);

        MainWindow& w = f->start(base + ".dir");
        QCOMPARE(w.document().currentPage(), 3);
        paintNow(w);

        // A right click opens the menu for the node under the mouse, without selecting it.
        const QPoint at = w.tree()->nodeRect(indexOf(w, "Подъезд")).center();
        QTest::mousePress(w.tree()->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(w.tree()->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, w.tree()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(w.tree()->viewport(), &menu);
        QMenu* treeMenu = w.commands()->treeMenu();
        QTRY_VERIFY(treeMenu->isVisible());
        QCOMPARE(w.document().tree().selected(), nodeNamed(w, "Гараж"));
        f->env.prompts.answer(ButtonYes);
        f->env.prompts.answer(ButtonYes);
        w.findChild<QAction*>("PopUpTreeDelete")->trigger();
        treeMenu->hide();
        QCOMPARE(f->env.prompts.texts(), QStringList({"Filder \"Подъезд\" contains files, to delete all contents ?",
                                                      "You are assured that wish to delete the selected files ?"}));
        QCOMPARE(outline(w), QStringList({"Дом", "  кв 1:0", "Гараж:1"}));
        QCOMPARE(workingPages(), 2);
        QCOMPARE(shownNames(*w.treeModel()), QStringList({"Дом", "кв 1", "Гараж"}));
        // The selected file shows its own keys under its new number.
        QCOMPARE(w.document().currentPage(), 1);
        QVERIFY(w.document().pageBuffer() == garageKeys);
        paintNow(w);

        w.runCommand(CommandId::SaveFile);
        f->restart();
        MainWindow& again = *f->window();
        QCOMPARE(outline(again), QStringList({"Дом", "  кв 1:0", "Гараж:1"}));
        clickNode(again, "кв 1");
        QVERIFY(again.document().pageBuffer() == flat1Keys);
        paintNow(again);
        clickNode(again, "Гараж");
        QVERIFY(again.document().pageBuffer() == garageKeys);
        paintNow(again);

        // Del on the selected file, the second question answered No: nothing goes.
        f->env.prompts.clear();
        f->env.prompts.answer(ButtonNo);
        QTest::keyClick(again.tree(), Qt::Key_Delete);
        QCOMPARE(f->env.prompts.texts(), QStringList({"You are assured that wish to delete the selected files ?"}));
        QCOMPARE(outline(again), QStringList({"Дом", "  кв 1:0", "Гараж:1"}));
    }
};

QTEST_MAIN(TreeEditingTest)
#include "tst_TreeEditing.moc"
