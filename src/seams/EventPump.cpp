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

QtEventPump g_real;
EventPump* g_pump = nullptr;

} // namespace

EventPump& eventPump() {
    return g_pump ? *g_pump : g_real;
}

void setEventPump(EventPump* pump) {
    g_pump = pump;
}

} // namespace tervane
