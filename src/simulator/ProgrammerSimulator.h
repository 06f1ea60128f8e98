#pragma once

#include "device/DeviceReport.h"
#include "keys/KeyCell.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tervane {

// A programmer in software: it answers the eight commands as the real one does, keeps a key
// memory, reads the keys a script presents, finishes writes and locks with scripted result
// codes, and misbehaves on request. Tests drive it through SimulatedTransport; orvel-sim serves
// it on a socket.
class ProgrammerSimulator {
public:
    enum class Fault {
        NoAnswer,     // the command is lost: neither carried out nor answered
        BadChecksum,  // carried out, but the answer's check sum is wrong
        WrongRowEcho, // a CmdReadBaseRow answer names the next row; other commands are unaffected
        StaleEvent,   // an event answer of an earlier operation is still queued ahead of the answer
        Unplug,       // pulled out as the command arrives
        // Carried out, but the answer comes late: after the reader has given up waiting for it
        // (releaseLateAnswers), or at the latest just before the next command's answer.
        DelayedAnswer,
    };
    enum class Waiting { Nothing, ReadKey, WriteBlank, LockKey };

    // A scripted write or lock result that ends the operation with StatusCancelled.
    static constexpr int Cancelled = -1;
    static constexpr int Forever = std::numeric_limits<int>::max();

    using Row = std::array<std::uint8_t, BaseRowSize>;

    // rows 0 takes the model's own size: 100 for a Lark (B, C), 500 otherwise.
    explicit ProgrammerSimulator(std::uint8_t modelLetter = 'C', std::string firmware = "3.82", int rows = 0);

    static int defaultRowCount(std::uint8_t modelLetter);
    // The oldest firmware the editor accepts for the letter's model; "1.00" for an unknown letter.
    static std::string defaultFirmware(std::uint8_t modelLetter);

    std::uint8_t modelLetter() const { return m_letter; }
    void setModelLetter(std::uint8_t letter) { m_letter = letter; }
    const std::string& firmware() const { return m_firmware; }
    void setFirmware(std::string firmware) { m_firmware = std::move(firmware); }

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    Row row(int index) const;
    void setRow(int index, const Row& row);

    // The program's side: one command report in, answers out in order.
    void receive(const std::uint8_t* report);
    bool hasAnswer() const { return !m_answers.empty(); }
    std::size_t pendingAnswers() const { return m_answers.size(); }
    std::optional<Report> takeAnswer();
    // Queues a report exactly as given, as if the programmer had sent it.
    void queueAnswer(const Report& report) { m_answers.push_back(report); }
    // Holds a report back like a late answer: it comes out with the late answers.
    void queueLateAnswer(const Report& report) { m_late.push_back(report); }
    bool hasLateAnswers() const { return !m_late.empty(); }
    // The late answers go out now, in order, behind what is already queued. Called when the
    // reader has given up waiting; a command that arrives also lets them out first.
    void releaseLateAnswers();

    // The user's side. A presented key waits until a CmdReadKeys is acknowledged; each one gives
    // one StatusKeyRead event. Results likewise wait for their write or lock.
    void presentKey(std::uint8_t type, const KeyCode& code);
    void setWriteResult(int code);
    void setLockResult(int code);
    // The operation the programmer waits in ends with StatusCancelled; false when none waits.
    bool cancelWaiting();
    Waiting waiting() const { return m_waiting; }
    std::size_t presentedKeys() const { return m_keys.size(); }

    // Each fault applies to the next `times` commands, in the order injected.
    void injectFault(Fault fault, int times = 1);
    void clearFaults() { m_faults.clear(); }
    // The status of a StaleEvent answer: StatusKeyRead, StatusDone or StatusCancelled.
    std::uint8_t staleEventStatus = StatusKeyRead;

    bool plugged() const { return m_plugged; }
    void unplug();
    void plug();
    // Called when the programmer is plugged in (true) or pulled out (false).
    std::function<void(bool plugged)> onPlugChanged;

    // Every report received, in order, whether it made sense or not.
    const std::vector<Report>& log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    int commandCount(std::uint8_t code) const;
    // The type and code of every CmdWriteBlank acknowledged.
    const std::vector<std::pair<std::uint8_t, KeyCode>>& writtenKeys() const { return m_written; }

private:
    void answer(Report report, bool corrupt);
    void event(std::uint8_t status, std::uint8_t type = 0, const KeyCode& code = {});
    void finishWaiting();
    std::optional<Fault> takeFault();

    std::uint8_t m_letter;
    std::string m_firmware;
    std::vector<Row> m_rows;
    std::deque<Report> m_answers;
    // Answers held back by DelayedAnswer, and every answer after them until they are let out.
    std::deque<Report> m_late;
    bool m_holding = false;
    std::deque<std::pair<std::uint8_t, KeyCode>> m_keys;
    std::deque<int> m_writeResults;
    std::deque<int> m_lockResults;
    std::deque<std::pair<Fault, int>> m_faults;
    Waiting m_waiting = Waiting::Nothing;
    bool m_plugged = true;
    std::vector<Report> m_log;
    std::vector<std::pair<std::uint8_t, KeyCode>> m_written;
};

} // namespace tervane
