#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/FileErrors.h"

#include "TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <climits>
#include <csignal>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace tervane;

namespace {

// One node of a tree fixture, in pre-order with its level.
struct NodeSpec {
    qint32 level = 0;
    QByteArray name;
    qint32 image = ImageFolder;
    qint32 selectedImage = ImageFolder;
    qint32 page = -1;
    bool expanded = false;

    bool operator==(const NodeSpec&) const = default;
};

NodeSpec folder(qint32 level, const QByteArray& name, bool expanded = false) {
    return {level, name, ImageFolder, ImageFolder, -1, expanded};
}

NodeSpec file(qint32 level, const QByteArray& name, qint32 page) {
    return {level, name, ImageFile, ImageFileSelected, page, false};
}

} // namespace

Q_DECLARE_METATYPE(NodeSpec)

namespace {

void appendInt32(QByteArray& out, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A record written out field by field, so the tests do not lean on DirectoryRecord.
// area: the 255 name bytes as they should stand (padded with zeros).
QByteArray rawRecord(quint8 length, const QByteArray& area, qint32 level, quint8 expanded, qint32 image,
                     qint32 selectedImage, qint32 page) {
    QByteArray out;
    out.append(char(length));
    out.append(area.left(255));
    out.append(QByteArray(255 - qMin<qsizetype>(area.size(), 255), '\0'));
    appendInt32(out, level);
    out.append(char(expanded));
    appendInt32(out, image);
    appendInt32(out, selectedImage);
    appendInt32(out, page);
    Q_ASSERT(out.size() == 273);
    return out;
}

QByteArray header(qint32 selected, qint32 version = 100, const QByteArray& name = "Data Base") {
    return rawRecord(quint8(name.size()), name, version, 0, selected, 0, 0);
}

QByteArray nodeRecord(const NodeSpec& n) {
    return rawRecord(quint8(n.name.size()), n.name, n.level, n.expanded ? 1 : 0, n.image, n.selectedImage, n.page);
}

QByteArray directoryBytes(const QList<NodeSpec>& nodes, qint32 selected) {
    QByteArray out = header(selected);
    for (const NodeSpec& n : nodes)
        out += nodeRecord(n);
    return out;
}

// Builds a tree from a sound pre-order list (each level at most one deeper than the one before).
void buildTree(BaseTree& tree, const QList<NodeSpec>& nodes, int selectedPosition) {
    std::vector<BaseNode*> chain;
    for (int i = 0; i < nodes.size(); ++i) {
        const NodeSpec& spec = nodes[i];
        chain.resize(std::size_t(spec.level));
        BaseNode* node = tree.addChild(chain.empty() ? nullptr : chain.back());
        node->text = spec.name;
        node->imageIndex = spec.image;
        node->selectedIndex = spec.selectedImage;
        node->pageNumber = spec.page;
        node->expanded = spec.expanded;
        chain.push_back(node);
        if (i == selectedPosition)
            tree.select(node);
    }
}

// The tree in pre-order with levels, read through the child lists alone; also checks that every
// node's parent and row agree with the lists it sits in.
QList<NodeSpec> describe(const BaseTree& tree, int* selectedPosition = nullptr) {
    QList<NodeSpec> out;
    if (selectedPosition)
        *selectedPosition = -1;
    struct Frame {
        const std::vector<BaseNode*>* list;
        const BaseNode* parent;
        std::size_t next;
    };
    std::vector<Frame> stack{{&tree.roots(), nullptr, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.list->size()) {
            stack.pop_back();
            continue;
        }
        const std::size_t row = top.next++;
        const BaseNode* n = (*top.list)[row];
        if (n->parent != top.parent || n->row != int(row))
            qWarning("broken links at %s", n->text.constData());
        if (n == tree.selected() && selectedPosition)
            *selectedPosition = int(out.size());
        out.append({qint32(stack.size() - 1), n->text, n->imageIndex, n->selectedIndex, n->pageNumber, n->expanded});
        if (!n->children.empty())
            stack.push_back({&n->children, n, 0});
    }
    return out;
}

// "A(B(C),D),E": the shape of a tree by its names.
QString outline(const BaseTree& tree) {
    QString out;
    int previousLevel = -1;
    for (const NodeSpec& n : describe(tree)) {
        if (n.level > previousLevel && previousLevel >= 0)
            out += '(';
        for (int l = previousLevel; l > n.level; --l)
            out += ')';
        if (n.level <= previousLevel)
            out += ',';
        out += QString::fromLatin1(n.name);
        previousLevel = n.level;
    }
    for (; previousLevel > 0; --previousLevel)
        out += ')';
    return out;
}

QList<NodeSpec> folderAWithFileB() {
    return {folder(0, "A", true), file(1, "B", 0)};
}

} // namespace

class tst_DirectoryFile : public QObject {
    Q_OBJECT

private slots:
    void saveBuildsRecordsInOneBuffer_data();
    void saveBuildsRecordsInOneBuffer();
    void roundTripKeepsTreeAndBytes_data();
    void roundTripKeepsTreeAndBytes();
    void levelsBuildTheTree_data();
    void levelsBuildTheTree();
    void levelJumpDescribesPreviousNode_data();
    void levelJumpDescribesPreviousNode();
    void selectionIsRestored_data();
    void selectionIsRestored();
    void badFilesAreReported_data();
    void badFilesAreReported();
    void unopenableFileIsAnOpenError_data();
    void unopenableFileIsAnOpenError();
    void saveFailuresAreReported_data();
    void saveFailuresAreReported();
    void saveWriteFailureKeepsOldFile();
    void saveAsksForRoomForEveryRecord();
    void deepChainLoadsSavesAndFrees();
    void treeEditingKeepsLinks();
};

void tst_DirectoryFile::saveBuildsRecordsInOneBuffer_data() {
    QTest::addColumn<QList<NodeSpec>>("nodes");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty tree") << QList<NodeSpec>{} << -1 << header(-1);
    // The header's signature stays behind the one-letter name.
    QTest::newRow("one node after the header")
        << QList<NodeSpec>{folder(0, "A")} << -1 << header(-1) + rawRecord(1, "Aata Base", 0, 0, 0, 0, -1);
    QTest::newRow("long then short name")
        << QList<NodeSpec>{folder(0, "Folder one"), file(1, "xy", 0)} << -1
        << header(-1) + rawRecord(10, "Folder one", 0, 0, 0, 0, -1) + rawRecord(2, "xylder one", 1, 0, 2, 1, 0);
    QTest::newRow("folder A with file B, B selected")
        << folderAWithFileB() << 1
        << header(1) + rawRecord(1, "Aata Base", 0, 1, 0, 0, -1) + rawRecord(1, "Bata Base", 1, 0, 2, 1, 0);

    QByteArray longName;
    for (int i = 0; i < 300; ++i)
        longName.append(char('a' + i % 26));
    QTest::newRow("name of 300 characters")
        << QList<NodeSpec>{file(0, longName, 4)} << 0 << header(0) + rawRecord(255, longName.left(255), 0, 0, 2, 1, 4);
}

void tst_DirectoryFile::saveBuildsRecordsInOneBuffer() {
    QFETCH(QList<NodeSpec>, nodes);
    QFETCH(int, selected);
    QFETCH(QByteArray, expected);
    test::TestEnvironment env;
    BaseTree tree;
    buildTree(tree, nodes, selected);
    const QString path = env.paths.root() + "/base.dir";

    QVERIFY(SaveDirectory(path, tree));
    const QByteArray bytes = test::readFileBytes(path);
    QCOMPARE(bytes.size(), expected.size());
    for (int i = 0; i < bytes.size(); i += 273)
        QCOMPARE(bytes.mid(i, 273).toHex(' '), expected.mid(i, 273).toHex(' '));
    QVERIFY(env.prompts.shown().isEmpty());
}

void tst_DirectoryFile::roundTripKeepsTreeAndBytes_data() {
    QTest::addColumn<QList<NodeSpec>>("nodes");
    QTest::addColumn<int>("selected");

    QTest::newRow("folder A with file B") << folderAWithFileB() << 1;
    QTest::newRow("nothing selected") << folderAWithFileB() << -1;
    QTest::newRow("mixed tree") << QList<NodeSpec>{folder(0, test::cp1251("Дом 1"), true),
                                                   file(1, test::cp1251("Подъезд 1"), 2),
                                                   folder(1, test::cp1251("Корпус 2"), true),
                                                   file(2, "x", 0),
                                                   folder(2, "", false),
                                                   folder(0, "Empty"),
                                                   file(0, "", 1),
                                                   folder(0, "expanded leaf", true)}
                                << 3;
}

void tst_DirectoryFile::roundTripKeepsTreeAndBytes() {
    QFETCH(QList<NodeSpec>, nodes);
    QFETCH(int, selected);
    test::TestEnvironment env;
    const QString first = env.paths.root() + "/first.dir";
    const QString second = env.paths.root() + "/second.dir";
    {
        BaseTree tree;
        buildTree(tree, nodes, selected);
        QVERIFY(SaveDirectory(first, tree));
    }

    BaseTree loaded;
    QVERIFY(LoadDirectory(first, loaded));
    int loadedSelection = -2;
    QCOMPARE(describe(loaded, &loadedSelection), nodes);
    QCOMPARE(loadedSelection, selected);
    QCOMPARE(loaded.size(), std::size_t(nodes.size()));

    // Saving what was loaded writes the same bytes, stale name bytes included, to a file or to
    // memory.
    QVERIFY(SaveDirectory(second, loaded));
    QCOMPARE(test::readFileBytes(second), test::readFileBytes(first));
    QByteArray inMemory;
    QBuffer buffer(&inMemory);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && SaveDirectory(buffer, loaded));
    QCOMPARE(inMemory, test::readFileBytes(first));
    QVERIFY(env.prompts.shown().isEmpty());
}

