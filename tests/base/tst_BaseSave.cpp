#include "BaseFixtures.h"
#include "DocumentChild.h"
#include "FileModes.h"

#include "base/BaseSave.h"
#include "base/Document.h"
#include "base/FileLock.h"
#include "base/WorkingFiles.h"

#include <QProcess>

using namespace tervane;
using namespace tervane::test;

class BaseSaveTest : public QObject, private DocumentFixture {
    Q_OBJECT

    int m_children = 0;

    // A temporary folder of its own for each child instance.
    QString childTemp() {
        const QString folder = env->paths.root() + "/child" + QString::number(++m_children);
        QDir().mkpath(folder);
        return folder;
    }

    // The pair that a child's edit selecting node writes, saved over a copy of shop elsewhere.
    BaseBytes savedBy(int node) {
        const QString folder = env->paths.root() + "/reference" + QString::number(node);
        const QString base = folder + "/shop";
        if (!QDir().mkpath(folder) || !writeBase(base, shopBytes()))
            return {};
        DocumentChild child;
        child.start({"edit", childTemp(), base, QString::number(node)});
        return child.finish() == 0 ? readBase(base) : BaseBytes{};
    }

private slots:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void aCommentEditIsSavedExactly() {
        Document doc;
        QVERIFY(openShop(doc));
        const QByteArray text = cp1251("Подъезд 2, кв. 15");
        editComment(doc, text);
        QVERIFY(doc.SaveBase());
        QVERIFY(!doc.modified());
        QCOMPARE(env->prompts.shown().size(), 1);

        BaseBytes expected = shopBytes();
        char* field = expected.dat.data() + 30000 + 4 * 129;
        field[0] = char(text.size());
        std::memcpy(field + 1, text.constData(), text.size());
        QCOMPARE(readBase(shop), expected);
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
    }

    void aFullDiskLeavesTheBase_data() {
        QTest::addColumn<int>("failingQuery");
        QTest::newRow("writing the page back") << 1;
        QTest::newRow("the working directory file") << 2;
        QTest::newRow("copying the page file") << 3;
        QTest::newRow("copying the directory file") << 4;
    }

    void aFullDiskLeavesTheBase() {
        QFETCH(int, failingQuery);
        Document doc;
        QVERIFY(openShop(doc));
        editComment(doc);
        int queries = 0;
        env->system.onQuery = [&](VolumeSpace& v) {
            if (++queries == failingQuery)
                v.freeBytes = 0;
        };
        env->prompts.clear();
        env->prompts.answer(ButtonCancel);
        QVERIFY(!doc.SaveBase());
        QVERIFY(queries >= failingQuery);
        QCOMPARE(env->prompts.shown().size(), 1);
        QCOMPARE(env->prompts.last().icon, PromptIcon::Warning);
        QVERIFY(env->prompts.last().text.startsWith("No free space on a disk "));
        QCOMPARE(readBase(shop), shopBytes());
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
        QVERIFY(doc.modified());
        QCOMPARE(doc.savedBase(), shop);
    }

    void aFailedWriteLeavesTheBase_data() {
        QTest::addColumn<int>("step"); // the save step that fails
        QTest::addColumn<QString>("named");
        QTest::newRow(".dat half written") << int(SaveStep::PagePartlyWritten) << ".dat";
        QTest::newRow(".dat written") << int(SaveStep::PageWritten) << ".dat";
        QTest::newRow(".dir half written") << int(SaveStep::DirectoryPartlyWritten) << ".dir";
        QTest::newRow(".dir written") << int(SaveStep::DirectoryWritten) << ".dir";
    }

