// Find over a large base: the editor's Find and Find next and tervane-cli's find walk the whole
// tree with one TreeSearch, made anew for every search. Target: at most 20 ms for 100,000 nodes
// with a Cyrillic text and the case unticked.
#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/TreeSearch.h"

#include <QLocale>
#include <benchmark/benchmark.h>

using namespace tervane;

namespace {

constexpr int kNodes = 100000;

// Folders of 99 files with Cyrillic names, as an installer's base of a city looks; the last
// node's name alone holds the text searched for.
void buildCity(BaseTree& tree) {
    const QByteArray street = toCp1251(QStringLiteral("ул. Ленина, дом "));
    const QByteArray entrance = toCp1251(QStringLiteral("Подъезд "));
    BaseNode* folder = nullptr;
    for (int i = 0; i < kNodes - 1; ++i) {
        if (i % 100 == 0) {
            folder = tree.addChild(nullptr);
            folder->text = street + QByteArray::number(i / 100);
            continue;
        }
        BaseNode* file = tree.addChild(folder);
        file->text = entrance + QByteArray::number(i % 100) + toCp1251(QStringLiteral(", кв. 1-40"));
        file->imageIndex = ImageFile;
        file->pageNumber = i;
    }
    tree.addChild(folder)->text = toCp1251(QStringLiteral("Гаражный кооператив \"Север\""));
}

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

// Nothing matches: one pass over every node.
void findNothing(benchmark::State& state) {
    BaseTree tree;
    buildCity(tree);
    for (auto _ : state) {
        std::int32_t occurrence = 0;
        const TreeSearch search(QStringLiteral("ГАРАЖНЫЙ КООПЕРАТИВ \"ЮГ\""), false, kRussian);
        benchmark::DoNotOptimize(search.next(tree, occurrence));
    }
    state.SetItemsProcessed(state.iterations() * kNodes);
}
BENCHMARK(findNothing)->Unit(benchmark::kMillisecond);

// Find next past the only match, the last node: a whole pass without a hit, then the wrap-around
// pass to the end again. The dearest search there is. Argument 1: the case ticked, so nothing is
// lower-cased.
void findNextWrapsToTheLastNode(benchmark::State& state) {
    const bool caseSensitive = state.range(0) != 0;
    const QString text = caseSensitive ? QStringLiteral("Гаражный") : QStringLiteral("ГАРАЖНЫЙ");
    BaseTree tree;
    buildCity(tree);
    const BaseNode* last = tree.nodeAt(kNodes - 1);
    for (auto _ : state) {
        std::int32_t occurrence = 1;
        const TreeSearch search(text, caseSensitive, kRussian);
        if (search.next(tree, occurrence) != last)
            state.SkipWithError("wrong hit");
    }
    state.SetItemsProcessed(state.iterations() * 2 * kNodes);
}
BENCHMARK(findNextWrapsToTheLastNode)->ArgName("case")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
