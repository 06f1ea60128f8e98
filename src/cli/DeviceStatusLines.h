#pragma once

#include "seams/StatusSink.h"

namespace tervane {

// The device messages of status panel 0 (retry counts, transfer errors) as lines on stderr, so a
// script's log shows why a command took long. A text equal to the line just written is not
// repeated: a transfer that fails on its last row shows "Data transfer error." once.
class DeviceStatusLines final : public StatusSink {
public:
    void setMessageText(const QString& text) override { writeLine(text); }
    // The work mode belongs to the editor's status bar.
    void setWorkModeText(const QString&) override {}

    void writeLine(const QString& text);

private:
    QString m_last;
};

} // namespace tervane
