#include "device/FdReportIo.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tervane {
namespace {

enum class Ready { Yes, TimedOut, Failed };

// Waits until fd is ready for events or the deadline passes.
Ready waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int remaining = static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
        const int n = ::poll(&p, 1, remaining);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Ready::Failed;
        }
        if (n == 0)
            return Ready::TimedOut;
        // A removed hidraw node reports an error together with its readiness; the call that
        // follows tells which it is.
        if (p.revents & events)
            return Ready::Yes;
        return Ready::Failed;
    }
}

template <typename Call> FdReportIo::Result transfer(int fd, short events, int timeoutMs, int& count, Call call) {
    count = 0;
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    for (;;) {
        switch (waitFor(fd, events, deadline)) {
        case Ready::TimedOut:
            return FdReportIo::Result::TimedOut;
        case Ready::Failed:
            return FdReportIo::Result::Failed;
        case Ready::Yes:
            break;
        }
        const ssize_t n = call();
        if (n > 0 || (n == 0 && events == POLLOUT)) {
            count = static_cast<int>(n);
            return FdReportIo::Result::Done;
        }
        // End of file: nothing will ever come.
        if (n == 0)
            return FdReportIo::Result::Failed;
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return FdReportIo::Result::Failed;
        // Interrupted, or taken by someone else after poll said ready: wait for the time left.
        if (errno != EINTR && deadline.hasExpired())
            return FdReportIo::Result::TimedOut;
    }
}

} // namespace

FdReportIo::Result FdReportIo::write(int fd, const std::uint8_t* data, int size, int timeoutMs, int& count) {
    return transfer(fd, POLLOUT, timeoutMs, count,
                    [&] { return ::write(fd, data, static_cast<std::size_t>(std::max(0, size))); });
}

FdReportIo::Result FdReportIo::read(int fd, std::uint8_t* buffer, int capacity, int timeoutMs, int& count) {
    return transfer(fd, POLLIN, timeoutMs, count,
                    [&] { return ::read(fd, buffer, static_cast<std::size_t>(std::max(0, capacity))); });
}

} // namespace tervane
