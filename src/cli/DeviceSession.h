#pragma once

#include "cli/DeviceStatusLines.h"

#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>

namespace tervane {

class DeviceProtocol;
class HidTransport;

// One programmer for the length of a tervane-cli device command: the installed program's
// transport (real programmers first, then orvel-sim sockets) in deviceLink(), its status lines on
// stderr, and Ctrl+C turned into a clean stop. The first Ctrl+C stops the command at its next
// step, also inside a command's retries; a second one ends the program at once.
class DeviceSession {
public:
    // What the programmer said about itself.
    struct Identity {
        bool connected = false;
        bool answered = false;              // the presence probe
        std::optional<std::uint8_t> letter; // set when CmdIdentify was acknowledged
        std::int32_t model = 0;             // DeviceModel; 0 for an unknown letter
        QString firmware;                   // the text sent, up to 15 characters
        bool firmwareOk = false;            // a known model with firmware new enough
    };

    DeviceSession();
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    DeviceProtocol& protocol() const;
    bool connected() const;
    // The programmer opened at the start has gone (unplugged, or replaced by another one).
    bool deviceGone() const;
    bool interrupted() const;

    // Probe, then CmdIdentify once the probe was answered.
    Identity identify();
    // CmdIdentify alone; the model of an acknowledged answer, 0 for an unknown letter.
    std::optional<std::int32_t> identifyModel();

    // Lets the programmer leave whatever it waits in; nothing when it has gone. After Ctrl+C it
    // gets one attempt only, so that a dead programmer cannot hold the exit up.
    void stop();

    void reportTransferError();
    // "Interrupted." after Ctrl+C, since that is why a command failed then; else the transfer
    // error.
    void reportFailure();
    void reportLine(const QString& text);

private:
    bool sendIdentify(Identity& identity);

    std::unique_ptr<HidTransport> m_transport;
    DeviceStatusLines m_lines;
    QString m_openPath;
    QTimer m_interruptWatch;
};

} // namespace tervane
