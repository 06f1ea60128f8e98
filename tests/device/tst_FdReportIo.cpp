// The bounded report transfer behind the hidraw backend, over pipes and socket pairs: the bound
// holds when the other side takes nothing, and a signal during the wait is no unplug.
#include "device/FdReportIo.h"

#include <QElapsedTimer>
#include <QTest>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace tervane;
using Result = FdReportIo::Result;

Q_DECLARE_METATYPE(Result)

namespace {

std::atomic<int> g_signals{0};

extern "C" void countSignal(int) {
    ++g_signals;
}

// Both ends of a pipe or a socket pair, closed at the end.
struct Ends {
    int read = -1;
    int write = -1;
    ~Ends() {
        if (read >= 0)
            ::close(read);
        if (write >= 0)
            ::close(write);
    }
};

// A pipe whose write end takes nothing more.
bool fullPipe(Ends& ends) {
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    ends.read = fds[0];
    ends.write = fds[1];
    const std::array<char, 4096> block{};
    while (::write(ends.write, block.data(), block.size()) > 0) {
    }
    return errno == EAGAIN;
}

// One message a report, like a hidraw node.
bool reportPair(Ends& ends) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    ends.read = fds[0];
    ends.write = fds[1];
    return true;
}

// While the test thread waits: signals that interrupt its wait, and only then the other side
// becomes ready.
class Interrupter {
public:
    Interrupter(std::function<void()> makeReady) : m_target(pthread_self()) {
        struct sigaction action {};
        action.sa_handler = countSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: the wait returns EINTR
        sigaction(SIGUSR1, &action, &m_previous);
        g_signals = 0;
        m_thread = std::thread([this, makeReady = std::move(makeReady)] {
            for (int i = 0; i < 3; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                pthread_kill(m_target, SIGUSR1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            makeReady();
        });
    }
    ~Interrupter() {
        m_thread.join();
        sigaction(SIGUSR1, &m_previous, nullptr);
    }

private:
    pthread_t m_target;
    struct sigaction m_previous {};
    std::thread m_thread;
};

} // namespace

class TestFdReportIo : public QObject {
    Q_OBJECT

private slots:
    void nothingWithinTheBound_data();
    void nothingWithinTheBound();
    void interruptedWaitGoesOn_data();
    void interruptedWaitGoesOn();
    void oneReportARead();
    void peerGoneFails();
};

void TestFdReportIo::nothingWithinTheBound_data() {
    QTest::addColumn<bool>("write");
    QTest::newRow("write into a full pipe") << true;
    QTest::newRow("read with nothing sent") << false;
}

// The call gives up after its bound, without calling the device gone.
void TestFdReportIo::nothingWithinTheBound() {
    QFETCH(bool, write);
    Ends ends;
    QVERIFY(write ? fullPipe(ends) : reportPair(ends));
    std::array<std::uint8_t, 65> report{};
    int count = -1;
    QElapsedTimer clock;
    clock.start();
    const Result result = write ? FdReportIo::write(ends.write, report.data(), 65, 50, count)
                                : FdReportIo::read(ends.read, report.data(), 64, 50, count);
    QCOMPARE(result, Result::TimedOut);
    QVERIFY(clock.elapsed() >= 50);
    QCOMPARE(count, 0);
}

void TestFdReportIo::interruptedWaitGoesOn_data() {
    QTest::addColumn<bool>("write");
    QTest::newRow("write") << true;
    QTest::newRow("read") << false;
}

// Signals land while the call waits; it waits on and moves the report once the other side is
// ready, instead of taking the interruption for a device that went away.
void TestFdReportIo::interruptedWaitGoesOn() {
    QFETCH(bool, write);
    Ends ends;
    QVERIFY(write ? fullPipe(ends) : reportPair(ends));
    std::array<std::uint8_t, 65> report{};
    report.fill(0x3C);
    int count = -1;
    Result result = Result::Failed;
    {
        Interrupter interrupter([&] {
            if (write) {
                std::array<char, 65536> drain{};
                [[maybe_unused]] const ssize_t n = ::read(ends.read, drain.data(), drain.size());
            } else {
                [[maybe_unused]] const ssize_t n = ::send(ends.write, report.data(), 64, 0);
            }
        });
        result = write ? FdReportIo::write(ends.write, report.data(), 65, 5000, count)
                       : FdReportIo::read(ends.read, report.data(), 64, 5000, count);
    }
    QVERIFY(g_signals > 0);
    QCOMPARE(result, Result::Done);
    QCOMPARE(count, write ? 65 : 64);
}

void TestFdReportIo::oneReportARead() {
    Ends ends;
    QVERIFY(reportPair(ends));
    std::array<std::uint8_t, 64> first{};
    first.fill(1);
    std::array<std::uint8_t, 64> second{};
    second.fill(2);
    QCOMPARE(::send(ends.write, first.data(), first.size(), 0), ssize_t(64));
    QCOMPARE(::send(ends.write, second.data(), second.size(), 0), ssize_t(64));

    std::array<std::uint8_t, 64> got{};
    int count = 0;
    QCOMPARE(FdReportIo::read(ends.read, got.data(), 64, 0, count), Result::Done);
    QCOMPARE(count, 64);
    QVERIFY(got == first);
    QCOMPARE(FdReportIo::read(ends.read, got.data(), 64, 0, count), Result::Done);
    QVERIFY(got == second);
    // Nothing left: a read without a wait comes back at once.
    QCOMPARE(FdReportIo::read(ends.read, got.data(), 64, 0, count), Result::TimedOut);
}

// The other side closed, as a removed node reports: the device is gone.
void TestFdReportIo::peerGoneFails() {
    Ends ends;
    QVERIFY(reportPair(ends));
    ::close(ends.write);
    ends.write = -1;
    std::array<std::uint8_t, 64> got{};
    int count = 0;
    QCOMPARE(FdReportIo::read(ends.read, got.data(), 64, 1000, count), Result::Failed);
}

QTEST_GUILESS_MAIN(TestFdReportIo)
#include "tst_FdReportIo.moc"
