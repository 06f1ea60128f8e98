#pragma once

#include <array>
#include <cstdint>

namespace tervane {

// One HID report in either direction: byte 0 the report id, then the programmer's 64 data bytes.
constexpr int ReportSize = 65;
using Report = std::array<std::uint8_t, ReportSize>;

// Command parameters (report bytes 2..63) and the kept part of an answer (report bytes 1..62).
constexpr int PayloadSize = 62;
using Payload = std::array<std::uint8_t, PayloadSize>;

// Command codes, report byte 1 of a command.
enum DeviceCommand : std::uint8_t {
    CmdPing = 0x01,
    CmdIdentify = 0x02,
    CmdStop = 0x03,
    CmdReadKeys = 0x10,
    CmdWriteBlank = 0x11,
    CmdLockKey = 0x12,
    CmdReadBaseRow = 0x20,
    CmdWriteBaseRow = 0x21,
};

// Status codes, report byte 1 of an answer. 3, 4 and 5 are the events the programmer sends on its
// own after an acknowledged read, write or lock.
enum DeviceStatus : std::uint8_t {
    StatusAck = 1,
    StatusKeyRead = 3,
    StatusDone = 4,
    StatusCancelled = 5,
};

// One row of the programmer's key memory.
constexpr int BaseRowSize = 60;
// The part of a row that a CmdReadBaseRow answer carries (report bytes 4..37).
constexpr int BaseRowReadSize = 34;

// The same additive sum guards both directions: 0x55 plus report bytes 1..63.
inline std::uint8_t reportChecksum(const std::uint8_t* report) {
    unsigned sum = 0x55;
    for (int i = 1; i < 64; ++i)
        sum += report[i];
    return static_cast<std::uint8_t>(sum);
}

inline bool reportChecksumHolds(const std::uint8_t* report) {
    return reportChecksum(report) == report[64];
}

} // namespace tervane
