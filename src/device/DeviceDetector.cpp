#include "device/DeviceDetector.h"

#include "device/DeviceLink.h"
#include "device/DeviceModel.h"
#include "device/DeviceProtocol.h"
#include "seams/Prompts.h"
#include "seams/StatusSink.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

namespace tervane {
namespace {

const QString kBrand = QStringLiteral("Orvel");

QString firmwareRequirementText(std::int32_t model) {
    switch (model) {
    case ModelLark:
        return translate("Device", "Need %1 Lark version 3.82 and above.").arg(kBrand);
    case ModelWren:
        return translate("Device", "Need %1 Wren version 1.10 and above.").arg(kBrand);
    default:
        return translate("Device", "Need %1 Kestrel version 1.36 and above.").arg(kBrand);
    }
}

} // namespace

DeviceDetector::DeviceDetector(DeviceProtocol& protocol) : m_protocol(protocol) {}

void DeviceDetector::ProbeDevice() {
    m_answered = false;
    if (!m_protocol.link().DeviceConnected())
        return;
    const DeviceProtocol::CommandScope scope(m_protocol);
    const quint64 opening = m_protocol.link().deviceOpening();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) {
            DeviceProtocol::PumpWait(DeviceProtocol::RetryPauseMs);
            // The second ping goes to the programmer the first one went to, or to none; a
            // programmer opened meanwhile had a probe of its own.
            if (m_protocol.link().deviceOpening() != opening)
                return;
        }
        m_protocol.clearOutPayload();
        if (m_protocol.SendCommand(CmdPing) && m_protocol.ReceiveAnswer() && m_protocol.InAnswer[0] == StatusAck) {
            m_answered = true;
            return;
        }
    }
}

bool DeviceDetector::IdentifyDevice() {
    m_firmwareVersionText = QStringLiteral("-");
    m_protocol.clearOutPayload();
    if (!m_protocol.Transact(CmdIdentify))
        return false;
    const Payload& answer = m_protocol.InAnswer;
    const DeviceModel model = deviceModelFromLetter(answer[1]);
    if (model == ModelUnknown)
        return false;
    settings().setLastDeviceModel(model);

    // The text runs from answer byte 3 to its zero; without a zero it ends with the kept bytes.
    QByteArray version;
    for (int i = 2; i < PayloadSize && answer[i] != 0 && version.size() < MaxVersionTextLength; ++i)
        version.append(static_cast<char>(answer[i]));
    m_firmwareVersionText = QString::fromLatin1(version);
    ShowWorkModeOnline();

    // A text that does not read as a version cannot show that the firmware is new enough.
    if (firmwareVersionNumber(m_firmwareVersionText) >= minimumFirmwareVersion(model))
        return true;
    prompts().message(PromptIcon::Error, translate("Device", "Connection is impossible."),
                      firmwareRequirementText(model), ButtonOk);
    return false;
}

void DeviceDetector::DetectDevice() {
    if (!m_protocol.link().DeviceConnected()) {
        m_answered = false;
        return;
    }
    // A notice handled during the pauses may have opened another programmer and detected it:
    // that detection has told what is open now, and this one's outcome is stale.
    const quint64 opening = m_protocol.link().deviceOpening();
    ProbeDevice();
    if (m_protocol.link().deviceOpening() != opening)
        return;
    const bool identified = m_answered && IdentifyDevice();
    if (m_protocol.link().deviceOpening() != opening)
        return;
    if (identified) {
        const QString modelName = deviceModelName(settings().lastDeviceModel());
        statusSink().setMessageText(
            translate("Device", "Found %1").arg(kBrand + QLatin1Char(' ') + modelName + QStringLiteral(" [HID]")));
    } else {
        statusSink().setMessageText(translate("Device", "Found: Unknown device."));
    }
}

void DeviceDetector::ShowWorkModeOffline() const {
    showWorkMode(false);
}

void DeviceDetector::ShowWorkModeOnline() const {
    showWorkMode(true);
}

void DeviceDetector::showWorkMode(bool online) const {
    const QString modelName = deviceModelName(settings().lastDeviceModel());
    if (modelName.isEmpty())
        return;
    const QString device = kBrand + QLatin1Char(' ') + modelName;
    statusSink().setWorkModeText(
        online ? translate("Device", "Work mode: %1 v%2 (Online)").arg(device, m_firmwareVersionText)
               : translate("Device", "Work mode: %1 (Offline)").arg(device));
}

DeviceDetector& deviceDetector() {
    static DeviceDetector detector(deviceProtocol());
    return detector;
}

} // namespace tervane
