// Saves that keep the key base they replace as its backup: which saves keep one, what may stand
// under the backup's name, and that neither a failed step nor a killed save loses a whole pair.
#include "BaseFixtures.h"
#include "DocumentChild.h"
#include "FileModes.h"

#include "base/BaseBackup.h"
#include "base/FileLock.h"

using namespace tervane;
using namespace tervane::test;

namespace {

const QString kNotKept = QStringLiteral("The key base is saved, but its previous version was not kept as a backup. ");

} // namespace

class BaseBackupTest : public QObject, private DocumentFixture {
    Q_OBJECT

    QString backup; // keys/shop-backup

    QString childTemp() {
        static int children = 0;
        const QString folder = env->paths.root() + "/child" + QString::number(++children);
        QDir().mkpath(folder);
        return folder;
    }

    // Saves an edited shop, answering the warning about the backup when one is expected.
    bool saveEditedShop(const QByteArray& comment = "edited", bool warned = false) {
        Document doc;
        if (!openShop(doc))
            return false;
        editComment(doc, comment);
        if (warned)
            env->prompts.answer(ButtonOk);
        return doc.SaveBase();
    }

private slots:
    void init() {
        setUpFixture();
        programOptions().setKeepBaseBackup(true);
        backup = backupBaseOf(shop);
    }
    void cleanup() { tearDownFixture(); }

    void whichSavesKeepABackup_data() {
        QTest::addColumn<QString>("action");   // and the base it saves to
        QTest::addColumn<bool>("keep");        // the option
        QTest::addColumn<QString>("kept");     // the base whose old pair becomes its backup; empty: none
        QTest::addColumn<QStringList>("made"); // the files beside shop's and other's pairs afterwards

        const QStringList shopBackup{"shop-backup.dat", "shop-backup.dir"};
        const QStringList otherBackup{"other-backup.dat", "other-backup.dir"};
        const QStringList fresh{"fresh.dat", "fresh.dir"};
        const QStringList none;
        QTest::newRow("Save") << "save shop" << true << "shop" << shopBackup;
        QTest::newRow("Save, the option off") << "save shop" << false << QString() << none;
        QTest::newRow("saved on closing") << "close shop" << true << "shop" << shopBackup;
        QTest::newRow("Save As over another base") << "saveas other" << true << "other" << otherBackup;
        QTest::newRow("Save As over another base, the option off") << "saveas other" << false << QString() << none;
        QTest::newRow("Save As to a new name") << "saveas fresh" << true << QString() << fresh;
        QTest::newRow("first save of a new base") << "new fresh" << true << QString() << fresh;
        QTest::newRow("first save of a new base over a base") << "new other" << true << "other" << otherBackup;
        QTest::newRow("Save over a base that lost its .dat") << "save without-dat" << true << QString() << none;
    }

    void whichSavesKeepABackup() {
        QFETCH(QString, action);
        QFETCH(bool, keep);
        QFETCH(QString, kept);
        QFETCH(QStringList, made);
        programOptions().setKeepBaseBackup(keep);
        QVERIFY(writeBase(keys + "/other", otherBytes()));
        const BaseBytes old = kept == "other" ? otherBytes() : shopBytes();

        Document doc;
        const QString target = keys + "/" + action.section(' ', 1);
        if (action.startsWith("new")) {
            QVERIFY(doc.NewBase());
            env->prompts.answerFile(target + ".dir");
            QVERIFY(doc.SaveBase());
        } else {
            QVERIFY(openShop(doc));
            editComment(doc);
            if (action.endsWith("without-dat"))
                QVERIFY(QFile::remove(shop + ".dat"));
            if (action.startsWith("saveas")) {
                env->prompts.answerFile(target + ".dir");
                QVERIFY(doc.SaveBaseAs());
            } else if (action.startsWith("close")) {
                QVERIFY(doc.AskSaveChanges(SavePolicy::SaveWithoutAsking));
            } else {
                QVERIFY(doc.SaveBase());
            }
        }
        for (const ShownPrompt& shown : env->prompts.shown())
            QVERIFY2(shown.kind != ShownPrompt::Message, qPrintable(shown.text));
        QStringList files = QStringList{"other.dat", "other.dir", "shop.dat", "shop.dir"} + made;
        files.sort();
        QCOMPARE(filesIn(keys), files);
        if (!kept.isEmpty())
            QCOMPARE(readBase(keys + "/" + kept + "-backup"), old);
        if (!target.endsWith("/other"))
            QCOMPARE(readBase(keys + "/other"), otherBytes());
    }

