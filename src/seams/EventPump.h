#pragma once

#include "seams/Seam.h"

#include <QtGlobal>

namespace tervane {

// Every wait of the device link goes through this seam, so that tests run a dead device's
// minute of retries in virtual time.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual qint64 nowMs() const = 0;
};

EventPump& eventPump();
// The seam itself, for a ScopedSeam that replaces the program's own for a while.
Seam<EventPump>& eventPumpSeam();

} // namespace tervane
