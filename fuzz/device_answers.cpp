// Any bytes as the programmer's answer reports: the protocol accepts exactly the reports whose
// check sum holds, keeps the last good answer otherwise, and identification reads any model
// letter and version text without reading past the answer.
//
// The input is a series of 66-byte steps: one byte that picks the call (bit 7 set: give the
// report a correct check sum), then the 65-byte report the programmer sends. Only the first 16
// steps count: little state carries from one step to the next, and a step whose answer is refused
// costs a command's nine attempts, so longer inputs would only slow the fuzzer down.
#include "FuzzSupport.h"

#include "device/DeviceDetector.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"
#include "seams/EventPump.h"
#include "seams/Prompts.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentPrompts prompts;
    static InstantPump pump;
    promptsSeam().install(&prompts);
    eventPumpSeam().install(&pump);

    ProgrammerSimulator simulator('C', "3.82");
    // The programmer itself stays silent: every answer comes from the input.
    simulator.injectFault(ProgrammerSimulator::Fault::NoAnswer, ProgrammerSimulator::Forever);
    SimulatedTransport transport(simulator);
    DeviceLink link(&transport);
    link.DeviceOpen();
    DeviceProtocol protocol(link);
    DeviceDetector detector(protocol);

    constexpr std::size_t step = 1 + ReportSize;
    constexpr std::size_t maxSteps = 16;
    size = std::min(size, maxSteps * step);
    for (std::size_t offset = 0; offset < size; offset += step) {
        const std::uint8_t op = data[offset];
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

    eventPumpSeam().install(nullptr);
    promptsSeam().install(nullptr);
    return 0;
}
