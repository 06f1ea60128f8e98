#include "DeviceTestRig.h"
#include "OrvelSimProcess.h"

#include "device/SocketTransport.h"
#include "device/SystemTransport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace tervane;
using namespace tervane::test;

namespace {

// A listening SOCK_SEQPACKET socket standing in for a programmer.
class SocketProgrammer {
public:
    explicit SocketProgrammer(const QString& path, bool listen = true) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray encoded = QFile::encodeName(path);
        std::memcpy(address.sun_path, encoded.constData(), static_cast<std::size_t>(encoded.size()));
        m_listen = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        if (listen)
            ::listen(m_listen, 4);
    }
    ~SocketProgrammer() {
        closeClient();
        if (m_listen >= 0)
            ::close(m_listen);
    }
    bool accept() {
        m_client = ::accept(m_listen, nullptr, nullptr);
        return m_client >= 0;
    }
    QByteArray receive() {
        char buffer[256];
        const ssize_t n = ::recv(m_client, buffer, sizeof(buffer), 0);
        return n < 0 ? QByteArray() : QByteArray(buffer, static_cast<int>(n));
    }
    bool send(const QByteArray& message) {
        return ::send(m_client, message.constData(), static_cast<std::size_t>(message.size()), MSG_NOSIGNAL) ==
               message.size();
    }
    void closeClient() {
        if (m_client >= 0)
            ::close(m_client);
        m_client = -1;
    }

private:
    int m_listen = -1;
    int m_client = -1;
};

// orvel-sim as a second process, synchronised on the lines it prints.
// orvel-sim with its devices folder under runtimeDir.
class OrvelSim : public tervane::test::OrvelSimProcess {
public:
    OrvelSim(const QString& runtimeDir, const QStringList& arguments)
        : tervane::test::OrvelSimProcess(QStringLiteral(ORVEL_SIM_PATH), environment(runtimeDir), arguments) {}

private:
    static QProcessEnvironment environment(const QString& runtimeDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        return env;
    }
};

} // namespace

class TestSocketTransport : public QObject {
    Q_OBJECT

private slots:
    void devicesFolder_data();
    void devicesFolder();
    void findsSocketsByName();
    void oneReportPerMessage();
    void peerClosingIsUnplugging();
    void systemTransportListsSocketsLast();
    void againstOrvelSim();
    void lateAnswerFromOrvelSim();
};

void TestSocketTransport::devicesFolder_data() {
    QTest::addColumn<QByteArray>("runtimeDir");
    QTest::addColumn<QString>("folder");

    QTest::newRow("runtime folder") << QByteArray("/run/user/1000") << "/run/user/1000/tervane/devices";
    QTest::newRow("no runtime folder") << QByteArray() << QStringLiteral("/tmp/tervane-%1/devices").arg(::getuid());
}

