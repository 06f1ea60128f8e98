// Block editing through the real main window: the clipboard across pages and key bases, Cut and
// Paste down to the saved bytes, Paste's enabling, the shortcuts from the grid and the short view.

#include "MainWindowFixture.h"

#include "base/Document.h"
#include "keys/KeyTypes.h"
#include "settings/Settings.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/ClipboardController.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

Q_DECLARE_METATYPE(tervane::GridSelection)

namespace {

QAction* action(MainWindow& w, const QString& name) {
    QAction* a = w.findChild<QAction*>(name);
    if (!a)
        qFatal("no action %s", qPrintable(name));
    return a;
}

// Paints the window as a display does between two user actions.
void paintNow(MainWindow& w) {
    w.tree()->viewport()->repaint();
    w.grid()->viewport()->repaint();
    w.repaint();
    QApplication::processEvents();
}

void clickNode(MainWindow& w, const QModelIndex& index) {
    QTest::mouseClick(w.tree()->viewport(), Qt::LeftButton, {}, w.tree()->visualRect(index).center());
}

QByteArray bytesOf(const KeyPage& page) {
    return QByteArray(reinterpret_cast<const char*>(page.data()), KeyPage::kSize);
}

// Every cell of rows first..first+count-1 a different key, each row with a Cyrillic comment (the
// second one 128 characters long) except the third.
void fillRows(KeyPage& page, int first, int count, quint64 serial) {
    for (int r = 0; r < count; ++r) {
        const int row = first + r;
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.setCell(row, column, dallasCell(serial + quint64(row * 10 + column)));
        if (r == 1)
            page.setComment(row, cp1251(QString(KeyPage::kMaxCommentLength, QChar(u'Ж'))));
        else if (r != 2)
            page.setComment(row, cp1251(QStringLiteral("подъезд %1").arg(row)));
    }
}

} // namespace

class ClipboardTest : public QObject {
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

    void blockTravelsUnchangedToAnotherPageAndBase() {
        QDir().mkpath(f->userFolder());
        BaseBuilder first;
        BaseNode* from = first.file(QStringLiteral("откуда"));
        first.file(QStringLiteral("куда"));
        fillRows(first.page(from), 10, 4, 0x7000);
        first.select(from);
        const QString firstBase = f->userFolder() + "/first";
        QVERIFY(first.write(firstBase));
        BaseBuilder second;
        BaseNode* other = second.file(QStringLiteral("чужая"));
        fillRows(second.page(other), 298, 6, 0x9000);
        second.select(other);
        const QString secondBase = f->userFolder() + "/second";
        QVERIFY(second.write(secondBase));
        const KeyPage source = first.page(from);
        const KeyPage otherBefore = second.page(other);

        MainWindow& w = f->start();
        f->openBase(firstBase);
        // Key columns 2 to 6 and the comment of page rows 10 to 13.
        w.grid()->setSelectionRect({2, 11, 7, 14});
        action(w, "MainMenuEditCopy")->trigger();
        QVERIFY(!w.document().modified());
        paintNow(w);

        clickNode(w, w.treeModel()->index(1, 0));
        QCOMPARE(w.document().currentPage(), 1);
        w.grid()->setSelectionRect({2, 1, 2, 1});
        action(w, "ToolPaste")->trigger();
        paintNow(w);
        w.runCommand(CommandId::SaveFile);
        QVERIFY(!w.document().modified());

        f->openBase(secondBase);
        w.grid()->setSelectionRect({2, 300, 2, 300});
        action(w, "PopUpPaste")->trigger();
        paintNow(w);
        w.runCommand(CommandId::SaveFile);

        KeyPage intoPage;
        KeyPage intoBase = otherBefore;
        for (int r = 0; r < 4; ++r) {
            for (int column = 1; column < KeyPage::kKeyColumns; ++column) {
                intoPage.setCell(r, column, source.cell(10 + r, column));
                intoBase.setCell(299 + r, column, source.cell(10 + r, column));
            }
            // The row without a comment leaves the target's as it was.
            if (source.hasComment(10 + r)) {
                intoPage.setComment(r, source.comment(10 + r));
                intoBase.setComment(299 + r, source.comment(10 + r));
            }
        }
        QVERIFY(intoBase.comment(301) == otherBefore.comment(301));
        QVERIFY(readFileBytes(firstBase + ".dat") == bytesOf(source) + bytesOf(intoPage));
        QVERIFY(readFileBytes(secondBase + ".dat") == bytesOf(intoBase));
    }