    void aFailedWriteLeavesTheBase() {
        QFETCH(int, step);
        QFETCH(QString, named);
        Document doc;
        QVERIFY(openShop(doc));
        editComment(doc);
        setSaveStepHook([step](SaveStep s) { return int(s) != step; });
        env->prompts.clear();
        env->prompts.answer(ButtonOk);
        QVERIFY(!doc.SaveBase());
        QCOMPARE(env->prompts.last().icon, PromptIcon::Error);
        QCOMPARE(env->prompts.last().text, "Create file error: \"" + native(shop + named) + "\"");
        QCOMPARE(readBase(shop), shopBytes());
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
        QVERIFY(doc.modified());

        // Once the disk behaves, the same document saves.
        setSaveStepHook({});
        QVERIFY(doc.SaveBase());
        QCOMPARE(commentOf(readFileBytes(shop + ".dat"), 0, 4), QByteArray("edited"));
    }

    void aFailedLastRenameIsCompletedLater() {
        Document doc;
        QVERIFY(openShop(doc));
        editComment(doc);
        setSaveStepHook([](SaveStep s) { return s != SaveStep::PageReplaced; });
        env->prompts.clear();
        env->prompts.answer(ButtonOk);
        QVERIFY(!doc.SaveBase());
        QCOMPARE(env->prompts.last().text, "File write error:\"" + native(shop + ".dir") + "\"");
        QVERIFY(doc.modified());
        const BaseBytes saved = readBase(doc.workingBase());

        // The next open settles the pair before it copies it.
        Document other;
        QVERIFY(openShop(other));
        QCOMPARE(readBase(shop), saved);
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
        QCOMPARE(other.pageBuffer().comment(4), QByteArray("edited"));
    }