void TestSocketTransport::devicesFolder() {
    QFETCH(QByteArray, runtimeDir);
    QFETCH(QString, folder);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    if (runtimeDir.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtimeDir);
    const QString found = SocketTransport::devicesFolder();
    if (saved.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", saved);
    QCOMPARE(found, folder);
}

void TestSocketTransport::findsSocketsByName() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/tervane/devices");
    SocketTransport transport(folder);
    QVERIFY(QDir(folder).exists()); // made so that it can be watched
    QVERIFY(transport.findPaths().isEmpty());

    QSignalSpy notices(&transport, &HidTransport::devicesChanged);
    SocketProgrammer zulu(folder + QStringLiteral("/zulu.sock"));
    QVERIFY(notices.wait(5000));
    SocketProgrammer alpha(folder + QStringLiteral("/alpha.sock"));
    SocketProgrammer other(folder + QStringLiteral("/other.socket"));
    QFile plain(folder + QStringLiteral("/plain.sock"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    QCOMPARE(transport.findPaths(),
             (QStringList{folder + QStringLiteral("/alpha.sock"), folder + QStringLiteral("/zulu.sock")}));
}

void TestSocketTransport::oneReportPerMessage() {
    QTemporaryDir dir;
    SocketTransport transport(dir.path());
    SocketProgrammer programmer(dir.path() + QStringLiteral("/p.sock"));
    const QString path = transport.findPath();
    QVERIFY(transport.open(path));
    QVERIFY(transport.isOpen());
    QCOMPARE(transport.openPath(), path);
    QVERIFY(programmer.accept());

    Report out{};
    for (int i = 0; i < ReportSize; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    QVERIFY(transport.writeReport(out.data(), 3000));
    QCOMPARE(programmer.receive(), QByteArray(reinterpret_cast<const char*>(out.data()), ReportSize));

    Report in{};
    QVERIFY(!transport.readReport(in.data(), 10));
    // A message of any other size is no report.
    QVERIFY(programmer.send(QByteArray(64, '\x01')));
    QVERIFY(!transport.readReport(in.data(), 1000));
    QVERIFY(programmer.send(QByteArray(66, '\x01')));
    QVERIFY(!transport.readReport(in.data(), 1000));
    const QByteArray answer(ReportSize, '\x07');
    QVERIFY(programmer.send(answer));
    QVERIFY(transport.readReport(in.data(), 1000));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(in.data()), ReportSize), answer);
    QVERIFY(!transport.openDeviceLost());

    transport.close();
    QVERIFY(!transport.isOpen());
    QVERIFY(!transport.writeReport(out.data(), 10));
}

void TestSocketTransport::peerClosingIsUnplugging() {
    QTemporaryDir dir;
    SocketTransport transport(dir.path());
    SocketProgrammer programmer(dir.path() + QStringLiteral("/p.sock"));
    QVERIFY(transport.open(transport.findPath()));
    QVERIFY(programmer.accept());

    QSignalSpy notices(&transport, &HidTransport::devicesChanged);
    programmer.closeClient();
    QVERIFY(notices.wait(5000));
    QVERIFY(transport.openDeviceLost());
    Report report{};
    QVERIFY(!transport.readReport(report.data(), 10));

    // A socket nobody listens on is found but cannot be opened.
    SocketProgrammer deaf(dir.path() + QStringLiteral("/a.sock"), false);
    transport.close();
    QCOMPARE(transport.findPath(), dir.path() + QStringLiteral("/a.sock"));
    QVERIFY(!transport.open(dir.path() + QStringLiteral("/a.sock")));
    QVERIFY(!transport.isOpen());
}

void TestSocketTransport::systemTransportListsSocketsLast() {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const std::unique_ptr<HidTransport> transport = createSystemTransport();
    if (saved.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", saved);

    const QString folder = runtime.path() + QStringLiteral("/tervane/devices");
    SocketProgrammer b(folder + QStringLiteral("/b.sock"));
    SocketProgrammer a(folder + QStringLiteral("/a.sock"));
    const QStringList paths = transport->findPaths();
    // Whatever real programmers this machine has come first.
    QVERIFY(paths.size() >= 2);
    QCOMPARE(paths.mid(paths.size() - 2),
             (QStringList{folder + QStringLiteral("/a.sock"), folder + QStringLiteral("/b.sock")}));
    QVERIFY(transport->open(folder + QStringLiteral("/b.sock")));
    QVERIFY(b.accept());
    Report report{};
    QVERIFY(transport->writeReport(report.data(), 1000));
    QCOMPARE(b.receive().size(), ReportSize);
}

// The editor's side against a real second process: plug, detect, read a key, unplug, plug, and
// a simulator that dies while another one stays.
void TestSocketTransport::againstOrvelSim() {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    TestEnvironment env;
    RecordingStatusSink status;
    settings().setDefaults();
    SocketTransport transport;
    if (saved.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", saved);
    QCOMPARE(transport.folder(), runtime.path() + QStringLiteral("/tervane/devices"));

    DeviceLink link(&transport);
    DeviceProtocol protocol(link);
    DeviceDetector detector(protocol);
    int notices = 0;
    link.DeviceRegisterNotices([&] {
        ++notices;
        link.DeviceOpen();
    });

    OrvelSim sim(runtime.path(), {QStringLiteral("--model"), QStringLiteral("kestrel"), QStringLiteral("--firmware"),
                                  QStringLiteral("1.36"), QStringLiteral("--name"), QStringLiteral("demo")});
    const QString socketPath = transport.folder() + QStringLiteral("/demo.sock");
    QCOMPARE(sim.waitForLine(QStringLiteral("plugged")), QStringLiteral("plugged ") + socketPath);
    QTRY_VERIFY(link.DeviceConnected());

    detector.DetectDevice();
    QVERIFY(detector.DeviceAnswered());
    QCOMPARE(status.messages.last(), QStringLiteral("Found Orvel Kestrel [HID]"));
    QCOMPARE(settings().lastDeviceModel(), 4);
    QCOMPARE(sim.waitForLine(QStringLiteral("command identify")), QStringLiteral("command identify"));

    protocol.clearOutPayload();
    QVERIFY(protocol.Transact(CmdReadKeys));
    sim.command("key 1 01A2B3C4D5E6F700");
    QCOMPARE(sim.waitForLine(QStringLiteral("event")), QStringLiteral("event key-read 1 01A2B3C4D5E6F700"));
    // QTRY_VERIFY tests its expression once more at the end: poll until one answer was taken.
    bool polled = false;
    QTRY_VERIFY(polled || (polled = protocol.PollAnswer()));
    QCOMPARE(protocol.InAnswer[0], std::uint8_t(StatusKeyRead));
    QCOMPARE(protocol.InAnswer[1], std::uint8_t(1));
    const std::uint8_t code[8] = {0x01, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x00};
    QVERIFY(std::equal(code, code + 8, protocol.InAnswer.begin() + 2));

    sim.command("unplug");
    QCOMPARE(sim.waitForLine(QStringLiteral("unplugged")), QStringLiteral("unplugged"));
    QTRY_VERIFY(!link.DeviceConnected());
    QVERIFY(notices > 0);
    QVERIFY(!QFile::exists(socketPath));

    sim.command("plug");
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());
    QTRY_VERIFY(link.DeviceConnected());
    QVERIFY(protocol.Transact(CmdPing));

    // Pulled out by the command itself: the retries end quietly once the notice has come.
    sim.command("fault unplug");
    QVERIFY(!sim.waitForLine(QStringLiteral("fault set")).isEmpty());
    status.messages.clear();
    QVERIFY(!protocol.Transact(CmdPing));
    QVERIFY(!link.DeviceConnected());
    QVERIFY(!status.messages.contains(QStringLiteral("Data transfer error.")));
    sim.command("plug");
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());
    QTRY_VERIFY(link.DeviceConnected());

    // A simulator that dies leaves its socket file; a second one, listed after it, is used.
    sim.process.kill();
    QVERIFY(sim.process.waitForFinished());
    QTRY_VERIFY(!link.DeviceConnected());
    QVERIFY(QFile::exists(socketPath));
    OrvelSim second(runtime.path(), {QStringLiteral("--model"), QStringLiteral("wren"), QStringLiteral("--name"),
                                     QStringLiteral("zz")});
    QVERIFY(!second.waitForLine(QStringLiteral("plugged")).isEmpty());
    QTRY_VERIFY(link.DeviceConnected());
    QCOMPARE(transport.openPath(), transport.folder() + QStringLiteral("/zz.sock"));
    env.prompts.answer(ButtonOk); // not expected: the Wren's default firmware is new enough
    detector.DetectDevice();
    QCOMPARE(status.messages.last(), QStringLiteral("Found Orvel Wren [HID]"));
    QCOMPARE(env.prompts.pendingAnswers(), 1);

    second.command("quit");
    QVERIFY(second.process.waitForFinished(5000));
    QCOMPARE(second.process.exitCode(), 0);
    QVERIFY(!QFile::exists(transport.folder() + QStringLiteral("/zz.sock")));
}

// orvel-sim's delayed answer stays back while a wait for it runs, comes ahead of the answer to
// the next command, and left alone comes by itself.
void TestSocketTransport::lateAnswerFromOrvelSim() {
    QTemporaryDir runtime;
    SocketTransport transport(runtime.path() + QStringLiteral("/tervane/devices"));
    OrvelSim sim(runtime.path(), {QStringLiteral("--model"), QStringLiteral("kestrel"), QStringLiteral("--name"),
                                  QStringLiteral("late")});
    QVERIFY(!sim.waitForLine(QStringLiteral("plugged")).isEmpty());
    QVERIFY(transport.open(transport.findPath()));
    const auto send = [&](std::uint8_t code) {
        Report command{};
        command[1] = code;
        command[64] = reportChecksum(command.data());
        return transport.writeReport(command.data(), 3000);
    };
    Report answer{};

    sim.command("fault delayed-answer 2");
    QVERIFY(!sim.waitForLine(QStringLiteral("fault set")).isEmpty());
    QVERIFY(send(CmdPing));
    QVERIFY(!transport.readReport(answer.data(), 1000));
    // The next command lets the ping's answer out, while its own one stays back in turn.
    QVERIFY(send(CmdIdentify));
    QVERIFY(transport.readReport(answer.data(), 3000));
    QCOMPARE(answer[1], std::uint8_t(StatusAck));
    QCOMPARE(answer[2], std::uint8_t(0));
    QVERIFY(!transport.readReport(answer.data(), 1000));
    QVERIFY(send(CmdIdentify));
    for (int i = 0; i < 2; ++i) {
        QVERIFY(transport.readReport(answer.data(), 3000));
        QCOMPARE(answer[2], std::uint8_t('U'));
    }

    sim.command("fault delayed-answer");
    QVERIFY(!sim.waitForLine(QStringLiteral("fault set")).isEmpty());
    QVERIFY(send(CmdPing));
    QVERIFY(!transport.readReport(answer.data(), 1000));
    QVERIFY(transport.readReport(answer.data(), 10000));
    QCOMPARE(answer[1], std::uint8_t(StatusAck));
}

QTEST_GUILESS_MAIN(TestSocketTransport)
#include "tst_SocketTransport.moc"
