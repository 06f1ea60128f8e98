// Tools › Download update on the real main window against an update server on 127.0.0.1: the
// commands while it runs, the progress in the status bar, the saved and opened file, the
// window's close sequence after it, and a window closed in the middle of a download.

#include "LoopbackHttpServer.h"
#include "MainWindowFixture.h"
#include "RecordingShell.h"

#include "base/Document.h"
#include "settings/Settings.h"
#include "ui/StatusPanels.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

const QByteArray kList = "Tervane versions\n[Tervane FIRMWARE UPDATE LIST]\nV9.0 tervane-setup.run\n";

QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

QProgressBar* progressBar(MainWindow& w) {
    return w.status()->findChild<QProgressBar*>(QStringLiteral("UpdateProgress"));
}

void paintNow(MainWindow& w) {
    w.repaint();
    QApplication::processEvents();
}

// Tools › Download update, as the user picks it.
void chooseDownloadUpdate(MainWindow& w) {
    QMenu* tools = w.findChild<QMenu*>(QStringLiteral("MainMenuUtils"));
    QVERIFY(tools);
    QAction* item = action(w, "MainMenuUpdateSearch");
    QVERIFY(tools->actions().contains(item));
    QVERIFY(item->isEnabled());
    item->trigger();
}

} // namespace

class UpdateGuiTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        settings().setDefaults();
        qputenv("TERVANE_UPDATE_URL", server->url().toString().toUtf8());
    }
    void cleanup() {
        if (f->session) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            f->closeWindow();
        }
        f.reset();
        qunsetenv("TERVANE_UPDATE_URL");
        server = std::make_unique<LoopbackHttpServer>();
    }

    // The save question of the close sequence still comes; Cancel there keeps the window open.
    void downloadedSavedOpenedAndClosed_data() {
        QTest::addColumn<bool>("unsavedCancelled");
        QTest::newRow("closes") << false;
        QTest::newRow("save question cancelled") << true;
    }
    void downloadedSavedOpenedAndClosed() {
        QFETCH(bool, unsavedCancelled);
        const QByteArray update = LoopbackHttpServer::patternBytes(300000);
        server->serve("/update/swUpdate.ver", kList);
        server->serve("/update/orvel/tervane-setup.run", update);
        RecordingShell shell;
        MainWindow& w = f->start();
        if (unsavedCancelled) {
            settings().setSavePolicy(SavePolicy::Ask);
            f->openBase(f->writeSampleBase());
            w.document().setModified();
            f->env.prompts.clear();
        }
        paintNow(w);

        f->env.prompts.answer(ButtonYes);
        if (unsavedCancelled)
            f->env.prompts.answer(ButtonCancel);
        chooseDownloadUpdate(w);
        // One procedure at a time: no command runs until it has ended.
        QVERIFY(!action(w, "MainMenuUpdateSearch")->isEnabled());
        QVERIFY(!action(w, "MainMenuOpenFile")->isEnabled());
        QVERIFY(!action(w, "MainMenuExit")->isEnabled());
        QVERIFY(progressBar(w)->isVisible());
        QCOMPARE(f->panel(0), QStringLiteral("Connection to a server..."));
        paintNow(w);

        const QString saved = f->env.paths.softwareFolder() + QStringLiteral("/tervane-setup.run");
        QTRY_COMPARE_WITH_TIMEOUT(shell.files, QStringList{saved}, 20000);
        QCOMPARE(readFileBytes(saved), update);
        QCOMPARE(f->panel(0), QStringLiteral("The file: \"/software/tervane-setup.run\" is saved."));
        QCOMPARE(f->env.prompts.shown().first().caption, QStringLiteral("Software Update"));
        if (unsavedCancelled) {
            QTRY_COMPARE(f->env.prompts.pendingAnswers(), 0);
            paintNow(w);
            QVERIFY(w.isVisible());
            QVERIFY(action(w, "MainMenuUpdateSearch")->isEnabled());
            QVERIFY(action(w, "MainMenuOpenFile")->isEnabled());
            QVERIFY(!progressBar(w)->isVisible());
        } else {
            QTRY_VERIFY(!w.isVisible());
        }
    }

    // Closing the window while the update comes in: the download stops, nothing is written or
    // opened, and the window closes without waiting for the server.
    void closedDuringTheDownload() {
        server->serve("/update/swUpdate.ver", kList);
        server->serve("/update/orvel/tervane-setup.run",
                      {LoopbackHttpServer::patternBytes(500000), "200 OK", 20000, true});
        RecordingShell shell;
        MainWindow& w = f->start();
        f->env.prompts.answer(ButtonYes);
        chooseDownloadUpdate(w);
        const QString received =
            QStringLiteral("%1 of %2 bytes").arg(QLocale().toString(20000), QLocale().toString(500000));
        QTRY_COMPARE_WITH_TIMEOUT(progressBar(w)->text(), received, 20000);
        QCOMPARE(f->panel(0), QStringLiteral("Loading updatings..."));
        paintNow(w);
        QVERIFY(f->closeWindow());
        QApplication::processEvents();
        QCOMPARE(shell.files, QStringList{});
        QCOMPARE(QDir(f->env.paths.softwareFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }

private:
    std::unique_ptr<MainWindowFixture> f;
    std::unique_ptr<LoopbackHttpServer> server = std::make_unique<LoopbackHttpServer>();
};

QTEST_MAIN(UpdateGuiTest)
#include "tst_Update.moc"
