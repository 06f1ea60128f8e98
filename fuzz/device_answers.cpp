// Any bytes as the programmer's answer reports: the protocol accepts exactly the reports whose
// check sum holds, keeps the last good answer otherwise, and identification reads any model
// letter and version text without reading past the answer.
//
// The input is a series of 66-byte steps: one byte that picks the call (bit 7 set: give the
// report a correct check sum), then the 65-byte report the programmer sends. An input ends after
// 16 steps, or after 4 that send commands: a command whose answer is refused goes out nine
// times, and little state carries from one step to the next, so longer inputs would mostly slow
// the fuzzer down.
#include "FuzzSupport.h"

#include "device/DeviceDetector.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "seams/EventPump.h"
#include "seams/Prompts.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using namespace tervane;
using tervane::fuzz::Check;
using tervane::fuzz::InstantPump;

class SilentPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon, const QString&, const QString&, int) override { return ButtonOk; }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};

// The programmer and the link last the whole process: a new simulator's key memory and queues
// cost more than a whole run. The programmer itself stays silent, so every answer comes from the
// input; each run starts with nothing queued, an empty log and no answer kept.
struct Rig {
    ProgrammerSimulator simulator{'C', "3.82"};
    SimulatedTransport transport{simulator};
    DeviceLink link{&transport};
    DeviceProtocol protocol{link};
    Rig() {
        simulator.injectFault(ProgrammerSimulator::Fault::NoAnswer, ProgrammerSimulator::Forever);
        link.DeviceOpen();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentPrompts prompts;
    static InstantPump pump;
    promptsSeam().install(&prompts);
    eventPumpSeam().install(&pump);
    static Rig rig;
    ProgrammerSimulator& simulator = rig.simulator;
    DeviceProtocol& protocol = rig.protocol;
    Check(rig.link.DeviceConnected() && !simulator.hasAnswer() && !simulator.hasLateAnswers());
    protocol.InAnswer = {};
    protocol.clearOutPayload();
    DeviceDetector detector(protocol);

    constexpr std::size_t step = 1 + ReportSize;
    constexpr std::size_t maxSteps = 16;
    constexpr int maxCommandSteps = 4;
    int commandSteps = 0;
    size = std::min(size, maxSteps * step);
    for (std::size_t offset = 0; offset < size; offset += step) {
        const std::uint8_t op = data[offset];
        if (op % 4 >= 2 && ++commandSteps > maxCommandSteps)
            break;
        Report report{};
        const std::size_t available = std::min<std::size_t>(ReportSize, size - offset - 1);
        std::copy_n(data + offset + 1, available, report.begin());
        if (op & 0x80)
            report[64] = reportChecksum(report.data());
        const bool sound = reportChecksumHolds(report.data());
        // A call that sends a command reads away what was queued before it, so its answer comes
        // out with the command.
        if (op % 4 >= 2)
            simulator.queueLateAnswer(report);
        else
            simulator.queueAnswer(report);

        const Payload before = protocol.InAnswer;
        switch (op % 4) {
        case 0:
        case 1: {
            const bool accepted = (op % 4 == 0) ? protocol.ReceiveAnswer() : protocol.PollAnswer();
            Check(accepted == sound);
            if (accepted)
                Check(std::equal(protocol.InAnswer.begin(), protocol.InAnswer.end(), report.begin() + 1));
            else
                Check(protocol.InAnswer == before);
            break;
        }
        case 2:
            detector.IdentifyDevice();
            Check(detector.FirmwareVersionText().size() <= DeviceDetector::MaxVersionTextLength);
            break;
        default:
            detector.DetectDevice();
            break;
        }
        simulator.releaseLateAnswers();
        while (simulator.takeAnswer()) {
        }
    }
    simulator.clearLog();

    eventPumpSeam().install(nullptr);
    promptsSeam().install(nullptr);
    return 0;
}
