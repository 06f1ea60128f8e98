#pragma once

#include "RecordingStatusSink.h"
#include "TestEnvironment.h"

#include "device/DeviceDetector.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "seams/AppClosing.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"

#include <QStringList>

namespace tervane::test {

// A simulated programmer, plugged in and opened, under the whole device stack, in virtual time.
// Device-change notices run DeviceOpen, as the main window's handler does.
struct DeviceTestRig {
    explicit DeviceTestRig(std::uint8_t letter = 'C', const std::string& firmware = "3.82")
        : simulator(letter, firmware) {
        settings().setDefaults();
        setAppClosing(false);
        pump.processQtEvents = true;
        link.DeviceRegisterNotices([this] { link.DeviceOpen(); });
        link.DeviceOpen();
    }
    ~DeviceTestRig() { setAppClosing(false); }

    // The commands the programmer received with this code.
    int sent(std::uint8_t code) const { return simulator.commandCount(code); }

    TestEnvironment env;
    VirtualEventPump pump;
    RecordingStatusSink status;
    ProgrammerSimulator simulator;
    SimulatedTransport transport{simulator};
    DeviceLink link{&transport};
    DeviceProtocol protocol{link};
    DeviceDetector detector{protocol};
};

inline QStringList retryTexts(int from, int to) {
    QStringList texts;
    for (int i = from; i <= to; ++i)
        texts << QStringLiteral("Repeating data transfer: %1").arg(i);
    return texts;
}

} // namespace tervane::test
