#include "dialogs/FindDialog.h"

#include "texts/UiLanguage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tervane {

FindDialog::FindDialog(QWidget* host) : QDialog(nullptr), m_host(host) {
    buildWidgets();
}

FindDialog::~FindDialog() = default;

void FindDialog::buildWidgets() {
    setObjectName(QStringLiteral("TForm4"));
    // A fixed size and only a close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    m_textLabel = new QLabel(this);
    m_textLabel->setObjectName(QStringLiteral("textLabel"));
    m_textLabel->setGeometry(8, 12, 60, 16);
    m_enterEdit = new QLineEdit(this);
    m_enterEdit->setObjectName(QStringLiteral("EnterEdit"));
    m_enterEdit->setGeometry(72, 9, ClientWidth - 80, 22);
    m_textLabel->setBuddy(m_enterEdit);
    m_wordCaseCheckBox = new QCheckBox(this);
    m_wordCaseCheckBox->setObjectName(QStringLiteral("WordCaseCheckBox"));
    m_wordCaseCheckBox->setGeometry(72, 38, ClientWidth - 80, 20);
    m_searchNextButton = new QPushButton(this);
    m_searchNextButton->setObjectName(QStringLiteral("SearchNextButton"));
    m_searchNextButton->setGeometry(ClientWidth - 168, 68, 75, 25);
    m_searchCancelButton = new QPushButton(this);
    m_searchCancelButton->setObjectName(QStringLiteral("SearchCancelButton"));
    m_searchCancelButton->setGeometry(ClientWidth - 83, 68, 75, 25);
    // Enter searches only from the text box, and only with a text; no button takes it.
    for (QPushButton* button : {m_searchNextButton, m_searchCancelButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(m_enterEdit, &QLineEdit::textChanged, this, &FindDialog::EnterEditChange);
    connect(m_searchNextButton, &QPushButton::clicked, this, &FindDialog::searchRequested);
    connect(m_searchCancelButton, &QPushButton::clicked, this, &FindDialog::cancelRequested);
    m_enterEdit->installEventFilter(this);
    EnterEditChange();
}

QString FindDialog::text() const {
    return m_enterEdit->text();
}

bool FindDialog::caseSensitive() const {
    return m_wordCaseCheckBox->isChecked();
}

void FindDialog::openDialog() {
    if (m_open)
        return;
    m_open = true;
    if (m_host)
        m_host->setEnabled(false);
    FormShow();
}

void FindDialog::FormShow() {
    setWindowTitle(translate("FindDialog", "Find"));
    m_textLabel->setText(translate("FindDialog", "Text:"));
    m_wordCaseCheckBox->setText(translate("FindDialog", "Case sensitive"));
    m_searchNextButton->setText(translate("FindDialog", "OK"));
    m_searchCancelButton->setText(translate("FindDialog", "Cancel"));
    EnterEditChange();
    if (m_host) {
        // Client areas: the frames are not known before the window manager has drawn them, and
        // with frames alike this places the frames as well.
        const QRect main = m_host->geometry();
        setGeometry(main.left() + main.width() / 2 - width() / 2, main.top() + main.height() / 2 - height() / 2,
                    width(), height());
    }
    show();
    activateWindow();
    m_enterEdit->setFocus(Qt::ActiveWindowFocusReason);
}

void FindDialog::FormClose() {
    if (!m_open)
        return;
    m_open = false;
    if (m_host) {
        m_host->setEnabled(true);
        m_host->activateWindow();
        m_host->setFocus(Qt::ActiveWindowFocusReason);
    }
    hide();
}

void FindDialog::closeIfOpen() {
    FormClose();
}

void FindDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void FindDialog::reject() {
    FormClose();
}

void FindDialog::EnterEditChange() {
    m_searchNextButton->setEnabled(!m_enterEdit->text().isEmpty());
}

bool FindDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_enterEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            FormClose();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!m_enterEdit->text().isEmpty())
                emit searchRequested();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tervane
