#pragma once

#include "seams/StatusSink.h"

#include <QStringList>

namespace tervane::test {

// Every text the status panels were given, in order; installs itself while it lives.
class RecordingStatusSink final : public StatusSink {
public:
    void setMessageText(const QString& text) override { messages.append(text); }
    void setWorkModeText(const QString& text) override { workModes.append(text); }
    QStringList messages;
    QStringList workModes;

private:
    ScopedSeam<StatusSink> m_installed{statusSinkSeam(), this};
};

} // namespace tervane::test
