// The backup of a key base on the real main window: the Tervane page of the options dialog and
// what OK and Cancel keep of it, and which saves leave "<name>-backup.dir" and ".dat" beside the
// base.
#include "MainWindowFixture.h"

#include "base/BaseSave.h"
#include "base/Document.h"
#include "base/KeyPage.h"
#include "dialogs/OptionsDialog.h"
#include "settings/ProgramOptions.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/KeyGridView.h"
#include "ui/OptionsController.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

OptionsDialog& dialog(MainWindow& w) {
    return *w.options().optionsDialog();
}

QCheckBox* backupBox(MainWindow& w) {
    return dialog(w).findChild<QCheckBox*>(QStringLiteral("BackupCheckBox"));
}

// Opens the options on the Tervane page.
void openTervanePage(MainWindow& w) {
    w.runCommand(CommandId::Options);
    dialog(w).findChild<QTabWidget*>(QStringLiteral("OptionPage"))->setCurrentIndex(3);
    QApplication::processEvents();
}

void click(MainWindow& w, const char* name) {
    auto* button = dialog(w).findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    // A check box answers on its box and its text only: near its left end.
    const bool box = qobject_cast<QCheckBox*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, box ? QPoint(8, button->height() / 2) : button->rect().center());
    QApplication::processEvents();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The key in the first cell of the page shown is deleted: the base is changed.
