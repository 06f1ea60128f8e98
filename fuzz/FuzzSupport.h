#pragma once

// What the device fuzz targets share: the check, and virtual time for the device's waits.

#include "FuzzCheck.h"

#include "seams/EventPump.h"

namespace tervane::fuzz {

// Sleeping only advances the clock: a dead programmer's retries cost nothing.
class InstantPump final : public EventPump {
public:
    void processEvents() override {}
    void sleepMs(int ms) override { m_now += ms; }
    qint64 nowMs() const override { return m_now; }

private:
    qint64 m_now = 0;
};

} // namespace tervane::fuzz
