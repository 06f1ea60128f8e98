// Start to first frame of the editor reopening the last key base, against a bare Qt Widgets
// window, run alternately in the same run; and the editor's peak memory at that frame.
//
// Each start is a child process (startup_probe, startup_probe_bare) that prints the monotonic
// clock at its first flushed frame; the time counted runs from just before the spawn to that
// moment. The editor gets a program folder of its own in a temporary folder: the configuration
// there names a copy of the demo base as the last base, and TEMP and XDG_RUNTIME_DIR point
// inside it too, so that no other running instance or simulated programmer is seen.
//
// Measured twice: on the offscreen platform, which has no display server to talk to, and on the
// display this benchmark runs on (an X server, Xvfb without a desktop: `xvfb-run -a bench_startup`),
// which is what a user's start goes through: the connection to the display, the window mapped,
// its first frame put on the screen.
//
// TERVANE_BENCH_DIR names the folder to work in (the system's temporary folder by default);
// with TERVANE_BENCH_KEEP set the program folder stays, for profiling a start by hand.

#include "seams/AppPaths.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace tervane;

namespace {

constexpr int kChildTimeoutMs = 60000;

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// One start as the child reported it.
struct Start {
    bool ok = false;
    double toFrameMs = 0;
    double toAppMs = 0; // the QApplication made
    double buildMs = 0; // the window made, from there
    double cpuMs = 0;
    double hwmMb = 0;
    double rssMb = 0;
    bool pageShown = false;
    QByteArray error;
};

long long field(const QByteArray& line, const QByteArray& name) {
    for (const QByteArray& part : line.trimmed().split(' ')) {
        if (part.startsWith(name + '='))
            return part.mid(name.size() + 1).toLongLong();
    }
    return -1;
}

Start runProbe(const QString& program, const QStringList& arguments, const std::vector<QByteArray>& environment) {
    Start result;
    std::vector<QByteArray> argStorage{QFile::encodeName(program)};
    for (const QString& a : arguments)
        argStorage.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> envStorage = environment;
    std::vector<char*> envp;
    for (QByteArray& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) {
        result.error = "pipe";
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);

    const long long spawnedNs = monotonicNs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        result.error = "cannot start " + argStorage.front();
        return result;
    }

    QByteArray output;
    const long long deadline = spawnedNs + (long long)kChildTimeoutMs * 1000000;
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int wait = int(std::max<long long>(0, (deadline - monotonicNs()) / 1000000));
        const int ready = poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            kill(pid, SIGKILL);
            result.error = "no frame in time";
            break;
        }
        char buffer[512];
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        output.append(buffer, n);
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!result.error.isEmpty())
        return result;
    const long long frameNs = field(output, "frame_ns");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || frameNs <= 0) {
        result.error = "the probe failed: " + output;
        return result;
    }
    result.ok = true;
    result.toFrameMs = double(frameNs - spawnedNs) / 1e6;
    result.toAppMs = double(field(output, "app_ns") - spawnedNs) / 1e6;
    result.buildMs = double(field(output, "built_ns") - field(output, "app_ns")) / 1e6;
    result.cpuMs = double(field(output, "cpu_us")) / 1e3;
    result.hwmMb = double(field(output, "hwm_kb")) / 1024;
    result.rssMb = double(field(output, "rss_kb")) / 1024;
    result.pageShown = field(output, "page_shown") == 1;
    return result;
}

// A program folder with a configuration naming a copy of the demo base as the last base.
struct EditorInstall {
    QTemporaryDir dir;
    QString program;
    QString temp;
    std::vector<QByteArray> environment;

    EditorInstall(const QString& parent, const QByteArray& platform)
        : dir(parent + QStringLiteral("/tervane-startup-XXXXXX")), program(dir.path() + QStringLiteral("/program")),
          temp(dir.path() + QStringLiteral("/temp")), m_platform(platform) {}

    bool prepare() {
        if (!dir.isValid())
            return false;
        if (qEnvironmentVariableIsSet("TERVANE_BENCH_KEEP")) {
            // Keeps the program folder for profiling a start by hand.
            dir.setAutoRemove(false);
            std::fprintf(stderr, "program folder kept: %s\n", qPrintable(dir.path()));
        }
        const QString user = dir.path() + QStringLiteral("/user");
        const QString run = dir.path() + QStringLiteral("/run");
        QDir root(dir.path());
        if (!root.mkpath(QStringLiteral("program")) || !root.mkpath(QStringLiteral("user")) ||
            !root.mkpath(QStringLiteral("temp")) || !root.mkpath(QStringLiteral("run")))
            return false;
        ::chmod(QFile::encodeName(run).constData(), 0700);
        const QString base = user + QStringLiteral("/demo");
        if (!QFile::copy(QStringLiteral(TERVANE_DEMO_BASE ".dir"), base + QStringLiteral(".dir")) ||
            !QFile::copy(QStringLiteral(TERVANE_DEMO_BASE ".dat"), base + QStringLiteral(".dat")))
            return false;

        DefaultAppPaths paths(program, [this](const char*) { return temp; });
        appPathsSeam().install(&paths);
        settings().setDefaults();
        settings().setLastBasePath(QFile::encodeName(QDir::toNativeSeparators(base)));
        const bool saved = SaveSettings();
        appPathsSeam().install(nullptr);
        if (!saved)
            return false;

        for (char** e = environ; *e; ++e) {
            const QByteArray entry(*e);
            if (!entry.startsWith("TEMP=") && !entry.startsWith("XDG_RUNTIME_DIR=") &&
                !entry.startsWith("QT_QPA_PLATFORM="))
                environment.push_back(entry);
        }
        environment.push_back("QT_QPA_PLATFORM=" + m_platform);
        environment.push_back("TEMP=" + QFile::encodeName(temp));
        environment.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(run));
        return true;
    }

    // The probe leaves its working copy behind (it never runs the close sequence).
    void dropWorkingCopies() const {
        QDir folder(temp);
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
            folder.remove(name);
    }

    Start startEditor() const {
        dropWorkingCopies();
        return runProbe(QStringLiteral(TERVANE_STARTUP_PROBE), {QStringLiteral("--program-folder"), program},
                        environment);
    }
    Start startBare() const { return runProbe(QStringLiteral(TERVANE_STARTUP_PROBE_BARE), {}, environment); }

