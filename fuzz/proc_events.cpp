// Any bytes as the programmer's answers while the operation dialog waits, mixed with the user's
// clicks, faults and unplugging: nothing crashes, nothing is awaited once the dialog is closed,
// and a key reaches the page only from a well-formed StatusKeyRead that arrived while a read was
// awaited, into a key cell of a selected row.
// Input: [operation] [left] [top] [right] [bottom] [view] [rowMap x8] [keys x2], then steps:
//   [control] ...: control % 8 gives the step; 0-2 feed the next 65 bytes as an answer report (its
//   check sum made right when control bit 7 is set) and tick; 3 tick; 4 Repeat; 5 Next;
//   6 Cancel, Exit or offline by [next]; 7 [a] [b]: present key a, inject a fault, unplug or
//   start the operation again.
// The page changes only through the host, so the host checks each key it is asked to store; the
// page is never copied to find out what changed, which keeps a run cheap. So does all that lasts
// from run to run (the application, the dialog with its host, the link, the programmer): a run
// allocates little and frees what it allocated. Nothing in this file counts as coverage
// (fuzz/coverage-ignore.txt): the search steers by the dialog's, the protocol's and the link's.
#include "FuzzSupport.h"

#include "base/KeyPage.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "dialogs/OperationDialog.h"
#include "dialogs/OperationHost.h"
#include "grid/GridSelection.h"
#include "keys/KeyCell.h"
#include "seams/EventPump.h"
#include "seams/StatusSink.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

using namespace tervane;
using tervane::fuzz::Check;
using tervane::fuzz::InstantPump;

namespace {

// The cells in which a key may land: the key columns of the selection's grid rows (1..500) that
// show a page row. Worked out from the grid's coordinates, not through the dialog's walk.
bool cellInSelection(const GridSelection& selection, const std::function<int(int)>& pageRowOf, int pageRow,
                     int column) {
    const int left = std::max(std::min(selection.left, selection.right), GridColumn::FirstKey);
    const int right = std::min(std::max(selection.left, selection.right), GridColumn::LastKey);
    if (column + GridColumn::FirstKey < left || column + GridColumn::FirstKey > right)
        return false;
    const int top = std::max(std::min(selection.top, selection.bottom), 1);
    const int bottom = std::min(std::max(selection.top, selection.bottom), KeyPage::kRows);
    for (int gridRow = top; gridRow <= bottom; ++gridRow) {
        if (pageRowOf(gridRow) == pageRow)
            return true;
    }
    return false;
}

class FuzzHost final : public OperationHost {
public:
    QWidget window;
    KeyPage page;
    GridSelection selection;
    std::vector<int> rowMap; // empty: the full view
    // While a tick runs with a read awaited: the answer it polls, the one source of a stored key.
    std::optional<Report> readAnswer;
    int stored = 0;
    std::vector<std::pair<int, int>> storedCells; // to take away after the run; its room is kept
    static constexpr int kKeyRows = 12;           // the rows that may hold keys for writing