    // Each save keeps the version just before it, and that version opens as a key base whose own
    // saves keep their backup beside it in turn.
    void theBackupIsTheVersionBeforeTheSave() {
        QVERIFY(saveEditedShop("first"));
        QVERIFY(saveEditedShop("second"));
        QCOMPARE(commentOf(readFileBytes(shop + ".dat"), 0, 4), QByteArray("second"));
        QCOMPARE(commentOf(readFileBytes(backup + ".dat"), 0, 4), QByteArray("first"));

        Document doc;
        env->prompts.answerFile(backup + ".dir");
        QVERIFY(doc.OpenBase());
        QCOMPARE(doc.pageBuffer().comment(4), QByteArray("first"));
        const BaseBytes backupPair = readBase(backup);
        editComment(doc, "restored");
        QVERIFY(doc.SaveBase());
        QCOMPARE(readBase(backup + "-backup"), backupPair);
        QCOMPARE(commentOf(readFileBytes(shop + ".dat"), 0, 4), QByteArray("second"));
    }

    void whatStandsUnderTheBackupName_data() {
        QTest::addColumn<QByteArray>("dir"); // null: no file
        QTest::addColumn<QByteArray>("dat");
        QTest::addColumn<bool>("readOnly"); // the .dat marked read-only
        QTest::addColumn<bool>("held");     // another instance saves the backup base
        QTest::addColumn<QString>("error"); // the reason given when the pair stays; empty: replaced
        QTest::addColumn<QString>("named"); // the file it names

        const BaseBytes older = otherBytes();
        const QString unknown = "The database file has an unknown format: \"%1\"";
        QTest::newRow("an older backup") << older.dir << older.dat << false << false << QString() << QString();
        QTest::newRow("a backup that lost its .dat")
            << older.dir << QByteArray() << false << false << QString() << QString();
        QTest::newRow("a .dir that is no directory file")
            << QByteArray("my notes") << older.dat << false << false << unknown << "shop-backup.dir";
        QTest::newRow("a directory file of another version")
            << QByteArray(older.dir).replace(256, 1, "\x65") << older.dat << false << false << unknown
            << "shop-backup.dir";
        QTest::newRow("a .dat without its .dir")
            << QByteArray() << older.dat << false << false << "Open file error: \"%1\""
            << "shop-backup.dir";
        QTest::newRow("a read-only backup") << older.dir << older.dat << true << false << "Create file error: \"%1\""
                                            << "shop-backup.dat";
        QTest::newRow("a save of the backup base running")
            << older.dir << older.dat << false << true << "File write error:\"%1\""
            << "shop-backup.dir";
    }

    void whatStandsUnderTheBackupName() {
        QFETCH(QByteArray, dir);
        QFETCH(QByteArray, dat);
        QFETCH(bool, readOnly);
        QFETCH(bool, held);
        QFETCH(QString, error);
        QFETCH(QString, named);
        if (!dir.isNull())
            QVERIFY(writeFileBytes(backup + ".dir", dir));
        if (!dat.isNull())
            QVERIFY(writeFileBytes(backup + ".dat", dat));
#ifdef Q_OS_UNIX
        if (readOnly)
            QVERIFY(setMode(backup + ".dat", 0444));
#else
        if (readOnly)
            QSKIP("mode bits are set on Unix");
#endif
        setBaseLockWait(50);
        std::unique_ptr<QLockFile> other;
        if (held)
            QVERIFY(other = takeFileLock(baseLockPath(backup), 0));

        env->prompts.clear();
        QVERIFY(saveEditedShop("edited", !error.isEmpty()));
        QCOMPARE(commentOf(readFileBytes(shop + ".dat"), 0, 4), QByteArray("edited"));
        if (error.isEmpty()) {
            QCOMPARE(readBase(backup), shopBytes());
        } else {
            QCOMPARE(env->prompts.last().icon, PromptIcon::Warning);
            QCOMPARE(env->prompts.last().text, kNotKept + error.arg(native(keys + "/" + named)));
            QCOMPARE(readOrNull(backup + ".dir"), dir);
            QCOMPARE(readOrNull(backup + ".dat"), dat);
        }
        QVERIFY2(filesIn(keys, "*.saving*").isEmpty(), qPrintable(filesIn(keys).join(' ')));
    }

    void aFailedStepLeavesEveryPairWhole_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("error"); // the message shown, naming a file of the user's folder
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("backupIsOldShop"); // after recovery; false: the previous backup

