// The edit history's steps: every kind of edit, recorded while it is made, undone in reverse
// gives back the page bytes and the tree exactly as they were, and redone gives the result again.

#include "BaseFixtures.h"

#include "base/Document.h"
#include "base/EditSession.h"
#include "base/PageFile.h"
#include "base/TreeEditing.h"

#include <functional>

using namespace tervane;
using namespace tervane::test;

namespace {

// What a step must restore: every page as the document holds it (the page shown from its buffer),
// and every node with its place and fields. The selection and the folders' expanded state are
// the view's, not the history's.
struct DocumentState {
    QByteArray pages;
    QList<QByteArray> nodes;
    bool operator==(const DocumentState&) const = default;
};

DocumentState stateOf(Document& doc) {
    DocumentState state;
    state.pages = readFileBytes(doc.workingPageFile());
    const int shown = doc.currentPage();
    if (shown >= 0 && qint64(shown + 1) * kPage <= state.pages.size())
        state.pages.replace(shown * kPage, kPage,
                            QByteArray(reinterpret_cast<const char*>(doc.pageBuffer().data()), kPage));
    BaseTree& tree = doc.tree();
    int depth = 0;
    for (BaseNode* n = tree.first(); n; n = tree.next(n, depth))
        state.nodes << QByteArray::number(depth) + ' ' + n->text + ' ' + QByteArray::number(n->imageIndex) + ' ' +
                           QByteArray::number(n->selectedIndex) + ' ' + QByteArray::number(n->pageNumber);
    return state;
}

KeyCell dallas(int tag) {
    KeyCell cell;
    cell.setType(1);
    cell.bytes[2] = std::uint8_t(tag);
    return cell;
}

// One user action on the open shop base, through the edit session as the editor makes it.
using Action = std::function<bool(Document&, EditSession&, TreeEditing&)>;

Action cell(int page, int row, int column, int tag) {
    return [=](Document&, EditSession& e, TreeEditing&) { return e.setCell(page, row, column, dallas(tag)); };
}
Action comment(int page, int row, const QByteArray& text) {
    return [=](Document&, EditSession& e, TreeEditing&) { return e.setComment(page, row, text); };
}
Action wholePage(int page) {
    return [=](Document&, EditSession& e, TreeEditing&) {
        KeyPage content;
        for (int row = 0; row < KeyPage::kRows; ++row) {
            content.setCell(row, row % KeyPage::kKeyColumns, dallas(row));
            content.setComment(row, "pasted " + QByteArray::number(row));
        }
        return e.replacePage(page, content);
    };
}
Action someCells(int page) {
    return [=](Document&, EditSession& e, TreeEditing&) {
        PageEdits set;
        set.cells = {{0, 0, KeyCell()}, {499, 5, dallas(9)}};
        set.comments = {{0, QByteArray()}, {250, "imported"}};
        return e.applyEdits(page, set);
    };
}
Action touch(int page) {
    return [=](Document&, EditSession& e, TreeEditing&) {
        e.touchPage(page);
        return true;
    };
}
Action createNode(const QByteArray& target, const QByteArray& name, bool file) {
    return [=](Document& d, EditSession&, TreeEditing& t) {
        BaseNode* at = nodeNamed(d.tree(), target);
        if (!(file ? t.createFile(at) : t.createFolder(at)))
            return false;
        t.commit(name);
        return nodeNamed(d.tree(), name) != nullptr;
    };
}
Action renameTo(const QByteArray& from, const QByteArray& to) {
    return [=](Document& d, EditSession&, TreeEditing& t) {
        if (!t.rename(nodeNamed(d.tree(), from)))
            return false;
        t.commit(to);
        return true;
    };
}
Action deleteWithPages(const QByteArray& name) {
    return [=](Document& d, EditSession& e, TreeEditing&) {
        // The tree's Delete command writes the page shown back first.
        return d.FlushCurrentPage() && e.removeNodeWithPages(nodeNamed(d.tree(), name));
    };
}

// The shop base open with its edits recorded: the steps in the order they came.
struct Recorder {
    Document doc;
    EditSession edits{doc};
    TreeEditing tree{doc, edits};
    std::vector<std::shared_ptr<const EditStep>> steps;

    Recorder() {
        edits.setRecording(true);
        QObject::connect(&edits, &EditSession::stepRecorded,
                         [this](std::shared_ptr<const EditStep> step) { steps.push_back(std::move(step)); });
    }
};

} // namespace

