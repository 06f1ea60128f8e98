// The editor's entry: tervane [BASE]
// BASE, a key base's .dir file, is opened after the start-up sequence.
// --screenshot FILE saves a picture of the main window once it is shown, and quits.

#include "app/AppSession.h"
#include "device/DeviceLink.h"
#include "device/HidTransport.h"
#include "device/SystemTransport.h"
#include "seams/Prompts.h"
#include "seams/Shell.h"
#include "ui/MainWindow.h"
#include "ui/QtShell.h"
#include "ui/WidgetPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    QApplication::setOrganizationName(QStringLiteral("Tervane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tervane: an editor of intercom key bases."));
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the main window to FILE and quit."),
                                  QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("BASE"), QStringLiteral("A key base (.dir) to open."),
                                 QStringLiteral("[BASE]"));
    parser.process(app);

    tervane::WidgetPrompts prompts;
    const tervane::ScopedSeam<tervane::Prompts> promptsInstalled(tervane::promptsSeam(), &prompts);
    tervane::QtShell shell;
    const tervane::ScopedSeam<tervane::Shell> shellInstalled(tervane::shellSeam(), &shell);
    const std::unique_ptr<tervane::HidTransport> transport = tervane::createSystemTransport();
    tervane::deviceLink().setTransport(transport.get());

    const QStringList args = parser.positionalArguments();
    int result = 0;
    {
        tervane::AppSession session(args.isEmpty() ? QString() : args.first());
        session.show();
        tervane::MainWindow& window = session.window();
        if (parser.isSet(screenshot)) {
            const QString file = parser.value(screenshot);
            QTimer::singleShot(1500, &window, [&window, file] {
                window.grab().save(file);
                window.close();
                QApplication::quit();
            });
        }
        result = QApplication::exec();
    }
    tervane::deviceLink().setTransport(nullptr);
    return result;
}
