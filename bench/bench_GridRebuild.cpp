// The key grid with a full page: the model reset, the first paint of the view after it, the
// main window's whole redraw around them, and block editing of the whole page.

#include "BaseBuilder.h"
#include "TestEnvironment.h"

#include "app/AppSession.h"
#include "base/Document.h"
#include "keys/KeyCell.h"
#include "settings/Settings.h"
#include "ui/ClipboardController.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <memory>

using namespace tervane;

namespace {

// The window's designed size, which a first start without a configuration uses.
constexpr int kWindowWidth = 1030;
constexpr int kWindowHeight = 560;

KeyCell mixedCell(int n) {
    static constexpr std::uint8_t kTypes[] = {KeyTypeDallas, KeyTypeTm2002,  KeyTypeCyfral, KeyTypeDallas4,
                                              KeyTypeEm410x, KeyTypeHidProx, KeyTypeIndala};
    const std::uint8_t type = kTypes[n % std::size(kTypes)];
    KeyCell cell = test::dallasCell(0x10203040506ULL + quint64(n) * 7919);
    cell.setType(type);
    if (type == KeyTypeEm410x) {
        KeyCode code = cell.code();
        code[6] = std::uint8_t(1 + n % 8); // one of the eight speeds
        cell.setCode(code);
    }
    return cell;
}

// 128 Cyrillic letters, different on every row, words starting with a capital.
QByteArray cyrillicComment(int row) {
    QString text;
    for (int i = 0; i < KeyPage::kMaxCommentLength; ++i) {
        const char16_t letter = char16_t((i % 8 == 0 ? u'А' : u'а') + (row + i) % 32);
        text += QChar(letter);
    }
    return test::cp1251(text);
}

// Every cell holds a key and every row a full-length comment: the most a page can show.
KeyPage fullPage() {
    KeyPage page;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.setCell(row, column, mixedCell(row * KeyPage::kKeyColumns + column));
        page.setComment(row, cyrillicComment(row));
    }
    return page;
}

// The grid as the main window sets it up from default settings.
void setUpModel(KeyGridModel& model, const KeyPage& page, bool shortView) {
    const Settings defaults;
    model.setPage(&page);
    model.setShortView(shortView);
    model.setDisplay(defaults.keyTypeView(), defaults.keyCodeView(), defaults.emSpeedVisible(),
                     defaults.dallasCrcVisible());
}

std::unique_ptr<KeyGridView> makeView(KeyGridModel& model, bool show) {
    const Settings defaults;
    auto view = std::make_unique<KeyGridView>();
    view->setModel(&model);
    QFont font(QString::fromLatin1(defaults.gridFontName()));
    font.setPointSize(defaults.gridFontSize());
    view->applyFont(font, defaults.gridFontSize());
    for (int c = 1; c <= Settings::kColumnCount; ++c)
        view->setColumnWidth(c - 1, defaults.columnWidth(c));
    view->resize(kWindowWidth, kWindowHeight);
    if (show) {
        view->show();
        QCoreApplication::processEvents();
    }
    return view;
}

