// The about box on the real main window: its texts in both languages, the link through the
// shell, and the window it disables while it is shown.

#include "MainWindowFixture.h"
#include "RecordingShell.h"

#include "BuildConfig.h"
#include "dialogs/AboutDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/HelpCommands.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tervane;
using namespace tervane::test;

namespace {

AboutDialog& about(MainWindow& w) {
    return *w.help().aboutBox();
}

QLabel* label(MainWindow& w, const char* name) {
    return about(w).findChild<QLabel*>(QString::fromLatin1(name));
}

void paintNow(MainWindow& w) {
    w.repaint();
    if (about(w).isVisible())
        about(w).repaint();
    QApplication::processEvents();
}

void openAbout(MainWindow& w) {
    w.runCommand(CommandId::HelpAbout);
    paintNow(w);
}

QColor linkColour(MainWindow& w) {
    return label(w, "WebLabel1")->palette().color(QPalette::WindowText);
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<MainWindowFixture>();
        settings().setDefaults();
    }
    void cleanup() {
        if (f->session) {
            settings().setSavePolicy(SavePolicy::DoNotSave);
            f->closeWindow();
        }
        f.reset();
    }

    void textsInTheProgramsLanguage_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("web");
        QTest::newRow("Russian") << 2 << QStringLiteral("О программе")
                                 << QStringLiteral("Tervane, версия %1\nРедактор баз ключей для программаторов "
                                                   "Orvel\n© Orvel. Все права защищены.")
                                 << QStringLiteral("Сайт программы:");
        QTest::newRow("English") << 1 << QStringLiteral("About")
                                 << QStringLiteral("Tervane, version %1\nKey base editor for Orvel programmers\n"
                                                   "© Orvel. All rights reserved.")
                                 << QStringLiteral("Web site:");
    }
    void textsInTheProgramsLanguage() {
        QFETCH(int, setting);
        QFETCH(QString, title);
        QFETCH(QString, notice);
        QFETCH(QString, web);
        settings().setLanguageSetting(LanguageSetting(setting));
        QVERIFY(SaveSettings());
        MainWindow& w = f->start();
        openAbout(w);
        QCOMPARE(about(w).objectName(), QStringLiteral("TAboutForm"));
        QCOMPARE(about(w).windowTitle(), title);
        QCOMPARE(label(w, "CopyrightLabel")->text(), notice.arg(QLatin1String(config::kVersion)));
        QCOMPARE(label(w, "WebLabel")->text(), web);
        QCOMPARE(label(w, "WebLabel1")->text(), QString::fromLatin1(config::kWebUrl));
        QCOMPARE(about(w).findChild<QPushButton*>(QStringLiteral("OkButton"))->text(), QStringLiteral("OK"));
        // The address stands right of its label, whatever that label's length.
        QVERIFY(label(w, "WebLabel1")->x() > label(w, "WebLabel")->geometry().right());

        QLabel* logo = label(w, "LogoLabel");
        QCOMPARE(logo->text(), QStringLiteral("Orvel"));
        QCOMPARE(logo->font().pointSize(), 26);
        QVERIFY(logo->font().bold());
        QVERIFY(qobject_cast<QGraphicsDropShadowEffect*>(logo->graphicsEffect()));
        // The brand stands out above the texts.
        QVERIFY(logo->height() > 2 * label(w, "WebLabel")->height());
    }

    void shownOverTheDisabledWindowUntilClosed_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("OK") << false;
        QTest::newRow("close box") << true;
    }
    void shownOverTheDisabledWindowUntilClosed() {
        QFETCH(bool, closeBox);
        MainWindow& w = f->start();
        openAbout(w);
        AboutDialog& box = about(w);
        QVERIFY(box.isVisible());
        QVERIFY(!box.isModal());
        QVERIFY(!w.isEnabled());
        const QRect main = w.geometry();
        QCOMPARE(box.geometry().left(), main.left() + main.width() / 2 - box.width() / 2);
        QCOMPARE(box.geometry().top(), main.top() + main.height() / 2 - box.height() / 2);
        if (closeBox)
            QVERIFY(box.close());
        else
            QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
        paintNow(w);
        QVERIFY(!box.isVisible());
        QVERIFY(w.isEnabled());
        // Made once, shown again.
        openAbout(w);
        QCOMPARE(&about(w), &box);
        QVERIFY(box.isVisible());
    }

    void linkChangesColourUnderTheMouseAndOpensTheSite() {
        RecordingShell shell;
        MainWindow& w = f->start();
        openAbout(w);
        QLabel* link = label(w, "WebLabel1");
        const QColor normal = linkColour(w);
        QCOMPARE(normal, about(w).palette().color(QPalette::Link));

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(link, &enter);
        paintNow(w);
        QVERIFY(linkColour(w) != normal);
        QVERIFY(link->font().underline());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        QCOMPARE(linkColour(w), normal);

        QVERIFY(shell.urls.isEmpty());
        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(shell.urls, QStringList{QString::fromLatin1(config::kWebUrl)});
        // The box stays open over the browser.
        QVERIFY(about(w).isVisible());
        QTest::keyClick(link, Qt::Key_Space);
        QCOMPARE(shell.urls.size(), 2);
    }

    // A picture of the box for the documentation, when TERVANE_SCREENSHOTS names a folder; taken
    // on a real display (QT_QPA_PLATFORM=xcb, under xvfb-run on a server).
    void screenshot() {
        const QString folder = qEnvironmentVariable("TERVANE_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("TERVANE_SCREENSHOTS names no folder");
        MainWindow& w = f->start();
        openAbout(w);
        QTest::qWait(200);
        QVERIFY(about(w).grab().save(folder + QStringLiteral("/about.png")));
        QTest::mouseClick(about(w).findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    }

private:
    std::unique_ptr<MainWindowFixture> f;
};

QTEST_MAIN(AboutTest)
#include "tst_About.moc"
