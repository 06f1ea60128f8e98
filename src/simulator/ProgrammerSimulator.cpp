#include "simulator/ProgrammerSimulator.h"

#include <algorithm>

namespace tervane {

ProgrammerSimulator::ProgrammerSimulator(std::uint8_t modelLetter, std::string firmware, int rows)
    : m_letter(modelLetter), m_firmware(std::move(firmware)),
      m_rows(static_cast<std::size_t>(rows > 0 ? rows : defaultRowCount(modelLetter)), Row{}) {}

int ProgrammerSimulator::defaultRowCount(std::uint8_t modelLetter) {
    return modelLetter == 'B' || modelLetter == 'C' ? 100 : 500;
}

std::string ProgrammerSimulator::defaultFirmware(std::uint8_t modelLetter) {
    switch (modelLetter) {
    case 'B':
    case 'C':
        return "3.82";
    case 'f':
        return "1.10";
    case 'U':
        return "1.36";
    default:
        return "1.00";
    }
}

ProgrammerSimulator::Row ProgrammerSimulator::row(int index) const {
    if (index < 0 || index >= rowCount())
        return Row{};
    return m_rows[static_cast<std::size_t>(index)];
}

void ProgrammerSimulator::setRow(int index, const Row& row) {
    if (index >= 0 && index < rowCount())
        m_rows[static_cast<std::size_t>(index)] = row;
}

std::optional<ProgrammerSimulator::Fault> ProgrammerSimulator::takeFault() {
    if (m_faults.empty())
        return std::nullopt;
    auto& [fault, times] = m_faults.front();
    const Fault taken = fault;
    if (times != Forever && --times <= 0)
        m_faults.pop_front();
    return taken;
}

void ProgrammerSimulator::injectFault(Fault fault, int times) {
    if (times > 0)
        m_faults.emplace_back(fault, times);
}

void ProgrammerSimulator::receive(const std::uint8_t* report) {
    Report command{};
    std::copy(report, report + ReportSize, command.begin());
    m_log.push_back(command);
    if (!m_plugged)
        return;
    // Whatever was late goes out before anything this command causes.
    releaseLateAnswers();
    // The programmer ignores a report that its check sum does not cover.
    if (!reportChecksumHolds(command.data()))
        return;

    const std::optional<Fault> fault = takeFault();
    if (fault == Fault::NoAnswer)
        return;
    if (fault == Fault::Unplug) {
        unplug();
        return;
    }
    if (fault == Fault::StaleEvent) {
        switch (staleEventStatus) {
        case StatusDone:
            event(StatusDone, 0);
            break;
        case StatusCancelled:
            event(StatusCancelled);
            break;
        default:
            event(StatusKeyRead, KeyTypeDallas, KeyCode{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00, 0x00});
            break;
        }
    }
    const bool corrupt = fault == Fault::BadChecksum;
    m_holding = fault == Fault::DelayedAnswer;

    Report reply{};
    reply[1] = StatusAck;
    switch (command[1]) {
    case CmdPing:
        answer(reply, corrupt);
        break;
    case CmdIdentify: {
        reply[2] = m_letter;
        // The text fills report bytes 3..63 at most; a zero ends it when it is shorter.
        const std::size_t length = std::min<std::size_t>(m_firmware.size(), 61);
        std::copy_n(m_firmware.begin(), length, reply.begin() + 3);
        answer(reply, corrupt);
        break;
    }
    case CmdStop:
        m_waiting = Waiting::Nothing;
        answer(reply, corrupt);
        break;
    case CmdReadKeys:
        m_waiting = Waiting::ReadKey;
        answer(reply, corrupt);
        finishWaiting();
        break;
    case CmdWriteBlank: {
        KeyCode code{};
        std::copy_n(command.begin() + 3, code.size(), code.begin());
        m_written.emplace_back(command[2], code);
        m_waiting = Waiting::WriteBlank;
        answer(reply, corrupt);
        finishWaiting();
        break;
    }
    case CmdLockKey:
        m_waiting = Waiting::LockKey;
        answer(reply, corrupt);
        finishWaiting();
        break;
    case CmdReadBaseRow: {
        const int index = command[2] | (command[3] << 8);
        const int echo = fault == Fault::WrongRowEcho ? index + 1 : index;
        reply[2] = static_cast<std::uint8_t>(echo & 0xFF);
        reply[3] = static_cast<std::uint8_t>((echo >> 8) & 0xFF);
        // Rows past the memory's end read as empty rows.
        const Row data = row(index);
        std::copy_n(data.begin(), BaseRowReadSize, reply.begin() + 4);
        answer(reply, corrupt);
        break;
    }
    case CmdWriteBaseRow: {
        const int index = command[2] | (command[3] << 8);
        Row data{};
        std::copy_n(command.begin() + 4, BaseRowSize, data.begin());
        setRow(index, data);
        answer(reply, corrupt);
        break;
    }
    default:
        // An unknown command is refused rather than left unanswered.
        reply[1] = 0;
        answer(reply, corrupt);
        break;
    }
    m_holding = false;
}

void ProgrammerSimulator::answer(Report report, bool corrupt) {
    report[0] = 0;
    report[64] = static_cast<std::uint8_t>(reportChecksum(report.data()) + (corrupt ? 1 : 0));
    // Nothing overtakes a late answer.
    if (m_holding || !m_late.empty())
        m_late.push_back(report);
    else
        m_answers.push_back(report);
}

void ProgrammerSimulator::releaseLateAnswers() {
    // Every command and every wait in vain comes here; mostly nothing is held back.
    if (m_late.empty())
        return;
    m_answers.insert(m_answers.end(), m_late.begin(), m_late.end());
    m_late.clear();
}

void ProgrammerSimulator::event(std::uint8_t status, std::uint8_t type, const KeyCode& code) {
    Report report{};
    report[1] = status;
    report[2] = type;
    if (status == StatusKeyRead)
        std::copy(code.begin(), code.end(), report.begin() + 3);
    answer(report, false);
}

std::optional<Report> ProgrammerSimulator::takeAnswer() {
    if (m_answers.empty())
        return std::nullopt;
    Report report = m_answers.front();
    m_answers.pop_front();
    return report;
}

void ProgrammerSimulator::finishWaiting() {
    auto result = [this](std::deque<int>& results) {
        const int code = results.front();
        results.pop_front();
        m_waiting = Waiting::Nothing;
        if (code == Cancelled)
            event(StatusCancelled);
        else
            event(StatusDone, static_cast<std::uint8_t>(code));
    };
    switch (m_waiting) {
    case Waiting::ReadKey:
        if (!m_keys.empty()) {
            const auto [type, code] = m_keys.front();
            m_keys.pop_front();
            m_waiting = Waiting::Nothing;
            event(StatusKeyRead, type, code);
        }
        break;
    case Waiting::WriteBlank:
        if (!m_writeResults.empty())
            result(m_writeResults);
        break;
    case Waiting::LockKey:
        if (!m_lockResults.empty())
            result(m_lockResults);
        break;
    case Waiting::Nothing:
        break;
    }
}

void ProgrammerSimulator::presentKey(std::uint8_t type, const KeyCode& code) {
    m_keys.emplace_back(type, code);
    finishWaiting();
}

void ProgrammerSimulator::setWriteResult(int code) {
    m_writeResults.push_back(code);
    finishWaiting();
}

void ProgrammerSimulator::setLockResult(int code) {
    m_lockResults.push_back(code);
    finishWaiting();
}

bool ProgrammerSimulator::cancelWaiting() {
    if (m_waiting == Waiting::Nothing || !m_plugged)
        return false;
    m_waiting = Waiting::Nothing;
    event(StatusCancelled);
    return true;
}

int ProgrammerSimulator::commandCount(std::uint8_t code) const {
    return static_cast<int>(
        std::count_if(m_log.begin(), m_log.end(), [code](const Report& r) { return r[1] == code; }));
}

void ProgrammerSimulator::unplug() {
    if (!m_plugged)
        return;
    m_plugged = false;
    m_waiting = Waiting::Nothing;
    m_answers.clear();
    m_late.clear();
    if (onPlugChanged)
        onPlugChanged(false);
}

void ProgrammerSimulator::plug() {
    if (m_plugged)
        return;
    m_plugged = true;
    if (onPlugChanged)
        onPlugChanged(true);
}

} // namespace tervane
