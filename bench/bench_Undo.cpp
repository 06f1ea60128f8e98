// The edit history's replays against the edits they take back, in a base of 2,000 pages:
// undoing a paste over a whole page (target: at most 5 ms), and undoing the delete of a folder
// of 100 files whose pages lie all over the page file (target: at most twice the delete).

#include "BenchSupport.h"

#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/KeyPage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace tervane;
using namespace tervane::bench;

namespace {

constexpr int kPages = 2000;
constexpr int kFolderFiles = 100;

// A base of 2,000 files in 20 folders; the folder "Target" holds every 20th page, so deleting it
// takes pages from all over the page file. The document has it open with the edit history's
// recording on.
struct OpenBase {
    QTemporaryDir dir;
    BenchPaths paths{dir.path()};
    CountingPrompts prompts;
    std::unique_ptr<Document> document;
    std::unique_ptr<EditSession> edits;
    std::shared_ptr<const EditStep> lastStep;

    OpenBase() {
        appPathsSeam().install(&paths);
        promptsSeam().install(&prompts);
        QDir(dir.path()).mkpath(QStringLiteral("temp"));
    }
    ~OpenBase() {
        edits.reset();
        document.reset();
        promptsSeam().install(nullptr);
        appPathsSeam().install(nullptr);
    }

    bool open() {
        const QString base = dir.path() + QStringLiteral("/city");
        BaseTree tree;
        BaseNode* folders[20] = {};
        for (int f = 0; f < 20; ++f) {
            folders[f] = tree.addChild(nullptr);
            folders[f]->text = f == 0 ? QByteArray("Target") : "Street " + QByteArray::number(f);
        }
        for (int page = 0; page < kPages; ++page) {
            BaseNode* file = tree.addChild(folders[page % 20]);
            file->text = "Entrance " + QByteArray::number(page);
            file->imageIndex = ImageFile;
            file->selectedIndex = ImageFileSelected;
            file->pageNumber = page;
        }
        tree.select(folders[1]->children.front());
        if (!SaveDirectory(base + QStringLiteral(".dir"), tree))
            return false;
        QFile dat(base + QStringLiteral(".dat"));
        if (!dat.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        for (int n = 0; n < kPages; ++n) {
            KeyPage p;
            for (int row = 0; row < 40; ++row) {
                p.data()[KeyPage::cellOffset(row, 0)] = KeyTypeDallas;
                p.data()[KeyPage::cellOffset(row, 0) + 3] = std::uint8_t(n + row);
                p.setComment(row, "Flat " + QByteArray::number(row + 1));
            }
            if (dat.write(reinterpret_cast<const char*>(p.data()), KeyPage::kSize) != KeyPage::kSize)
                return false;
        }
        dat.close();
        document = std::make_unique<Document>();
        edits = std::make_unique<EditSession>(*document);
        edits->setRecording(true);
        QObject::connect(edits.get(), &EditSession::stepRecorded,
                         [this](std::shared_ptr<const EditStep> step) { lastStep = std::move(step); });
        return document->OpenBase(base + QStringLiteral(".dir")) && document->currentPage() == 1 && prompts.shown == 0;
    }
    BaseNode* target() const { return document->tree().first(); }
};

KeyPage pastedPage() {
    KeyPage page;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.data()[KeyPage::cellOffset(row, column)] = KeyTypeEm410x;
        page.setComment(row, "pasted");
    }
    return page;
}

void BM_UndoFullPagePaste(benchmark::State& state) {
    OpenBase base;
    if (!base.open()) {
        state.SkipWithError("cannot open the base");
        return;
    }
    const KeyPage pasted = pastedPage();
    for (auto _ : state) {
        state.PauseTiming();
        const bool pastedOk = base.edits->replacePage(1, pasted);
        state.ResumeTiming();
        if (!pastedOk || !base.edits->undo(*base.lastStep)) {
            state.SkipWithError("paste or undo failed");
            break;
        }
    }
}
BENCHMARK(BM_UndoFullPagePaste)->Unit(benchmark::kMicrosecond);

// The delete as the tree's command makes it, with what the history keeps of it.
void BM_DeleteFolderOf100Files(benchmark::State& state) {
    OpenBase base;
    if (!base.open()) {
        state.SkipWithError("cannot open the base");
        return;
    }
    for (auto _ : state) {
        if (!base.edits->removeNodeWithPages(base.target())) {
            state.SkipWithError("delete failed");
            break;
        }
        state.PauseTiming();
        const bool undone = base.edits->undo(*base.lastStep);
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("undo failed");
            break;
        }
    }
}
BENCHMARK(BM_DeleteFolderOf100Files)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_UndoDeleteFolderOf100Files(benchmark::State& state) {
    OpenBase base;
    if (!base.open()) {
        state.SkipWithError("cannot open the base");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const bool deleted = base.edits->removeNodeWithPages(base.target());
        state.ResumeTiming();
        if (!deleted || !base.edits->undo(*base.lastStep)) {
            state.SkipWithError("delete or undo failed");
            break;
        }
    }
}
BENCHMARK(BM_UndoDeleteFolderOf100Files)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
