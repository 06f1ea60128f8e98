#include "cli/DeviceSession.h"

#include "device/DeviceDetector.h"
#include "device/DeviceLink.h"
#include "device/DeviceModel.h"
#include "device/DeviceProtocol.h"
#include "device/HidTransport.h"
#include "device/SystemTransport.h"
#include "seams/AppClosing.h"
#include "texts/UiLanguage.h"

#include <csignal>

namespace tervane {
namespace {

constexpr int kFirmwareTextLength = DeviceDetector::MaxVersionTextLength;
// Often enough that Ctrl+C stops a retry loop within its next 10 ms wait.
constexpr int kInterruptWatchMs = 20;

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

DeviceSession::DeviceSession() : m_transport(createSystemTransport()) {
    g_interrupted = 0;
    setAppClosing(false);
    std::signal(SIGINT, onInterrupt);
    // The device waits stop on AppClosing; the flag is set from the event loop, not the handler.
    m_interruptWatch.setInterval(kInterruptWatchMs);
    QObject::connect(&m_interruptWatch, &QTimer::timeout, [] {
        if (g_interrupted)
            setAppClosing(true);
    });
    m_interruptWatch.start();

    statusSinkSeam().install(&m_lines);
    DeviceLink& link = deviceLink();
    link.setTransport(m_transport.get());
    link.DeviceRegisterNotices([] { deviceLink().DeviceOpen(); });
    link.DeviceOpen();
    if (link.DeviceConnected())
        m_openPath = m_transport->openPath();
}

DeviceSession::~DeviceSession() {
    DeviceLink& link = deviceLink();
    link.DeviceRegisterNotices(nullptr);
    link.setTransport(nullptr);
    statusSinkSeam().install(nullptr);
    std::signal(SIGINT, SIG_DFL);
    setAppClosing(false);
}

DeviceProtocol& DeviceSession::protocol() const {
    return deviceProtocol();
}

bool DeviceSession::connected() const {
    return deviceLink().DeviceConnected();
}

bool DeviceSession::deviceGone() const {
    return !connected() || m_transport->openDeviceLost() || m_transport->openPath() != m_openPath;
}

bool DeviceSession::interrupted() const {
    return g_interrupted != 0;
}

DeviceSession::Identity DeviceSession::identify() {
    Identity identity;
    identity.connected = connected();
    DeviceDetector detector(protocol());
    detector.ProbeDevice();
    identity.answered = detector.DeviceAnswered();
    if (identity.answered)
        sendIdentify(identity);
    return identity;
}

std::optional<std::int32_t> DeviceSession::identifyModel() {
    Identity identity;
    if (!sendIdentify(identity))
        return std::nullopt;
    return identity.model;
}

bool DeviceSession::sendIdentify(Identity& identity) {
    DeviceProtocol& device = protocol();
    device.clearOutPayload();
    if (!device.Transact(CmdIdentify))
        return false;
    const Payload& answer = device.InAnswer;
    identity.letter = answer[1];
    identity.model = deviceModelFromLetter(answer[1]);
    QByteArray text;
    for (int i = 2; i < PayloadSize && answer[i] != 0 && text.size() < kFirmwareTextLength; ++i)
        text.append(static_cast<char>(answer[i]));
    identity.firmware = QString::fromLatin1(text);
    identity.firmwareOk = identity.model != ModelUnknown &&
                          firmwareVersionNumber(identity.firmware) >= minimumFirmwareVersion(identity.model);
    return true;
}

void DeviceSession::stop() {
    // Another programmer opened in place of the one used waits in nothing of ours.
    if (deviceGone())
        return;
    DeviceProtocol& device = protocol();
    device.clearOutPayload();
    if (!interrupted()) {
        device.Transact(CmdStop);
        return;
    }
    setAppClosing(false);
    if (device.SendCommand(CmdStop))
        device.ReceiveAnswer();
}

void DeviceSession::reportTransferError() {
    m_lines.writeLine(translate("Device", "Data transfer error."));
}

void DeviceSession::reportFailure() {
    if (interrupted())
        m_lines.writeLine(QStringLiteral("Interrupted."));
    else
        reportTransferError();
}

void DeviceSession::reportLine(const QString& text) {
    m_lines.writeLine(text);
}

} // namespace tervane