    void cutThenPasteAtTheSamePlaceRestoresTheBytes() {
        QDir().mkpath(f->userFolder());
        BaseBuilder b;
        BaseNode* file = b.file(QStringLiteral("f"));
        fillRows(b.page(file), 0, 6, 0x100);
        b.select(file);
        const QString base = f->userFolder() + "/cut";
        QVERIFY(b.write(base));
        const QByteArray before = readFileBytes(base + ".dat");

        MainWindow& w = f->start();
        f->openBase(base);
        QCOMPARE(f->panel(1), QStringLiteral("Used: 36"));
        w.grid()->setFocus();
        w.grid()->setSelectionRect({1, 2, 7, 5});
        action(w, "MainMenuEditCut")->trigger();
        for (int row = 1; row <= 4; ++row)
            QVERIFY(!w.document().pageBuffer().rowHasContent(row));
        QVERIFY(w.document().modified());
        QCOMPARE(f->panel(1), QStringLiteral("Used: 12")); // RefreshView ran
        QCOMPARE(w.gridModel()->index(1, 0).data().toString(), QString());
        paintNow(w);

        QCOMPARE(w.grid()->selectionRect(), (GridSelection{1, 2, 7, 5}));
        action(w, "MainMenuEditPaste")->trigger();
        QVERIFY(bytesOf(w.document().pageBuffer()) == before);
        QVERIFY(w.document().modified());
        QCOMPARE(f->panel(1), QStringLiteral("Used: 36"));
        paintNow(w);
        w.runCommand(CommandId::SaveFile);
        QVERIFY(readFileBytes(base + ".dat") == before);
    }

    void pasteFollowsTheClipboard() {
        const QString base = f->writeSampleBase();
        MainWindow& w = f->start();
        const QList<QAction*> pastes{action(w, "MainMenuEditPaste"), action(w, "PopUpPaste"), action(w, "ToolPaste")};
        auto pasteEnabled = [&](bool expected) {
            for (QAction* a : pastes) {
                if (a->isEnabled() != expected)
                    return false;
            }
            return true;
        };
        QVERIFY(pasteEnabled(false));

        f->openBase(base);
        QVERIFY(action(w, "MainMenuEditCopy")->isEnabled());
        QVERIFY(pasteEnabled(false));
        // Paste before any Copy or Cut does nothing.
        const QByteArray page = bytesOf(w.document().pageBuffer());
        w.runCommand(CommandId::Paste);
        QVERIFY(bytesOf(w.document().pageBuffer()) == page);
        QVERIFY(!w.document().modified());

        w.grid()->setSelectionRect({1, 1, 1, 1});
        action(w, "PopUpCopy")->trigger();
        QVERIFY(pasteEnabled(true));
        paintNow(w);

        // The block outlives the key base: Paste waits only for a page.
        w.runCommand(CommandId::CloseFile);
        QVERIFY(pasteEnabled(false));
        f->openBase(base);
        QVERIFY(pasteEnabled(true));
        clickNode(w, w.treeModel()->index(0, 0)); // the folder: no page
        QCOMPARE(w.document().currentPage(), -1);
        QVERIFY(pasteEnabled(false));
    }

    void withoutAPageTheCommandsDoNothing() {
        MainWindow& w = f->start();
        for (CommandId id : {CommandId::Cut, CommandId::Copy, CommandId::Paste, CommandId::Clear, CommandId::SelectAll})
            w.runCommand(id);
        QVERIFY(!w.clipboard().clipboardFilled());

        f->openBase(f->writeSampleBase());
        w.grid()->setSelectionRect({1, 1, 7, 1});
        w.runCommand(CommandId::Copy);
        const QByteArray block = bytesOf(w.clipboard().clipboard().block());
        clickNode(w, w.treeModel()->index(0, 0)); // the folder: no page
        QCOMPARE(w.document().currentPage(), -1);
        w.document().setModified(false);
        const QByteArray buffer = bytesOf(w.document().pageBuffer());
        // The grid menu offers them still.
        for (const char* name : {"PopUpCut", "PopUpCopy", "PopUpClear", "PopUpSelectAll"})
            QVERIFY2(action(w, name)->isEnabled(), name);
        for (CommandId id : {CommandId::Cut, CommandId::Copy, CommandId::Paste, CommandId::Clear, CommandId::SelectAll})
            w.runCommand(id);
        QVERIFY(!w.document().modified());
        QVERIFY(bytesOf(w.document().pageBuffer()) == buffer);
        QVERIFY(bytesOf(w.clipboard().clipboard().block()) == block);
    }

