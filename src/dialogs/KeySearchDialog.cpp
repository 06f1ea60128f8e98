#include "dialogs/KeySearchDialog.h"

#include "keys/KeyTypes.h"
#include "texts/UiLanguage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeView>

#include <iterator>

namespace tervane {
namespace {

// The families in the order of the list, after "All key types"; each named by a type of it.
constexpr std::pair<KeyFamily, std::uint8_t> kFamilies[] = {
    {KeyFamily::Dallas, KeyTypeDallas}, {KeyFamily::Cyfral, KeyTypeCyfral},   {KeyFamily::Tm2002, KeyTypeTm2002},
    {KeyFamily::Em410x, KeyTypeEm410x}, {KeyFamily::HidProx, KeyTypeHidProx}, {KeyFamily::Indala, KeyTypeIndala},
};

// What can be typed: hex digits and blanks, at most 12 digits; or a card number's digits and
// blanks, with one point or comma.
const QRegularExpression kHexInput(QStringLiteral("^[ \\t]*([0-9A-Fa-f][ \\t]*){0,12}$"));
const QRegularExpression kCardInput(QStringLiteral("^[ \\t0-9]*([.,][ \\t0-9]*)?$"));

} // namespace

KeySearchDialog::KeySearchDialog(QWidget* host) : QDialog(nullptr), m_host(host) {
    buildWidgets();
}

KeySearchDialog::~KeySearchDialog() = default;

void KeySearchDialog::buildWidgets() {
    setObjectName(QStringLiteral("TKeySearchForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(720, 420);

    m_queryLabel = new QLabel(this);
    m_queryLabel->setObjectName(QStringLiteral("QueryLabel"));
    m_queryEdit = new QLineEdit(this);
    m_queryEdit->setObjectName(QStringLiteral("KeyQueryEdit"));
    m_queryLabel->setBuddy(m_queryEdit);
    m_validator = new QRegularExpressionValidator(kHexInput, m_queryEdit);
    m_queryEdit->setValidator(m_validator);
    m_familyBox = new QComboBox(this);
    m_familyBox->setObjectName(QStringLiteral("KeyFamilyBox"));
    m_familyBox->addItem(QString(), int(KeyFamily::Any));
    for (const auto& [family, type] : kFamilies)
        m_familyBox->addItem(QString::fromStdString(KeyTypeFullName(type)), int(family));
    m_cardNumberCheckBox = new QCheckBox(this);
    m_cardNumberCheckBox->setObjectName(QStringLiteral("CardNumberCheckBox"));
    m_searchButton = new QPushButton(this);
    m_searchButton->setObjectName(QStringLiteral("SearchButton"));

    m_hitsView = new QTreeView(this);
    m_hitsView->setObjectName(QStringLiteral("KeyHitsView"));
    m_hitsView->setRootIsDecorated(false);
    m_hitsView->setUniformRowHeights(true);
    m_hitsView->setAllColumnsShowFocus(true);
    m_hitsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_hitsView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_hitsView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("SearchStatusLabel"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("SearchProgress"));
    m_progress->hide();
    m_stopButton = new QPushButton(this);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    m_stopButton->hide();
    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));
    // Enter searches from the query and opens a hit from the list; no button takes it.
    for (QPushButton* button : {m_searchButton, m_stopButton, m_closeButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(m_queryLabel, 0, 0);
    grid->addWidget(m_queryEdit, 0, 1);
    grid->addWidget(m_familyBox, 0, 2);
    grid->addWidget(m_searchButton, 0, 3);
    grid->addWidget(m_cardNumberCheckBox, 1, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_statusLabel, 1);
    bottom->addWidget(m_progress, 1);
    bottom->addWidget(m_stopButton);
    bottom->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_hitsView, 1);
    layout->addLayout(bottom);

    connect(m_queryEdit, &QLineEdit::textChanged, this, &KeySearchDialog::queryChanged);
    connect(m_familyBox, &QComboBox::currentIndexChanged, this, &KeySearchDialog::queryChanged);
    connect(m_cardNumberCheckBox, &QCheckBox::toggled, this, &KeySearchDialog::modeChanged);
    connect(m_searchButton, &QPushButton::clicked, this, &KeySearchDialog::searchRequested);
    connect(m_stopButton, &QPushButton::clicked, this, &KeySearchDialog::stopRequested);
    connect(m_closeButton, &QPushButton::clicked, this, &KeySearchDialog::FormClose);
    // A double click or Enter opens a hit, whatever the style says about single clicks.
    connect(m_hitsView, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit hitActivated(index.row());
    });
    m_queryEdit->installEventFilter(this);
    m_hitsView->installEventFilter(this);
    modeChanged();
}

void KeySearchDialog::setModel(QAbstractItemModel* model) {
    m_hitsView->setModel(model);
    // Widths set once: measuring the texts would read every row, and a short query lists many.
    QHeaderView* header = m_hitsView->header();
    header->setStretchLastSection(true);
    const int widths[] = {200, 50, 40, 220};
    for (int column = 0; column < int(std::size(widths)) && column < model->columnCount(); ++column)
        header->resizeSection(column, widths[column]);
}

std::optional<KeyQuery> KeySearchDialog::query() const {
    const std::string text = m_queryEdit->text().toStdString();
    auto error = KeyQuery::Error::None;
    const KeyQuery query = m_cardNumberCheckBox->isChecked()
                               ? KeyQuery::cardNumber(text, error)
                               : KeyQuery::hexDigits(text, KeyFamily(m_familyBox->currentData().toInt()), error);
    if (error != KeyQuery::Error::None)
        return std::nullopt;
    return query;
}

void KeySearchDialog::setCodeQuery(const QString& digits, KeyFamily family) {
    m_cardNumberCheckBox->setChecked(false);
    m_familyBox->setCurrentIndex(m_familyBox->findData(int(family)));
    m_queryEdit->setText(digits);
}

void KeySearchDialog::openDialog() {
    if (isOpen())
        return;
    m_over.open(m_host);
    m_hits = -1;
    applyTexts();
    m_over.show();
    m_queryEdit->setFocus(Qt::ActiveWindowFocusReason);
}

void KeySearchDialog::applyTexts() {
    setWindowTitle(translate("KeySearchDialog", "Find key"));
    m_queryLabel->setText(translate("KeySearchDialog", "Code:"));
    m_familyBox->setItemText(0, translate("KeySearchDialog", "All key types"));
    m_cardNumberCheckBox->setText(translate("KeySearchDialog", "EM410x card number (DEZ 10, DEZ 8 or 051.17493)"));
    m_searchButton->setText(translate("KeySearchDialog", "Find"));
    m_stopButton->setText(translate("KeySearchDialog", "Stop"));
    m_closeButton->setText(translate("KeySearchDialog", "Close"));
    if (m_hitsView->model())
        emit m_hitsView->model()->headerDataChanged(Qt::Horizontal, 0, m_hitsView->model()->columnCount() - 1);
    if (m_searching)
        m_statusLabel->setText(translate("KeySearchDialog", "Searching..."));
    else if (m_hits == 0)
        m_statusLabel->setText(translate("KeySearchDialog", "No key found."));
    else if (m_hits > 0)
        m_statusLabel->setText(translate("KeySearchDialog", "Keys found: %1").arg(m_hits));
    else
        m_statusLabel->clear();
}

void KeySearchDialog::modeChanged() {
    const bool card = m_cardNumberCheckBox->isChecked();
    // Card numbers are EM410x cards: the family list does not apply.
    m_familyBox->setEnabled(!card);
    m_validator->setRegularExpression(card ? kCardInput : kHexInput);
    queryChanged();
}

void KeySearchDialog::queryChanged() {
    m_searchButton->setEnabled(!m_searching && query().has_value());
}

void KeySearchDialog::searchStarted() {
    m_searching = true;
    m_progress->setRange(0, 0);
    m_progress->show();
    m_stopButton->show();
    m_stopButton->setEnabled(true);
    applyTexts();
    queryChanged();
}

void KeySearchDialog::searchProgress(qint64 done, qint64 total) {
    // A progress bar counts in int; a page file has fewer pages than that.
    m_progress->setRange(0, int(total));
    m_progress->setValue(int(done));
}

void KeySearchDialog::searchFinished(qsizetype hits, int current) {
    m_searching = false;
    m_hits = hits;
    m_progress->hide();
    m_stopButton->hide();
    applyTexts();
    queryChanged();
    if (current >= 0 && m_hitsView->model() && current < m_hitsView->model()->rowCount()) {
        m_hitsView->setCurrentIndex(m_hitsView->model()->index(current, 0));
        m_hitsView->scrollTo(m_hitsView->currentIndex());
    }
}

int KeySearchDialog::currentRow() const {
    const QModelIndex current = m_hitsView->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void KeySearchDialog::FormClose() {
    if (m_searching)
        emit stopRequested();
    m_over.close();
}

void KeySearchDialog::closeIfOpen() {
    FormClose();
}

void KeySearchDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void KeySearchDialog::reject() {
    FormClose();
}

bool KeySearchDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    if (watched == m_queryEdit) {
        if (m_searchButton->isEnabled())
            emit searchRequested();
        return true;
    }
    if (watched == m_hitsView) {
        if (const int row = currentRow(); row >= 0)
            emit hitActivated(row);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tervane