void tst_DirectoryFile::levelsBuildTheTree_data() {
    QTest::addColumn<QList<qint32>>("levels");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0 1 2 1 0") << QList<qint32>{0, 1, 2, 1, 0} << "A(B(C),D),E";
    QTest::newRow("siblings") << QList<qint32>{0, 0, 0} << "A,B,C";
    // The first node's level in the tree is 0, whatever its record said.
    QTest::newRow("first record at level 3") << QList<qint32>{3, 1, 0} << "A(B),C";
    QTest::newRow("first record deep, next as deep") << QList<qint32>{5, 5, 1} << "A(C)";
    QTest::newRow("back to the top from deep") << QList<qint32>{0, 1, 2, 3, 0} << "A(B(C(D))),E";
    QTest::newRow("back up two levels") << QList<qint32>{0, 1, 2, 3, 1} << "A(B(C(D)),E)";
    QTest::newRow("negative levels go to the top") << QList<qint32>{0, 1, -1, 0, 1, INT_MIN} << "A(B),C,D(E),F";
    QTest::newRow("negative first record") << QList<qint32>{-5, 0, 1} << "A,B(C)";
    QTest::newRow("jump adds no node") << QList<qint32>{0, 2, 1} << "A(C)";
    QTest::newRow("jump to INT_MAX") << QList<qint32>{0, 1, INT_MAX, 2, 0} << "A(B(D)),E";
}