void editShownPage(MainWindow& w) {
    w.grid()->setSelectionRect({1, 1, 1, 1});
    w.runCommand(CommandId::Clear);
    QVERIFY(w.document().modified());
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;

    QString iniFile() const { return f->env.paths.programFolder() + QStringLiteral("/Tervane.ini"); }

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        settings().setDefaults();
        programOptions() = ProgramOptions();
        QVERIFY(QDir().mkpath(f->env.paths.programFolder()));
    }
    void cleanup() {
        setSaveStepHook({});
        if (f->session) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            f->closeWindow();
        }
        QCOMPARE(f->env.prompts.pendingAnswers(), 0);
        f.reset();
    }

    void theTervanePageInBothLanguages_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("box");
        QTest::newRow("English") << int(LanguageSetting::English) << "Saving of key bases:"
                                 << "Keep a backup of the key base when saving";
        QTest::newRow("Russian") << int(LanguageSetting::Russian) << "Сохранение баз ключей:"
                                 << "Делать резервную копию базы ключей при сохранении";
    }

    void theTervanePageInBothLanguages() {
        QFETCH(int, language);
        QFETCH(QString, group);
        QFETCH(QString, box);
        settings().setLanguageSetting(LanguageSetting(language));
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        openTervanePage(w);
        auto* pages = dialog(w).findChild<QTabWidget*>(QStringLiteral("OptionPage"));
        QCOMPARE(pages->count(), 4);
        QCOMPARE(pages->tabText(3), QStringLiteral("Tervane"));
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TervanePage"));
        QCOMPARE(dialog(w).findChild<QGroupBox*>(QStringLiteral("SavingGroupBox"))->title(), group);
        QCOMPARE(backupBox(w)->text(), box);
        QVERIFY(backupBox(w)->isChecked());
        click(w, "CancelButton");
    }

    // Cancel keeps nothing; OK writes Tervane.ini at once and leaves the 12640-byte record as
    // every reader of it knows it; the next start reads the choice back.
    void okKeepsTheChoiceAndCancelDoesNot() {
        MainWindow& w = f->start();
        openTervanePage(w);
        click(w, "BackupCheckBox");
        QVERIFY(!backupBox(w)->isChecked());
        click(w, "CancelButton");
        QVERIFY(programOptions().keepBaseBackup());
        QVERIFY(!QFileInfo::exists(iniFile()));

        openTervanePage(w);
        QVERIFY(backupBox(w)->isChecked());
        click(w, "BackupCheckBox");
        click(w, "OkButton");
        QVERIFY(!programOptions().keepBaseBackup());
        QCOMPARE(QSettings(iniFile(), QSettings::IniFormat).value("Saving/KeepBackup").toString(),
                 QStringLiteral("false"));
        QCOMPARE(QFileInfo(f->env.paths.configFile()).size(), qint64(Settings::kSize));

        f->restart();
        QVERIFY(!programOptions().keepBaseBackup());
        openTervanePage(*f->window());
        QVERIFY(!backupBox(*f->window())->isChecked());
        click(*f->window(), "CancelButton");
    }

    void whichSavesLeaveABackup_data() {
        QTest::addColumn<bool>("keep");        // the option, as Tervane.ini holds it at start
        QTest::addColumn<bool>("newBase");     // the first save of a new base, over no files
        QTest::addColumn<int>("failingStep");  // a SaveStep that fails; 0: none
        QTest::addColumn<bool>("backupIsOld"); // shop-backup holds shop as it was before the save

        QTest::newRow("Save") << true << false << 0 << true;
        QTest::newRow("the option off") << false << false << 0 << false;
        QTest::newRow("first save of a new base") << true << true << 0 << false;
        QTest::newRow("a save that failed") << true << false << int(SaveStep::DirectoryWritten) << false;
        QTest::newRow("a save whose last rename failed") << true << false << int(SaveStep::PageReplaced) << false;
    }

    void whichSavesLeaveABackup() {
        QFETCH(bool, keep);
        QFETCH(bool, newBase);
        QFETCH(int, failingStep);
        QFETCH(bool, backupIsOld);
        if (!keep)
            QVERIFY(writeFileBytes(iniFile(), "[Saving]\nKeepBackup=false\n"));
        const QString shop = f->writeSampleBase();
        // An earlier backup, one page longer than the base it was taken of.
        const QString backup = f->writeSampleBase(QStringLiteral("shop-backup"));
        QFile longer(backup + ".dat");
        QVERIFY(longer.open(QIODevice::Append) && longer.write(QByteArray(KeyPage::kSize, '\0')) == KeyPage::kSize);
        longer.close();
        const QByteArray shopDir = readFileBytes(shop + ".dir");
        const QByteArray shopDat = readFileBytes(shop + ".dat");
        const QByteArray earlierDir = readFileBytes(backup + ".dir");
        const QByteArray earlierDat = readFileBytes(backup + ".dat");

        MainWindow& w = f->start();
        QStringList files{"shop-backup.dat", "shop-backup.dir", "shop.dat", "shop.dir"};
        if (newBase) {
            w.runCommand(CommandId::NewFile);
            f->env.prompts.answerFile(f->userFolder() + "/fresh.dir");
            files << "fresh.dat"
                  << "fresh.dir";
            files.sort();
        } else {
            f->openBase(shop);
            editShownPage(w);
        }
        if (failingStep != 0) {
            setSaveStepHook([failingStep](SaveStep step) { return int(step) != failingStep; });
            f->env.prompts.answer(ButtonOk);
        }
        w.runCommand(CommandId::SaveFile);
        setSaveStepHook({});
        QCOMPARE(w.document().modified(), failingStep != 0);
        if (failingStep != 0)
            QCOMPARE(f->env.prompts.last().icon, PromptIcon::Error);
        // A save cut between its renames is completed before anything reads the base again.
        QVERIFY(recoverInterruptedSave(shop));

        QCOMPARE(filesIn(f->userFolder()), files);
        QCOMPARE(readFileBytes(backup + ".dir"), backupIsOld ? shopDir : earlierDir);
        QCOMPARE(readFileBytes(backup + ".dat"), backupIsOld ? shopDat : earlierDat);
        const bool shopChanged = !newBase && (failingStep == 0 || failingStep == int(SaveStep::PageReplaced));
        QCOMPARE(readFileBytes(shop + ".dat") != shopDat, shopChanged);
    }
};

QTEST_MAIN(BackupTest)
#include "tst_Backup.moc"
