#include "seams/EventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace tervane {
namespace {

class QtEventPump final : public EventPump {
public:
    QtEventPump() { m_clock.start(); }
    void processEvents() override {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
    qint64 nowMs() const override { return m_clock.elapsed(); }

private:
    QElapsedTimer m_clock;
};
} // namespace

Seam<EventPump>& eventPumpSeam() {
    static QtEventPump fallback;
    static Seam<EventPump> seam(fallback);
    return seam;
}

EventPump& eventPump() {
    return eventPumpSeam().get();
}

} // namespace tervane