    void killedSaveLeavesAWholeBase_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("destinationExists");
        QTest::addColumn<int>("step");
        for (int step = 1; step <= kSaveStepCount; ++step) {
            const QByteArray at = " killed at step " + QByteArray::number(step);
            QTest::newRow(("Save" + at).constData()) << "save" << true << step;
            QTest::newRow(("Save As over a base" + at).constData()) << "saveas" << true << step;
            QTest::newRow(("Save As to a new name" + at).constData()) << "saveas" << false << step;
        }
    }

    void killedSaveLeavesAWholeBase() {
#ifndef Q_OS_UNIX
        QSKIP("the child kills itself with SIGKILL");
#endif
        QFETCH(QString, mode);
        QFETCH(bool, destinationExists);
        QFETCH(int, step);
        auto runChild = [&](const QStringList& args, QProcess::ExitStatus expected) {
            QProcess child;
            child.start(TERVANE_DOCUMENT_CHILD, QStringList{args[0], childTemp()} + args.mid(1));
            const bool finished = child.waitForFinished(60000);
            const QByteArray err = child.readAllStandardOutput() + child.readAllStandardError();
            return finished && child.exitStatus() == expected &&
                           (expected == QProcess::CrashExit || child.exitCode() == 0)
                       ? QString()
                       : QString("child failed: %1 %2 %3").arg(child.exitStatus()).arg(child.exitCode()).arg(err);
        };

        // What a save that runs through writes.
        QVERIFY(QDir().mkpath(env->paths.root() + "/reference"));
        const QString reference = env->paths.root() + "/reference/shop";
        QString failure = runChild({"saveas", shop, reference, "0"}, QProcess::NormalExit);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const BaseBytes fresh = readBase(reference);
        QCOMPARE(commentOf(fresh.dat, 1, 7), QByteArray("changed by the child"));
        QVERIFY(fresh.dir != shopBytes().dir);

        QString destination = shop;
        BaseBytes old = shopBytes();
        if (mode == "saveas") {
            destination = keys + "/other";
            old = destinationExists ? otherBytes() : BaseBytes{};
            if (destinationExists)
                QVERIFY(writeBase(destination, old));
        }
        failure = runChild(mode == "save" ? QStringList{"save", shop, QString::number(step)}
                                          : QStringList{"saveas", shop, destination, QString::number(step)},
                           QProcess::CrashExit);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        QVERIFY(recoverInterruptedSave(destination));
        const bool expectNew = step >= int(SaveStep::PageReplaced);
        QCOMPARE(readBase(destination), expectNew ? fresh : old);
        if (!expectNew && !destinationExists)
            QVERIFY(!QFileInfo::exists(destination + ".dir") && !QFileInfo::exists(destination + ".dat"));
        QVERIFY2(filesIn(keys, "*.saving*").isEmpty(), qPrintable(filesIn(keys).join(' ')));
        // The lock the killed save left is taken over, and goes with its new owner.
        QVERIFY2(filesIn(keys, "*.lck").isEmpty(), qPrintable(filesIn(keys).join(' ')));
    }

    void recoveryKeepsEachSaveToItsOwnPair_data() {
        QTest::addColumn<QStringList>("leftovers"); // files beside keys/shop, each holding its name
        QTest::addColumn<bool>("held");             // another instance holds the base's lock
        QTest::addColumn<QString>("newDir");        // the leftover that becomes shop.dir; empty: none
        QTest::addColumn<QStringList>("left");      // what stays beside the base's two files

        const QStringList none;
        QTest::newRow("cut between the renames")
            << QStringList{"shop.dir.saving-1a"} << false << "shop.dir.saving-1a" << none;
        QTest::newRow("cut before the renames")
            << QStringList{"shop.dat.saving-1a", "shop.dir.saving-1a"} << false << QString() << none;
        QTest::newRow("another save's .dat does not hold it back")
            << QStringList{"shop.dat.saving-2b", "shop.dir.saving-1a"} << false << "shop.dir.saving-1a" << none;
        QTest::newRow("its own .dat holds it back")
            << QStringList{"shop.dat.saving-1a", "shop.dir.saving-1a", "shop.dir.saving-2b"} << false
            << "shop.dir.saving-2b" << none;
        QTest::newRow("the name of earlier versions")
            << QStringList{"shop.dir.saving"} << false << "shop.dir.saving" << none;
        QTest::newRow("a save still running")
            << QStringList{"shop.dat.saving-1a", "shop.dir.saving-2b"} << true << QString()
            << QStringList{"shop.dat.saving-1a", "shop.dir.saving-2b", "shop.lck"};
        QTest::newRow("not a save of this base")
            << QStringList{"shop2.dir.saving-1a", "shop.dir.savings", "shop.dir.saving-"} << false << QString()
            << QStringList{"shop.dir.saving-", "shop.dir.savings", "shop2.dir.saving-1a"};
    }

    void recoveryKeepsEachSaveToItsOwnPair() {
        QFETCH(QStringList, leftovers);
        QFETCH(bool, held);
        QFETCH(QString, newDir);
        QFETCH(QStringList, left);
        for (const QString& name : leftovers)
            QVERIFY(writeFileBytes(keys + "/" + name, name.toUtf8()));
        std::unique_ptr<QLockFile> other;
        if (held)
            QVERIFY(other = takeFileLock(baseLockPath(shop), 0));

        QVERIFY(recoverInterruptedSave(shop));
        QCOMPARE(readBase(shop).dir, newDir.isEmpty() ? shopBytes().dir : newDir.toUtf8());
        QCOMPARE(readBase(shop).dat, shopBytes().dat);
        QStringList expected = QStringList({"shop.dat", "shop.dir"}) + left;
        expected.sort();
        QCOMPARE(filesIn(keys), expected);
        QVERIFY(env->prompts.shown().isEmpty());
    }

    void aBaseLockedByASaveIsNotOpened() {
        setBaseLockWait(50);
        std::unique_ptr<QLockFile> saving = takeFileLock(baseLockPath(shop), 0);
        QVERIFY(saving);
        Document doc;
        env->prompts.answer(ButtonOk);
        QVERIFY(!openShop(doc));
        QCOMPARE(env->prompts.last().text, "Open file error: \"" + native(shop + ".dir") + "\"");
        QVERIFY(workingFiles().isEmpty());

        saving.reset();
        QVERIFY(openShop(doc));
    }

    void twoInstancesSaveAtOnce_data() {
        QTest::addColumn<int>("step");         // the first save waits there while the second begins
        QTest::addColumn<bool>("firstGoesOn"); // false: it waits until the second has given up
        for (int step = 1; step <= kSaveStepCount; ++step) {
            QTest::addRow("first at step %d, second gives up", step) << step << false;
            QTest::addRow("first at step %d, second waits for it", step) << step << true;
        }
    }

    // Two instances have the base open, and both save it.
    void twoInstancesSaveAtOnce() {
#ifndef Q_OS_UNIX
        QSKIP("the instances meet through the child program's steps on Unix only");
#endif
        QFETCH(int, step);
        QFETCH(bool, firstGoesOn);
        // Each selects another node and writes another comment, so each writes a pair of its own.
        const BaseBytes firstPair = savedBy(2);
        const BaseBytes secondPair = savedBy(3);
        QVERIFY(firstPair.dat != secondPair.dat && firstPair.dir != secondPair.dir);

        DocumentChild first;
        first.start({"edit", childTemp(), shop, "2", "--ready", "--pause-at", QString::number(step)});
        DocumentChild second;
        second.start({"edit", childTemp(), shop, "3", "--ready", "--lock-wait", firstGoesOn ? "60000" : "300"});
        QVERIFY2(first.waitFor("ready"), qPrintable(first.output()));
        QVERIFY2(second.waitFor("ready"), qPrintable(second.output()));
        first.resume();
        QVERIFY2(first.waitFor("paused"), qPrintable(first.output()));
        second.resume();
        if (firstGoesOn) {
            QTest::qWait(300);
        } else {
            QCOMPARE(second.finish(), 4);
            QCOMPARE(second.messages(), QStringList{"File write error:\"" + native(shop + ".dir") + "\""});
        }
        first.resume();
        QVERIFY2(first.finish() == 0, qPrintable(first.output()));
        QVERIFY(first.messages().isEmpty());
        if (firstGoesOn) {
            QVERIFY2(second.finish() == 0, qPrintable(second.output()));
            QVERIFY(second.messages().isEmpty());
        }
        QCOMPARE(readBase(shop), firstGoesOn ? secondPair : firstPair);
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
    }

    void savePermissions_data() {
        QTest::addColumn<bool>("root"); // false: a user without root's rights (nobody, when run as root)
        QTest::addColumn<int>("datMode");
        QTest::addColumn<int>("dirMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<QString>("refused"); // the file the create error names; empty: saved
        QTest::addColumn<bool>("inPlace");    // saved into the old files rather than new ones

        QTest::newRow("read-only files 0444") << false << 0444 << 0444 << 0755 << ".dat" << false;
        QTest::newRow("read-only files 0400") << false << 0400 << 0400 << 0755 << ".dat" << false;
        QTest::newRow("read-only .dir") << false << 0644 << 0444 << 0755 << ".dir" << false;
        QTest::newRow("writable files keep their mode") << false << 0640 << 0600 << 0755 << QString() << false;
        QTest::newRow("read-only folder, writable files") << false << 0640 << 0600 << 0555 << QString() << true;
        QTest::newRow("read-only folder, read-only files") << false << 0444 << 0444 << 0555 << ".dat" << false;
        QTest::newRow("root: read-only files stay read-only") << true << 0444 << 0444 << 0755 << ".dat" << false;
        QTest::newRow("root: a read-only folder is no bar") << true << 0640 << 0600 << 0555 << QString() << false;
    }

    void savePermissions() {
#ifndef Q_OS_UNIX
        QSKIP("mode bits are checked on Unix");
#else
        QFETCH(bool, root);
        QFETCH(int, datMode);
        QFETCH(int, dirMode);
        QFETCH(int, folderMode);
        QFETCH(QString, refused);
        QFETCH(bool, inPlace);
        const bool runAsRoot = ::geteuid() == 0;
        if (root && !runAsRoot)
            QSKIP("needs root");
        const BaseBytes saved = savedBy(2);

        // Run as root, the test hands the folder and files to nobody, and the child acts as nobody.
        const bool asNobody = runAsRoot && !root;
        const int group = runAsRoot ? 65534 : int(::getegid());
        const QString working = childTemp();
        const QString dat = shop + ".dat";
        const QString dir = shop + ".dir";
        if (asNobody) {
            QVERIFY(setMode(env->paths.root(), 0755));
            for (const QString& path : {working, keys})
                QVERIFY(setOwner(path, 65534, 65534));
        }
        for (const QString& path : {dat, dir})
            QVERIFY(setOwner(path, asNobody ? 65534 : -1, group));
        QVERIFY(setMode(dat, datMode));
        QVERIFY(setMode(dir, dirMode));
        QVERIFY(setMode(keys, folderMode));
        const qint64 datInode = inodeOf(dat);
        const qint64 dirInode = inodeOf(dir);

        DocumentChild child;
        QStringList args{"edit", working, shop, "2"};
        if (asNobody)
            args << "--as-nobody";
        child.start(args);
        const int exitCode = child.finish();
        QVERIFY(setMode(keys, 0755));

        if (refused.isEmpty()) {
            QVERIFY2(exitCode == 0, qPrintable(child.output()));
            QVERIFY(child.messages().isEmpty());
            QCOMPARE(readBase(shop), saved);
            QCOMPARE(inodeOf(dat) == datInode, inPlace);
            QCOMPARE(inodeOf(dir) == dirInode, inPlace);
        } else {
            QCOMPARE(exitCode, 4);
            QCOMPARE(child.messages(), QStringList{"Create file error: \"" + native(shop + refused) + "\""});
            QCOMPARE(readBase(shop), shopBytes());
        }
        QCOMPARE(modeOf(dat), datMode);
        QCOMPARE(modeOf(dir), dirMode);
        QCOMPARE(groupOf(dat), group);
        QCOMPARE(groupOf(dir), group);
        QCOMPARE(filesIn(keys), QStringList({"shop.dat", "shop.dir"}));
#endif
    }

    void cleanupSparesOtherInstances() {
#ifndef Q_OS_UNIX
        QSKIP("the stale copy comes from a killed process");
#endif
        auto startHolder = [this](QProcess& child) {
            child.start(TERVANE_DOCUMENT_CHILD, {"hold", temp()});
            return child.waitForReadyRead(60000) && child.readLine().trimmed() == "ready";
        };
        QProcess holder;
        QVERIFY(startHolder(holder)); // rdb_temp_0
        QProcess dead;
        QVERIFY(startHolder(dead)); // rdb_temp_1, its lock left behind by a killed process
        dead.kill();
        QVERIFY(dead.waitForFinished(60000));
        QVERIFY(writeFileBytes(temp() + "/rdb_temp_5.dir", "old run"));
        QVERIFY(writeFileBytes(temp() + "/rdb_temp_5.dat", "old run"));
        QCOMPARE(workingFiles(), QStringList({"rdb_temp_0.dat", "rdb_temp_0.dir", "rdb_temp_0.lck", "rdb_temp_1.dat",
                                              "rdb_temp_1.dir", "rdb_temp_1.lck", "rdb_temp_5.dat", "rdb_temp_5.dir"}));

        Document doc;
        QVERIFY(doc.NewBase());
        QCOMPARE(doc.workingBase(), temp() + "/rdb_temp_2");
        QVERIFY(doc.AskSaveChanges(SavePolicy::Ask));
        doc.releaseAtExit();
        QCOMPARE(workingFiles(), QStringList({"rdb_temp_0.dat", "rdb_temp_0.dir", "rdb_temp_0.lck"}));

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(60000));
        QCOMPARE(holder.exitCode(), 0);
        CleanupWorkingFiles();
        QVERIFY(workingFiles().isEmpty());
    }

    void aHeldLockTakesTheName() {
        const std::unique_ptr<QLockFile> other = takeWorkingLock(temp() + "/rdb_temp_0");
        QVERIFY(other);
        std::unique_ptr<QLockFile> lock;
        QCOMPARE(NewWorkingBaseName(lock), temp() + "/rdb_temp_1");
        QVERIFY(lock && lock->isLocked());
        QVERIFY(!takeWorkingLock(temp() + "/rdb_temp_1"));
    }
};

QTEST_GUILESS_MAIN(BaseSaveTest)
#include "tst_BaseSave.moc"