void tst_DirectoryFile::levelsBuildTheTree() {
    QFETCH(QList<qint32>, levels);
    QFETCH(QString, expected);
    test::TestEnvironment env;
    QList<NodeSpec> nodes;
    for (int i = 0; i < levels.size(); ++i)
        nodes.append(folder(levels[i], QByteArray(1, char('A' + i))));
    const QString path = env.paths.root() + "/levels.dir";
    QVERIFY(test::writeFileBytes(path, directoryBytes(nodes, -1)));

    BaseTree tree;
    QVERIFY(LoadDirectory(path, tree));
    QCOMPARE(outline(tree), expected);
    QCOMPARE(tree.size(), std::size_t(describe(tree).size()));
}

void tst_DirectoryFile::levelJumpDescribesPreviousNode_data() {
    QTest::addColumn<QList<NodeSpec>>("records");
    QTest::addColumn<NodeSpec>("firstNode");

    // An older writer's damaged file: the deep record carries the icons and page of the node
    // before it.
    QTest::newRow("folder takes a file's icons and page")
        << QList<NodeSpec>{folder(0, "A"), {2, "lost", ImageFile, ImageFileSelected, 7, true}, folder(1, "C")}
        << NodeSpec{0, "A", ImageFile, ImageFileSelected, 7, true};
    QTest::newRow("no page keeps the page")
        << QList<NodeSpec>{file(0, "A", 3), {9, "lost", ImageFolder, ImageFolder, -1, false}}
        << NodeSpec{0, "A", ImageFolder, ImageFolder, 3, false};
}