private:
    QByteArray m_platform;
};

// The platform of the display this runs on; empty when there is none.
QByteArray displayPlatform() {
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return "xcb";
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return "wayland";
    return {};
}

QString parentFolder() {
    const QString chosen = qEnvironmentVariable("TERVANE_BENCH_DIR");
    return chosen.isEmpty() ? QDir::tempPath() : chosen;
}

// Argument 0: offscreen; 1: on the display.
void BM_StartToFirstFrame(benchmark::State& state) {
    const QByteArray platform = state.range(0) ? displayPlatform() : QByteArray("offscreen");
    if (platform.isEmpty()) {
        state.SkipWithError("no display: run it under xvfb-run -a");
        return;
    }
    state.SetLabel(platform.toStdString());
    EditorInstall install(parentFolder(), platform);
    if (!install.prepare()) {
        state.SkipWithError("cannot prepare the program folder");
        return;
    }
    // The first starts load the libraries and fonts from disk; no start after them does.
    const Start warmEditor = install.startEditor();
    const Start warmBare = install.startBare();
    if (!warmEditor.ok || !warmBare.ok || !warmEditor.pageShown) {
        state.SkipWithError(!warmEditor.ok ? warmEditor.error.constData()
                            : !warmBare.ok ? warmBare.error.constData()
                                           : "the editor did not reopen the last base");
        return;
    }
    double editorMs = 0, bareMs = 0, editorCpu = 0, bareCpu = 0, hwm = 0, rss = 0, bareHwm = 0;
    double editorApp = 0, bareApp = 0, editorBuild = 0, bareBuild = 0;
    std::vector<double> ratios;
    bool editorFirst = false;
    for (auto _ : state) {
        editorFirst = !editorFirst;
        Start editor, bare;
        if (editorFirst) {
            editor = install.startEditor();
            bare = install.startBare();
        } else {
            bare = install.startBare();
            editor = install.startEditor();
        }
        if (!editor.ok || !bare.ok || !editor.pageShown) {
            state.SkipWithError(!editor.ok ? editor.error.constData()
                                : !bare.ok ? bare.error.constData()
                                           : "the editor did not reopen the last base");
            break;
        }
        state.SetIterationTime(editor.toFrameMs / 1000);
        ratios.push_back(editor.toFrameMs / bare.toFrameMs);
        editorMs += editor.toFrameMs;
        editorApp += editor.toAppMs;
        editorBuild += editor.buildMs;
        editorCpu += editor.cpuMs;
        bareMs += bare.toFrameMs;
        bareApp += bare.toAppMs;
        bareBuild += bare.buildMs;
        bareCpu += bare.cpuMs;
        hwm = std::max(hwm, editor.hwmMb);
        rss = std::max(rss, editor.rssMb);
        bareHwm = std::max(bareHwm, bare.hwmMb);
    }
    if (ratios.empty())
        return;
    const double n = double(ratios.size());
    // The median of the pairs' ratios: a start that another session's load slowed down counts once.
    std::sort(ratios.begin(), ratios.end());
    const std::size_t mid = ratios.size() / 2;
    state.counters["ratio"] = ratios.size() % 2 ? ratios[mid] : (ratios[mid - 1] + ratios[mid]) / 2;
    state.counters["ratio_total"] = editorMs / bareMs;
    state.counters["bare_ms"] = bareMs / n;
    state.counters["cpu_ms"] = editorCpu / n;
    state.counters["bare_cpu_ms"] = bareCpu / n;
    state.counters["cpu_ratio"] = editorCpu / bareCpu;
    // Where the time goes: to the QApplication, building the window, and from there (showing,
    // laying out, painting) to the flushed frame.
    state.counters["app_ms"] = editorApp / n;
    state.counters["build_ms"] = editorBuild / n;
    state.counters["paint_ms"] = (editorMs - editorApp - editorBuild) / n;
    state.counters["bare_app_ms"] = bareApp / n;
    state.counters["bare_build_ms"] = bareBuild / n;
    state.counters["bare_paint_ms"] = (bareMs - bareApp - bareBuild) / n;
    state.counters["hwm_MB"] = hwm;
    state.counters["rss_MB"] = rss;
    state.counters["bare_hwm_MB"] = bareHwm;
}
BENCHMARK(BM_StartToFirstFrame)
    ->ArgName("display")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
