#include "BenchSupport.h"

#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "seams/AppPaths.h"
#include "seams/Prompts.h"
#include "seams/SystemInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace tervane;
using namespace tervane::bench;

namespace {

constexpr int kBasePages = 2000;

// A folder with a page file of kBasePages pages (with a little content in each) and a temporary
// folder beside it, on the same file system as the working copies would be.
struct Workspace {
    QTemporaryDir dir;
    std::unique_ptr<BenchPaths> paths;
    QString pageFile;
    QString copyFile;

    Workspace() {
        paths = std::make_unique<BenchPaths>(dir.path());
        appPathsSeam().install(paths.get());
        QDir(dir.path()).mkpath(QStringLiteral("temp"));
        pageFile = dir.path() + QStringLiteral("/base.dat");
        copyFile = dir.path() + QStringLiteral("/temp/copy.dat");
    }
    ~Workspace() { appPathsSeam().install(nullptr); }

    bool fill(int pages) {
        QFile file(pageFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        KeyPage page;
        for (int n = 0; n < pages; ++n) {
            page.setComment(n % KeyPage::kRows, QByteArray::number(n));
            page.data()[KeyPage::cellOffset(n % KeyPage::kRows, 0)] = KeyTypeDallas;
            if (file.write(reinterpret_cast<const char*>(page.data()), KeyPage::kSize) != KeyPage::kSize)
                return false;
        }
        return true;
    }
};

// The reference: a plain copy of the whole page file as Qt does it.
void BM_CopyPageFile(benchmark::State& state) {
    Workspace ws;
    if (!ws.fill(kBasePages)) {
        state.SkipWithError("cannot build the page file");
        return;
    }
    for (auto _ : state) {
        QFile::remove(ws.copyFile);
        if (!QFile::copy(ws.pageFile, ws.copyFile)) {
            state.SkipWithError("copy failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * qint64(kBasePages) * KeyPage::kSize);
}
BENCHMARK(BM_CopyPageFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Deleting a page in the middle: the whole file is rebuilt and renamed over. Each iteration
// appends a page first (not timed) so the file keeps its size.
void BM_DeletePage(benchmark::State& state) {
    Workspace ws;
    if (!ws.fill(kBasePages)) {
        state.SkipWithError("cannot build the page file");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::int32_t added = -1;
        if (!AppendPage(ws.pageFile, added)) {
            state.SkipWithError("append failed");
            break;
        }
        state.ResumeTiming();
        if (!DeletePage(ws.pageFile, kBasePages / 2)) {
            state.SkipWithError("delete failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * qint64(kBasePages) * KeyPage::kSize);
}
BENCHMARK(BM_DeletePage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Deleting a folder of 100 files whose pages lie all over the file: one rebuild for all of them,
// to be compared with BM_CopyPageFile (target: at most 1.5 times a plain copy). Each iteration
// appends 100 pages first (not timed), so the file deleted from holds 2,100 pages and keeps 2,000.
void BM_DeletePages(benchmark::State& state) {
    constexpr int kFolderFiles = 100;
    Workspace ws;
    if (!ws.fill(kBasePages)) {
        state.SkipWithError("cannot build the page file");
        return;
    }
    std::vector<std::int32_t> folder;
    for (int i = 0; i < kFolderFiles; ++i)
        folder.push_back(std::int32_t(i * (kBasePages + kFolderFiles) / kFolderFiles + 7));
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kFolderFiles; ++i) {
            std::int32_t added = -1;
            if (!AppendPage(ws.pageFile, added)) {
                state.SkipWithError("append failed");
                return;
            }
        }
        state.ResumeTiming();
        if (!DeletePages(ws.pageFile, folder)) {
            state.SkipWithError("delete failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * qint64(kBasePages) * KeyPage::kSize);
}
BENCHMARK(BM_DeletePages)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_ReadPage(benchmark::State& state) {
    Workspace ws;
    if (!ws.fill(kBasePages)) {
        state.SkipWithError("cannot build the page file");
        return;
    }
    KeyPage page;
    std::int32_t n = 0;
    for (auto _ : state) {
        if (!ReadPage(ws.pageFile, n, page)) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(page.data());
        n = (n + 7) % kBasePages;
    }
    state.SetBytesProcessed(state.iterations() * KeyPage::kSize);
}
BENCHMARK(BM_ReadPage)->Unit(benchmark::kMicrosecond);

void BM_WritePage(benchmark::State& state) {
    Workspace ws;
    if (!ws.fill(kBasePages)) {
        state.SkipWithError("cannot build the page file");
        return;
    }
    KeyPage page;
    page.setComment(0, "written");
    std::int32_t n = 0;
    for (auto _ : state) {
        if (!WritePage(ws.pageFile, n, page)) {
            state.SkipWithError("write failed");
            break;
        }
        n = (n + 7) % kBasePages;
    }
    state.SetBytesProcessed(state.iterations() * KeyPage::kSize);
}
BENCHMARK(BM_WritePage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