class EditHistoryTest : public QObject, private DocumentFixture {
    Q_OBJECT

private slots:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void undoAllRedoAll_data() {
        QTest::addColumn<QList<Action>>("actions");
        QTest::newRow("a key on the page shown") << QList<Action>{cell(0, 7, 5, 1)};
        QTest::newRow("a comment on another page") << QList<Action>{comment(1, 0, "typed")};
        QTest::newRow("whole pages, shown and not") << QList<Action>{wholePage(0), wholePage(1)};
        QTest::newRow("an import's cells and comments") << QList<Action>{someCells(1), someCells(0)};
        QTest::newRow("an edit that changed no byte") << QList<Action>{touch(0)};
        QTest::newRow("the same cell again and again")
            << QList<Action>{cell(0, 0, 0, 1), cell(0, 0, 0, 2), comment(0, 0, "x"), cell(0, 0, 0, 3)};
        QTest::newRow("a new file, then keys on its page")
            << QList<Action>{createNode("Street", "House 3", true), cell(2, 1, 1, 4), comment(0, 2, "old page")};
        QTest::newRow("a new folder and a file in it")
            << QList<Action>{createNode("Yard", "Shed", false), createNode("Shed", "Box", true)};
        QTest::newRow("renames") << QList<Action>{renameTo("House 2", "House Two"), renameTo("Yard", "")};
        QTest::newRow("a file deleted, its page with it")
            << QList<Action>{cell(1, 9, 0, 5), deleteWithPages("House 1"), comment(0, 1, "moved down")};
        QTest::newRow("a folder deleted with its files and pages") << QList<Action>{
            createNode("Yard", "Gate", true), cell(0, 3, 3, 6), deleteWithPages("Street"), cell(0, 4, 4, 7)};
        QTest::newRow("everything in a row") << QList<Action>{wholePage(0),
                                                              createNode(QByteArray(), "Top", true),
                                                              renameTo("Top", "Top file"),
                                                              comment(2, 0, "on the new page"),
                                                              deleteWithPages("House 2"),
                                                              createNode("Street", "House 4", true),
                                                              deleteWithPages("Yard"),
                                                              someCells(0)};
    }
    void undoAllRedoAll() {
        QFETCH(QList<Action>, actions);
        Recorder r;
        QVERIFY(openShop(r.doc));
        auto& [doc, edits, tree, steps] = r;

        const DocumentState start = stateOf(doc);
        for (const Action& act : actions) {
            const std::size_t before = steps.size();
            QVERIFY(act(doc, edits, tree));
            QCOMPARE(steps.size(), before + 1); // one action, one step
        }
        const DocumentState end = stateOf(doc);

        for (int round = 0; round < 2; ++round) {
            for (auto it = steps.rbegin(); it != steps.rend(); ++it)
                QVERIFY(edits.undo(**it));
            QCOMPARE(stateOf(doc), start);
            for (const auto& step : steps)
                QVERIFY(edits.redo(*step));
            QCOMPARE(stateOf(doc), end);
        }
        QCOMPARE(steps.size(), std::size_t(actions.size())); // replaying records nothing
    }

    // Page edits keep only the rows they changed; a deleted file keeps its whole page.
    void stepsHoldWhatTheyNeed() {
        Recorder r;
        QVERIFY(openShop(r.doc));
        auto& [doc, edits, tree, steps] = r;
        QVERIFY(edits.setCell(0, 7, 5, dallas(1)));
        QVERIFY(wholePage(1)(doc, edits, tree));
        QVERIFY(doc.FlushCurrentPage());
        QVERIFY(edits.removeNodeWithPages(nodeNamed(doc.tree(), "House 2")));
        QCOMPARE(steps.size(), std::size_t(3));
        const auto& one = std::get<EditStep::PageRows>(steps[0]->changes.at(0));
        QCOMPARE(one.rows.size(), std::size_t(1));
        QCOMPARE(one.rows[0].row, 7);
        QVERIFY(steps[0]->bytes() < 1024);
        QCOMPARE(std::get<EditStep::PageRows>(steps[1]->changes.at(0)).rows.size(), std::size_t(500));
        QVERIFY(steps[2]->bytes() > std::size_t(kPage));
    }

    // Steps nest: the outermost names them, and a step that changed nothing is no step.
    void nestedStepsMakeOne() {
        Recorder r;
        QVERIFY(openShop(r.doc));
        auto& [doc, edits, tree, steps] = r;
        {
            EditSession::Step outer(edits, "Read keys");
            {
                EditSession::Step inner(edits, "Edit key");
                QVERIFY(edits.setCell(0, 0, 0, dallas(1)));
            }
            QVERIFY(edits.setCell(0, 1, 0, dallas(2)));
            QVERIFY(steps.empty());
        }
        { EditSession::Step nothing(edits, "Copy"); }
        QCOMPARE(steps.size(), std::size_t(1));
        QCOMPARE(steps[0]->name, QStringLiteral("Read keys"));
        QCOMPARE(steps[0]->changes.size(), std::size_t(2));
    }

    // A new node whose name is cancelled leaves no step; a new file whose page cannot be appended
    // leaves none either.
    void cancelledCreateLeavesNoStep() {
        Recorder r;
        QVERIFY(openShop(r.doc));
        auto& [doc, edits, tree, steps] = r;
        QVERIFY(tree.createFile(nodeNamed(doc.tree(), "Street")));
        tree.cancel();
        QVERIFY(steps.empty());

        QVERIFY(tree.createFile(nodeNamed(doc.tree(), "Street")));
        QVERIFY(QFile::remove(doc.workingPageFile()));
        QVERIFY(QDir().mkdir(doc.workingPageFile())); // no page can be appended now
        env->prompts.answer(ButtonOk);
        tree.commit("No page");
        QVERIFY(steps.empty());
        QVERIFY(!nodeNamed(doc.tree(), "No page"));
        QVERIFY(QDir().rmdir(doc.workingPageFile()));
    }
};

QTEST_GUILESS_MAIN(EditHistoryTest)
#include "tst_EditHistory.moc"
