// Edits of a user's key base outside the editor, as tervane-cli makes them: the base is wholly old
// or wholly new even when the process is killed at any write step, another instance's save is
// never run over, and a refused edit writes nothing.

#include "BaseFixtures.h"
#include "DocumentChild.h"

#include "base/BaseFileEdit.h"
#include "base/DirectoryFile.h"
#include "base/FileLock.h"
#include "base/PageFile.h"
#include "base/VizitImport.h"

#include <QProcess>
#include <QRegularExpression>

using namespace tervane;
using namespace tervane::test;

class BaseFileEditTest : public QObject, private DocumentFixture {
    Q_OBJECT

    int m_children = 0;

    // A temporary folder of its own for each child instance.
    QString childTemp() {
        const QString folder = env->paths.root() + "/child" + QString::number(++m_children);
        QDir().mkpath(folder);
        return folder;
    }

    // Runs document_child's baseedit on base; empty when it ended as expected.
    QString runEdit(const QString& base, const QString& killAt, const QStringList& edit, bool killed) {
        QProcess child;
        child.start(TERVANE_DOCUMENT_CHILD, QStringList{"baseedit", childTemp(), base, killAt} + edit);
        const bool finished = child.waitForFinished(60000);
        const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
        const bool expected = killed ? child.exitStatus() == QProcess::CrashExit
                                     : child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        return finished && expected
                   ? QString()
                   : QString("child: status %1, code %2, %3").arg(child.exitStatus()).arg(child.exitCode()).arg(output);
    }

private slots:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void killedEditLeavesAWholeBase_data() {
        QTest::addColumn<QStringList>("edit");
        QTest::addColumn<QString>("killAt");
        QTest::addColumn<bool>("expectNew");
        const QList<QPair<const char*, QStringList>> edits = {
            {"mkfile", {"mkfile", "0", "New"}},
            {"mkdir", {"mkdir", "-1", "Dir"}},
            {"rename", {"rename", "1", "Renamed"}},
            {"rm of a folder", {"rm", "0"}},
            {"rm of a file", {"rm", "1"}},
            // Page 1 replaced by a VIZIT_DM file as Dallas keys: only the page file changes.
            {"import-viz", {"import-viz", "VIZ", "1", "1"}},
        };
        for (const auto& [name, edit] : edits) {
            for (int step = 1; step <= kSaveStepCount; ++step)
                QTest::newRow(QByteArray(name).append(" killed at save step ").append(QByteArray::number(step)))
                    << edit << QString("save:%1").arg(step) << (step >= int(SaveStep::PageReplaced));
            if (edit.first() == "rm") {
                // The pages go in the working copy, long before the user's files are touched.
                for (int step = 1; step <= 2; ++step)
                    QTest::newRow(
                        QByteArray(name).append(" killed deleting pages, step ").append(QByteArray::number(step)))
                        << edit << QString("delete:%1").arg(step) << false;
            }
        }
    }
    void killedEditLeavesAWholeBase() {
#ifndef Q_OS_UNIX
        QSKIP("the child kills itself with SIGKILL");
#endif
        QFETCH(QStringList, edit);
        QFETCH(QString, killAt);
        QFETCH(bool, expectNew);
        const QString viz = env->paths.root() + "/keys.viz";
        QByteArray vizKeys(kVizitFileSize, '\xFF');
        vizKeys.replace(0, 4, QByteArray::fromHex("12345678"));
        QVERIFY(writeFileBytes(viz, vizKeys));
        edit.replaceInStrings(QRegularExpression("^VIZ$"), viz);

        // What the edit writes when it runs through.
        QVERIFY(QDir().mkpath(env->paths.root() + "/reference"));
        const QString reference = env->paths.root() + "/reference/shop";
        QVERIFY(writeBase(reference, shopBytes()));
        QString failure = runEdit(reference, "0", edit, false);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const BaseBytes fresh = readBase(reference);
        QVERIFY(fresh != shopBytes());

        failure = runEdit(shop, killAt, edit, true);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(recoverInterruptedSave(shop));
        QCOMPARE(readBase(shop), expectNew ? fresh : shopBytes());
        QVERIFY2(filesIn(keys, "*.saving*").isEmpty(), qPrintable(filesIn(keys).join(' ')));
        QVERIFY2(filesIn(keys, "*.lck").isEmpty(), qPrintable(filesIn(keys).join(' ')));
    }

    // Another instance saving the base keeps it: the edit waits, then gives up without writing.
    void baseInUseIsLeftAlone() {
        setBaseLockWait(50);
        const std::unique_ptr<QLockFile> other = takeFileLock(shop + ".lck", 0);
        QVERIFY(other);
        env->prompts.answer(ButtonOk);
        bool ran = false;
        QVERIFY(!editBaseFiles(shop, [&](BaseTree&, const QString&) { return ran = true; }));
        QVERIFY(!ran);
        QCOMPARE(env->prompts.last().text, "Open file error: \"" + native(shop + ".dir") + "\"");
        QCOMPARE(readBase(shop), shopBytes());
    }

    void refusedEditWritesNothing() {
        QVERIFY(!editBaseFiles(shop, [](BaseTree& tree, const QString&) {
            tree.remove(tree.first());
            return false;
        }));
        QCOMPARE(readBase(shop), shopBytes());
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
        QCOMPARE(filesIn(temp(), "rdb_temp_*"), QStringList());
    }

    // The edit sees the tree and the page file of the base, and what it leaves is saved: the
    // selection kept on its node, the working copy gone.
    void editIsSaved() {
        QVERIFY(editBaseFiles(shop, [](BaseTree& tree, const QString& pageFile) {
            tree.remove(tree.nodeAt(3)); // Yard, after the selected House 1
            return pageCount(pageFile) == 2 && tree.selected() == tree.nodeAt(1);
        }));
        BaseTree saved;
        QVERIFY(LoadDirectory(shop + ".dir", saved));
        QCOMPARE(saved.size(), std::size_t(3));
        QCOMPARE(saved.selected(), saved.nodeAt(1));
        QCOMPARE(readBase(shop).dat, shopBytes().dat);
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
        QCOMPARE(filesIn(temp(), "rdb_temp_*"), QStringList());
    }
};

QTEST_GUILESS_MAIN(BaseFileEditTest)
#include "tst_BaseFileEdit.moc"