    QWidget* hostWindow() override { return &window; }
    GridSelection gridSelection() const override { return selection; }
    int pageRowOfGridRow(int gridRow) const override {
        if (rowMap.empty())
            return gridRow - 1;
        const auto index = static_cast<std::size_t>(gridRow - 1);
        return gridRow >= 1 && index < rowMap.size() ? rowMap[index] : -1;
    }
    const KeyPage* shownPage() const override { return &page; }
    void storeKey(int pageRow, int keyColumn, const KeyCell& cell) override {
        Check(readAnswer.has_value() && ++stored == 1);
        const Report& answer = *readAnswer;
        Check(reportChecksumHolds(answer.data()) && answer[1] == StatusKeyRead);
        Check(IsKeyOccupied(answer[2]) && cell.type() == answer[2]);
        Check(std::memcmp(cell.bytes.data() + 2, answer.data() + 3, 8) == 0);
        Check(pageRow >= 0 && pageRow < KeyPage::kRows && keyColumn >= 0 && keyColumn < KeyPage::kKeyColumns);
        Check(cellInSelection(
            selection, [this](int gridRow) { return pageRowOfGridRow(gridRow); }, pageRow, keyColumn));
        // The cell's other byte stays as it was.
        std::uint8_t* target = page.data() + KeyPage::cellOffset(pageRow, keyColumn);
        Check(cell.bytes[1] == target[1]);
        std::memcpy(target, cell.bytes.data(), KeyCell::kSize);
        storedCells.emplace_back(pageRow, keyColumn);
    }
    // Only a key base transfer replaces or touches the page, and none runs here.
    void replaceShownPage(const KeyPage&) override { Check(false); }
    void touchShownPage() override { Check(false); }
    void RefreshView() override {}
};

// The status bar's texts go nowhere: none is checked, and a text kept to the next run would be
// freed there.
class DroppedStatus final : public StatusSink {
public:
    void setMessageText(const QString&) override {}
    void setWorkModeText(const QString&) override {}
};

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    Report report() {
        Report r{};
        for (auto& b : r)
            b = byte();
        return r;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "fuzz_proc_events";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own event dispatcher wakes itself once per batch of posted events; GLib's writes to
    // its wake-up descriptor for every single one, which made that a tenth of a run.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    // The offscreen platform warns on every show that it keeps no size hints: a write to stderr
    // per run. Critical and fatal messages still go out, and a fatal one still aborts.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    // Never destroyed, as the dialog below is not: the process ends with both alive and
    // reachable. Taken apart at exit, Qt's font caches outlive the application object and read as
    // leaks.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// Peeks at the answer the next poll takes.
std::optional<Report> nextAnswer(ProgrammerSimulator& simulator) {
    static std::vector<Report> queued; // its room is kept from run to run
    queued.clear();
    while (auto answer = simulator.takeAnswer())
        queued.push_back(*answer);
    for (const Report& r : queued)
        simulator.queueAnswer(r);
    if (queued.empty())
        return std::nullopt;
    return queued.front();
}

void checkIdle(const OperationDialog& form) {
    if (!form.isOpen())
        Check(form.pendingEvents() == 0 && !form.procTimer().isActive());
    else if (form.pendingEvents() != 0)
        Check(form.procTimer().isActive());
}

// One tick of the dialog; a key may be stored only from the answer this tick polls, and only when
// a read is awaited.
void tick(OperationDialog& form, FuzzHost& host, ProgrammerSimulator& simulator) {
    if (form.isOpen() && (form.pendingEvents() & OperationDialog::EventKeyRead))
        host.readAnswer = nextAnswer(simulator);
    host.stored = 0;
    form.EventReadFunc();
    host.readAnswer.reset();
}

bool start(OperationDialog& form, int operation) {
    switch (operation) {
    case 0:
        return form.StartReadKeys();
    case 1:
        return form.StartWriteBlanks();
    default:
        return form.StartLockKey();
    }
}

// The dialog, its host, the link and the programmer last the whole process: making the dialog's
// widgets and window afresh would cost most of a run, and a new programmer a run's worth of
// allocations. Each run starts only from a closed, idle dialog, a page without keys and a
// programmer as it comes out of the box (freshProgrammer), plugged in but not yet opened.
struct Rig {
    FuzzHost host;
    DeviceLink link;
    DeviceProtocol protocol{link};
    OperationDialog form{host, protocol};
    const ProgrammerSimulator boxed{'C', "3.82"};
    ProgrammerSimulator simulator = boxed;
    SimulatedTransport transport{simulator};
    // The link's guarded pointer to the transport shares this one's count, which would otherwise
    // be made and freed anew with every run's setTransport.
    QPointer<HidTransport> transportGuard{&transport};
    QPushButton* repeatButton = button("RepeatButton");
    QPushButton* nextButton = button("NextButton");
    QPushButton* cancelButton = button("CancelButton");
    QPushButton* endButton = button("EndButton");
    // Empty until an operation writes them, as the dialog made them.
    QLabel* infoLabels[2] = {child<QLabel>("InfoLabel1"), child<QLabel>("InfoLabel2")};

    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    template <typename Widget> Widget* child(const char* name) {
        auto* found = form.findChild<Widget*>(QString::fromLatin1(name));
        Check(found != nullptr);
        return found;
    }
};

Rig& rig() {
    static auto* instance = [] {
        auto* made = new Rig;
        // Shown and hidden as always, but never put on a screen nor drawn: nothing here looks at
        // pixels, and the window system's and the repaint's work, with their allocations, were
        // most of a run that opens and closes the dialog.
        made->form.setAttribute(Qt::WA_DontShowOnScreen);
        for (QWidget* widget : made->form.findChildren<QWidget*>())
            widget->setAttribute(Qt::WA_DontShowOnScreen);
        made->form.setUpdatesEnabled(false);
        return made;
    }();
    return *instance;
}

// The programmer back as it came out of the box: no key presented, no result or fault scripted,
// nothing queued, held back or logged, plugged in. Its queues keep their storage, so that what a
// run allocated the run also frees (libFuzzer runs an input again, and looks for leaks, when it
// did not); the transport's hook on it stays.
void freshProgrammer(Rig& rig) {
    auto hook = std::move(rig.simulator.onPlugChanged);
    rig.simulator = rig.boxed;
    rig.simulator.onPlugChanged = std::move(hook);
}

void setUp(FuzzHost& host, Input& in) {
    // Mostly small selections near the top, sometimes ones that run past the last grid row.
    const std::uint8_t left = in.byte(), top = in.byte(), right = in.byte(), bottom = in.byte();
    host.selection.left = 1 + left % 7;
    host.selection.top = (top & 0x80) ? 490 + top % 20 : 1 + top % 12;
    host.selection.right = host.selection.left + right % 7;
    host.selection.bottom = host.selection.top + bottom % 4;
    const std::uint8_t view = in.byte();
    host.rowMap.clear();
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t b = in.byte();
        if (view & 1)
            host.rowMap.push_back(b == 0xFF ? 9999 : b % 14 - 2);
    }
    // Keys in some cells of the first 12 rows, for writing.
    const std::uint16_t keys = static_cast<std::uint16_t>(in.byte() | (in.byte() << 8));
    static constexpr KeyCell kKey{{KeyTypeDallas, 0x5A, 1, 2, 3, 4, 5, 6, 7, 8}};
    for (int cell = 0; cell < FuzzHost::kKeyRows * KeyPage::kKeyColumns; ++cell)
        if (keys & (1u << (cell % 16)))
            std::memcpy(host.page.data() + cell * KeyCell::kSize, kKey.bytes.data(), KeyCell::kSize);
}

void tearDown(FuzzHost& host) {
    std::memset(host.page.data(), 0, KeyPage::cellOffset(FuzzHost::kKeyRows, 0));
    for (const auto& [row, column] : host.storedCells)
        std::memset(host.page.data() + KeyPage::cellOffset(row, column), 0, KeyCell::kSize);
    host.storedCells.clear();
}

void run(Rig& rig, Input& in, int operation) {
    FuzzHost& host = rig.host;
    OperationDialog& form = rig.form;
    DeviceLink& link = rig.link;
    Check(!form.isOpen() && form.pendingEvents() == 0 && !form.procTimer().isActive() && !form.deviceBusy());
    rig.protocol.InAnswer = {};
    rig.protocol.clearOutPayload();
    ProgrammerSimulator& simulator = rig.simulator;
    link.setTransport(&rig.transport);
    link.DeviceOpen();

    start(form, operation);
    checkIdle(form);
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        const std::uint8_t control = in.byte();
        switch (control % 8) {
        case 0:
        case 1:
        case 2: {
            Report report = in.report();
            if (control & 0x80)
                report[64] = reportChecksum(report.data());
            simulator.queueAnswer(report);
            tick(form, host, simulator);
            break;
        }
        case 3:
            tick(form, host, simulator);
            break;
        case 4:
            rig.repeatButton->click();
            break;
        case 5:
            rig.nextButton->click();
            break;
        case 6: {
            const std::uint8_t how = in.byte() % 3;
            if (how == 2) {
                form.closeIfOpen();
            } else {
                // The layout decides which of the two can be pressed.
                QPushButton* button = how == 0 ? rig.cancelButton : rig.endButton;
                if (!button->isEnabled())
                    break;
                button->click();
            }
            Check(!form.isOpen());
            break;
        }
        default: {
            const std::uint8_t a = in.byte();
            const std::uint8_t b = in.byte();
            switch (b % 4) {
            case 0:
                simulator.presentKey(a, KeyCode{a, b, 1, 2, 3, 4, 5, 6});
                break;
            case 1:
                simulator.injectFault(static_cast<ProgrammerSimulator::Fault>(a % 6), 1 + b / 64);
                break;
            case 2:
                simulator.unplug();
                link.DeviceOpen();
                form.closeIfOpen();
                Check(!form.isOpen());
                break;
            default:
                simulator.plug();
                link.DeviceOpen();
                if (!form.isOpen())
                    start(form, a % 3);
                break;
            }
            break;
        }
        }
        checkIdle(form);
    }
    form.closeIfOpen();
    checkIdle(form);
    // Letting go of the transport closes it, as a new one is.
    link.setTransport(nullptr);
    freshProgrammer(rig);
    // Every operation writes both labels before it waits, so the texts a run left there would only
    // be freed by the next run.
    for (QLabel* label : rig.infoLabels)
        label->clear();
}

} // namespace

// No screen reader listens here, yet Qt's widgets report every show, hide, text and enabled state
// of every child to the accessibility layer, which looks up (and lists, allocating) each widget's
// accessible interface even with nobody listening: half of a run's allocations. This definition
// stands in for QtGui's for the calls from QtWidgets, which reach it through the dynamic linker.
void QAccessible::updateAccessibility(QAccessibleEvent*) {}

// A run frees a few dozen small blocks; 32 MB of freed memory held back still spans hundreds of
// runs for catching a use after free, where the default 256 MB kept the process walking through
// fresh pages.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    application();
    static InstantPump pump;
    static DroppedStatus status;
    static const bool installed = [] {
        eventPumpSeam().install(&pump);
        statusSinkSeam().install(&status);
        settings().setDefaults();
        return true;
    }();
    (void)installed;

    Input in(data, size);
    const int operation = in.byte() % 3;
    setUp(rig().host, in);
    run(rig(), in, operation);
    tearDown(rig().host);
    // Showing and hiding the dialog queues window system events that only an event loop takes;
    // nothing else runs one here, so without this they would pile up run after run.
    QCoreApplication::processEvents();
    return 0;
}
