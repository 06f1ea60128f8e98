// A whole key memory of 500 rows downloaded, with the real event pump: once over the in-process
// simulator (the protocol's own cost) and once over the socket to an orvel-sim process (what a
// user of the simulator waits for). The socket case needs orvel-sim built beside the benchmarks,
// or its path in ORVEL_SIM.
#include <QtGlobal>

#include "base/KeyPage.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "device/KeyBaseTransfer.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"
#ifdef Q_OS_UNIX
#include "device/SocketTransport.h"
#endif

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

using namespace tervane;

namespace {

constexpr int kRows = 500;

ProgrammerSimulator::Row memoryRow(int row) {
    ProgrammerSimulator::Row data{};
    data[0] = KeyTypeDallas;
    const QByteArray name = "Flat " + QByteArray::number(row);
    std::copy(name.begin(), name.end(), data.begin() + 1);
    data[26] = 0x01;
    data[27] = static_cast<std::uint8_t>(row);
    data[28] = static_cast<std::uint8_t>(row >> 8);
    return data;
}

// beforeRun runs outside the timing.
void downloadAll(benchmark::State& state, DeviceProtocol& protocol, const std::function<void()>& beforeRun = {}) {
    auto page = std::make_unique<KeyPage>();
    for (auto _ : state) {
        if (beforeRun) {
            state.PauseTiming();
            beforeRun();
            state.ResumeTiming();
        }
        bool modified = false;
        const TransferResult result = DownloadKeyBase(protocol, kRows, *page, {}, modified);
        if (result != TransferResult::Done) {
            state.SkipWithError("the download failed");
            return;
        }
        benchmark::DoNotOptimize(page->data());
    }
    state.counters["rows"] = kRows;
}

void BM_DownloadInProcess(benchmark::State& state) {
    ProgrammerSimulator simulator('U', "1.36");
    for (int row = 0; row < kRows; ++row)
        simulator.setRow(row, memoryRow(row));
    SimulatedTransport transport(simulator);
    DeviceLink link(&transport);
    link.DeviceOpen();
    DeviceProtocol protocol(link);
    // The simulator's log would otherwise grow with every run.
    downloadAll(state, protocol, [&simulator] { simulator.clearLog(); });
}
BENCHMARK(BM_DownloadInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef Q_OS_UNIX
QString orvelSimPath() {
    const QByteArray fromEnvironment = qgetenv("ORVEL_SIM");
    if (!fromEnvironment.isEmpty())
        return QFile::decodeName(fromEnvironment);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/orvel-sim/orvel-sim");
}

// The rows travel as CmdWriteBaseRow first, so the memory on the other side holds real keys.
void BM_DownloadOverSocket(benchmark::State& state) {
    QTemporaryDir runtime;
    const QString folder = runtime.path() + QStringLiteral("/tervane/devices");
    QProcess sim;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    sim.setProcessEnvironment(env);
    // One line per command would fill the pipe; the socket file says that it is up.
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.start(orvelSimPath(), {QStringLiteral("--model"), QStringLiteral("kestrel"), QStringLiteral("--name"),
                               QStringLiteral("bench")});
    if (!sim.waitForStarted(5000)) {
        state.SkipWithError("orvel-sim did not start (set ORVEL_SIM)");
        return;
    }
    const QString socket = folder + QStringLiteral("/bench.sock");
    for (QDeadlineTimer deadline(5000); !QFile::exists(socket) && !deadline.hasExpired();)
        QThread::msleep(5);

    SocketTransport transport(folder);
    DeviceLink link(&transport);
    link.DeviceOpen();
    DeviceProtocol protocol(link);
    auto source = std::make_unique<KeyPage>();
    for (int row = 0; row < kRows; ++row)
        applyDownloadRecord(*source, row, memoryRow(row));
    if (!link.DeviceConnected() || UploadKeyBase(protocol, kRows, *source, {}) != TransferResult::Done) {
        state.SkipWithError("no connection to orvel-sim");
    } else {
        downloadAll(state, protocol);
    }
    link.DeviceClose();
    sim.terminate();
    sim.waitForFinished(5000);
}
BENCHMARK(BM_DownloadOverSocket)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace

int main(int argc, char** argv) {
    // The real event pump and the socket's notifiers need an application object.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
