// tervane-cli's edits of the tree, run as a script runs them: mkfile, mkdir, rename and rm, their
// JSON, the base they leave (each file still on its own keys), and their usage and file errors,
// after which the base is as it was.

#include "CliRun.h"
#include "FileModes.h"
#include "TestEnvironment.h"

#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/FileLock.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tervane;
using test::CliRun;
using test::cp1251;
using test::finishCli;
using test::readFileBytes;

namespace {

constexpr qint64 kPage = KeyPage::kSize;

// The tree as lines indented by level: "+" after an open folder, ":page" after a file.
QStringList outline(const QString& base) {
    BaseTree tree;
    if (!LoadDirectory(base + ".dir", tree))
        return {QStringLiteral("cannot load")};
    QStringList lines;
    int level = 0;
    for (const BaseNode* n = tree.first(); n; n = tree.next(n, level)) {
        QString line = QString(2 * level, QLatin1Char(' ')) + QString::fromUtf8(n->text);
        if (n->expanded)
            line += QLatin1Char('+');
        if (n->isFile())
            line += QLatin1Char(':') + QString::number(n->pageNumber);
        lines << line;
    }
    return lines;
}

// The comment of row 0 of every page, which tells whose keys a page holds.
QStringList pageOwners(const QString& base) {
    const QByteArray dat = readFileBytes(base + ".dat");
    QStringList owners;
    for (qint64 n = 0; n < dat.size() / kPage; ++n) {
        KeyPage page;
        std::memcpy(page.data(), dat.constData() + n * kPage, kPage);
        owners << QString::fromLatin1(page.comment(0));
    }
    return owners;
}

} // namespace

