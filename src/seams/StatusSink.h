#pragma once

#include "seams/Seam.h"

#include <QString>

namespace tervane {

// Status panel 0 (device and update messages) and panel 4 (the device work mode).
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void setMessageText(const QString& text) = 0;  // panel 0
    virtual void setWorkModeText(const QString& text) = 0; // panel 4
};

// Without a window the texts are kept here and can be read back.
class MemoryStatusSink : public StatusSink {
public:
    void setMessageText(const QString& text) override { m_message = text; }
    void setWorkModeText(const QString& text) override { m_workMode = text; }
    QString messageText() const { return m_message; }
    QString workModeText() const { return m_workMode; }

private:
    QString m_message;
    QString m_workMode;
};

StatusSink& statusSink();
// The seam itself, for a ScopedSeam that replaces the program's own for a while.
Seam<StatusSink>& statusSinkSeam();

} // namespace tervane