void tst_DirectoryFile::levelJumpDescribesPreviousNode() {
    QFETCH(QList<NodeSpec>, records);
    QFETCH(NodeSpec, firstNode);
    test::TestEnvironment env;
    const QString path = env.paths.root() + "/jump.dir";
    QVERIFY(test::writeFileBytes(path, directoryBytes(records, -1)));

    BaseTree tree;
    QVERIFY(LoadDirectory(path, tree));
    const QList<NodeSpec> loaded = describe(tree);
    QCOMPARE(loaded.size(), records.size() - 1);
    QCOMPARE(loaded.first(), firstNode);
    QVERIFY(env.prompts.shown().isEmpty());
}

void tst_DirectoryFile::selectionIsRestored_data() {
    QTest::addColumn<QList<qint32>>("levels");
    QTest::addColumn<qint32>("position");
    QTest::addColumn<QString>("expected");

    const QList<qint32> abc{0, 1, 0}; // A(B),C
    QTest::newRow("none") << abc << -1 << "";
    QTest::newRow("first") << abc << 0 << "A";
    QTest::newRow("child") << abc << 1 << "B";
    QTest::newRow("last") << abc << 2 << "C";
    QTest::newRow("one past the end") << abc << 3 << "";
    QTest::newRow("INT_MAX") << abc << INT_MAX << "";
    QTest::newRow("INT_MIN") << abc << INT_MIN << "";
    // Positions count nodes, not records: the skipped record moves C to position 1.
    QTest::newRow("after a level jump") << QList<qint32>{0, 2, 1} << 1 << "C";
}

void tst_DirectoryFile::selectionIsRestored() {
    QFETCH(QList<qint32>, levels);
    QFETCH(qint32, position);
    QFETCH(QString, expected);
    test::TestEnvironment env;
    QList<NodeSpec> nodes;
    for (int i = 0; i < levels.size(); ++i)
        nodes.append(file(levels[i], QByteArray(1, char('A' + i)), i));
    const QString path = env.paths.root() + "/selection.dir";
    QVERIFY(test::writeFileBytes(path, directoryBytes(nodes, position)));

    BaseTree tree;
    QVERIFY(LoadDirectory(path, tree));
    QCOMPARE(tree.selected() ? QString::fromLatin1(tree.selected()->text) : QString(), expected);
}

void tst_DirectoryFile::badFilesAreReported_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code"); // 0: loads
    QTest::addColumn<int>("nodes");

    const QByteArray oneNode = nodeRecord(folder(0, "A"));
    QTest::newRow("empty file") << QByteArray() << -1 << 0;
    QTest::newRow("272 bytes") << header(-1).left(272) << -1 << 0;
    QTest::newRow("version 101") << header(-1, 101) + oneNode << -7 << 0;
    QTest::newRow("version 101, foreign name") << header(-1, 101, "Something") << -7 << 0;
    QTest::newRow("zeros") << QByteArray(273 * 3, '\0') << -7 << 0;
    QTest::newRow("signature in other case") << header(-1, 100, "Data base") + oneNode << -8 << 0;
    QTest::newRow("signature and one more") << header(-1, 100, "Data Base!") << -8 << 0;
    QTest::newRow("signature cut short") << header(-1, 100, "Data Bas") << -8 << 0;
    QTest::newRow("header alone") << header(-1) << 0 << 0;
    QTest::newRow("header alone, selection out of range") << header(0) << 0 << 0;
    QTest::newRow("short final record ignored") << header(-1) + oneNode + oneNode.left(272) << 0 << 1;

    QByteArray stale = header(-1);
    stale.replace(10, 5, "junk!");
    QTest::newRow("bytes after the signature ignored") << stale + oneNode << 0 << 1;
}

