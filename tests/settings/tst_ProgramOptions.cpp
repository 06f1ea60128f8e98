// The program's own options in Tervane.ini beside the configuration file: what a file's values
// mean, that a save keeps what it does not know and leaves the configuration record alone, and
// that a file that cannot be written is tried again.
#include "TestEnvironment.h"

#include "settings/ProgramOptions.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

class ProgramOptionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

    QString folder() const { return env->paths.programFolder(); }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        programOptions() = ProgramOptions();
    }
    void cleanup() { env.reset(); }

    void valuesOfTheFile_data() {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<bool>("keepBackup");
        QTest::newRow("no file") << QByteArray() << true;
        QTest::newRow("false") << QByteArray("[Saving]\nKeepBackup=false\n") << false;
        QTest::newRow("0") << QByteArray("[Saving]\nKeepBackup=0\n") << false;
        QTest::newRow("OFF, with blanks and CRs") << QByteArray("[Saving]\r\nKeepBackup = OFF \r\n") << false;
        QTest::newRow("no") << QByteArray("[Saving]\nKeepBackup=no\n") << false;
        QTest::newRow("true") << QByteArray("[Saving]\nKeepBackup=true\n") << true;
        QTest::newRow("1 after other entries") << QByteArray("[Other]\nx=1\n[Saving]\nA=2\nKeepBackup=1\n") << true;
        QTest::newRow("no yes/no value") << QByteArray("[Saving]\nKeepBackup=maybe\n") << true;
        QTest::newRow("empty value") << QByteArray("[Saving]\nKeepBackup=\n") << true;
        QTest::newRow("in another group") << QByteArray("[General]\nKeepBackup=false\n") << true;
        QTest::newRow("not text") << QByteArray("\x00\xff\xfe[Saving\x01\nKeepBackup\x00=false", 28) << true;
    }

    void valuesOfTheFile() {
        QFETCH(QByteArray, file);
        QFETCH(bool, keepBackup);
        QVERIFY(QDir().mkpath(folder()));
        if (!file.isNull())
            QVERIFY(writeFileBytes(folder() + "/Tervane.ini", file));
        programOptions().setKeepBaseBackup(!keepBackup);
        LoadProgramOptions();
        QCOMPARE(programOptions().keepBaseBackup(), keepBackup);
    }

    // The file sits beside Tervane.cfg, whose record stays as it was, and a save keeps the
    // entries of options this version does not know.
    void savedBesideTheRecord() {
        QCOMPARE(programOptionsFile(), QFileInfo(appPaths().configFile()).absolutePath() + "/Tervane.ini");
        QVERIFY(QDir(folder()).removeRecursively());
        QVERIFY(SaveProgramOptions()); // the per-user folder is made by the first save
        settings().setDefaults();
        settings().setSkinIndex(7);
        QVERIFY(SaveSettings());
        const QByteArray record = readFileBytes(appPaths().configFile());
        QCOMPARE(record.size(), Settings::kSize);
        QVERIFY(writeFileBytes(programOptionsFile(), "[Saving]\nKeepBackup=true\nLater=5\n[Other]\nx=y\n"));

        programOptions().setKeepBaseBackup(false);
        QVERIFY(SaveProgramOptions());
        QVERIFY(!programOptionsUnsaved());
        QCOMPARE(readFileBytes(appPaths().configFile()), record);
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList({"Tervane.cfg", "Tervane.ini"}));
        const QSettings saved(programOptionsFile(), QSettings::IniFormat);
        QCOMPARE(saved.value("Saving/KeepBackup").toString(), QStringLiteral("false"));
        QCOMPARE(saved.value("Saving/Later").toString(), QStringLiteral("5"));
        QCOMPARE(saved.value("Other/x").toString(), QStringLiteral("y"));

        programOptions().setKeepBaseBackup(true);
        LoadProgramOptions();
        QVERIFY(!programOptions().keepBaseBackup());
    }

    void aFileThatCannotBeWrittenStaysUnsaved() {
        QVERIFY(QDir().mkpath(programOptionsFile())); // a folder in the file's place
        programOptions().setKeepBaseBackup(false);
        QVERIFY(!SaveProgramOptions());
        QVERIFY(programOptionsUnsaved());
        QVERIFY(!programOptions().keepBaseBackup());

        QVERIFY(QDir(programOptionsFile()).removeRecursively());
        QVERIFY(SaveProgramOptions());
        QVERIFY(!programOptionsUnsaved());
        LoadProgramOptions();
        QVERIFY(!programOptions().keepBaseBackup());
    }
};

QTEST_GUILESS_MAIN(ProgramOptionsTest)
#include "tst_ProgramOptions.moc"
