#pragma once

#include <QString>

namespace tervane {

class DeviceProtocol;

// Whether a programmer answers, which model it is and whether its firmware will do, and the
// detection and work-mode lines of the status bar. The model last recognised is kept in the
// settings' LastDeviceModel.
class DeviceDetector {
public:
    static constexpr int MaxVersionTextLength = 15;

    explicit DeviceDetector(DeviceProtocol& protocol);

    // The last presence probe was answered; device commands follow it.
    bool DeviceAnswered() const { return m_answered; }
    // "-" until an identification brings the programmer's own text.
    QString FirmwareVersionText() const { return m_firmwareVersionText; }

    // Two pings, 100 ms apart, without retry texts; both go to the programmer open at the start.
    void ProbeDevice();
    // True for a known model with firmware new enough; an old firmware is told in a message box.
    bool IdentifyDevice();
    // Probe, identification and the detection line in status panel 0. Ends without a line
    // when another programmer was opened during its pauses: the notice that opened it has
    // detected it.
    void DetectDevice();

    // The work-mode line of status panel 4, for LastDeviceModel; another stored value leaves the
    // panel as it is.
    void ShowWorkModeOffline() const;
    void ShowWorkModeOnline() const;

private:
    void showWorkMode(bool online) const;

    DeviceProtocol& m_protocol;
    bool m_answered = false;
    QString m_firmwareVersionText = QStringLiteral("-");
};

// The detector of the running program, over deviceProtocol().
DeviceDetector& deviceDetector();

} // namespace tervane
