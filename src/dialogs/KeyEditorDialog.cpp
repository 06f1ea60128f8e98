#include "dialogs/KeyEditorDialog.h"

#include "base/KeyPage.h"
#include "dialogs/OperationHost.h"
#include "grid/GridSelection.h"
#include "keys/EmCardNumbers.h"
#include "keys/KeyTypes.h"
#include "settings/Settings.h"
#include "texts/CardNumberTexts.h"
#include "texts/UiLanguage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tervane {
namespace {

// The code field. Reached by the keyboard it puts the caret on the first code digit: a masked
// field would put it on the first "0", which may lie in the middle of the code.
class CodeField final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    int firstDigit = 0;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        const Qt::FocusReason reason = event->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason ||
            reason == Qt::OtherFocusReason) {
            deselect();
            setCursorPosition(firstDigit);
        }
    }
};

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& geometry) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

} // namespace

KeyEditorDialog::KeyEditorDialog(OperationHost& host) : QDialog(nullptr), m_host(host), m_state(uiLanguage()) {
    buildWidgets();
    showState();
}

KeyEditorDialog::~KeyEditorDialog() = default;

void KeyEditorDialog::buildWidgets() {
    setObjectName(QStringLiteral("TEditForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    const int boxWidth = ClientWidth - 16;
    const int innerWidth = boxWidth - 24;
    m_groupBox1 = new QGroupBox(this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1->setGeometry(8, 4, boxWidth, 50);
    m_keyTypeBox = new QComboBox(m_groupBox1);
    m_keyTypeBox->setObjectName(QStringLiteral("KeyTypeBox"));
    m_keyTypeBox->setGeometry(12, 20, innerWidth, 22);

    m_tmBox = new QGroupBox(this);
    m_tmBox->setObjectName(QStringLiteral("TMBox"));
    m_tmBox->setGeometry(8, 58, boxWidth, 94 + kCardNumbersExtra);
    m_codeEdit = new CodeField(m_tmBox);
    m_codeEdit->setObjectName(QStringLiteral("CodeEdit"));
    m_codeEdit->setGeometry(12, 20, 270, 22);
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    // Pixels, not points: the field widths hold the layouts' texts only at this size.
    courier.setPixelSize(13);
    m_codeEdit->setFont(courier);

    m_labelTMSpeed = makeLabel(m_tmBox, "LabelTMSpeed", QRect(12, 52, 60, 16));
    m_tmSpeedBox = new QComboBox(m_tmBox);
    m_tmSpeedBox->setObjectName(QStringLiteral("TMSpeedBox"));
    m_tmSpeedBox->setGeometry(76, 49, 90, 22);
    for (std::uint8_t speed = 2; speed <= 8; ++speed)
        m_tmSpeedBox->addItem(QString::fromStdString(EmSpeedName(speed)));
    m_tmSpeedBox->setEnabled(false);

    m_tmCrcCheckBox = new QCheckBox(m_tmBox);
    m_tmCrcCheckBox->setObjectName(QStringLiteral("TMCRCCheckBox"));
    m_tmCrcCheckBox->setGeometry(12, 49, 130, 22);
    // The text stands left of the box.
    m_tmCrcCheckBox->setLayoutDirection(Qt::RightToLeft);

    // The card numbers stand in a column right of the EM410x field, each as wide as its text.
    const int numbersLeft = 12 + KeyEditorLayout::of(KeyTypeEm410x)->fieldWidth + 12;
    auto* numbers = new QWidget(m_tmBox);
    numbers->setObjectName(QStringLiteral("CardNumbers"));
    numbers->setGeometry(numbersLeft, 18, boxWidth - numbersLeft - 8, 70 + kCardNumbersExtra);
    auto* column = new QVBoxLayout(numbers);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    for (const char* name : {"Dez10Label", "Dez8Label", "Dez35CLabel", "Dez55Label", "Dez14Label"}) {
        QLabel* label = makeLabel(numbers, name, QRect());
        m_cardNumberLabels << label;
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        column->addWidget(label);
    }
    column->addStretch(1);

    m_okButton = makeButton(this, "EditorOkButton", QRect(ClientWidth / 2 - 84, 158 + kCardNumbersExtra, 75, 25));
    m_cancelButton =
        makeButton(this, "EditorChancelButton", QRect(ClientWidth / 2 + 9, 158 + kCardNumbersExtra, 75, 25));

    connect(m_keyTypeBox, &QComboBox::currentIndexChanged, this, &KeyEditorDialog::KeyTypeBoxChange);
    connect(m_codeEdit, &QLineEdit::textChanged, this, &KeyEditorDialog::CodeEditChange);
    connect(m_tmSpeedBox, &QComboBox::currentIndexChanged, this, &KeyEditorDialog::TMSpeedBoxChange);
    connect(m_tmCrcCheckBox, &QCheckBox::toggled, this, &KeyEditorDialog::TMCRCCheckBoxClick);
    connect(m_okButton, &QPushButton::clicked, this, &KeyEditorDialog::EditorOkButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &KeyEditorDialog::EditorChancelButtonClick);
    for (QWidget* w : std::initializer_list<QWidget*>{m_keyTypeBox, m_codeEdit, m_tmSpeedBox, m_tmCrcCheckBox})
        w->installEventFilter(this);
}

void KeyEditorDialog::OpenKeyEditor() {
    const KeyPage* page = m_host.shownPage();
    if (m_open || !page)
        return;
    const GridSelection selection = m_host.gridSelection();
    if (selection.left < GridColumn::FirstKey || selection.left > GridColumn::LastKey)
        return;
    const int pageRow = m_host.pageRowOfGridRow(selection.top);
    if (pageRow < 0 || pageRow >= KeyPage::kRows)
        return;
    m_pageRow = pageRow;
    m_keyColumn = selection.left - GridColumn::FirstKey;

    m_state.open(page->cell(m_pageRow, m_keyColumn), settings().lastDeviceModel(), uiLanguage());
    setWindowTitle(m_state.creating() ? translate("KeyEditorDialog", "Create key.")
                                      : translate("KeyEditorDialog", "Edit key."));
    showState();
    m_open = true;
    if (QWidget* host = m_host.hostWindow()) {
        m_hostFocus = host->focusWidget();
        host->setEnabled(false);
    }
    FormShow();
}

void KeyEditorDialog::FormShow() {
    m_groupBox1->setTitle(translate("KeyEditorDialog", "Key type"));
    m_tmBox->setTitle(translate("KeyEditorDialog", "Settings"));
    m_okButton->setText(translate("KeyEditorDialog", "OK"));
    m_cancelButton->setText(translate("KeyEditorDialog", "Cancel"));
    m_tmCrcCheckBox->setText(translate("KeyEditorDialog", "     CRC - auto"));
    m_labelTMSpeed->setText(translate("KeyEditorDialog", "Speed:"));
    showChecks();
    if (QWidget* host = m_host.hostWindow()) {
        // Client areas: the frames are not known before the window manager has drawn them, and
        // with frames alike this places the frames as well.
        const QRect main = host->geometry();
        setGeometry(main.left() + main.width() / 2 - width() / 2, main.top() + main.height() / 2 - height() / 2,
                    width(), height());
    }
    show();
    activateWindow();
    m_keyTypeBox->setFocus(Qt::ActiveWindowFocusReason);
}

void KeyEditorDialog::FormClose() {
    if (!m_open)
        return;
    m_open = false;
    if (QWidget* host = m_host.hostWindow()) {
        host->setEnabled(true);
        host->activateWindow();
        if (m_hostFocus)
            m_hostFocus->setFocus(Qt::ActiveWindowFocusReason);
        else
            host->setFocus(Qt::ActiveWindowFocusReason);
    }
    hide();
}

void KeyEditorDialog::closeIfOpen() {
    FormClose();
}

void KeyEditorDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void KeyEditorDialog::reject() {
    EditorChancelButtonClick();
}

void KeyEditorDialog::KeyTypeBoxChange(int position) {
    m_state.KeyTypeBoxChange(position);
    showState();
}

void KeyEditorDialog::CodeEditChange() {
    if (const std::optional<QString> rewritten = m_state.CodeEditChange(m_codeEdit->displayText()))
        rewriteField(*rewritten);
    showChecks();
}

void KeyEditorDialog::TMSpeedBoxChange(int position) {
    m_state.TMSpeedBoxChange(position);
}

void KeyEditorDialog::TMCRCCheckBoxClick(bool ticked) {
    if (const std::optional<QString> rewritten = m_state.TMCRCCheckBoxClick(ticked))
        rewriteField(*rewritten);
    showChecks();
}

void KeyEditorDialog::EditorOkButtonClick() {
    if (!m_open || !m_state.okEnabled())
        return;
    const KeyCell cell = m_state.EditorOkButtonClick();
    m_host.storeKey(m_pageRow, m_keyColumn, cell);
    FormClose();
    m_host.RefreshView();
}

void KeyEditorDialog::EditorChancelButtonClick() {
    FormClose();
}

bool KeyEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && FormKeyPress(static_cast<QKeyEvent*>(event)->key())) {
        // Swallowed: neither the dialog nor a default button sees it.
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool KeyEditorDialog::FormKeyPress(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_okButton->isEnabled())
            EditorOkButtonClick();
        return true;
    case Qt::Key_Escape:
        EditorChancelButtonClick();
        return true;
    default:
        return false;
    }
}

void KeyEditorDialog::showState() {
    {
        const QSignalBlocker block(m_keyTypeBox);
        QStringList names;
        for (const std::uint8_t type : m_state.typeList())
            names << QString::fromStdString(KeyTypeFullName(type));
        QStringList shown;
        for (int i = 0; i < m_keyTypeBox->count(); ++i)
            shown << m_keyTypeBox->itemText(i);
        if (names != shown) {
            m_keyTypeBox->clear();
            m_keyTypeBox->addItems(names);
        }
        m_keyTypeBox->setCurrentIndex(m_state.typePosition());
    }
    const KeyEditorLayout& layout = m_state.layout();
    m_tmBox->setVisible(true);
    m_tmBox->setEnabled(true);
    showField();
    m_labelTMSpeed->setVisible(layout.speedList);
    m_tmSpeedBox->setVisible(layout.speedList);
    m_tmSpeedBox->setEnabled(layout.speedList);
    {
        const QSignalBlocker block(m_tmSpeedBox);
        m_tmSpeedBox->setCurrentIndex(m_state.speedPosition());
    }
    m_tmCrcCheckBox->setVisible(layout.checksumBox);
    m_tmCrcCheckBox->setEnabled(layout.checksumBox);
    {
        const QSignalBlocker block(m_tmCrcCheckBox);
        m_tmCrcCheckBox->setChecked(m_state.checksumTicked());
    }
    showChecks();
}

void KeyEditorDialog::showField() {
    const KeyEditorLayout& layout = m_state.layout();
    const QSignalBlocker block(m_codeEdit);
    const QString mask = layout.inputMask(m_state.layoutLanguage());
    if (m_codeEdit->inputMask() != mask)
        m_codeEdit->setInputMask(mask);
    m_codeEdit->resize(layout.fieldWidth, m_codeEdit->height());
    const int firstDigit = m_state.CodeGroupPos - 1;
    static_cast<CodeField*>(m_codeEdit)->firstDigit = firstDigit;
    if (m_codeEdit->displayText() != m_state.fieldText()) {
        m_codeEdit->setText(m_state.fieldText());
        m_codeEdit->setCursorPosition(firstDigit);
    }
}

void KeyEditorDialog::showChecks() {
    m_okButton->setEnabled(m_state.okEnabled());
    const bool em = m_state.EditorType == KeyTypeEm410x && m_state.layout().type == KeyTypeEm410x;
    EmCardNumbers numbers;
    if (m_state.okEnabled())
        numbers = emCardNumbers(m_state.EditorCode);
    const QStringList texts = cardNumberTexts(numbers);
    for (qsizetype i = 0; i < m_cardNumberLabels.size(); ++i) {
        m_cardNumberLabels[i]->setText(texts.value(i));
        m_cardNumberLabels[i]->setVisible(em);
    }
}

void KeyEditorDialog::rewriteField(const QString& text) {
    const QSignalBlocker block(m_codeEdit);
    const int caret = m_codeEdit->cursorPosition();
    m_codeEdit->setText(text);
    m_codeEdit->setCursorPosition(caret);
}

} // namespace tervane
