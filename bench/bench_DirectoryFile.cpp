#include "base/BaseTree.h"
#include "base/DirectoryFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tervane;

namespace {

constexpr int kNodes = 100000;

// A broad base: folders of 99 files each, as a large installer's base looks.
void buildBroad(BaseTree& tree) {
    BaseNode* folder = nullptr;
    for (int i = 0; i < kNodes; ++i) {
        if (i % 100 == 0) {
            folder = tree.addChild(nullptr);
            folder->text = "Building " + QByteArray::number(i / 100);
            folder->expanded = true;
            continue;
        }
        BaseNode* file = tree.addChild(folder);
        file->text = "Entrance " + QByteArray::number(i % 100);
        file->imageIndex = ImageFile;
        file->selectedIndex = ImageFileSelected;
        file->pageNumber = i;
    }
    tree.select(tree.nodeAt(kNodes / 2));
}

// One chain, each node the only child of the one before.
void buildDeep(BaseTree& tree) {
    BaseNode* parent = nullptr;
    for (int i = 0; i < kNodes; ++i) {
        parent = tree.addChild(parent);
        parent->text = "Level " + QByteArray::number(i);
        parent->expanded = true;
    }
    tree.select(parent);
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    explicit Fixture(void (*build)(BaseTree&)) : path(dir.path() + "/bench.dir") {
        BaseTree tree;
        build(tree);
        SaveDirectory(path, tree);
    }
};

void loadDirectory(benchmark::State& state, void (*build)(BaseTree&)) {
    Fixture fixture(build);
    for (auto _ : state) {
        BaseTree tree;
        if (!LoadDirectory(fixture.path, tree) || tree.size() != kNodes)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(tree.selected());
    }
    state.SetItemsProcessed(state.iterations() * kNodes);
}

void saveDirectory(benchmark::State& state, void (*build)(BaseTree&)) {
    Fixture fixture(build);
    BaseTree tree;
    build(tree);
    for (auto _ : state) {
        if (!SaveDirectory(fixture.path, tree))
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * kNodes);
}

} // namespace

BENCHMARK_CAPTURE(loadDirectory, broad_100k, buildBroad)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadDirectory, deep_100k, buildDeep)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(saveDirectory, broad_100k, buildBroad)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(saveDirectory, deep_100k, buildDeep)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
