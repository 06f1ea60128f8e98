// orvel-sim: one simulated Orvel programmer on a socket of the devices folder, so that the editor
// and its tests can work without hardware.
#include "SimConsole.h"
#include "SimServer.h"
#include "device/SocketTransport.h"
#include "simulator/ProgrammerSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace tervane;

namespace {

int g_signalFds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalFds[1], &byte, 1);
}

void printLine(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// "lark", "wren", "kestrel", or a single letter byte as the identify answer carries it.
bool parseModel(const QString& text, std::uint8_t& letter) {
    const QString lower = text.toLower();
    if (lower == QLatin1String("lark"))
        letter = 'C';
    else if (lower == QLatin1String("wren"))
        letter = 'f';
    else if (lower == QLatin1String("kestrel"))
        letter = 'U';
    else if (text.size() == 1 && text.at(0).unicode() < 0x80)
        letter = static_cast<std::uint8_t>(text.at(0).unicode());
    else
        return false;
    return true;
}

QString description() {
    return QStringLiteral("Serves one simulated Orvel key programmer on the Unix socket <name>.sock in\n"
                          "$XDG_RUNTIME_DIR/tervane/devices (or /tmp/tervane-<uid>/devices without XDG_RUNTIME_DIR),\n"
                          "where the editor finds it as a plugged-in programmer.\n\n") +
           SimConsole::helpText() +
           QStringLiteral("\nOne line on standard output for each thing that happens:\n"
                          "  plugged <socket path> | unplugged | connected | disconnected\n"
                          "  command <name> [...]   a command from the editor (ping, identify, stop, read-keys,\n"
                          "                         write-blank <type> <code>, lock-key, read-row <n>, write-row <n>)\n"
                          "  event key-read <type> <code> | event done <code> | event cancelled\n"
                          "  read key presented | write result set <code> | lock result set <code> | fault set <kind>\n"
                          "  row <n> set\n"
                          "  cancelled | nothing to cancel | error <reason>\n\n"
                          "Example: orvel-sim --model kestrel --firmware 1.36 --name demo");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvel-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    const QCommandLineOption modelOption(QStringLiteral("model"),
                                         QStringLiteral("lark, wren, kestrel, or the identify letter (default lark)."),
                                         QStringLiteral("model"), QStringLiteral("lark"));
    const QCommandLineOption firmwareOption(QStringLiteral("firmware"),
                                            QStringLiteral("Firmware version text (default: the model's oldest "
                                                           "accepted one, 3.82, 1.10 or 1.36)."),
                                            QStringLiteral("text"));
    const QCommandLineOption nameOption(QStringLiteral("name"), QStringLiteral("Socket name (default orvel)."),
                                        QStringLiteral("name"), QStringLiteral("orvel"));
    const QCommandLineOption rowsOption(QStringLiteral("rows"),
                                        QStringLiteral("Rows of key memory, 100 or 500 (default 100 for a Lark, "
                                                       "500 otherwise)."),
                                        QStringLiteral("rows"));
    parser.addOptions({modelOption, firmwareOption, nameOption, rowsOption});
    parser.process(app);

    std::uint8_t letter = 'C';
    if (!parseModel(parser.value(modelOption), letter)) {
        std::fprintf(stderr, "orvel-sim: unknown model \"%s\"\n", qPrintable(parser.value(modelOption)));
        return 2;
    }
    int rows = 0;
    if (parser.isSet(rowsOption)) {
        rows = parser.value(rowsOption).toInt();
        if (rows != 100 && rows != 500) {
            std::fprintf(stderr, "orvel-sim: --rows takes 100 or 500\n");
            return 2;
        }
    }
    const QString name = parser.value(nameOption);
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) {
        std::fprintf(stderr, "orvel-sim: --name must be a plain file name\n");
        return 2;
    }
    const std::string firmware = parser.isSet(firmwareOption) ? parser.value(firmwareOption).toStdString()
                                                              : ProgrammerSimulator::defaultFirmware(letter);

    const QString folder = SocketTransport::devicesFolder();
    if (!SocketTransport::ensureFolder(folder)) {
        std::fprintf(stderr, "orvel-sim: cannot create %s\n", qPrintable(folder));
        return 1;
    }

    ProgrammerSimulator simulator(letter, firmware, rows);
    SimServer server(simulator, folder + QLatin1Char('/') + name + QStringLiteral(".sock"), printLine);
    SimConsole console(simulator, server, printLine);
    QObject::connect(&console, &SimConsole::quitRequested, &app, &QCoreApplication::quit);

    // A terminating signal still removes the socket, so that no dead programmer stays listed.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalFds) == 0) {
        auto* notifier = new QSocketNotifier(g_signalFds[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }

    if (!server.start())
        return 1;
    console.start();
    // The server's end removes the socket.
    return app.exec();
}
