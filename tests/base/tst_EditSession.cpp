// The edit path: every page and tree edit of the open document sets Modified and tells the views
// once, and a page is addressed by its number whether it is shown or not.

#include "BaseFixtures.h"

#include "base/Document.h"
#include "base/EditSession.h"
#include "base/PageFile.h"

#include <QSignalSpy>

using namespace tervane;
using namespace tervane::test;

class EditSessionTest : public QObject, private DocumentFixture {
    Q_OBJECT

private slots:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void pageEdits_data() {
        QTest::addColumn<int>("page"); // 0 is shown, 1 lives in the working page file
        QTest::addColumn<int>("edit");
        QTest::newRow("cell, page shown") << 0 << 0;
        QTest::newRow("cell, other page") << 1 << 0;
        QTest::newRow("comment, page shown") << 0 << 1;
        QTest::newRow("comment, other page") << 1 << 1;
        QTest::newRow("whole page, page shown") << 0 << 2;
        QTest::newRow("whole page, other page") << 1 << 2;
        QTest::newRow("set of cells and comments, page shown") << 0 << 3;
        QTest::newRow("set of cells and comments, other page") << 1 << 3;
    }
    void pageEdits() {
        QFETCH(int, page);
        QFETCH(int, edit);
        Document doc;
        QVERIFY(openShop(doc));
        EditSession edits(doc);
        QSignalSpy changed(&edits, &EditSession::pageChanged);
        const KeyPage shownBefore = doc.pageBuffer();

        KeyPage expected;
        QVERIFY(ReadPage(doc.workingPageFile(), page, expected));
        if (page == 0)
            expected = doc.pageBuffer();
        KeyCell cell;
        cell.setType(1);
        switch (edit) {
        case 0:
            QVERIFY(edits.setCell(page, 7, 5, cell));
            expected.setCell(7, 5, cell);
            break;
        case 1:
            QVERIFY(edits.setComment(page, 499, QByteArray(200, 'c')));
            expected.setComment(499, QByteArray(128, 'c'));
            break;
        case 2:
            expected.setComment(3, "whole");
            QVERIFY(edits.replacePage(page, expected));
            break;
        default: {
            PageEdits set;
            set.cells = {{0, 0, cell}, {499, 5, cell}, {0, 0, KeyCell()}};
            set.comments = {{0, "first"}, {12, QByteArray()}};
            QVERIFY(edits.applyEdits(page, set));
            expected.clearCell(0, 0);
            expected.setCell(499, 5, cell);
            expected.setComment(0, "first");
            expected.setComment(12, QByteArray());
        }
        }

        QVERIFY(doc.modified());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), page);
        if (page == 0) {
            QVERIFY(doc.pageBuffer() == expected);
        } else {
            KeyPage stored;
            QVERIFY(ReadPage(doc.workingPageFile(), page, stored));
            QVERIFY(stored == expected);
            QVERIFY(doc.pageBuffer() == shownBefore);
        }
    }

    // A set with a cell or row outside the page changes nothing, not even the cells before it.
    void editSetOutsideThePage() {
        Document doc;
        QVERIFY(openShop(doc));
        doc.setModified(false);
        EditSession edits(doc);
        const KeyPage before = doc.pageBuffer();
        KeyCell cell;
        cell.setType(1);
        PageEdits set;
        set.cells = {{0, 0, cell}, {0, 6, cell}};
        QVERIFY(!edits.applyEdits(0, set));
        set.cells.pop_back();
        set.comments = {{500, "x"}};
        QVERIFY(!edits.applyEdits(0, set));
        QVERIFY(doc.pageBuffer() == before);
        QVERIFY(!doc.modified());
    }

    // An unchanged comment still counts as an edit, and so does a touch.
    void editsWithoutChangeStillModify() {
        Document doc;
        QVERIFY(openShop(doc));
        EditSession edits(doc);
        QVERIFY(edits.setComment(0, 0, doc.pageBuffer().comment(0)));
        QVERIFY(doc.modified());
        doc.setModified(false);
        edits.touchPage(0);
        QVERIFY(doc.modified());
    }

    void refusedEditsChangeNothing() {
        Document doc;
        EditSession edits(doc);
        QSignalSpy changed(&edits, &EditSession::pageChanged);
        KeyCell cell;
        QVERIFY(!edits.setCell(0, 0, 0, cell)); // no document
        QVERIFY(openShop(doc));
        QVERIFY(!edits.setCell(0, 500, 0, cell));
        QVERIFY(!edits.setCell(0, 0, 6, cell));
        QVERIFY(!edits.setComment(-1, 0, "x"));
        env->prompts.answer(ButtonOk); // the page past the file's end cannot be read
        QVERIFY(!edits.setComment(7, 0, "x"));
        QCOMPARE(env->prompts.last().text, "File read error:\"" + native(doc.workingPageFile()) + "\"");
        QVERIFY(!doc.modified());
        QCOMPARE(changed.count(), 0);
    }

    void treeEdits() {
        Document doc;
        QVERIFY(openShop(doc));
        EditSession edits(doc);
        QList<QPair<BaseNode*, int>> aboutToAdd;
        connect(&edits, &EditSession::nodeAboutToBeAdded, this, [&](BaseNode* parent, int row) {
            aboutToAdd.append({parent, row});
        });
        QSignalSpy added(&edits, &EditSession::nodeAdded);
        QSignalSpy renamed(&edits, &EditSession::nodeChanged);
        QSignalSpy removed(&edits, &EditSession::nodeRemoved);
        BaseTree& tree = doc.tree();
        BaseNode* parent = tree.roots().front();
        const int childrenBefore = int(parent->children.size());

        BaseNode* node = edits.addNode(parent, "new", ImageFile, ImageFileSelected, 1);
        QVERIFY(node);
        QCOMPARE(aboutToAdd, (QList<QPair<BaseNode*, int>>{{parent, childrenBefore}}));
        QCOMPARE(added.count(), 1);
        QCOMPARE(node->parent, parent);
        QCOMPARE(node->row, childrenBefore);
        QCOMPARE(node->pageNumber, 1);
        QVERIFY(doc.modified());

        doc.setModified(false);
        edits.renameNode(node, "renamed");
        QCOMPARE(node->text, QByteArray("renamed"));
        QCOMPARE(renamed.count(), 1);
        QVERIFY(doc.modified());

        doc.setModified(false);
        const std::size_t sizeBefore = tree.size();
        edits.removeNode(node);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(tree.size(), sizeBefore - 1);
        QCOMPARE(int(parent->children.size()), childrenBefore);
        QVERIFY(doc.modified());
    }

    void attachNewPageAppendsABlankPage() {
        Document doc;
        QVERIFY(openShop(doc));
        EditSession edits(doc);
        QSignalSpy changed(&edits, &EditSession::nodeChanged);
        BaseNode* node = edits.addNode(nullptr, "new", ImageFile, ImageFileSelected, -1);
        doc.setModified(false);
        QVERIFY(edits.attachNewPage(node));
        QCOMPARE(node->pageNumber, 2);
        QCOMPARE(readFileBytes(doc.workingPageFile()), pageFileBytes(2) + QByteArray(kPage, '\0'));
        QCOMPARE(changed.count(), 1);
        QVERIFY(doc.modified());
        QCOMPARE(doc.currentPage(), 0);
    }

    // The page buffer belongs to the page shown: once an earlier page is gone, writing it back
    // must reach that page under its new number, not the page that now has its old one.
    void removalKeepsThePageShownWithItsBuffer() {
        Document doc;
        QVERIFY(openShop(doc));
        EditSession edits(doc);
        QSignalSpy aboutToRemove(&edits, &EditSession::nodeAboutToBeRemoved);
        QSignalSpy removed(&edits, &EditSession::nodeRemoved);
        doc.tree().select(nodeNamed(doc.tree(), "House 2"));
        QVERIFY(doc.SelectNode());
        QCOMPARE(doc.currentPage(), 1);
        editComment(doc, "kept with House 2");

        std::vector<std::int32_t> deleted;
        QVERIFY(edits.removeNodeWithPages(nodeNamed(doc.tree(), "House 1"), &deleted));
        QCOMPARE(deleted, std::vector<std::int32_t>{0});
        QCOMPARE(aboutToRemove.count(), 1);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(nodeNamed(doc.tree(), "House 2")->pageNumber, 0);
        QCOMPARE(doc.currentPage(), 0);
        QVERIFY(doc.FlushCurrentPage());
        const QByteArray dat = readFileBytes(doc.workingPageFile());
        QCOMPARE(dat.size(), kPage);
        QCOMPARE(commentOf(dat, 0, 0), QByteArray("page 1"));
        QCOMPARE(commentOf(dat, 0, 4), QByteArray("kept with House 2"));

        // The shown page itself going leaves no page shown.
        QVERIFY(edits.removeNodeWithPages(nodeNamed(doc.tree(), "Street")));
        QCOMPARE(doc.currentPage(), -1);
        QCOMPARE(readFileBytes(doc.workingPageFile()), QByteArray());
    }
};

QTEST_GUILESS_MAIN(EditSessionTest)
#include "tst_EditSession.moc"