// Args: short view (0/1), a shown view attached to the model (0/1).
void BM_ModelReset(benchmark::State& state) {
    const KeyPage page = fullPage();
    KeyGridModel model;
    setUpModel(model, page, state.range(0) != 0);
    model.rebuild();
    std::unique_ptr<KeyGridView> view;
    if (state.range(1) != 0)
        view = makeView(model, true);
    for (auto _ : state)
        model.rebuild();
    if (model.rowCount() != KeyPage::kRows)
        state.SkipWithError("the page's rows are not all shown");
}
BENCHMARK(BM_ModelReset)
    ->ArgNames({"short", "view"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

// What RefreshView does with the grid: the reset, keeping the selection and the scroll position.
void BM_RebuildKeepingSelection(benchmark::State& state) {
    const KeyPage page = fullPage();
    KeyGridModel model;
    setUpModel(model, page, state.range(0) != 0);
    model.rebuild();
    auto view = makeView(model, true);
    view->setSelectionRect({2, 10, 4, 40});
    for (auto _ : state)
        view->rebuildKeepingSelection();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_RebuildKeepingSelection)->ArgName("short")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The first paint after a reset: the view lays out its items and renders the whole widget
// (headers, cells, scroll bars) offscreen.
void BM_ResetAndFirstPaint(benchmark::State& state) {
    const KeyPage page = fullPage();
    KeyGridModel model;
    setUpModel(model, page, state.range(0) != 0);
    model.rebuild();
    auto view = makeView(model, true);
    for (auto _ : state) {
        model.rebuild();
        view->doItemsLayout();
        QPixmap frame = view->grab();
        benchmark::DoNotOptimize(frame);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ResetAndFirstPaint)->ArgName("short")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A view that has never been shown: construction, setup and its first frame.
void BM_NewViewFirstPaint(benchmark::State& state) {
    const KeyPage page = fullPage();
    KeyGridModel model;
    setUpModel(model, page, false);
    model.rebuild();
    for (auto _ : state) {
        auto view = makeView(model, false);
        view->doItemsLayout();
        QPixmap frame = view->grab();
        benchmark::DoNotOptimize(frame);
    }
}
BENCHMARK(BM_NewViewFirstPaint)->Unit(benchmark::kMillisecond);

// The main window with a base whose only file holds the full page, opened and shown.
struct ShownWindow {
    test::TestEnvironment env;
    std::unique_ptr<AppSession> session;
    MainWindow* window = nullptr;

    bool start() {
        const QString folder = env.paths.root() + QStringLiteral("/user");
        QDir().mkpath(folder);
        test::BaseBuilder builder;
        BaseNode* house = builder.folder(QStringLiteral("Дом"), nullptr, true);
        BaseNode* entrance = builder.file(QStringLiteral("Подъезд 1"), house);
        builder.page(entrance) = fullPage();
        builder.select(entrance);
        const QString base = folder + QStringLiteral("/grid");
        if (!builder.write(base))
            return false;
        session = std::make_unique<AppSession>();
        window = &session->window();
        window->show();
        QCoreApplication::processEvents();
        if (!window->document().OpenBase(base + QStringLiteral(".dir")))
            return false;
        QCoreApplication::processEvents();
        return env.prompts.shown().isEmpty() && window->document().currentPage() == 0 &&
               window->gridModel()->rowCount() == KeyPage::kRows;
    }
};

void BM_MainWindowRefreshView(benchmark::State& state) {
    ShownWindow shown;
    if (!shown.start()) {
        state.SkipWithError("the window did not show the page");
        return;
    }
    for (auto _ : state)
        shown.window->RefreshView();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_MainWindowRefreshView)->Unit(benchmark::kMicrosecond);

// The redraw followed by the frame the user sees: the whole window rendered offscreen.
void BM_MainWindowRefreshAndPaint(benchmark::State& state) {
    ShownWindow shown;
    if (!shown.start()) {
        state.SkipWithError("the window did not show the page");
        return;
    }
    for (auto _ : state) {
        shown.window->RefreshView();
        shown.window->grid()->doItemsLayout();
        QPixmap frame = shown.window->grab();
        benchmark::DoNotOptimize(frame);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_MainWindowRefreshAndPaint)->Unit(benchmark::kMillisecond);

// Block editing of the full page (3000 cells, 500 comments) in the shown window. Args: 0 Select
// all, 1 Copy of the whole page with its comments, 2 Paste of that block at the first cell.
enum ClipboardStep { SelectAllStep, CopyStep, PasteStep };

bool startWithWholePageSelected(ShownWindow& shown, benchmark::State& state) {
    if (!shown.start()) {
        state.SkipWithError("the window did not show the page");
        return false;
    }
    MainWindow& w = *shown.window;
    w.grid()->setSelectionRect({1, 1, 7, KeyPage::kRows});
    w.clipboard().copy();
    if (w.clipboard().clipboard().lastRow() != KeyPage::kRows - 1 || w.clipboard().clipboard().columns() != 7) {
        state.SkipWithError("the whole page was not copied");
        return false;
    }
    return true;
}

// Select all starts from a one-cell selection each time, as the user's would.
void selectOneCell(MainWindow& w, benchmark::State& state) {
    state.PauseTiming();
    w.grid()->setSelectionRect({1, 1, 1, 1});
    state.ResumeTiming();
}

// The command's own work: the clipboard, the page replaced once through the edit session and the
// grid model told once; the RefreshView that follows is left out.
void BM_ClipboardEdit(benchmark::State& state) {
    ShownWindow shown;
    if (!startWithWholePageSelected(shown, state))
        return;
    MainWindow& w = *shown.window;
    ClipboardController& clipboard = w.clipboard();
    QObject::disconnect(&clipboard, &ClipboardController::refreshNeeded, &w, nullptr);
    for (auto _ : state) {
        switch (state.range(0)) {
        case SelectAllStep:
            selectOneCell(w, state);
            clipboard.selectAll();
            break;
        case CopyStep:
            clipboard.copy();
            break;
        default:
            clipboard.paste();
        }
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ClipboardEdit)
    ->ArgName("step")
    ->Arg(SelectAllStep)
    ->Arg(CopyStep)
    ->Arg(PasteStep)
    ->Unit(benchmark::kMicrosecond);

// The command as the menu runs it, RefreshView included, then the frame the user sees.
void BM_ClipboardCommandAndPaint(benchmark::State& state) {
    ShownWindow shown;
    if (!startWithWholePageSelected(shown, state))
        return;
    MainWindow& w = *shown.window;
    static constexpr CommandId kCommands[] = {CommandId::SelectAll, CommandId::Copy, CommandId::Paste};
    const CommandId command = kCommands[state.range(0)];
    for (auto _ : state) {
        if (command == CommandId::SelectAll)
            selectOneCell(w, state);
        w.runCommand(command);
        w.grid()->doItemsLayout();
        QPixmap frame = w.grab();
        benchmark::DoNotOptimize(frame);
    }
    QCoreApplication::processEvents();
}
BENCHMARK(BM_ClipboardCommandAndPaint)
    ->ArgName("step")
    ->Arg(SelectAllStep)
    ->Arg(CopyStep)
    ->Arg(PasteStep)
    ->Unit(benchmark::kMillisecond);

// The offscreen platform's notice about size hints, printed at every window shown, would bury
// the results.
QtMessageHandler g_defaultMessages = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (g_defaultMessages && !message.contains(QLatin1String("propagateSizeHints")))
        g_defaultMessages(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultMessages = qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
