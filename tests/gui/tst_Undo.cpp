// Edit > Undo and Redo in the real window: every kind of edit taken back with Ctrl+Z and made
// again with Ctrl+Y and Ctrl+Shift+Z, the captions that name the edit, the page an undo shows,
// Modified against the saved state, and the history's memory budget.

#include "MainWindowFixture.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/PageFile.h"
#include "device/DeviceLink.h"
#include "dialogs/OperationDialog.h"
#include "keys/DallasCrc.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/CommentEditor.h"
#include "ui/GridController.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"
#include "ui/TreeController.h"
#include "ui/TreeNameEditor.h"
#include "ui/UndoController.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QUndoStack>
#include <functional>

using namespace tervane;
using namespace tervane::test;

namespace {

BaseNode* nodeNamed(MainWindow& w, const QString& name) {
    BaseTree& tree = w.document().tree();
    for (BaseNode* n = tree.first(); n; n = tree.next(n))
        if (n->text == toCp1251(name))
            return n;
    return nullptr;
}

void clickNode(MainWindow& w, const QString& name) {
    const QModelIndex index = w.treeModel()->indexOf(nodeNamed(w, name));
    QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->nodeRect(index).center());
}

KeyCode dallasCode(std::uint8_t low) {
    KeyCode c{1, low, 0x34, 0x12, 0, 0, 0, 0};
    c[7] = DallasCrc8(c.data(), 7);
    return c;
}

