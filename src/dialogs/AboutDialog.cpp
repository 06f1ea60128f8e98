#include "dialogs/AboutDialog.h"

#include "BuildConfig.h"
#include "seams/Shell.h"
#include "texts/UiLanguage.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace tervane {
namespace {

const QString kBrand = QStringLiteral("Orvel");

QString webAddress() {
    return QString::fromLatin1(config::kWebUrl);
}

} // namespace

AboutDialog::AboutDialog(QWidget* hostWindow) : QDialog(nullptr), m_hostWindow(hostWindow) {
    buildWidgets();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::buildWidgets() {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameShape(QFrame::StyledPanel);
    m_panel->setFrameShadow(QFrame::Sunken);

    m_logoLabel = new QLabel(m_panel);
    m_logoLabel->setObjectName(QStringLiteral("LogoLabel"));
    // Palatino where it is installed, one of its metric twins where it is not.
    QFont logo;
    logo.setFamilies({QStringLiteral("Palatino Linotype"), QStringLiteral("Palatino"), QStringLiteral("P052"),
                      QStringLiteral("TeX Gyre Pagella"), QStringLiteral("URW Palladio L")});
    logo.setStyleHint(QFont::Serif);
    logo.setPointSize(26);
    logo.setBold(true);
    m_logoLabel->setFont(logo);
    auto* shadow = new QGraphicsDropShadowEffect(m_logoLabel);
    shadow->setBlurRadius(6);
    shadow->setOffset(3, 3);
    shadow->setColor(QColor(0, 0, 0, 110));
    m_logoLabel->setGraphicsEffect(shadow);
    // Room for the shadow below and right of the letters.
    m_logoLabel->setContentsMargins(0, 0, 4, 4);

    m_copyrightLabel = new QLabel(m_panel);
    m_copyrightLabel->setObjectName(QStringLiteral("CopyrightLabel"));
    m_copyrightLabel->setTextFormat(Qt::PlainText);

    m_webLabel = new QLabel(m_panel);
    m_webLabel->setObjectName(QStringLiteral("WebLabel"));
    m_webLabel1 = new QLabel(m_panel);
    m_webLabel1->setObjectName(QStringLiteral("WebLabel1"));
    m_webLabel1->setTextFormat(Qt::PlainText);
    m_webLabel1->setCursor(Qt::PointingHandCursor);
    // Reached by Tab as well, and opened with Enter or Space.
    m_webLabel1->setFocusPolicy(Qt::StrongFocus);
    m_webLabel1->installEventFilter(this);

    auto* web = new QHBoxLayout;
    web->addWidget(m_webLabel);
    web->addWidget(m_webLabel1);
    web->addStretch(1);

    auto* panel = new QVBoxLayout(m_panel);
    panel->addWidget(m_logoLabel);
    panel->addSpacing(fontMetrics().height() / 2);
    panel->addWidget(m_copyrightLabel);
    panel->addSpacing(fontMetrics().height() / 2);
    panel->addLayout(web);

    m_okButton = new QPushButton(this);
    m_okButton->setObjectName(QStringLiteral("OkButton"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &AboutDialog::OkButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addWidget(m_okButton, 0, Qt::AlignHCenter);
    // Fixed to what its texts need in the language shown, at any font and screen.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showLinkColour();
}

void AboutDialog::showAbout() {
    if (isOpen())
        return;
    m_overHost.open(m_hostWindow);
    FormShow();
}

void AboutDialog::FormShow() {
    m_logoLabel->setText(kBrand);
    m_webLabel1->setText(webAddress());
    setWindowTitle(translate("AboutDialog", "About"));
    m_copyrightLabel->setText(translate("AboutDialog", "Tervane, version %1").arg(QLatin1String(config::kVersion)) +
                              QLatin1Char('\n') + translate("AboutDialog", "Key base editor for Orvel programmers") +
                              QLatin1Char('\n') + translate("AboutDialog", "© Orvel. All rights reserved."));
    m_webLabel->setText(translate("AboutDialog", "Web site:"));
    m_okButton->setText(translate("AboutDialog", "OK"));
    m_linkHovered = false;
    showLinkColour();

    m_overHost.show();
    m_okButton->setFocus(Qt::ActiveWindowFocusReason);
}

void AboutDialog::FormClose() {
    m_overHost.close();
}

void AboutDialog::WebLabel1Click() {
    shell().openUrl(webAddress());
}

void AboutDialog::OkButtonClick() {
    FormClose();
}

void AboutDialog::closeIfOpen() {
    FormClose();
}

void AboutDialog::reject() {
    FormClose();
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void AboutDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A new skin brings its own link colour.
    if (event->type() == QEvent::PaletteChange)
        showLinkColour();
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_webLabel1)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
        m_linkHovered = event->type() == QEvent::Enter;
        showLinkColour();
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        showLinkColour();
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            m_webLabel1->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            WebLabel1Click();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            WebLabel1Click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::showLinkColour() {
    const QPalette& own = palette();
    QPalette link = m_webLabel1->palette();
    link.setColor(QPalette::WindowText, own.color(m_linkHovered ? QPalette::LinkVisited : QPalette::Link));
    m_webLabel1->setPalette(link);
    // Underlined under the mouse and while the keyboard is on it.
    QFont font = m_webLabel1->font();
    font.setUnderline(m_linkHovered || m_webLabel1->hasFocus());
    m_webLabel1->setFont(font);
}

} // namespace tervane