void tst_DirectoryFile::badFilesAreReported() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QFETCH(int, nodes);
    test::TestEnvironment env;
    const QString path = env.paths.root() + "/bad.dir";
    QVERIFY(test::writeFileBytes(path, bytes));
    if (code != 0)
        env.prompts.answer(ButtonOk);

    BaseTree tree;
    QCOMPARE(LoadDirectory(path, tree), code == 0);
    QCOMPARE(tree.size(), std::size_t(nodes));
    if (code != 0) {
        QCOMPARE(env.prompts.texts(), QStringList{fileErrorText(code, path)});
        QCOMPARE(env.prompts.last().icon, PromptIcon::Error);
    } else {
        QVERIFY(env.prompts.shown().isEmpty());
    }

    // The same bytes from a buffer, behind a record's worth of something else that the reader
    // must not count: the same verdict, and a message that names what the caller called them.
    env.prompts.clear();
    if (code != 0)
        env.prompts.answer(ButtonOk);
    QBuffer buffer;
    buffer.setData(QByteArray(273, 'x') + bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly) && buffer.seek(273));
    BaseTree fromBuffer;
    QCOMPARE(LoadDirectory(buffer, "pasted", fromBuffer), code == 0);
    QCOMPARE(describe(fromBuffer), describe(tree));
    QCOMPARE(env.prompts.texts(), code != 0 ? QStringList{fileErrorText(code, "pasted")} : QStringList());
}

void tst_DirectoryFile::unopenableFileIsAnOpenError_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "missing.dir";
    QTest::newRow("a folder") << "folder.dir";
}

void tst_DirectoryFile::unopenableFileIsAnOpenError() {
    QFETCH(QString, name);
    test::TestEnvironment env;
    QVERIFY(QDir(env.paths.root()).mkdir("folder.dir"));
    const QString path = env.paths.root() + "/" + name;
    env.prompts.answer(ButtonOk);

    BaseTree tree;
    QVERIFY(!LoadDirectory(path, tree));
    QCOMPARE(env.prompts.texts(), QStringList{fileErrorText(FileErrorOpen, path)});
}

void tst_DirectoryFile::saveFailuresAreReported_data() {
    QTest::addColumn<QString>("path"); // relative to the test folder unless absolute
    QTest::addColumn<int>("code");

    QTest::newRow("missing folder") << "no/such/folder/base.dir" << int(FileErrorOpen);
    QTest::newRow("a folder") << "folder.dir" << int(FileErrorOpen);
}

void tst_DirectoryFile::saveFailuresAreReported() {
    QFETCH(QString, path);
    QFETCH(int, code);
    test::TestEnvironment env;
    QVERIFY(QDir(env.paths.root()).mkdir("folder.dir"));
    if (!QDir::isAbsolutePath(path))
        path = env.paths.root() + "/" + path;
    BaseTree tree;
    buildTree(tree, folderAWithFileB(), 1);
    env.prompts.answer(ButtonOk);

    QVERIFY(!SaveDirectory(path, tree));
    QCOMPARE(env.prompts.texts(), QStringList{fileErrorText(code, path)});
}

void tst_DirectoryFile::saveWriteFailureKeepsOldFile() {
#ifdef Q_OS_UNIX
    test::TestEnvironment env;
    const QString path = env.paths.root() + "/base.dir";
    QVERIFY(test::writeFileBytes(path, "old"));
    BaseTree tree;
    buildTree(tree, folderAWithFileB(), 1);
    env.prompts.answer(ButtonOk);

    // A file size limit below three records makes the write fail as a full disk would.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 500;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const bool saved1 = SaveDirectory(path, tree);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved1);
    QCOMPARE(env.prompts.texts(), QStringList{fileErrorText(FileErrorWrite, path)});
    QCOMPARE(test::readFileBytes(path), QByteArray("old"));
    QCOMPARE(QDir(env.paths.root()).entryList(QDir::Files), QStringList{"base.dir"});
#else
    QSKIP("needs a file size limit");
#endif
}

void tst_DirectoryFile::saveAsksForRoomForEveryRecord() {
    test::TestEnvironment env;
    const QString path = env.paths.root() + "/base.dir";
    QVERIFY(test::writeFileBytes(path, "old"));
    BaseTree tree;
    buildTree(tree, folderAWithFileB(), -1);

    // Three records: exactly their size is not room enough.
    env.system.freeBytes = 3 * 273;
    env.prompts.answer(ButtonCancel);
    QVERIFY(!SaveDirectory(path, tree));
    QCOMPARE(env.prompts.shown().size(), 1);
    QCOMPARE(env.prompts.last().icon, PromptIcon::Warning);
    QCOMPARE(test::readFileBytes(path), QByteArray("old"));

    env.prompts.clear();
    env.system.freeBytes = 3 * 273 + 1;
    QVERIFY(SaveDirectory(path, tree));
    QVERIFY(env.prompts.shown().isEmpty());
    QCOMPARE(test::readFileBytes(path).size(), 3 * 273);
}