// Every page as the document holds it and the tree with every node's fields.
struct Snapshot {
    QByteArray pages;
    QStringList nodes;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(MainWindow& w) {
    Document& doc = w.document();
    Snapshot s;
    s.pages = readFileBytes(doc.workingPageFile());
    if (doc.currentPage() >= 0)
        s.pages.replace(qsizetype(doc.currentPage()) * KeyPage::kSize, KeyPage::kSize,
                        QByteArray(reinterpret_cast<const char*>(doc.pageBuffer().data()), KeyPage::kSize));
    int level = 0;
    for (const BaseNode* n = doc.tree().first(); n; n = doc.tree().next(n, level))
        s.nodes << QStringLiteral("%1%2:%3")
                       .arg(QString(2 * level, QLatin1Char(' ')), fromCp1251(n->text))
                       .arg(n->pageNumber);
    return s;
}

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z as the user presses them, wherever the focus is.
void press(MainWindow& w, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : static_cast<QWidget*>(&w), key, modifiers);
    paintWindow(w);
}
void undo(MainWindow& w) {
    press(w, Qt::ControlModifier, Qt::Key_Z);
}
void redo(MainWindow& w) {
    press(w, Qt::ControlModifier, Qt::Key_Y);
}
void redoShift(MainWindow& w) {
    press(w, Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT

    // A Kestrel on the link for the whole test; the link lets go of it before it goes.
    struct Programmer {
        ProgrammerSimulator simulator{'U', "1.36"};
        SimulatedTransport transport{simulator};
        Programmer() { deviceLink().setTransport(&transport); }
        ~Programmer() { deviceLink().setTransport(nullptr); }
    };

    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<Programmer> programmer;

    MainWindow& startWithSample() {
        MainWindow& w = f->start(f->writeSampleBase() + QStringLiteral(".dir"));
        paintWindow(w);
        w.grid()->setFocus();
        return w;
    }
    QString file(const QString& name) const { return f->userFolder() + QLatin1Char('/') + name; }

    // One user edit, done the way the user does it; the caption that names it.
    using Edit = std::function<void(UndoTest&, MainWindow&)>;

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        programmer = std::make_unique<Programmer>();
    }
    void cleanup() {
        settings().setSavePolicy(SavePolicy::DoNotSave);
        f->closeWindow();
        programmer.reset();
        QCOMPARE(f->env.prompts.pendingAnswers(), 0);
        f.reset();
    }

    void everyKindOfEdit_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("caption");
        QTest::newRow("comment typed") << Edit([](UndoTest&, MainWindow& w) {
            w.grid()->setSelectionRect({7, 7, 7, 7});
            QTest::keyClick(w.grid(), Qt::Key_Return);
            QVERIFY(w.commentEditor()->isOpen());
            w.commentEditor()->setText(QStringLiteral("подъезд 2"));
            QTest::keyClick(w.commentEditor(), Qt::Key_Return);
        }) << "Undo Edit comment";
        QTest::newRow("key editor's OK") << Edit([](UndoTest&, MainWindow& w) {
            KeyCell cell;
            cell.setType(KeyTypeDallas);
            cell.setCode(dallasCode(0x42));
            w.gridController().storeKey(4, 2, cell);
        }) << "Undo Edit key";
        QTest::newRow("cut") << Edit([](UndoTest&, MainWindow& w) {
            w.grid()->setSelectionRect({1, 1, 3, 7});
            QTest::keyClick(w.grid(), Qt::Key_X, Qt::ControlModifier);
        }) << "Undo Cut";
        QTest::newRow("paste") << Edit([](UndoTest&, MainWindow& w) {
            w.grid()->setSelectionRect({1, 1, 7, 2});
            QTest::keyClick(w.grid(), Qt::Key_C, Qt::ControlModifier);
            w.grid()->setSelectionRect({1, 300, 1, 300});
            QTest::keyClick(w.grid(), Qt::Key_V, Qt::ControlModifier);
        }) << "Undo Paste";
        QTest::newRow("clear") << Edit([](UndoTest&, MainWindow& w) {
            w.grid()->setSelectionRect({1, 1, 7, 500});
            QTest::keyClick(w.grid(), Qt::Key_Delete);
        }) << "Undo Delete";
        QTest::newRow("VIZIT_DM import") << Edit([](UndoTest& t, MainWindow& w) {
            QByteArray viz(2401 * 4, '\xFF');
            viz.replace(0, 4, QByteArray::fromHex("12345678"));
            const QString path = t.file(QStringLiteral("keys.viz"));
            QVERIFY(writeFileBytes(path, viz));
            t.f->env.prompts.answerFile(path);
            w.runCommand(CommandId::ImportVizitDallas);
        }) << "Undo Import VIZIT_DM  (*.viz) as DALLAS";
        QTest::newRow("CSV import, two pages") << Edit([](UndoTest& t, MainWindow& w) {
            const QString path = t.file(QStringLiteral("keys.csv"));
            QVERIFY(writeFileBytes(path, QStringLiteral("path,page,row,column,type,code,text,comment\r\n"
                                                        "Дом/кв 1,0,0,1,,,,подъезд 1\r\n"
                                                        "Дом/кв 2,1,3,,,,,вход\r\n")
                                             .toUtf8()));
            t.f->env.prompts.answerFile(path);
            t.f->env.prompts.answer(ButtonOk);
            w.runCommand(CommandId::ImportCsv);
        }) << "Undo Import CSV";
        QTest::newRow("read keys, one step for the run") << Edit([](UndoTest& t, MainWindow& w) {
            w.grid()->setSelectionRect({1, 2, 2, 2});
            t.programmer->simulator.presentKey(KeyTypeDallas, dallasCode(0x01));
            t.programmer->simulator.presentKey(KeyTypeDallas, dallasCode(0x02));
            QTest::keyClick(w.grid(), Qt::Key_F5);
            QTRY_VERIFY(!w.operationDialog()->isOpen());
            QCOMPARE(w.document().pageBuffer().cell(1, 1).code(), dallasCode(0x02));
        }) << "Undo Read keys";
        QTest::newRow("download from the programmer") << Edit([](UndoTest&, MainWindow& w) {
            w.runCommand(CommandId::ImportKeyBase);
            QTRY_VERIFY(!w.operationDialog()->isOpen());
        }) << "Undo Import key base from device";
        QTest::newRow("create file") << Edit([](UndoTest&, MainWindow& w) {
            clickNode(w, QStringLiteral("Дом"));
            QTest::keyClick(w.tree(), Qt::Key_Insert);
            TreeNameEditor* name = w.treeController().nameEditor();
            QTRY_VERIFY(name->isVisible());
            name->setText(QStringLiteral("кв 3"));
            QTest::keyClick(name, Qt::Key_Return);
            QCOMPARE(nodeNamed(w, QStringLiteral("кв 3"))->pageNumber, 2);
        }) << "Undo Create file";
        QTest::newRow("rename") << Edit([](UndoTest&, MainWindow& w) {
            clickNode(w, QStringLiteral("кв 2"));
            QTest::keyClick(w.tree(), Qt::Key_R, Qt::ControlModifier);
            TreeNameEditor* name = w.treeController().nameEditor();
            QTRY_VERIFY(name->isVisible());
            name->setText(QStringLiteral("квартира 2"));
            QTest::keyClick(name, Qt::Key_Return);
        }) << "Undo Rename";
        QTest::newRow("delete a folder with its pages") << Edit([](UndoTest& t, MainWindow& w) {
            clickNode(w, QStringLiteral("Дом"));
            t.f->env.prompts.answer(ButtonYes);
            t.f->env.prompts.answer(ButtonYes);
            QTest::keyClick(w.tree(), Qt::Key_Delete);
            QVERIFY(!nodeNamed(w, QStringLiteral("кв 1")));
            QCOMPARE(pageCount(w.document().workingPageFile()), 0);
        }) << "Undo Delete";
    }
    void everyKindOfEdit() {
        QFETCH(Edit, edit);
        QFETCH(QString, caption);
        MainWindow& w = startWithSample();
        QVERIFY(!commandItem(w, "MainMenuEditUndo")->isEnabled());
        QCOMPARE(commandItem(w, "MainMenuEditUndo")->text().section(QLatin1Char('\t'), 0, 0), QStringLiteral("Undo"));
        const Snapshot before = snapshot(w);
        edit(*this, w);
        paintWindow(w);
        const Snapshot after = snapshot(w);
        QVERIFY(after != before);
        QCOMPARE(w.undoHistory().stack().count(), 1);
        QVERIFY(commandItem(w, "MainMenuEditUndo")->isEnabled());
        QCOMPARE(commandItem(w, "MainMenuEditUndo")->text().section(QLatin1Char('\t'), 0, 0), caption);
        QCOMPARE(commandItem(w, "ToolUndo")->toolTip(), caption);

        undo(w);
        QCOMPARE(snapshot(w), before);
        QVERIFY(commandItem(w, "MainMenuEditRedo")->isEnabled());
        QVERIFY(!commandItem(w, "MainMenuEditUndo")->isEnabled());
        redo(w);
        QCOMPARE(snapshot(w), after);
        undo(w);
        redoShift(w);
        QCOMPARE(snapshot(w), after);
        // The edit reaches the user's files only through a save, after any undo and redo.
        press(w, Qt::ControlModifier, Qt::Key_S);
        QVERIFY(!w.document().modified());
    }

    // An undo of an edit on a page that is not shown shows that page, and the tree selects it.
    void undoShowsThePageItChanges() {
        MainWindow& w = startWithSample();
        clickNode(w, QStringLiteral("кв 2"));
        paintWindow(w);
        QCOMPARE(w.document().currentPage(), 1);
        const KeyPage shown = w.document().pageBuffer();
        w.grid()->setFocus();
        w.grid()->setSelectionRect({1, 1, 7, 7});
        QTest::keyClick(w.grid(), Qt::Key_Delete);
        clickNode(w, QStringLiteral("кв 1"));
        paintWindow(w);
        QCOMPARE(w.document().currentPage(), 0);
        undo(w);
        QCOMPARE(w.document().currentPage(), 1);
        QCOMPARE(w.document().tree().selected(), nodeNamed(w, QStringLiteral("кв 2")));
        QCOMPARE(w.tree()->currentIndex(), w.treeModel()->indexOf(nodeNamed(w, QStringLiteral("кв 2"))));
        QVERIFY(w.document().pageBuffer() == shown);
    }

    // Modified after undo and redo: back at the saved state it clears, unless another node was
    // selected since the save (the directory file records the selection, the history does not).
    void modifiedFollowsTheSavedState() {
        MainWindow& w = startWithSample();
        const auto clearRow = [&w](int row) {
            w.grid()->setSelectionRect({1, row, 7, row});
            QTest::keyClick(w.grid(), Qt::Key_Delete);
            paintWindow(w);
        };
        QVERIFY(!w.document().modified());
        clearRow(1);
        QVERIFY(w.document().modified());
        undo(w);
        QVERIFY(!w.document().modified());
        redo(w);
        QVERIFY(w.document().modified());

        press(w, Qt::ControlModifier, Qt::Key_S);
        QVERIFY(!w.document().modified());
        undo(w);
        QVERIFY(w.document().modified());
        redo(w);
        QVERIFY(!w.document().modified());

        // Another node selected and back: the selection is the saved one, but the step away was
        // a change the history does not record.
        clickNode(w, QStringLiteral("кв 2"));
        clickNode(w, QStringLiteral("кв 1"));
        paintWindow(w);
        w.grid()->setFocus();
        clearRow(2);
        undo(w);
        QVERIFY(w.document().modified());

        // New, Open and Close leave nothing to undo.
        f->env.prompts.answer(ButtonNo); // the changes are dropped
        w.runCommand(CommandId::NewFile);
        paintWindow(w);
        QCOMPARE(w.undoHistory().stack().count(), 0);
        QVERIFY(!commandItem(w, "MainMenuEditUndo")->isEnabled());
    }

    // Past its budget the history lets its oldest steps go; the saved state it no longer holds
    // is never reached again by undoing.
    void budgetDropsTheOldestSteps() {
        MainWindow& w = startWithSample();
        constexpr std::size_t kBudget = 3 * 200 * 1024; // three steps that change every row
        w.undoHistory().setMemoryBudget(kBudget);
        for (int i = 0; i < 6; ++i) {
            KeyPage page;
            KeyCell cell;
            cell.setType(KeyTypeDallas);
            cell.setCode(dallasCode(std::uint8_t(i)));
            for (int row = 0; row < KeyPage::kRows; ++row)
                page.setCell(row, 0, cell);
            w.gridController().replaceShownPage(page);
            paintWindow(w);
            QVERIFY(w.undoHistory().bytes() <= kBudget);
        }
        const int kept = w.undoHistory().stack().count();
        QVERIFY(kept >= 2);
        QVERIFY(kept < 6);
        for (int i = 0; i < kept; ++i)
            undo(w);
        QVERIFY(!commandItem(w, "MainMenuEditUndo")->isEnabled());
        QVERIFY(w.document().modified());
    }
};

QTEST_MAIN(UndoTest)
#include "tst_Undo.moc"
