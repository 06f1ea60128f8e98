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
// page is never copied to find out what changed, which keeps a run cheap.
#include "FuzzSupport.h"

#include "base/KeyPage.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "dialogs/OperationDialog.h"
#include "dialogs/OperationHost.h"
#include "grid/SelectionWalk.h"
#include "keys/KeyCell.h"
#include "seams/EventPump.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>
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

// The cells in which a key may land: the key columns of the selection's rows that have a page row.
bool cellInWalk(const GridSelection& selection, const std::function<int(int)>& pageRowOf, int pageRow, int column) {
    const SelectionWalk walk(selection, pageRowOf);
    for (int row = 0; row < KeyPage::kRows; ++row) {
        const WalkPosition cursor{row, column};
        if (walk.contains(cursor) && walk.pageRow(cursor) == pageRow)
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
    std::vector<std::pair<int, int>> storedCells; // to take away after the run
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
        Check(cellInWalk(
            selection, [this](int gridRow) { return pageRowOfGridRow(gridRow); }, pageRow, keyColumn));
        // The cell's other byte stays as it was.
        Check(cell.bytes[1] == page.cell(pageRow, keyColumn).bytes[1]);
        page.setCell(pageRow, keyColumn, cell);
        storedCells.emplace_back(pageRow, keyColumn);
    }
    // Only a key base transfer replaces or touches the page, and none runs here.
    void replaceShownPage(const KeyPage&) override { Check(false); }
    void touchShownPage() override { Check(false); }
    void RefreshView() override {}
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
    std::vector<Report> queued;
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

// The dialog, its host and the link last the whole process: making the dialog's widgets and
// window afresh would cost most of a run. Each run plugs in a programmer of its own, and starts
// only from a closed, idle dialog and a page without keys.
struct Rig {
    FuzzHost host;
    DeviceLink link;
    DeviceProtocol protocol{link};
    OperationDialog form{host, protocol};
    QPushButton* repeatButton = button("RepeatButton");
    QPushButton* nextButton = button("NextButton");
    QPushButton* cancelButton = button("CancelButton");
    QPushButton* endButton = button("EndButton");

    QPushButton* button(const char* name) {
        auto* found = form.findChild<QPushButton*>(QString::fromLatin1(name));
        Check(found != nullptr);
        return found;
    }
};

Rig& rig() {
    static auto* instance = new Rig;
    return *instance;
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
    for (int row = 0; row < FuzzHost::kKeyRows; ++row)
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            if (keys & (1u << ((row * KeyPage::kKeyColumns + column) % 16)))
                host.page.setCell(row, column, KeyCell{{KeyTypeDallas, 0x5A, 1, 2, 3, 4, 5, 6, 7, 8}});
}

void tearDown(FuzzHost& host) {
    for (int row = 0; row < FuzzHost::kKeyRows; ++row)
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            host.page.clearCell(row, column);
    for (const auto& [row, column] : host.storedCells)
        host.page.clearCell(row, column);
    host.storedCells.clear();
}

void run(Rig& rig, Input& in, int operation) {
    FuzzHost& host = rig.host;
    OperationDialog& form = rig.form;
    DeviceLink& link = rig.link;
    Check(!form.isOpen() && form.pendingEvents() == 0 && !form.procTimer().isActive() && !form.deviceBusy());
    rig.protocol.InAnswer = {};
    rig.protocol.clearOutPayload();
    ProgrammerSimulator simulator('C', "3.82");
    SimulatedTransport transport(simulator);
    link.setTransport(&transport);
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
    link.setTransport(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    application();
    static InstantPump pump;
    static const bool installed = [] {
        eventPumpSeam().install(&pump);
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