void tst_DirectoryFile::deepChainLoadsSavesAndFrees() {
    constexpr int kDepth = 100000;
    test::TestEnvironment env;
    QByteArray bytes = header(kDepth - 1);
    bytes.reserve(273 * (kDepth + 1));
    // As the writer leaves them: the header's signature behind each one-letter name.
    for (int level = 0; level < kDepth; ++level)
        bytes += rawRecord(1, "nata Base", level, 1, ImageFolder, ImageFolder, -1);
    const QString path = env.paths.root() + "/deep.dir";
    const QString resaved = env.paths.root() + "/resaved.dir";
    QVERIFY(test::writeFileBytes(path, bytes));

    // On a small stack, so that anything recursing over the chain would fail here.
    struct Results {
        bool loaded = false;
        std::size_t size = 0;
        int selectedDepth = -1;
        int selectedPosition = -1;
        bool nodeAtSelected = false;
        bool saved = false;
        std::size_t sizeAfterRemove = 0;
        bool selectionDropped = false;
    } r;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        auto tree = std::make_unique<BaseTree>();
        r.loaded = LoadDirectory(path, *tree);
        r.size = tree->size();
        r.selectedDepth = BaseTree::depth(tree->selected());
        r.selectedPosition = tree->absolutePosition(tree->selected());
        r.nodeAtSelected = tree->selected() && tree->nodeAt(kDepth - 1) == tree->selected();
        r.saved = SaveDirectory(resaved, *tree);
        // Removing the middle of the chain drops the selection below it.
        tree->remove(tree->nodeAt(kDepth / 2));
        r.sizeAfterRemove = tree->size();
        r.selectionDropped = !tree->selected();
        tree.reset();
    }));
    thread->setStackSize(256 * 1024);
    thread->start();
    QVERIFY(thread->wait(60000));

    QVERIFY(r.loaded);
    QCOMPARE(r.size, std::size_t(kDepth));
    QCOMPARE(r.selectedDepth, kDepth - 1);
    QCOMPARE(r.selectedPosition, kDepth - 1);
    QVERIFY(r.nodeAtSelected);
    QVERIFY(r.saved);
    QVERIFY(test::readFileBytes(resaved) == bytes);
    QCOMPARE(r.sizeAfterRemove, std::size_t(kDepth / 2));
    QVERIFY(r.selectionDropped);
}

void tst_DirectoryFile::treeEditingKeepsLinks() {
    BaseTree tree;
    // A(B,C,D),E
    buildTree(tree, {folder(0, "A"), folder(1, "B"), file(1, "C", 0), folder(1, "D"), folder(0, "E")}, 2);
    BaseNode* a = tree.roots()[0];
    BaseNode* b = a->children[0];
    BaseNode* c = a->children[1];

    QStringList order;
    int position = 0;
    for (BaseNode* n = tree.first(); n; n = tree.next(n), ++position) {
        order << QString::fromLatin1(n->text);
        QCOMPARE(tree.absolutePosition(n), position);
        QCOMPARE(tree.nodeAt(position), n);
    }
    QCOMPARE(order, QStringList({"A", "B", "C", "D", "E"}));
    QCOMPARE(tree.nodeAt(5), nullptr);
    QCOMPARE(tree.nodeAt(-1), nullptr);

    tree.remove(b);
    QCOMPARE(outline(tree), "A(C,D),E");
    QCOMPARE(tree.size(), std::size_t(4));
    QCOMPARE(tree.selected(), c); // outside the removed subtree

    tree.remove(a);
    QCOMPARE(outline(tree), "E");
    QCOMPARE(tree.roots()[0]->row, 0);
    QCOMPARE(tree.size(), std::size_t(1));
    QCOMPARE(tree.selected(), nullptr);

    BaseNode* f = tree.addChild(tree.roots()[0]);
    f->text = "F";
    QCOMPARE(outline(tree), "E(F)");
    tree.clear();
    QVERIFY(tree.isEmpty());
    QCOMPARE(tree.size(), std::size_t(0));
}

QTEST_GUILESS_MAIN(tst_DirectoryFile)
#include "tst_DirectoryFile.moc"
