// The tree menu's commands on an open document, without widgets: where a new node goes, what its
// commit and cancel do to the tree and the working page file, and Delete with its questions, its
// pages and the page numbers of the files that stay.

#include "BaseFixtures.h"

#include "base/Document.h"
#include "base/EditSession.h"
#include "base/PageFile.h"
#include "base/TreeEditing.h"

#include <QSignalSpy>

using namespace tervane;
using namespace tervane::test;

namespace {

// Street (open): House 1 (page 0, selected), House 2 (1), Block: Flat 1 (2), Attic: Flat 2 (3);
// Yard: Shed; Gate (4) at the top level. Page n says "page n" in the comment of row 0.
const QList<NodeSpec> kStreetNodes = {
    {"Street", 0, true, 0, 0, -1}, {"House 1", 1, false, 2, 1, 0}, {"House 2", 1, false, 2, 1, 1},
    {"Block", 1, true, 0, 0, -1},  {"Flat 1", 2, false, 2, 1, 2},  {"Attic", 2, false, 0, 0, -1},
    {"Flat 2", 3, false, 2, 1, 3}, {"Yard", 0, false, 0, 0, -1},   {"Shed", 1, false, 0, 0, -1},
    {"Gate", 0, false, 2, 1, 4},
};
constexpr int kStreetPages = 5;

const QString kFolderQuestion = QStringLiteral("Filder \"%1\" contains files, to delete all contents ?");
const QString kSureQuestion = QStringLiteral("You are assured that wish to delete the selected files ?");

// The tree as "name" lines indented by level, with ":page" for files.
QStringList outline(const BaseTree& tree) {
    QStringList lines;
    int level = 0;
    for (const BaseNode* n = tree.first(); n; n = tree.next(n, level)) {
        QString line = QString(2 * level, QLatin1Char(' ')) + QString::fromLatin1(n->text);
        if (n->isFile())
            line += QLatin1Char(':') + QString::number(n->pageNumber);
        lines << line;
    }
    return lines;
}

} // namespace

class TreeEditingTest : public QObject, private DocumentFixture {
    Q_OBJECT

    std::unique_ptr<Document> doc;
    std::unique_ptr<EditSession> edits;
    std::unique_ptr<TreeEditing> editing;

    // Opens the street base; House 1's page is shown.
    void openStreet(const QList<NodeSpec>& nodes = kStreetNodes, int pages = kStreetPages) {
        QVERIFY(writeBase(shop, {directoryBytes(nodes, 1), pageFileBytes(pages)}));
        doc = std::make_unique<Document>();
        edits = std::make_unique<EditSession>(*doc);
        editing = std::make_unique<TreeEditing>(*doc, *edits);
        QVERIFY(openShop(*doc));
        QVERIFY(!doc->modified());
        env->prompts.clear(); // the open dialog
    }
    BaseNode* node(const QByteArray& name) { return name.isEmpty() ? nullptr : nodeNamed(doc->tree(), name); }
    QByteArray workingPages() { return readFileBytes(doc->workingPageFile()); }
    qint64 workingPageCount() { return pageCount(doc->workingPageFile()); }

private slots:
    void init() { setUpFixture(); }
    void cleanup() {
        editing.reset();
        edits.reset();
        doc.reset();
        tearDownFixture();
    }

    void createPlacesTheNode_data() {
        QTest::addColumn<bool>("file");
        QTest::addColumn<QByteArray>("target"); // empty: no node at the command point
        QTest::addColumn<QByteArray>("parent"); // empty: the top level
        for (const bool file : {true, false}) {
            const QByteArray kind = file ? "file" : "folder";
            QTest::newRow((kind + ", no node: last at the top level").constData())
                << file << QByteArray() << QByteArray();
            QTest::newRow((kind + " on a folder: its last child").constData())
                << file << QByteArray("Street") << QByteArray("Street");
            QTest::newRow((kind + " on a closed empty folder: opened").constData())
                << file << QByteArray("Yard") << QByteArray("Yard");
            QTest::newRow((kind + " on a file in a folder: last in that folder").constData())
                << file << QByteArray("House 2") << QByteArray("Street");
            QTest::newRow((kind + " on a file two levels down").constData())
                << file << QByteArray("Flat 2") << QByteArray("Attic");
            QTest::newRow((kind + " on a top-level file: last at the top level").constData())
                << file << QByteArray("Gate") << QByteArray();
        }
    }
    void createPlacesTheNode() {
        QFETCH(bool, file);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, parent);
        openStreet();
        BaseNode* parentNode = node(parent);
        const bool parentWasOpen = parentNode && parentNode->expanded;

