#pragma once

#include "seams/StatusSink.h"

#include <QStatusBar>

class QLabel;

namespace tervane {

// The status bar's five panels: 0 messages (device, update), 1..3 the usage counters,
// 4 the device work mode. Widths 250, 100, 100, 100 and 330 pixels.
class StatusPanels final : public QStatusBar, public StatusSink {
    Q_OBJECT
public:
    static constexpr int kPanels = 5;
    explicit StatusPanels(QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    void setMessageText(const QString& text) override { setPanelText(0, text); }
    void setWorkModeText(const QString& text) override { setPanelText(4, text); }

private:
    QLabel* m_panels[kPanels] = {};
};

} // namespace tervane
