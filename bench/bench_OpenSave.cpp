// Opening and saving a large key base against the system's own copy of the same files, measured
// side by side in the same run so that both see the same disk and the same load.
//
// The references run as child processes: `cp` of the two files for Open (the working copy is a
// copy of them), and `cp` followed by `sync FILE...` (an fsync of just those two files) for Save.
// Before each timed step everything dirty is flushed with sync(), untimed, so that no step pays
// for the write-back of the one before.
//
// TERVANE_BENCH_DIR names the folder to work in (the system's temporary folder by default); the
// base and the temporary folder of working copies are made inside it.

#include "BenchSupport.h"

#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/Document.h"
#include "base/KeyPage.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "settings/ProgramOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace tervane;
using tervane::bench::CountingPrompts;

namespace {

constexpr int kFileNodes = 2000;
constexpr int kStreets = 100;
constexpr int kHousesPerStreet = 9;
constexpr int kFilesPerHouse = 2;
// The files not in a house sit directly in their street.
constexpr int kFilesPerStreet = (kFileNodes - kStreets * kHousesPerStreet * kFilesPerHouse) / kStreets;
static_assert(kFilesPerStreet * kStreets + kStreets * kHousesPerStreet * kFilesPerHouse == kFileNodes);

double nowSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double rusageSeconds(const rusage& usage) {
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// A step's wall time and the processor time it used (user and system).
struct Timing {
    double wall = 0;
    double cpu = 0;
    bool ok = false;
};

template <typename Step> Timing timeInProcess(Step&& step) {
    Timing t;
    const double cpu0 = nowSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall0 = nowSeconds(CLOCK_MONOTONIC);
    t.ok = step();
    t.wall = nowSeconds(CLOCK_MONOTONIC) - wall0;
    t.cpu = nowSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    return t;
}

// Runs a program and waits for it; the processor time is the child's own.
Timing timeChild(const QStringList& arguments) {
    std::vector<QByteArray> storage;
    for (const QString& a : arguments)
        storage.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Timing t;
    const double wall0 = nowSeconds(CLOCK_MONOTONIC);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return t;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return t;
    t.wall = nowSeconds(CLOCK_MONOTONIC) - wall0;
    t.cpu = rusageSeconds(usage);
    t.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return t;
}

class BenchPaths final : public AppPaths {
public:
    explicit BenchPaths(QString root) : m_root(std::move(root)) {}
    QString programFolder() const override { return m_root + QStringLiteral("/program"); }
    QString configFile() const override { return programFolder() + QStringLiteral("/Tervane.cfg"); }
    QString tempFolder() const override { return m_root + QStringLiteral("/temp"); }
    QString softwareFolder() const override { return programFolder() + QStringLiteral("/software"); }

private:
    QString m_root;
};

// A key base of 1000 folders and 2000 files, each file with its own page holding a few keys and
// comments: 3000 nodes, 189 MB of pages.
struct LargeBase {
    QTemporaryDir dir;
    BenchPaths paths;
    CountingPrompts prompts;
    QString base;

    explicit LargeBase(const QString& parent)
        : dir(parent + QStringLiteral("/tervane-bench-XXXXXX")), paths(dir.path()),
          base(dir.path() + QStringLiteral("/user/city")) {
        appPathsSeam().install(&paths);
        promptsSeam().install(&prompts);
        QDir root(dir.path());
        root.mkpath(QStringLiteral("user"));
        root.mkpath(QStringLiteral("temp"));
        root.mkpath(QStringLiteral("program"));
        root.mkpath(QStringLiteral("reference"));
    }
    ~LargeBase() {
        promptsSeam().install(nullptr);
        appPathsSeam().install(nullptr);
    }

    QString reference() const { return dir.path() + QStringLiteral("/reference"); }

    bool write() {
        if (!dir.isValid())
            return false;
        BaseTree tree;
        int page = 0;
        auto addFile = [&tree, &page](BaseNode* parent) {
            BaseNode* file = tree.addChild(parent);
            file->text = "Entrance " + QByteArray::number(page);
            file->imageIndex = ImageFile;
            file->selectedIndex = ImageFileSelected;
            file->pageNumber = page++;
        };
        for (int s = 0; s < kStreets; ++s) {
            BaseNode* street = tree.addChild(nullptr);
            street->text = "Street " + QByteArray::number(s);
            street->expanded = s < 3;
            for (int h = 0; h < kHousesPerStreet; ++h) {
                BaseNode* house = tree.addChild(street);
                house->text = "House " + QByteArray::number(h);
                for (int f = 0; f < kFilesPerHouse; ++f)
                    addFile(house);
            }
            for (int f = 0; f < kFilesPerStreet; ++f)
                addFile(street);
        }
        tree.select(tree.nodeAt(2)); // the first house's first file
        if (tree.size() != 3000 || page != kFileNodes || !SaveDirectory(base + QStringLiteral(".dir"), tree))
            return false;

        QFile dat(base + QStringLiteral(".dat"));
        if (!dat.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        for (int n = 0; n < kFileNodes; ++n) {
            KeyPage p;
            for (int row = 0; row < 40; ++row) {
                p.data()[KeyPage::cellOffset(row, row % KeyPage::kKeyColumns)] = KeyTypeDallas;
                p.data()[KeyPage::cellOffset(row, row % KeyPage::kKeyColumns) + 3] = std::uint8_t(n + row);
                p.setComment(row, "Flat " + QByteArray::number(row + 1));
            }
            if (dat.write(reinterpret_cast<const char*>(p.data()), KeyPage::kSize) != KeyPage::kSize)
                return false;
        }
        return dat.flush();
    }
};

QString parentFolder() {
    const QString chosen = qEnvironmentVariable("TERVANE_BENCH_DIR");
    return chosen.isEmpty() ? QDir::tempPath() : chosen;
}

// Each iteration's step and its reference. The machine is shared and its memory virtual: now
// and then one copy runs at a fraction of its usual speed, so the ratio is the median of the
// iterations' ratios; the ratio of the totals is given too.
struct Pairs {
    std::vector<double> ratios;
    Timing step;
    Timing reference;
    double lastStepWall = 0;

    void add(const Timing& s, const Timing& r) {
        lastStepWall = s.wall;
        ratios.push_back(r.wall > 0 ? s.wall / r.wall : 0);
        step.wall += s.wall;
        step.cpu += s.cpu;
        reference.wall += r.wall;
        reference.cpu += r.cpu;
    }

    void report(benchmark::State& state, const std::string& referenceName) {
        if (ratios.empty())
            return;
        const double n = double(ratios.size());
        std::sort(ratios.begin(), ratios.end());
        const std::size_t mid = ratios.size() / 2;
        const double median = ratios.size() % 2 ? ratios[mid] : (ratios[mid - 1] + ratios[mid]) / 2;
        state.counters[referenceName + "_ms"] = 1000 * reference.wall / n;
        state.counters["cpu_ms"] = 1000 * step.cpu / n;
        state.counters[referenceName + "_cpu_ms"] = 1000 * reference.cpu / n;
        state.counters["ratio"] = median;
        state.counters["ratio_total"] = step.wall / reference.wall;
        state.counters["cpu_ratio"] = reference.cpu > 0 ? step.cpu / reference.cpu : 0;
        state.SetBytesProcessed(std::int64_t(ratios.size()) * kFileNodes * KeyPage::kSize);
    }
};

// On this kind of machine (a virtual one that hands freed memory back to its host) the first
// copies into memory freed a moment before run several times slower, whoever makes them. The
// first rounds are therefore run uncounted; their times are reported as warmup_*.
void reportWarmup(benchmark::State& state, const Pairs& warmup, const std::string& referenceName) {
    const double n = double(warmup.ratios.size());
    state.counters["warmup_ms"] = 1000 * warmup.step.wall / n;
    state.counters["warmup_" + referenceName + "_ms"] = 1000 * warmup.reference.wall / n;
}

// Document Open with the file given, against `cp` of the .dir and .dat into the temporary folder.
void BM_OpenVsCp(benchmark::State& state) {
    LargeBase large(parentFolder());
    if (!large.write()) {
        state.SkipWithError("cannot write the base");
        return;
    }
    const QString dir = large.base + QStringLiteral(".dir");
    const QString dat = large.base + QStringLiteral(".dat");
    const QString copies = large.paths.tempFolder() + QStringLiteral("/cp");
    QDir().mkpath(copies);
    Document doc;
    bool openFirst = false;
    // One round: both steps, each starting with no copy of its own (the document drops its
    // working copy, the reference's copies are deleted), in turns first.
    auto round = [&](Pairs& pairs) {
        if (!doc.CloseBase())
            return false;
        QFile::remove(copies + QStringLiteral("/city.dir"));
        QFile::remove(copies + QStringLiteral("/city.dat"));
        Timing open, cp;
        openFirst = !openFirst;
        for (int step = 0; step < 2; ++step) {
            ::sync();
            if ((step == 0) == openFirst)
                open = timeInProcess([&] { return doc.OpenBase(dir); });
            else
                cp = timeChild({QStringLiteral("cp"), dir, dat, copies});
        }
        if (!open.ok || !cp.ok || large.prompts.shown || doc.currentPage() != 0 || doc.tree().size() != 3000)
            return false;
        pairs.add(open, cp);
        return true;
    };
    Pairs warmup, pairs;
    bool ok = round(warmup);
    for (auto _ : state) {
        if (!ok || !round(pairs)) {
            state.SkipWithError(qPrintable(QStringLiteral("open or cp failed: ") + large.prompts.lastText));
            return;
        }
        state.SetIterationTime(pairs.lastStepWall);
    }
    pairs.report(state, "cp");
    reportWarmup(state, warmup, "cp");
}
BENCHMARK(BM_OpenVsCp)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Document Save after a one-comment change, against `cp` of the working files beside the
// user's base followed by `sync` of the two copies; with the backup of the replaced base (the
// editor's default) and without it.
void BM_SaveVsCpSync(benchmark::State& state) {
    programOptions().setKeepBaseBackup(state.range(0) != 0);
    LargeBase large(parentFolder());
    if (!large.write()) {
        state.SkipWithError("cannot write the base");
        return;
    }
    Document doc;
    if (!doc.OpenBase(large.base + QStringLiteral(".dir"))) {
        state.SkipWithError("cannot open the base");
        return;
    }
    // cp keeps the working files' names. It replaces files that are there, as Save replaces the
    // user's files.
    const QString workingName = QFileInfo(doc.workingBase()).fileName();
    const QString refDir = large.reference() + QLatin1Char('/') + workingName + QStringLiteral(".dir");
    const QString refDat = large.reference() + QLatin1Char('/') + workingName + QStringLiteral(".dat");
    if (!QFile::copy(large.base + QStringLiteral(".dir"), refDir) ||
        !QFile::copy(large.base + QStringLiteral(".dat"), refDat)) {
        state.SkipWithError("cannot place the reference files");
        return;
    }
    bool saveFirst = false;
    int change = 0;
    auto round = [&](Pairs& pairs) {
        doc.pageBuffer().setComment(0, "Changed " + QByteArray::number(++change));
        doc.setModified(true);
        Timing save, cp, sync;
        saveFirst = !saveFirst;
        for (int step = 0; step < 2; ++step) {
            ::sync();
            if ((step == 0) == saveFirst) {
                save = timeInProcess([&] { return doc.SaveBase(); });
            } else {
                cp = timeChild({QStringLiteral("cp"), doc.workingBase() + QStringLiteral(".dir"), doc.workingPageFile(),
                                large.reference()});
                sync = timeChild({QStringLiteral("sync"), refDir, refDat});
            }
        }
        if (!save.ok || !cp.ok || !sync.ok || large.prompts.shown || doc.modified())
            return false;
        pairs.add(save, {cp.wall + sync.wall, cp.cpu + sync.cpu, true});
        return true;
    };
    // Save needs memory for the new files while the old ones are still there, so it meets the
    // slow memory on its first two rounds; cp truncates first and refills what it just freed.
    Pairs warmup, pairs;
    bool ok = round(warmup) && round(warmup);
    for (auto _ : state) {
        if (!ok || !round(pairs)) {
            state.SkipWithError(qPrintable(QStringLiteral("save, cp or sync failed: ") + large.prompts.lastText));
            return;
        }
        state.SetIterationTime(pairs.lastStepWall);
    }
    pairs.report(state, "cp_sync");
    reportWarmup(state, warmup, "cp_sync");
}
BENCHMARK(BM_SaveVsCpSync)
    ->ArgName("backup")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