    void shortcutsFromTheGridRunTheGridMenu_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("gridItem");
        QTest::addColumn<QString>("mainItem");
        QTest::addColumn<bool>("copyFirst"); // the key cell of grid row 1 copied beforehand
        QTest::addColumn<GridSelection>("selection");
        QTest::addColumn<bool>("keyStays");  // page row 0 keeps its first key
        QTest::addColumn<bool>("keyPasted"); // page row 4 gets it in key column 2
        QTest::addColumn<bool>("filled");
        QTest::addColumn<GridSelection>("selectionAfter");
        const int ctrl = Qt::ControlModifier;
        const GridSelection first{1, 1, 1, 1};
        const GridSelection target{3, 5, 3, 5};
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "PopUpCopy"
                                << "MainMenuEditCopy" << false << first << true << false << true << first;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << "PopUpCut"
                                << "MainMenuEditCut" << false << first << false << false << true << first;
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << "PopUpPaste"
                                << "MainMenuEditPaste" << true << target << true << true << true << target;
        QTest::newRow("Del") << int(Qt::Key_Delete) << 0 << "PopUpClear"
                             << "MainMenuEditClear" << false << first << false << false << false << first;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << "PopUpSelectAll"
                                << "MainMenuEditSelectAll" << false << first << true << false << false
                                << GridSelection{1, 1, 6, 500};
    }
    void shortcutsFromTheGridRunTheGridMenu() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, gridItem);
        QFETCH(QString, mainItem);
        QFETCH(bool, copyFirst);
        QFETCH(GridSelection, selection);
        QFETCH(bool, keyStays);
        QFETCH(bool, keyPasted);
        QFETCH(bool, filled);
        QFETCH(GridSelection, selectionAfter);

        MainWindow& w = f->start();
        f->openBase(f->writeSampleBase());
        const KeyCell sampleKey = w.document().pageBuffer().cell(0, 0);
        QVERIFY(IsKeyOccupied(sampleKey.type()));
        if (copyFirst) {
            w.grid()->setSelectionRect({1, 1, 1, 1});
            w.runCommand(CommandId::Copy);
        }
        w.grid()->setSelectionRect(selection);
        w.grid()->setFocus();
        QTRY_VERIFY(w.grid()->hasFocus());
        paintNow(w);
        QSignalSpy fromGrid(action(w, gridItem), &QAction::triggered);
        QSignalSpy fromMain(action(w, mainItem), &QAction::triggered);
        QSignalSpy exit(action(w, "MainMenuExit"), &QAction::triggered);

        QTest::keyClick(w.grid(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fromGrid.count(), 1);
        QCOMPARE(fromMain.count(), 0);
        QCOMPARE(exit.count(), 0);
        const KeyPage& page = w.document().pageBuffer();
        QCOMPARE(page.cell(0, 0).bytes == sampleKey.bytes, keyStays);
        QCOMPARE(page.cell(4, 2).bytes == sampleKey.bytes, keyPasted);
        QCOMPARE(w.clipboard().clipboardFilled(), filled);
        QCOMPARE(w.grid()->selectionRect(), selectionAfter);
        QCOMPARE(w.document().modified(), !keyStays || keyPasted);
    }

    void shortViewEditsOnlyTheShownRows() {
        QDir().mkpath(f->userFolder());
        BaseBuilder b;
        BaseNode* file = b.file(QStringLiteral("f"));
        KeyPage& page = b.page(file);
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.setCell(3, column, dallasCell(0x30 + quint64(column)));
        page.setComment(3, cp1251(QStringLiteral("лифт")));
        page.setComment(120, cp1251(QStringLiteral("только комментарий")));
        page.setCell(250, 5, dallasCell(0x250));
        b.select(file);
        const QString base = f->userFolder() + "/short";
        QVERIFY(b.write(base));
        const KeyPage original = page;

        MainWindow& w = f->start();
        f->openBase(base);
        action(w, "ShortViewToolButton")->trigger();
        QCOMPARE(w.gridModel()->rowCount(), 3);
        action(w, "MainMenuEditSelectAll")->trigger();
        QCOMPARE(w.grid()->selectionRect(), (GridSelection{1, 1, 6, 3}));
        action(w, "MainMenuEditCopy")->trigger();
        QCOMPARE(w.clipboard().clipboard().lastRow(), 2);
        QCOMPARE(w.clipboard().clipboard().columns(), 6);

        // The keys go and the comments stay, so page row 250 leaves the grid.
        action(w, "MainMenuEditClear")->trigger();
        QVERIFY(w.document().modified());
        QCOMPARE(w.gridModel()->rowCount(), 2);
        QCOMPARE(w.gridModel()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("120"));
        paintNow(w);

        // Pasted at grid row 2 (page row 120), the block's first row lands there; the other two
        // fall below the last shown row and are dropped.
        w.grid()->setSelectionRect({1, 2, 1, 2});
        action(w, "PopUpPaste")->trigger();
        paintNow(w);

        KeyPage expected = original;
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            expected.clearCell(3, column);
            expected.setCell(120, column, original.cell(3, column));
        }
        expected.clearCell(250, 5);
        QVERIFY(bytesOf(w.document().pageBuffer()) == bytesOf(expected));
    }

private:
    std::unique_ptr<MainWindowFixture> f;
};

QTEST_MAIN(ClipboardTest)
#include "tst_Clipboard.moc"
