// One keystroke in the key editor's code field: the typed code read and checked, and for Dallas
// the check sum written back into the field. Once through the rules alone, once through the
// masked field of the real dialog.

#include "TestEnvironment.h"

#include "base/KeyPage.h"
#include "device/DeviceModel.h"
#include "dialogs/KeyEditorDialog.h"
#include "dialogs/KeyEditorState.h"
#include "dialogs/OperationHost.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

using namespace tervane;

namespace {

// The key types the editor lays out, each with a code that reads as valid.
struct Case {
    std::uint8_t type;
    KeyCode code;
};

const Case kCases[] = {
    {KeyTypeDallas, {1, 0x56, 0x34, 0x12, 0x90, 0x78, 0xAB, 0x62}},
    {KeyTypeTm2002, {1, 0x03, 0x05, 0x06, 0x0C, 0, 0, 0}},
    {KeyTypeEm410x, {0, 0x78, 0x56, 0x34, 0x12, 0x00, 6, 0}},
    {KeyTypeIndala, {0x89, 0x67, 0x45, 0x23, 0x01, 0, 0, 0x80}},
};

KeyCell cellOf(const Case& c) {
    KeyCell cell;
    cell.setType(c.type);
    cell.setCode(c.code);
    return cell;
}

void labelFor(benchmark::State& state, const Case& c) {
    state.SetLabel(c.type == KeyTypeDallas   ? "Dallas"
                   : c.type == KeyTypeTm2002 ? "TM2002"
                   : c.type == KeyTypeEm410x ? "EM410x"
                                             : "Indala");
}

// The rules alone: the field's text with the last digit of the first group changed, as the
// field hands it over after a key.
void BM_KeystrokeRules(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    labelFor(state, c);
    KeyEditorState editor(UiLanguage::English);
    editor.open(cellOf(c), ModelKestrel, UiLanguage::English);
    const int digit = editor.CodeGroupPos;
    QString texts[2] = {editor.fieldText(), editor.fieldText()};
    texts[1][digit] = texts[0][digit] == QLatin1Char('2') ? QLatin1Char('4') : QLatin1Char('2');
    int n = 0;
    for (auto _ : state) {
        std::optional<QString> rewritten = editor.CodeEditChange(texts[n++ & 1]);
        benchmark::DoNotOptimize(rewritten);
        benchmark::DoNotOptimize(editor.EditorCode);
    }
}
BENCHMARK(BM_KeystrokeRules)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The main window as the dialog sees it: one page, the selection on a key cell.
class BenchHost final : public OperationHost {
public:
    QWidget window;
    KeyPage page;
    QWidget* hostWindow() override { return &window; }
    GridSelection gridSelection() const override { return {1, 1, 1, 1}; }
    int pageRowOfGridRow(int gridRow) const override { return gridRow - 1; }
    const KeyPage* shownPage() const override { return &page; }
    void storeKey(int pageRow, int keyColumn, const KeyCell& cell) override { page.setCell(pageRow, keyColumn, cell); }
    void replaceShownPage(const KeyPage& content) override { page = content; }
    void touchShownPage() override {}
    void RefreshView() override {}
};

// A key pressed in the real field: the mask takes it, the dialog reads the text, checks it,
// rewrites the check sum and puts the caret back, and enables OK.
void BM_KeystrokeInTheField(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    labelFor(state, c);
    test::TestEnvironment env;
    settings().setDefaults();
    settings().setLastDeviceModel(ModelKestrel);
    BenchHost host;
    host.page.setCell(0, 0, cellOf(c));
    KeyEditorDialog dialog(host);
    dialog.OpenKeyEditor();
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("CodeEdit"));
    const int digit = dialog.state().CodeGroupPos;
    const QString keys[2] = {QStringLiteral("2"), QStringLiteral("4")};
    int n = 0;
    for (auto _ : state) {
        field->setCursorPosition(digit);
        const QString& key = keys[n++ & 1];
        QKeyEvent press(QEvent::KeyPress, key == keys[0] ? Qt::Key_2 : Qt::Key_4, Qt::NoModifier, key);
        QApplication::sendEvent(field, &press);
    }
    if (field->displayText().at(digit) != keys[(n - 1) & 1].at(0))
        state.SkipWithError("the key did not reach the field");
    dialog.close();
}
BENCHMARK(BM_KeystrokeInTheField)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The offscreen platform's notice about size hints would bury the results.
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