class TestCliTreeEdit : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_base;

    QString tempFolder() const { return m_dir.path() + "/temp"; }

    CliRun runCli(const QStringList& args) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TEMP", tempFolder());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TERVANE_CLI), args);
        return finishCli(process);
    }

    // Street (open): House 1 (page 0, selected), House 2 (1), Block: Flat 1 (2); Gate (3). Each
    // page says whose it is in the comment of row 0 and holds a key in a row of its own.
    void writeStreet() {
        BaseTree tree;
        QList<KeyPage> pages;
        auto add = [&](BaseNode* parent, const char* name, bool file) {
            BaseNode* n = tree.addChild(parent);
            n->text = name;
            if (file) {
                n->imageIndex = ImageFile;
                n->selectedIndex = ImageFileSelected;
                n->pageNumber = int(pages.size());
                KeyPage page;
                page.setComment(0, name);
                KeyCell cell;
                cell.setType(KeyTypeDallas);
                page.setCell(int(pages.size()) + 1, 0, cell);
                pages << page;
            }
            return n;
        };
        BaseNode* street = add(nullptr, "Street", false);
        street->expanded = true;
        tree.select(add(street, "House 1", true));
        add(street, "House 2", true);
        BaseNode* block = add(street, "Block", false);
        add(block, "Flat 1", true);
        add(nullptr, "Gate", true);
        QVERIFY(SaveDirectory(m_base + ".dir", tree));
        QFile dat(m_base + ".dat");
        QVERIFY(dat.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const KeyPage& page : pages)
            QCOMPARE(dat.write(reinterpret_cast<const char*>(page.data()), kPage), kPage);
    }

    // Nothing but the base's two files beside it, and no working copy left behind.
    void expectNoLeftovers() {
        QCOMPARE(QDir(m_dir.path() + "/keys").entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 QStringList({"street.dat", "street.dir"}));
        QCOMPARE(QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(m_dir.path() + "/keys"));
        QVERIFY(QDir().mkpath(tempFolder()));
        m_base = m_dir.path() + "/keys/street";
    }
    void init() { writeStreet(); }

    void edits_data() {
        QTest::addColumn<QStringList>("command"); // the base goes after the first word
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("pages"); // whose keys each page holds, in page order

        const QStringList before = {"Street+", "  House 1:0", "  House 2:1", "  Block", "    Flat 1:2", "Gate:3"};
        const QStringList owners = {"House 1", "House 2", "Flat 1", "Gate"};
        const QStringList withNew = owners + QStringList{""};

        QTest::newRow("mkfile at the top level")
            << QStringList{"mkfile", "-1", "New"} << QByteArray("{\n  \"index\": 6,\n  \"page\": 4\n}\n")
            << before + QStringList{"New:4"} << withNew;
        QTest::newRow("mkfile in an open folder: its last child")
            << QStringList{"mkfile", "0", "New"} << QByteArray("{\n  \"index\": 5,\n  \"page\": 4\n}\n")
            << QStringList{"Street+", "  House 1:0", "  House 2:1", "  Block", "    Flat 1:2", "  New:4", "Gate:3"}
            << withNew;
        QTest::newRow("mkfile on a file: last under its folder, as Insert on a file")
            << QStringList{"mkfile", "4", "New"} << QByteArray("{\n  \"index\": 5,\n  \"page\": 4\n}\n")
            << QStringList{"Street+", "  House 1:0", "  House 2:1", "  Block", "    Flat 1:2", "    New:4", "Gate:3"}
            << withNew;
        QTest::newRow("mkfile on a top-level file: last at the top level")
            << QStringList{"mkfile", "5", "New"} << QByteArray("{\n  \"index\": 6,\n  \"page\": 4\n}\n")
            << before + QStringList{"New:4"} << withNew;
        QTest::newRow("mkdir in a closed folder opens it")
            << QStringList{"mkdir", "3", "Dir"} << QByteArray("{\n  \"index\": 5\n}\n")
            << QStringList{"Street+", "  House 1:0", "  House 2:1", "  Block+", "    Flat 1:2", "    Dir", "Gate:3"}
            << owners;
        QTest::newRow("mkdir at the top level")
            << QStringList{"mkdir", "-1", "Dir"} << QByteArray("{\n  \"index\": 6\n}\n") << before + QStringList{"Dir"}
            << owners;
        QTest::newRow("rename") << QStringList{"rename", "2", "House 22"} << QByteArray("{\n  \"index\": 2\n}\n")
                                << QStringList{"Street+", "  House 1:0",  "  House 22:1",
                                               "  Block", "    Flat 1:2", "Gate:3"}
                                << owners;
        QTest::newRow("rename to an empty name")
            << QStringList{"rename", "5", ""} << QByteArray("{\n  \"index\": 5\n}\n")
            << before.mid(0, 5) + QStringList{":3"} << owners;
        QTest::newRow("rm of a file: the later pages move down")
            << QStringList{"rm", "2"} << QByteArray("{\n  \"removedPages\": [1]\n}\n")
            << QStringList{"Street+", "  House 1:0", "  Block", "    Flat 1:1", "Gate:2"}
            << QStringList{"House 1", "Flat 1", "Gate"};
        QTest::newRow("rm of a folder with files at two levels")
            << QStringList{"rm", "0"} << QByteArray("{\n  \"removedPages\": [0, 1, 2]\n}\n") << QStringList{"Gate:0"}
            << QStringList{"Gate"};
        QTest::newRow("rm of a folder in a folder")
            << QStringList{"rm", "3"} << QByteArray("{\n  \"removedPages\": [2]\n}\n")
            << QStringList{"Street+", "  House 1:0", "  House 2:1", "Gate:2"}
            << QStringList{"House 1", "House 2", "Gate"};
    }
    void edits() {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, json);
        QFETCH(QStringList, tree);
        QFETCH(QStringList, pages);

        const CliRun run = runCli(QStringList{command.first(), m_base + ".dir"} + command.mid(1));
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, json);
        QCOMPARE(outline(m_base), tree);
        QCOMPARE(pageOwners(m_base), pages);
        // Each file keeps its keys: the key of a page sits in the row its first owner gave it.
        const QByteArray dat = readFileBytes(m_base + ".dat");
        for (int n = 0; n < pages.size(); ++n) {
            const int owner = QStringList({"House 1", "House 2", "Flat 1", "Gate"}).indexOf(pages[n]);
            if (owner >= 0)
                QCOMPARE(quint8(dat[n * kPage + (owner + 1) * 60]), quint8(KeyTypeDallas));
        }
        expectNoLeftovers();
    }

    // Names come in UTF-8 and are stored in Windows-1251, cut to 255 characters by the file.
    void namesAreStoredAsTheEditorStoresThem() {
        const QString cyrillic = QStringLiteral("кв. 5 «Ёж»");
        CliRun run = runCli({"mkfile", m_base, "-1", cyrillic});
        QCOMPARE(run.exitCode, 0);
        const QString longName = QString(300, QChar(u'Ж'));
        run = runCli({"rename", m_base, "0", longName});
        QCOMPARE(run.exitCode, 0);
        BaseTree tree;
        QVERIFY(LoadDirectory(m_base + ".dir", tree));
        QCOMPARE(tree.nodeAt(6)->text, cp1251(cyrillic));
        QCOMPARE(tree.nodeAt(0)->text, cp1251(longName.left(255)));
        run = runCli({"tree", m_base});
        QVERIFY(run.out.contains("\"name\": \"кв. 5 «Ёж»\""));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("reason"); // the first line on stderr
        QTest::newRow("mkfile without a name")
            << QStringList{"mkfile", "-1"} << "mkfile takes three arguments, BASE, PARENT and NAME";
        QTest::newRow("mkdir with too many arguments")
            << QStringList{"mkdir", "-1", "a", "b"} << "mkdir takes three arguments, BASE, PARENT and NAME";
        QTest::newRow("PARENT not a number")
            << QStringList{"mkfile", "x", "New"} << "PARENT must be a node's index or -1, not \"x\"";
        QTest::newRow("PARENT below -1") << QStringList{"mkdir", "-2", "New"}
                                         << "PARENT must be a node's index or -1, not \"-2\"";
        QTest::newRow("PARENT past the last node")
            << QStringList{"mkfile", "6", "New"} << "PARENT 6 names no node: the tree has 6 nodes";
        QTest::newRow("rename of the top level")
            << QStringList{"rename", "-1", "x"} << "INDEX must be a node's index, 0 or more, not \"-1\"";
        QTest::newRow("rename past the last node")
            << QStringList{"rename", "6", "x"} << "INDEX 6 names no node: the tree has 6 nodes";
        QTest::newRow("rm without INDEX") << QStringList{"rm"} << "rm takes two arguments, BASE and INDEX";
        QTest::newRow("rm past the last node")
            << QStringList{"rm", "99"} << "INDEX 99 names no node: the tree has 6 nodes";
        QTest::newRow("rm with an option") << QStringList{"rm", "1", "--force"} << "unknown option --force";
    }
    void usageErrors() {
        QFETCH(QStringList, command);
        QFETCH(QString, reason);
        const QByteArray dir = readFileBytes(m_base + ".dir");
        const QByteArray dat = readFileBytes(m_base + ".dat");

        const CliRun run = runCli(QStringList{command.first(), m_base} + command.mid(1));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(QString::fromUtf8(run.err.left(run.err.indexOf('\n'))), "tervane-cli: " + reason);
        QVERIFY(run.err.contains("Usage: tervane-cli"));
        QCOMPARE(readFileBytes(m_base + ".dir"), dir);
        QCOMPARE(readFileBytes(m_base + ".dat"), dat);
        expectNoLeftovers();
    }

    void fileErrors_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error"); // stderr: the message and the file it names
        QTest::newRow("no such base") << "missing"
                                      << "Open file error: \"%1.dir\"";
        QTest::newRow("no page file") << "no .dat"
                                      << "Open file error: \"%1.dat\"";
        QTest::newRow("not a directory file") << "foreign"
                                              << "Incorrect data base version: \"%1.dir\"";
        QTest::newRow("page file marked read-only") << "read-only"
                                                    << "Create file error: \"%1.dat\"";
        QTest::newRow("another instance saving it") << "locked"
                                                    << "Open file error: \"%1.dir\"";
    }
    void fileErrors() {
        QFETCH(QString, fault);
        QFETCH(QString, error);
        QString base = m_base;
        std::unique_ptr<QLockFile> lock;
        if (fault == "missing")
            base = m_dir.path() + "/keys/none";
        if (fault == "no .dat")
            QVERIFY(QFile::remove(m_base + ".dat"));
        if (fault == "foreign")
            QVERIFY(test::writeFileBytes(m_base + ".dir", QByteArray(273, 'x')));
        if (fault == "read-only")
            QVERIFY(test::setMode(m_base + ".dat", 0444));
        if (fault == "locked") {
            lock = takeFileLock(m_base + ".lck", 0);
            QVERIFY(lock);
        }
        const QByteArray dir = readFileBytes(m_base + ".dir");
        const QByteArray dat = readFileBytes(m_base + ".dat");

        for (const QStringList& command :
             {QStringList{"mkfile", base, "-1", "New"}, QStringList{"mkdir", base, "0", "D"},
              QStringList{"rename", base, "1", "R"}, QStringList{"rm", base, "0"}}) {
            const CliRun run = runCli(command);
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.out, QByteArray());
            QCOMPARE(QString::fromUtf8(run.err), error.arg(QDir::toNativeSeparators(base)) + "\n");
            QCOMPARE(readFileBytes(m_base + ".dir"), dir);
            QCOMPARE(readFileBytes(m_base + ".dat"), dat);
            QCOMPARE(QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
        if (fault == "read-only")
            QVERIFY(test::setMode(m_base + ".dat", 0644));
        if (fault == "no .dat")
            QCOMPARE(QDir(m_dir.path() + "/keys").entryList(QDir::Files), QStringList({"street.dir"}));
    }
};

QTEST_GUILESS_MAIN(TestCliTreeEdit)
#include "tst_CliTreeEdit.moc"
