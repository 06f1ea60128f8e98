// Find key over a 2,000-page base whose 6 million cells all hold keys, beside one plain read of
// its page file in the same run (warm cache). Target: the search takes at most twice the read.
#include "base/KeyPage.h"
#include "base/KeySearch.h"
#include "keys/KeyCell.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace tervane;

namespace {

constexpr int kPages = 2000;

// Every cell a key of one of the six families with a random code, a comment in every tenth row;
// the files in tree order refer to the pages in a shuffled order.
struct FullBase {
    QTemporaryDir dir;
    QString pageFile;
    std::vector<KeySearchFile> files;

    FullBase() {
        pageFile = dir.path() + QStringLiteral("/base.dat");
        QFile file(pageFile);
        if (!file.open(QIODevice::WriteOnly))
            return;
        std::mt19937_64 random(15);
        constexpr std::uint8_t kTypes[] = {KeyTypeDallas, KeyTypeTm2002,  KeyTypeCyfral,
                                           KeyTypeEm410x, KeyTypeHidProx, KeyTypeIndala};
        const auto page = std::make_unique<KeyPage>();
        for (int n = 0; n < kPages; ++n) {
            for (int row = 0; row < KeyPage::kRows; ++row) {
                for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
                    KeyCell cell;
                    const std::uint64_t bits = random();
                    cell.setType(kTypes[bits % 6]);
                    for (int i = 0; i < 8; ++i)
                        cell.bytes[std::size_t(2 + i)] = std::uint8_t(bits >> (8 * i));
                    page->setCell(row, column, cell);
                }
                if (row % 10 == 0)
                    page->setComment(row, "entrance " + QByteArray::number(row));
            }
            file.write(reinterpret_cast<const char*>(page->data()), KeyPage::kSize);
            files.push_back({n, std::int32_t((std::int64_t(n) * 7919) % kPages), nullptr});
        }
    }
};

FullBase& base() {
    static FullBase b;
    return b;
}

// The reference: the whole page file read once, front to back, in blocks of 1 MiB.
void BM_ReadPageFile(benchmark::State& state) {
    const auto buffer = std::make_unique<char[]>(1 << 20);
    for (auto _ : state) {
        QFile file(base().pageFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            state.SkipWithError("cannot open the page file");
            break;
        }
        while (file.read(buffer.get(), 1 << 20) > 0)
            benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kPages) * KeyPage::kSize);
}
BENCHMARK(BM_ReadPageFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Argument: the digits looked for. 6 digits find a few keys; 2 digits find a few hundred thousand
// and try every digit position of every code.
void BM_FindKey(benchmark::State& state) {
    const char* digits = state.range(0) == 6 ? "3A5C07" : "3A";
    KeySearchJob job;
    auto error = KeyQuery::Error::Empty;
    job.query = KeyQuery::hexDigits(digits, KeyFamily::Any, error);
    job.pageFile = base().pageFile;
    job.files = base().files;
    std::size_t hits = 0;
    for (auto _ : state) {
        const KeySearchResult result = searchKeys(job);
        if (result.errorCode != 0) {
            state.SkipWithError("search failed");
            break;
        }
        hits = result.hits.size();
    }
    state.counters["hits"] = double(hits);
    state.SetBytesProcessed(state.iterations() * std::int64_t(kPages) * KeyPage::kSize);
}
BENCHMARK(BM_FindKey)->ArgName("digits")->Arg(6)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A card number: one comparison per EM410x cell.
void BM_FindCardNumber(benchmark::State& state) {
    KeySearchJob job;
    auto error = KeyQuery::Error::Empty;
    job.query = KeyQuery::cardNumber("051.17493", error);
    job.pageFile = base().pageFile;
    job.files = base().files;
    for (auto _ : state)
        benchmark::DoNotOptimize(searchKeys(job).hits.size());
    state.SetBytesProcessed(state.iterations() * std::int64_t(kPages) * KeyPage::kSize);
}
BENCHMARK(BM_FindCardNumber)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
