#pragma once

#include <cstdint>

namespace tervane {

// One report through a non-blocking file descriptor (a hidraw node) within a time bound. A
// signal that interrupts the wait or the call is no failure: the call is made again with the
// time that is left.
class FdReportIo {
public:
    enum class Result {
        Done,     // the call went through; count says how many bytes it moved
        TimedOut, // the descriptor was not ready within the bound
        Failed,   // the descriptor failed for good: the device is gone
    };

    // Writes size bytes in one call once the descriptor takes them.
    static Result write(int fd, const std::uint8_t* data, int size, int timeoutMs, int& count);
    // Reads one report of at most capacity bytes.
    static Result read(int fd, std::uint8_t* buffer, int capacity, int timeoutMs, int& count);
};

} // namespace tervane
