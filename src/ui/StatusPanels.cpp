#include "ui/StatusPanels.h"

#include "texts/UiLanguage.h"

#include <QEvent>
#include <QLabel>

#include <algorithm>
#include <vector>

namespace tervane {
namespace {

constexpr int kDesignedWidths[StatusPanels::kPanels] = {250, 100, 100, 100, 330};
const char* const kCounterPrefixes[3] = {QT_TRANSLATE_NOOP("MainWindow", "Used: "),
                                         QT_TRANSLATE_NOOP("MainWindow", "Free: "),
                                         QT_TRANSLATE_NOOP("MainWindow", "Total: ")};
// The widest value a counter shows: free goes down to 2495 - 3000.
const QString kWidestValue = QStringLiteral("-0000");

// The panels side by side at their widths from the left edge. It asks for their whole width
// but takes less without complaint, so that the window can be narrower than the panels.
class PanelStrip final : public QWidget {
public:
    explicit PanelStrip(QWidget* parent) : QWidget(parent) {}

    void setPanels(QLabel* const* panels, int count) {
        m_panels.assign(panels, panels + count);
        updateGeometry();
        arrange();
    }

    QSize sizeHint() const override {
        int width = 0;
        int height = 0;
        for (const QLabel* label : m_panels) {
            width += label->width();
            height = std::max(height, label->sizeHint().height());
        }
        return {width, height};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent*) override { arrange(); }

private:
    void arrange() {
        int x = 0;
        for (QLabel* label : m_panels) {
            label->setGeometry(x, 0, label->width(), height());
            x += label->width();
        }
    }

    std::vector<QLabel*> m_panels;
};

} // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(true);
    auto* strip = new PanelStrip(this);
    strip->setObjectName(QStringLiteral("StatusPanels"));
    for (int i = 0; i < kPanels; ++i) {
        auto* label = new QLabel(strip);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        m_panels[i] = label;
    }
    m_strip = strip;
    fitPanels();
    addWidget(strip, 1);
}

QString StatusPanels::panelText(int panel) const {
    return panel >= 0 && panel < kPanels ? m_panels[panel]->text() : QString();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < kPanels)
        m_panels[panel]->setText(text);
}

void StatusPanels::setUsage(const QString& used, const QString& free, const QString& total) {
    const QString values[3] = {used, free, total};
    for (int i = 0; i < 3; ++i)
        setPanelText(i + 1, translate("MainWindow", kCounterPrefixes[i]) + values[i]);
}

void StatusPanels::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitPanels();
}

// Designed widths, except that a counter takes what its widest text needs in either language.
void StatusPanels::fitPanels() {
    for (int i = 0; i < kPanels; ++i) {
        QLabel* label = m_panels[i];
        int width = kDesignedWidths[i];
        if (i >= 1 && i <= 3) {
            const QFontMetrics metrics = label->fontMetrics();
            const int chrome =
                2 * label->frameWidth() + 2 * label->margin() + metrics.horizontalAdvance(QLatin1Char(' '));
            for (const UiLanguage language : {UiLanguage::Russian, UiLanguage::English}) {
                const QString text = translateIn(language, "MainWindow", kCounterPrefixes[i - 1]) + kWidestValue;
                width = std::max(width, metrics.horizontalAdvance(text) + chrome);
            }
        }
        label->resize(width, label->height());
    }
    static_cast<PanelStrip*>(m_strip)->setPanels(m_panels, kPanels);
}

} // namespace tervane
