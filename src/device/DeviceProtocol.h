#pragma once

#include "device/DeviceReport.h"

#include <functional>

namespace tervane {

class DeviceLink;

// Commands and answers inside the reports: the frame, the check sum, and one command with its
// retries. There is one OutPayload and one InAnswer, shared by every command, also by a command
// sent from an event handled while another one is being retried.
class DeviceProtocol {
public:
    static constexpr int MaxAttempts = 9;
    static constexpr int RetryPauseMs = 100;

    explicit DeviceProtocol(DeviceLink& link);

    DeviceLink& link() const { return m_link; }

    // Parameters of the next command; callers zero it and set theirs.
    Payload OutPayload{};
    // The last accepted answer: [0] its status, [1..61] its data. A missing or corrupt answer
    // leaves it as it was.
    Payload InAnswer{};

    void clearOutPayload() { OutPayload.fill(0); }

    // The command report for code and OutPayload, check sum included.
    Report buildCommandReport(std::uint8_t code) const;

    // Reports already queued are read away first: none of them answers this command.
    bool SendCommand(std::uint8_t code);
    // One answer within the read bound (3000 ms); false when none came or its check sum fails.
    bool ReceiveAnswer();
    // The same within the poll bound (10 ms), for event answers.
    bool PollAnswer();
    // Up to nine attempts, 100 ms apart, each needing an acknowledgement. Shows the retry count
    // in status panel 0 and "Data transfer error." after the last attempt; stops quietly when
    // the programmer goes away (also when another one is opened in its place), the program is
    // closing, or abandoned says the caller no longer wants the command (its dialog has closed).
    bool Transact(std::uint8_t code, const std::function<bool()>& abandoned = {});

    // A command and its retries pump events, so an event can start another operation while an
    // older command is still on the stack. Whoever sends on its own (the probe) holds a scope
    // for its length, as Transact does.
    class CommandScope {
    public:
        explicit CommandScope(DeviceProtocol& protocol);
        ~CommandScope();
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

    private:
        DeviceProtocol& m_protocol;
    };
    bool commandInProgress() const { return m_commandsInProgress > 0; }
    // handler runs once, as soon as no command is in progress any more: at once when none is.
    // A later call replaces a handler that has not run yet.
    void notifyWhenIdle(std::function<void()> handler);

    // Waits ms while window events keep flowing; stops early when the program is closing.
    static void PumpWait(int ms);
    // Status panel 0: the retry count, or for 0 the transfer error.
    static void ShowTransferRetry(int count);

private:
    bool acceptAnswer(const Report& report, bool received);

    DeviceLink& m_link;
    int m_commandsInProgress = 0;
    std::function<void()> m_whenIdle;
};

// The protocol of the running program, over deviceLink().
DeviceProtocol& deviceProtocol();

} // namespace tervane
