#include "device/DeviceProtocol.h"

#include "device/DeviceLink.h"
#include "seams/AppClosing.h"
#include "seams/EventPump.h"
#include "seams/StatusSink.h"
#include "texts/UiLanguage.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tervane {
namespace {

// A programmer that stopped answering brings up to nine retries to every command, and the texts
// that count them are few: each is made once per language and shown again from here.
QString transferRetryText(int count) {
    const auto make = [count] {
        return count == 0 ? translate("Device", "Data transfer error.")
                          : translate("Device", "Repeating data transfer: %1").arg(count);
    };
    if (count < 0 || count > DeviceProtocol::MaxAttempts)
        return make();
    static std::array<std::array<QString, DeviceProtocol::MaxAttempts + 1>, 2> made;
    QString& text = made[uiLanguage() == UiLanguage::Russian ? 1 : 0][static_cast<std::size_t>(count)];
    if (text.isNull())
        text = make();
    return text;
}

} // namespace

DeviceProtocol::DeviceProtocol(DeviceLink& link) : m_link(link) {}

Report DeviceProtocol::buildCommandReport(std::uint8_t code) const {
    Report report{};
    report[0] = 0;
    report[1] = code;
    std::copy(OutPayload.begin(), OutPayload.end(), report.begin() + 2);
    report[64] = reportChecksum(report.data());
    return report;
}

bool DeviceProtocol::SendCommand(std::uint8_t code) {
    // A report still queued answers an earlier command whose wait ran out; read after this
    // command, it would pass for this command's answer.
    m_link.deviceDiscardQueued();
    const Report report = buildCommandReport(code);
    return m_link.DeviceWriteReport(report.data());
}

bool DeviceProtocol::acceptAnswer(const Report& report, bool received) {
    if (!received || !reportChecksumHolds(report.data()))
        return false;
    std::copy(report.begin() + 1, report.begin() + 1 + PayloadSize, InAnswer.begin());
    return true;
}

bool DeviceProtocol::ReceiveAnswer() {
    Report report{};
    const bool received = m_link.DeviceReadReport(report.data());
    return acceptAnswer(report, received);
}

bool DeviceProtocol::PollAnswer() {
    Report report{};
    const bool received = m_link.DevicePollReport(report.data());
    return acceptAnswer(report, received);
}

bool DeviceProtocol::Transact(std::uint8_t code, const std::function<bool()>& abandoned) {
    const CommandScope scope(*this);
    // A pause runs events: the programmer may leave, another one be opened in its place, the
    // window close, the caller give up.
    const quint64 opening = m_link.deviceOpening();
    const auto stopped = [&] {
        return !m_link.DeviceConnected() || m_link.deviceOpening() != opening || AppClosing() ||
               (abandoned && abandoned());
    };
    int attempts = 0;
    do {
        if (stopped())
            return false;
        if (SendCommand(code) && ReceiveAnswer() && InAnswer[0] == StatusAck)
            return true;
        ++attempts;
        PumpWait(RetryPauseMs);
        ShowTransferRetry(attempts);
    } while (attempts < MaxAttempts);
    // Stopped during the last pause: no transfer error either.
    if (stopped())
        return false;
    ShowTransferRetry(0);
    return false;
}

DeviceProtocol::CommandScope::CommandScope(DeviceProtocol& protocol) : m_protocol(protocol) {
    ++m_protocol.m_commandsInProgress;
}

DeviceProtocol::CommandScope::~CommandScope() {
    if (--m_protocol.m_commandsInProgress == 0 && m_protocol.m_whenIdle)
        std::exchange(m_protocol.m_whenIdle, nullptr)();
}

void DeviceProtocol::notifyWhenIdle(std::function<void()> handler) {
    if (!commandInProgress()) {
        m_whenIdle = nullptr;
        if (handler)
            handler();
        return;
    }
    m_whenIdle = std::move(handler);
}

void DeviceProtocol::PumpWait(int ms) {
    EventPump& pump = eventPump();
    pump.processEvents();
    for (int i = 0; i < ms / 10; ++i) {
        pump.sleepMs(10);
        pump.processEvents();
        if (AppClosing())
            break;
    }
}

void DeviceProtocol::ShowTransferRetry(int count) {
    statusSink().setMessageText(transferRetryText(count));
    eventPump().processEvents();
}

DeviceProtocol& deviceProtocol() {
    static DeviceProtocol protocol(deviceLink());
    return protocol;
}

} // namespace tervane
