#include "ui/StatusPanels.h"

#include <QLabel>

namespace tervane {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(true);
    static const int kWidths[kPanels] = {250, 100, 100, 100, 330};
    for (int i = 0; i < kPanels; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFixedWidth(kWidths[i]);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        addWidget(label);
        m_panels[i] = label;
    }
}

QString StatusPanels::panelText(int panel) const {
    return panel >= 0 && panel < kPanels ? m_panels[panel]->text() : QString();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < kPanels)
        m_panels[panel]->setText(text);
}

} // namespace tervane
