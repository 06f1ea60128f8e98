#include "SimConsole.h"

#include "SimServer.h"
#include "base/Cp1251.h"
#include "simulator/ProgrammerSimulator.h"

#include <QHash>
#include <QSocketNotifier>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace tervane {
namespace {

bool parseNumber(const QString& text, int max, int& value) {
    bool ok = false;
    value = text.toInt(&ok, 0); // decimal, or hex with 0x
    return ok && value >= 0 && value <= max;
}

bool parseCode(const QString& text, KeyCode& code) {
    if (text.size() != 16)
        return false;
    for (int i = 0; i < 8; ++i) {
        bool ok = false;
        code[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(text.mid(i * 2, 2).toUInt(&ok, 16));
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

SimConsole::SimConsole(ProgrammerSimulator& simulator, SimServer& server, Printer print, QObject* parent)
    : QObject(parent), m_simulator(simulator), m_server(server), m_print(std::move(print)) {}

QString SimConsole::helpText() {
    return QStringLiteral(
        "Commands on standard input, one a line:\n"
        "  key <type> <code>      present a key: type as a number (1 Dallas, 2 TM2002, 3 Cyfral,\n"
        "                         128 EM410x, 129 HID Prox II, 131 Indala), code as 16 hex digits,\n"
        "                         c[0] first; it is read at the next read-keys command\n"
        "  write-result <code>    the waiting (or next) write ends with this result code, 0 = success\n"
        "  lock-result <code>     the waiting (or next) lock ends with this result code, 0 = success\n"
        "  row <n> <type> <code> [name]\n"
        "                         put a key in row n of the programmer's key memory, with a name\n"
        "                         of up to 25 characters; type 0 empties the row\n"
        "  cancel                 the operation the programmer waits in ends as cancelled\n"
        "  fault <kind> [times]   misbehave on the next commands: no-answer, bad-checksum,\n"
        "                         wrong-echo, stale-event, unplug, delayed-answer (the answer\n"
        "                         comes 3.05 s late, just after the editor has stopped waiting\n"
        "                         for it; a command sent sooner gets it ahead of its own answer)\n"
        "  unplug                 remove the socket and close the connections\n"
        "  plug                   create the socket again\n"
        "  help                   this list\n"
        "  quit                   remove the socket and end\n");
}

void SimConsole::start() {
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimConsole::readable);
}

void SimConsole::readable() {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        // Without input the programmer stays plugged in, so that it can run in the background.
        m_notifier->setEnabled(false);
        if (!m_pending.isEmpty())
            execute(QString::fromLocal8Bit(m_pending));
        m_pending.clear();
        return;
    }
    m_pending.append(buffer, static_cast<int>(n));
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        execute(QString::fromLocal8Bit(line));
    }
}

void SimConsole::execute(const QString& line) {
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.first().startsWith(QLatin1Char('#')))
        return;
    const QString command = words.first().toLower();
    const auto usage = [this](const QString& text) { m_print(QStringLiteral("error usage: ") + text); };

    if (command == QLatin1String("key")) {
        int type = 0;
        KeyCode code{};
        if (words.size() != 3 || !parseNumber(words[1], 255, type) || !parseCode(words[2], code))
            return usage(QStringLiteral("key <type> <16 hex digits>"));
        m_simulator.presentKey(static_cast<std::uint8_t>(type), code);
        m_print(QStringLiteral("read key presented"));
    } else if (command == QLatin1String("write-result") || command == QLatin1String("lock-result")) {
        int code = 0;
        if (words.size() != 2 || !parseNumber(words[1], 255, code))
            return usage(command + QStringLiteral(" <code 0..255>"));
        const bool write = command == QLatin1String("write-result");
        if (write)
            m_simulator.setWriteResult(code);
        else
            m_simulator.setLockResult(code);
        m_print(
            QStringLiteral("%1 result set %2").arg(write ? QStringLiteral("write") : QStringLiteral("lock")).arg(code));
    } else if (command == QLatin1String("row")) {
        int row = 0;
        int type = 0;
        KeyCode code{};
        if (words.size() < 4 || !parseNumber(words[1], m_simulator.rowCount() - 1, row) ||
            !parseNumber(words[2], 255, type) || !parseCode(words[3], code))
            return usage(QStringLiteral("row <n> <type> <16 hex digits> [name]"));
        // The row record: the type, the name as the programmer stores it (Windows-1251, zero
        // after a shorter name), the code.
        ProgrammerSimulator::Row record{};
        if (type != 0) {
            record[0] = static_cast<std::uint8_t>(type);
            const QByteArray name = toCp1251(words.mid(4).join(QLatin1Char(' '))).left(25);
            std::copy(name.begin(), name.end(), record.begin() + 1);
            std::copy(code.begin(), code.end(), record.begin() + 26);
        }
        m_simulator.setRow(row, record);
        m_print(QStringLiteral("row %1 set").arg(row));
    } else if (command == QLatin1String("cancel")) {
        m_print(m_simulator.cancelWaiting() ? QStringLiteral("cancelled") : QStringLiteral("nothing to cancel"));
    } else if (command == QLatin1String("fault")) {
        static const QHash<QString, ProgrammerSimulator::Fault> kinds{
            {QStringLiteral("no-answer"), ProgrammerSimulator::Fault::NoAnswer},
            {QStringLiteral("bad-checksum"), ProgrammerSimulator::Fault::BadChecksum},
            {QStringLiteral("wrong-echo"), ProgrammerSimulator::Fault::WrongRowEcho},
            {QStringLiteral("stale-event"), ProgrammerSimulator::Fault::StaleEvent},
            {QStringLiteral("unplug"), ProgrammerSimulator::Fault::Unplug},
            {QStringLiteral("delayed-answer"), ProgrammerSimulator::Fault::DelayedAnswer},
        };
        int times = 1;
        if (words.size() < 2 || words.size() > 3 || !kinds.contains(words[1]) ||
            (words.size() == 3 && (!parseNumber(words[2], 1000000, times) || times < 1)))
            return usage(
                QStringLiteral("fault no-answer|bad-checksum|wrong-echo|stale-event|unplug|delayed-answer [times]"));
        m_simulator.injectFault(kinds.value(words[1]), times);
        m_print(QStringLiteral("fault set ") + words[1]);
    } else if (command == QLatin1String("unplug")) {
        if (!m_simulator.plugged())
            m_print(QStringLiteral("unplugged"));
        m_simulator.unplug();
    } else if (command == QLatin1String("plug")) {
        if (m_simulator.plugged())
            m_print(QStringLiteral("plugged ") + m_server.socketPath());
        m_simulator.plug();
    } else if (command == QLatin1String("help")) {
        for (const QString& helpLine : helpText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            m_print(helpLine);
    } else if (command == QLatin1String("quit")) {
        emit quitRequested();
    } else {
        m_print(QStringLiteral("error unknown command: ") + command + QStringLiteral(" (try help)"));
    }
    m_server.deliver();
}

} // namespace tervane