        const QString notKept = kNotKept;
        QTest::newRow(".dat half written") << int(SaveStep::PagePartlyWritten) << false << "Create file error: \"%1\""
                                           << "shop.dat" << false;
        QTest::newRow(".dir written") << int(SaveStep::DirectoryWritten) << false << "Create file error: \"%1\""
                                      << "shop.dir" << false;
        QTest::newRow("the base's .dir not renamed")
            << int(SaveStep::PageReplaced) << false << "File write error:\"%1\""
            << "shop.dir" << false;
        QTest::newRow("the old pair not taken")
            << int(SaveStep::BackupTaken) << true << notKept + "Create file error: \"%1\""
            << "shop-backup.dat" << false;
        QTest::newRow("the backup's .dir not renamed")
            << int(SaveStep::BackupPageReplaced) << true << notKept + "File write error:\"%1\""
            << "shop-backup.dir" << true;
    }

    void aFailedStepLeavesEveryPairWhole() {
        QFETCH(int, step);
        QFETCH(bool, saved);
        QFETCH(QString, error);
        QFETCH(QString, named);
        QFETCH(bool, backupIsOldShop);
        QVERIFY(writeBase(backup, otherBytes()));
        setSaveStepHook([step](SaveStep s) { return int(s) != step; });

        env->prompts.clear();
        QCOMPARE(saveEditedShop("edited", true), saved);
        QCOMPARE(env->prompts.last().text, error.arg(native(keys + "/" + named)));
        if (saved)
            QCOMPARE(commentOf(readFileBytes(shop + ".dat"), 0, 4), QByteArray("edited"));
        else if (step != int(SaveStep::PageReplaced))
            QCOMPARE(readBase(shop), shopBytes());
        if (!backupIsOldShop)
            QCOMPARE(readBase(backup), otherBytes());

        // A pair cut between its renames is completed by its next recovery.
        setSaveStepHook({});
        QVERIFY(recoverInterruptedSave(shop));
        QVERIFY(recoverInterruptedSave(backup));
        QCOMPARE(readBase(backup), backupIsOldShop ? shopBytes() : otherBytes());
        QCOMPARE(filesIn(keys), QStringList({"shop-backup.dat", "shop-backup.dir", "shop.dat", "shop.dir"}));
    }

    void aKilledSaveLeavesEveryPairWhole_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("shopIsNew");
        QTest::addColumn<bool>("backupIsOldShop"); // false: the previous backup
        const auto row = [](SaveStep step, bool shopIsNew, bool backupIsOldShop) {
            QTest::addRow("killed at step %d", int(step)) << int(step) << shopIsNew << backupIsOldShop;
        };
        // In the order a save reaches them.
        row(SaveStep::PagePartlyWritten, false, false);
        row(SaveStep::PageWritten, false, false);
        row(SaveStep::DirectoryPartlyWritten, false, false);
        row(SaveStep::DirectoryWritten, false, false);
        row(SaveStep::BackupTaken, false, false);
        row(SaveStep::PageReplaced, true, false);
        row(SaveStep::DirectoryReplaced, true, false);
        row(SaveStep::BackupPageReplaced, true, true);
        row(SaveStep::BackupDirectoryReplaced, true, true);
    }

    void aKilledSaveLeavesEveryPairWhole() {
#ifndef Q_OS_UNIX
        QSKIP("the child kills itself with SIGKILL");
#endif
        QFETCH(int, step);
        QFETCH(bool, shopIsNew);
        QFETCH(bool, backupIsOldShop);
        // What the child's save writes when it runs through.
        const QString reference = env->paths.root() + "/reference/shop";
        QVERIFY(QDir().mkpath(env->paths.root() + "/reference"));
        QVERIFY(writeBase(reference, shopBytes()));
        DocumentChild whole;
        whole.start({"save", childTemp(), reference, "0", "backup"});
        QVERIFY2(whole.finish() == 0, qPrintable(whole.output()));
        const BaseBytes fresh = readBase(reference);
        QCOMPARE(readBase(backupBaseOf(reference)), shopBytes());

        QVERIFY(writeBase(backup, otherBytes()));
        DocumentChild killed;
        killed.start({"save", childTemp(), shop, QString::number(step), "backup"});
        QCOMPARE(killed.finish(), -1);

        QVERIFY(recoverInterruptedSave(shop));
        QVERIFY(recoverInterruptedSave(backup));
        QCOMPARE(readBase(shop), shopIsNew ? fresh : shopBytes());
        QCOMPARE(readBase(backup), backupIsOldShop ? shopBytes() : otherBytes());
        // No temporary and no lock of the killed save is left.
        QCOMPARE(filesIn(keys), QStringList({"shop-backup.dat", "shop-backup.dir", "shop.dat", "shop.dir"}));
    }
};

QTEST_GUILESS_MAIN(BaseBackupTest)
#include "tst_BaseBackup.moc"
