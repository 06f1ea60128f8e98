#pragma once

#include "seams/StatusSink.h"

#include <QStatusBar>

class QLabel;

namespace tervane {

// The status bar's five panels: 0 messages (device, update), 1..3 the usage counters,
// 4 the device work mode. Designed widths 250, 100, 100, 100 and 330 pixels; a counter is
// wider when its text needs it. The panels never make the window wider: a narrow window
// clips the last ones.
class StatusPanels final : public QStatusBar, public StatusSink {
    Q_OBJECT
public:
    static constexpr int kPanels = 5;
    explicit StatusPanels(QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);
    // Panels 1..3: "Used: ", "Free: " and "Total: " followed by each value.
    void setUsage(const QString& used, const QString& free, const QString& total);

    void setMessageText(const QString& text) override { setPanelText(0, text); }
    void setWorkModeText(const QString& text) override { setPanelText(4, text); }

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitPanels();

    QWidget* m_strip = nullptr;
    QLabel* m_panels[kPanels] = {};
};

} // namespace tervane
