#include "base/KeyPage.h"
#include "base/VizitImport.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

using namespace tervane;

namespace {

// A .viz file with a key in every slot but each seventh, which is empty (FF FF FF).
QByteArray fullFile() {
    QByteArray bytes(kVizitFileSize, '\0');
    for (int k = 0; k < kVizitSlotCount; ++k) {
        char* slot = bytes.data() + k * kVizitSlotSize;
        const bool empty = k % 7 == 0;
        slot[0] = empty ? '\xFF' : char(k);
        slot[1] = empty ? '\xFF' : char(k >> 8);
        slot[2] = empty ? '\xFF' : char(k * 13);
        slot[3] = '\x5A';
    }
    return bytes;
}

// The page of one .viz file as the import makes it, from bytes already in memory.
void BM_ReadVizitPage(benchmark::State& state) {
    const QByteArray bytes = fullFile();
    const auto type = VizitKeyType(state.range(0));
    KeyPage page;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readVizitPage(bytes, type, page));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kVizitSlotCount);
}
BENCHMARK(BM_ReadVizitPage)
    ->Arg(int(VizitKeyType::Dallas))
    ->Arg(int(VizitKeyType::Em410x))
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