        BaseNode* created = file ? editing->createFile(node(target)) : editing->createFolder(node(target));
        QVERIFY(created);
        QCOMPARE(created->parent, parentNode);
        QCOMPARE(std::size_t(created->row) + 1, doc->tree().childrenOf(parentNode).size());
        QCOMPARE(created->imageIndex, file ? int(ImageFile) : int(ImageFolder));
        QCOMPARE(created->selectedIndex, file ? int(ImageFileSelected) : int(ImageFolder));
        QCOMPARE(created->pageNumber, -1);
        QVERIFY(created->text.isEmpty());
        QCOMPARE(editing->mode(), file ? TreeEditing::Mode::NewFile : TreeEditing::Mode::NewFolder);
        QCOMPARE(editing->editedNode(), created);
        // Only a target that becomes the parent is opened.
        if (parentNode)
            QCOMPARE(parentNode->expanded, parentWasOpen || parent == target);
        // The page comes with the commit, not before.
        QCOMPARE(workingPageCount(), kStreetPages);
    }

    void commitCreatesTheNode_data() {
        QTest::addColumn<bool>("file");
        QTest::newRow("file") << true;
        QTest::newRow("folder") << false;
    }
    void commitCreatesTheNode() {
        QFETCH(bool, file);
        openStreet();
        const QByteArray shownBefore = commentOf(workingPages(), 0, 0);
        BaseNode* created = file ? editing->createFile(node("Yard")) : editing->createFolder(node("Yard"));
        QSignalSpy refreshes(editing.get(), &TreeEditing::refreshNeeded);
        editing->commit(cp1251(QStringLiteral("Подъезд 3")));

        QCOMPARE(editing->mode(), TreeEditing::Mode::None);
        QCOMPARE(created->text, cp1251(QStringLiteral("Подъезд 3")));
        QCOMPARE(doc->tree().selected(), created);
        QVERIFY(doc->modified());
        QCOMPARE(refreshes.count(), 1);
        if (file) {
            // A blank page at the end, shown at once.
            QCOMPARE(created->pageNumber, kStreetPages);
            QCOMPARE(workingPageCount(), kStreetPages + 1);
            QCOMPARE(workingPages().mid(kStreetPages * kPage), QByteArray(kPage, '\0'));
            QCOMPARE(doc->currentPage(), kStreetPages);
            QVERIFY(doc->pageBuffer().isBlank());
        } else {
            // A folder is selected without switching the page: the grid keeps House 1's page.
            QCOMPARE(created->pageNumber, -1);
            QCOMPARE(workingPageCount(), kStreetPages);
            QCOMPARE(doc->currentPage(), 0);
            QCOMPARE(doc->pageBuffer().comment(0), shownBefore);
        }
        // A second commit, as the field's focus going away after Enter, does nothing.
        editing->commit("again");
        QCOMPARE(created->text, cp1251(QStringLiteral("Подъезд 3")));
        QCOMPARE(workingPageCount(), kStreetPages + (file ? 1 : 0));
    }

    // After a grid edit on file A, creating a new file writes A's page back first.
    void createFileKeepsTheEditOfThePageShown() {
        openStreet();
        QVERIFY(edits->setComment(0, 4, "edited"));
        editing->createFile(nullptr);
        editing->commit("new");
        QCOMPARE(commentOf(workingPages(), 0, 4), QByteArray("edited"));
        QCOMPARE(doc->currentPage(), kStreetPages);
    }

    void renameCommits() {
        openStreet();
        QVERIFY(!editing->rename(nullptr));
        QCOMPARE(editing->mode(), TreeEditing::Mode::None);
        BaseNode* flat = node("Flat 1");
        QVERIFY(editing->rename(flat));
        QCOMPARE(editing->mode(), TreeEditing::Mode::Rename);
        const std::size_t before = doc->tree().size();
        // Any text goes, the empty one and a name another node has included.
        editing->commit("House 1");
        QCOMPARE(flat->text, QByteArray("House 1"));
        QCOMPARE(flat->pageNumber, 2);
        QCOMPARE(doc->tree().size(), before);
        QCOMPARE(doc->tree().selected(), flat);
        QCOMPARE(doc->currentPage(), 0); // no page switch until the next click
        QVERIFY(doc->modified());
        QVERIFY(editing->rename(flat));
        editing->commit({});
        QVERIFY(flat->text.isEmpty());
    }

    void cancelLeavesEverythingAsItWas_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("modifiedBefore");
        QTest::newRow("new file") << int(TreeEditing::Mode::NewFile) << false;
        QTest::newRow("new folder") << int(TreeEditing::Mode::NewFolder) << false;
        QTest::newRow("rename") << int(TreeEditing::Mode::Rename) << false;
        QTest::newRow("new file in a changed base") << int(TreeEditing::Mode::NewFile) << true;
    }
    void cancelLeavesEverythingAsItWas() {
        QFETCH(int, mode);
        QFETCH(bool, modifiedBefore);
        openStreet();
        doc->setModified(modifiedBefore);
        const QStringList before = outline(doc->tree());
        const QByteArray pages = workingPages();
        BaseNode* selected = doc->tree().selected();

        switch (TreeEditing::Mode(mode)) {
        case TreeEditing::Mode::NewFile:
            QVERIFY(editing->createFile(node("Block")));
            break;
        case TreeEditing::Mode::NewFolder:
            QVERIFY(editing->createFolder(node("Block")));
            break;
        default:
            QVERIFY(editing->rename(node("Block")));
        }
        editing->cancel();
        QCOMPARE(editing->mode(), TreeEditing::Mode::None);
        QCOMPARE(outline(doc->tree()), before);
        QCOMPARE(workingPages(), pages);
        QCOMPARE(doc->tree().selected(), selected);
        QCOMPARE(doc->currentPage(), 0);
        QCOMPARE(doc->modified(), modifiedBefore);
        editing->commit("late"); // the edit is over
        QCOMPARE(outline(doc->tree()), before);
    }

    void failedCommitOfANewFileRemovesIt_data() {
        QTest::addColumn<bool>("pageShown");
        // The shown page's write-back fails first; with no page shown, the append itself.
        QTest::newRow("page shown cannot be written back") << true;
        QTest::newRow("page cannot be appended") << false;
    }
    void failedCommitOfANewFileRemovesIt() {
        QFETCH(bool, pageShown);
        openStreet();
        if (!pageShown) {
            doc->tree().select(node("Yard"));
            QVERIFY(doc->SelectNode());
            QCOMPARE(doc->currentPage(), -1);
            doc->setModified(false);
        }
        const QStringList before = outline(doc->tree());
        const QByteArray pages = workingPages();
        editing->createFile(node("Street"));
        env->system.freeBytes = 0;
        env->prompts.answer(ButtonCancel);
        editing->commit("no room");

        QCOMPARE(env->prompts.shown().size(), 1);
        QVERIFY(env->prompts.last().text.startsWith("No free space on a disk "));
        QCOMPARE(outline(doc->tree()), before);
        QCOMPARE(workingPages(), pages);
        QCOMPARE(doc->currentPage(), pageShown ? 0 : -1);
        QVERIFY(doc->modified()); // a failed append still marks the base changed
        QCOMPARE(editing->mode(), TreeEditing::Mode::None);
    }

    void remove_data() {
        QTest::addColumn<QByteArray>("target");     // empty: no node at the command point
        QTest::addColumn<QByteArray>("selected");   // selected (and shown) before the delete
        QTest::addColumn<QList<int>>("answers");    // to the questions, in order
        QTest::addColumn<QStringList>("questions"); // asked, in order
        QTest::addColumn<QStringList>("after");     // the outline afterwards
        QTest::addColumn<QList<int>>("pages");      // the working pages afterwards, by former number
        QTest::addColumn<int>("shown");             // the page shown afterwards

        const QList<int> yes{ButtonYes};
        const QList<int> yesYes{ButtonYes, ButtonYes};
        const QStringList sure{kSureQuestion};
        const QStringList both{kFolderQuestion.arg("Block"), kSureQuestion};
        const QStringList whole = {"Street",    "  House 1:0",    "  House 2:1", "  Block", "    Flat 1:2",
                                   "    Attic", "      Flat 2:3", "Yard",        "  Shed",  "Gate:4"};
        const QList<int> allPages{0, 1, 2, 3, 4};

        QTest::newRow("a file: the later pages move down")
            << QByteArray("House 2") << QByteArray("House 1") << yes << sure
            << QStringList{"Street",         "  House 1:0", "  Block", "    Flat 1:1", "    Attic",
                           "      Flat 2:2", "Yard",        "  Shed",  "Gate:3"}
            << QList<int>{0, 2, 3, 4} << 0;
        QTest::newRow("a folder with files at two levels: one page each, the rest from 0")
            << QByteArray("Block") << QByteArray("House 1") << yesYes << both
            << QStringList{"Street", "  House 1:0", "  House 2:1", "Yard", "  Shed", "Gate:2"} << QList<int>{0, 1, 4}
            << 0;
        QTest::newRow("a folder of folders: the second question only")
            << QByteArray("Yard") << QByteArray("House 1") << yes << sure << whole.mid(0, 7) + whole.mid(9) << allPages
            << 0;
        QTest::newRow("the file shown: no page shown after")
            << QByteArray("House 1") << QByteArray("House 1") << yes << sure
            << QStringList{"Street",         "  House 2:0", "  Block", "    Flat 1:1", "    Attic",
                           "      Flat 2:2", "Yard",        "  Shed",  "Gate:3"}
            << QList<int>{1, 2, 3, 4} << -1;
        QTest::newRow("a file before the one shown: it shows under its new number")
            << QByteArray("House 2") << QByteArray("Flat 2") << yes << sure
            << QStringList{"Street",         "  House 1:0", "  Block", "    Flat 1:1", "    Attic",
                           "      Flat 2:2", "Yard",        "  Shed",  "Gate:3"}
            << QList<int>{0, 2, 3, 4} << 2;
        QTest::newRow("the folder holding the file shown")
            << QByteArray("Street") << QByteArray("Flat 1") << yesYes
            << QStringList{kFolderQuestion.arg("Street"), kSureQuestion} << QStringList{"Yard", "  Shed", "Gate:0"}
            << QList<int>{4} << -1;
        QTest::newRow("No to the folder question") << QByteArray("Block") << QByteArray("House 1")
                                                   << QList<int>{ButtonNo} << both.mid(0, 1) << whole << allPages << 0;
        QTest::newRow("No to the second question") << QByteArray("Block") << QByteArray("House 1")
                                                   << QList<int>{ButtonYes, ButtonNo} << both << whole << allPages << 0;
        QTest::newRow("no node at the command point")
            << QByteArray() << QByteArray("House 1") << QList<int>{} << QStringList{} << whole << allPages << 0;
    }
    void remove() {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, selected);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, after);
        QFETCH(QList<int>, pages);
        QFETCH(int, shown);
        openStreet();
        doc->tree().select(node(selected));
        QVERIFY(doc->SelectNode());
        doc->setModified(false);
        const bool deletes = after != outline(doc->tree());
        for (const int a : answers)
            env->prompts.answer(PromptButton(a));

        QCOMPARE(editing->remove(node(target)), deletes);
        QCOMPARE(env->prompts.texts(), questions);
        for (const ShownPrompt& p : env->prompts.shown()) {
            QCOMPARE(p.icon, PromptIcon::Warning);
            QCOMPARE(p.caption, QStringLiteral("Tervane"));
            QCOMPARE(p.buttons, int(ButtonYes | ButtonNo));
        }
        QCOMPARE(outline(doc->tree()), after);
        const QByteArray dat = workingPages();
        QCOMPARE(dat.size(), pages.size() * kPage);
        for (int n = 0; n < pages.size(); ++n)
            QCOMPARE(commentOf(dat, n, 0), "page " + QByteArray::number(pages[n]));
        QCOMPARE(doc->currentPage(), shown);
        if (shown >= 0)
            QCOMPARE(doc->pageBuffer().comment(0), commentOf(dat, shown, 0));
        QCOMPARE(doc->modified(), deletes);
    }

    // A directory file from a damaged writer: files without a page, two files on one page.
    void removeFromADamagedTree_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QList<int>>("pages");
        QTest::newRow("a file without a page: no page goes")
            << QByteArray("Lost") << QStringList{"Street", "  House 1:0", "  Twin:1", "  Copy:1", "Far:7"}
            << QList<int>{0, 1};
        QTest::newRow("a file whose page another file keeps: the page stays")
            << QByteArray("Copy") << QStringList{"Street", "  House 1:0", "  Lost:-1", "  Twin:1", "Far:7"}
            << QList<int>{0, 1};
        QTest::newRow("a page past the end: nothing to delete, the others keep theirs")
            << QByteArray("Far") << QStringList{"Street", "  House 1:0", "  Lost:-1", "  Twin:1", "  Copy:1"}
            << QList<int>{0, 1};
        QTest::newRow("both files of a shared page: it goes once")
            << QByteArray("Street") << QStringList{"Far:5"} << QList<int>{};
    }
    void removeFromADamagedTree() {
        QFETCH(QByteArray, target);
        QFETCH(QStringList, after);
        QFETCH(QList<int>, pages);
        openStreet({{"Street", 0, true, 0, 0, -1},
                    {"House 1", 1, false, 2, 1, 0},
                    {"Lost", 1, false, 2, 1, -1},
                    {"Twin", 1, false, 2, 1, 1},
                    {"Copy", 1, false, 2, 1, 1},
                    {"Far", 0, false, 2, 1, 7}},
                   2);
        const bool folder = target == "Street";
        env->prompts.answer(ButtonYes);
        if (folder)
            env->prompts.answer(ButtonYes);
        QVERIFY(editing->remove(node(target)));
        QCOMPARE(outline(doc->tree()), after);
        const QByteArray dat = workingPages();
        QCOMPARE(dat.size(), pages.size() * kPage);
        for (int n = 0; n < pages.size(); ++n)
            QCOMPARE(commentOf(dat, n, 0), "page " + QByteArray::number(pages[n]));
    }

    // The page file is rebuilt once for the whole folder, so it loses all of the folder's pages
    // or none: a failure leaves every node and page as it was.
    void failedDeletionChangesNothing() {
        openStreet();
        const QStringList before = outline(doc->tree());
        const QByteArray pages = workingPages();
        int rebuilds = 0;
        setDeletePageHook([&](DeletePageStep step) { rebuilds += step == DeletePageStep::RebuiltCreated; });
        env->prompts.answer(ButtonYes);
        env->prompts.answer(ButtonYes);
        env->system.freeBytes = 0;
        env->prompts.answer(ButtonCancel);
        const bool removed = editing->remove(node("Street"));
        setDeletePageHook({});
        QVERIFY(!removed);
        QCOMPARE(rebuilds, 0);
        QCOMPARE(outline(doc->tree()), before);
        QCOMPARE(workingPages(), pages);
        QCOMPARE(doc->currentPage(), 0);
        QVERIFY(!doc->modified());

        // With room, the four pages of Street go in one rebuild.
        env->system.freeBytes = qint64(1) << 40;
        env->prompts.answer(ButtonYes);
        env->prompts.answer(ButtonYes);
        setDeletePageHook([&](DeletePageStep step) { rebuilds += step == DeletePageStep::RebuiltCreated; });
        QVERIFY(editing->remove(node("Street")));
        setDeletePageHook({});
        QCOMPARE(rebuilds, 1);
        QCOMPARE(outline(doc->tree()), QStringList({"Yard", "  Shed", "Gate:0"}));
    }

    // Closing the base while a name is being typed ends the edit: its node is gone.
    void editEndsWithItsTree() {
        openStreet();
        QSignalSpy abandoned(editing.get(), &TreeEditing::editAbandoned);
        editing->createFile(node("Street"));
        env->prompts.answer(ButtonNo);
        QVERIFY(doc->CloseBase());
        QCOMPARE(abandoned.count(), 1);
        QCOMPARE(editing->mode(), TreeEditing::Mode::None);
        QVERIFY(!editing->editedNode());
        editing->commit("late");
        editing->cancel();
        QVERIFY(doc->tree().isEmpty());
    }

    void editEndsWhenItsNodeIsDeleted() {
        openStreet();
        QSignalSpy abandoned(editing.get(), &TreeEditing::editAbandoned);
        QVERIFY(editing->rename(node("Flat 2")));
        QVERIFY(edits->removeNodeWithPages(node("Block")));
        QCOMPARE(abandoned.count(), 1);
        QCOMPARE(editing->mode(), TreeEditing::Mode::None);
        editing->commit("late");
        QVERIFY(!node("late"));
    }
};

QTEST_GUILESS_MAIN(TreeEditingTest)
#include "tst_TreeEditing.moc"
