#include "dialogs/OperationDialog.h"

#include "base/KeyPage.h"
#include "device/DeviceProtocol.h"
#include "device/KeyBaseTransfer.h"
#include "dialogs/OperationHost.h"
#include "dialogs/OperationResultTexts.h"
#include "keys/KeyCell.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"
#include "seams/EventPump.h"
#include "seams/StatusSink.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <utility>

namespace tervane {
namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& geometry) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    // Enter must not press a button behind the user's back while a blank is on the programmer.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

OperationDialog::OperationDialog(OperationHost& host) : OperationDialog(host, deviceProtocol()) {}

OperationDialog::OperationDialog(OperationHost& host, DeviceProtocol& protocol)
    : QDialog(nullptr), m_host(host), m_protocol(protocol) {
    buildWidgets();
    m_timer.setObjectName(QStringLiteral("ProcTimer"));
    m_timer.setInterval(PollIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &OperationDialog::EventReadFunc);
    setLayoutFor(Layout::Read);
}

OperationDialog::~OperationDialog() = default;

void OperationDialog::buildWidgets() {
    setObjectName(QStringLiteral("TProcForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    m_groupBox1 = new QGroupBox(this);
    m_groupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox1->setGeometry(16, 8, 305, 81);
    m_infoLabel1 = new QLabel(m_groupBox1);
    m_infoLabel1->setObjectName(QStringLiteral("InfoLabel1"));
    m_infoLabel1->setGeometry(13, 24, 285, 16);
    m_infoLabel2 = new QLabel(m_groupBox1);
    m_infoLabel2->setObjectName(QStringLiteral("InfoLabel2"));
    m_infoLabel2->setGeometry(13, 52, 285, 16);

    m_cancelButton = makeButton(this, "CancelButton", QRect(133, 58, 75, 25));

    m_groupBox2 = new QGroupBox(this);
    m_groupBox2->setObjectName(QStringLiteral("GroupBox2"));
    m_groupBox2->setGeometry(16, 95, 305, 66);

    // Made after GroupBox2 so that it lies above it in the write layout.
    m_infoPanel = new QLabel(this);
    m_infoPanel->setObjectName(QStringLiteral("InfoPanel"));
    m_infoPanel->setGeometry(32, 119, 273, 27);
    m_infoPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_infoPanel->setAlignment(Qt::AlignCenter);
    m_progressBar = new QProgressBar(m_infoPanel);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setGeometry(0, 0, 273, 28);
    m_progressBar->setTextVisible(true);
    m_progressBar->setFormat(QStringLiteral("%p%"));
    m_progressBar->setAlignment(Qt::AlignCenter);
    m_progressBar->hide();

    m_repeatButton = makeButton(this, "RepeatButton", QRect(16, 174, 75, 25));
    m_nextButton = makeButton(this, "NextButton", QRect(133, 174, 75, 25));
    m_endButton = makeButton(this, "EndButton", QRect(246, 174, 75, 25));

    connect(m_cancelButton, &QPushButton::clicked, this, &OperationDialog::CancelButtonClick);
    connect(m_repeatButton, &QPushButton::clicked, this, &OperationDialog::RepeatButtonClick);
    connect(m_nextButton, &QPushButton::clicked, this, &OperationDialog::NextButtonClick);
    connect(m_endButton, &QPushButton::clicked, this, &OperationDialog::EndButtonClick);
    SetProcCaptions();
}

void OperationDialog::setLayoutFor(Layout layout) {
    const bool write = layout == Layout::Write;
    // Outside the write layout the lower buttons lie below the client area, and stay disabled.
    const int formHeight = write ? TallFormHeight : ShortFormHeight;
    setFixedSize(ClientWidth, formHeight - FrameHeight);
    m_infoPanel->move(m_infoPanel->x(), write ? 119 : 19);
    m_infoPanel->show();
    m_cancelButton->setVisible(!write);
    m_cancelButton->setEnabled(!write);
    m_repeatButton->setEnabled(write);
    m_nextButton->setEnabled(write);
    m_endButton->setEnabled(write);
    m_groupBox1->setVisible(write);
    m_groupBox2->setVisible(write);
    m_progressBar->setVisible(layout == Layout::Transfer);
}

void OperationDialog::SetProcCaptions() {
    // The captions follow the language alone: shown again in the one they were made in, the
    // dialog keeps them.
    if (m_captionsLanguage == uiLanguage())
        return;
    m_captionsLanguage = uiLanguage();
    m_groupBox1->setTitle(translate("OperationDialog", "Writing:"));
    m_groupBox2->setTitle(translate("OperationDialog", "Operation result:"));
    m_repeatButton->setText(translate("OperationDialog", "Repeat"));
    m_nextButton->setText(translate("OperationDialog", "Next"));
    m_endButton->setText(translate("OperationDialog", "Exit"));
    m_cancelButton->setText(translate("OperationDialog", "Cancel"));
}

void OperationDialog::FormShow() {
    SetProcCaptions();
    statusSink().setMessageText(QString());
    if (QWidget* host = m_host.hostWindow()) {
        // Client areas: the frames are not known before the window manager has drawn them.
        QRect own(QPoint(), size());
        own.moveCenter(host->geometry().center());
        setGeometry(own);
    }
    show();
    activateWindow();
}

void OperationDialog::openFor(Layout layout, const QString& caption) {
    m_cancelled = false;
    ++m_session;
    setLayoutFor(layout);
    setWindowTitle(caption);
    m_open = true;
    if (QWidget* host = m_host.hostWindow())
        host->setEnabled(false);
    FormShow();
}

void OperationDialog::FormClose() {
    if (!m_open)
        return;
    m_open = false;
    m_cancelled = true;
    m_presented = {};
    stopWaiting();
    // A command of this dialog still being retried under the close is not tried again, so the
    // zeroed parameters stay: the next command that takes them as they are (a transfer's
    // CmdStop) carries no key of an earlier operation.
    m_protocol.clearOutPayload();
    m_protocol.Transact(CmdStop);
    if (QWidget* host = m_host.hostWindow()) {
        host->setEnabled(true);
        host->activateWindow();
        host->setFocus();
    }
    hide();
    if (m_editStepOpen) {
        m_editStepOpen = false;
        m_host.endEditStep();
    }
    m_host.RefreshView();
}

void OperationDialog::closeIfOpen() {
    FormClose();
}

bool OperationDialog::deviceBusy() const {
    return m_protocol.commandInProgress();
}

void OperationDialog::whenDeviceIdle(std::function<void()> handler) {
    m_protocol.notifyWhenIdle([form = QPointer<OperationDialog>(this), handler = std::move(handler)] {
        if (form && handler)
            handler();
    });
}

void OperationDialog::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void OperationDialog::reject() {
    FormClose();
}

// A command of an earlier operation still on the stack would go on after this operation's
// first command, and the programmer would wait in the wrong operation.
bool OperationDialog::mayStart() const {
    return !m_open && !deviceBusy();
}

SelectionWalk OperationDialog::currentWalk() const {
    return SelectionWalk(m_host.gridSelection(), [this](int gridRow) { return m_host.pageRowOfGridRow(gridRow); });
}

bool OperationDialog::cellHoldsKey(int pageRow, int column) const {
    const KeyPage* page = m_host.shownPage();
    return page && IsKeyOccupied(page->cellType(pageRow, column));
}

bool OperationDialog::StartReadKeys() {
    if (!mayStart() || !m_host.shownPage())
        return false;
    const SelectionWalk walk = currentWalk();
    const std::optional<WalkPosition> first = walk.seek(walk.start());
    if (!first)
        return false;
    m_mode = ModeRead;
    m_cursor = *first;
    openFor(Layout::Read, translate("OperationDialog", "Keys reading"));
    // Every key of the run goes into one step of the edit history, which the close ends.
    m_host.beginEditStep(translate("MainMenu", "Read keys"));
    m_editStepOpen = true;
    ArmReadKey();
    return true;
}

bool OperationDialog::StartReadPresentedKey(std::function<void(std::uint8_t, const KeyCode&)> presented) {
    if (!mayStart())
        return false;
    m_mode = ModeRead;
    m_presented = std::move(presented);
    openFor(Layout::Read, translate("OperationDialog", "Find the presented key"));
    ArmReadKey();
    return true;
}

bool OperationDialog::StartWriteBlanks() {
    if (!mayStart())
        return false;
    const SelectionWalk walk = currentWalk();
    const auto holdsKey = [this](int pageRow, int column) { return cellHoldsKey(pageRow, column); };
    if (!walk.seek(walk.start(), holdsKey))
        return false;
    m_mode = ModeWrite;
    m_cursor = walk.start();
    openFor(Layout::Write, translate("OperationDialog", "Keys writing"));
    ArmWriteBlank();
    return true;
}

bool OperationDialog::StartLockKey() {
    if (!mayStart())
        return false;
    m_mode = ModeLock;
    openFor(Layout::Lock, translate("OperationDialog", "Lock key"));
    ArmLockKey();
    return true;
}

void OperationDialog::startWaiting(PendingEvent event) {
    m_pending = event;
    m_timer.start();
}

void OperationDialog::stopWaiting() {
    m_timer.stop();
    m_pending = 0;
}

OperationDialog::ArmOutcome OperationDialog::sendArmCommand(std::uint8_t code, quint64 arm) {
    const quint64 session = m_session;
    // The retries pump events: the dialog may close, or a newer step take over. The command then
    // belongs to nobody and is not tried again, lest it reach the programmer in a later operation.
    const auto superseded = [this, session, arm] { return session != m_session || arm != m_armSerial || m_cancelled; };
    const bool acknowledged = m_protocol.Transact(code, superseded);
    if (superseded()) {
        // Nobody waits for this command's event any more, so the programmer must not either.
        if (acknowledged && !m_open)
            stopProgrammer();
        return ArmOutcome::Stopped;
    }
    if (!acknowledged) {
        AbortOnTransferError();
        return ArmOutcome::Stopped;
    }
    return ArmOutcome::Waiting;
}

void OperationDialog::stopProgrammer() {
    m_protocol.clearOutPayload();
    m_protocol.Transact(CmdStop);
}

void OperationDialog::ArmReadKey() {
    const quint64 arm = ++m_armSerial;
    stopWaiting();
    m_infoPanel->setText(translate("OperationDialog", "Waiting..."));
    m_infoLabel1->setText(QStringLiteral("-"));
    m_infoLabel2->setText(QStringLiteral("-"));
    eventPump().processEvents();
    if (m_cancelled || arm != m_armSerial)
        return;
    m_protocol.clearOutPayload();
    if (sendArmCommand(CmdReadKeys, arm) == ArmOutcome::Waiting)
        startWaiting(EventKeyRead);
}

void OperationDialog::ArmWriteBlank() {
    const quint64 arm = ++m_armSerial;
    stopWaiting();
    m_infoPanel->setText(translate("OperationDialog", "Waiting..."));
    const SelectionWalk walk = currentWalk();
    const auto holdsKey = [this](int pageRow, int column) { return cellHoldsKey(pageRow, column); };
    const std::optional<WalkPosition> target = walk.seek(m_cursor, holdsKey);
    if (!target) {
        FormClose();
        return;
    }
    m_cursor = *target;
    m_nextButton->setEnabled(walk.seek(walk.after(m_cursor), holdsKey).has_value());
    const KeyCell cell = m_host.shownPage()->cell(walk.pageRow(m_cursor), m_cursor.column);
    const KeyCode code = cell.code();
    m_infoLabel1->setText(
        translate("OperationDialog", "    Key: %1").arg(QString::fromStdString(KeyTypeFullName(cell.type()))));
    m_infoLabel2->setText(translate("OperationDialog", " Code: %1")
                              .arg(QString::fromStdString(FormatKeyCode(cell.type(), code, KeyViewFull, true, true))));
    eventPump().processEvents();
    if (m_cancelled || arm != m_armSerial)
        return;
    m_protocol.clearOutPayload();
    m_protocol.OutPayload[0] = cell.type();
    std::copy(code.begin(), code.end(), m_protocol.OutPayload.begin() + 1);
    if (sendArmCommand(CmdWriteBlank, arm) == ArmOutcome::Waiting)
        startWaiting(EventWriteResult);
}

void OperationDialog::ArmLockKey() {
    const quint64 arm = ++m_armSerial;
    stopWaiting();
    m_infoPanel->setText(translate("OperationDialog", "Waiting..."));
    m_infoLabel1->setText(QStringLiteral("-"));
    m_infoLabel2->setText(QStringLiteral("-"));
    m_nextButton->setEnabled(false);
    eventPump().processEvents();
    if (m_cancelled || arm != m_armSerial)
        return;
    m_protocol.clearOutPayload();
    if (sendArmCommand(CmdLockKey, arm) == ArmOutcome::Waiting)
        startWaiting(EventLockResult);
}

void OperationDialog::EventReadFunc() {
    if (m_pending == 0 || !m_open) {
        stopWaiting();
        return;
    }
    if (!m_protocol.PollAnswer())
        return;
    const Payload answer = m_protocol.InAnswer;
    switch (answer[0]) {
    case StatusCancelled:
        if (m_pending & EventKeyRead)
            FormClose();
        else if (m_pending & EventWriteResult)
            ShowWriteResult(3);
        else if (m_pending & EventLockResult)
            ShowLockResult(3);
        break;
    case StatusKeyRead:
        if (m_pending & EventKeyRead) {
            KeyCode code{};
            std::copy_n(answer.begin() + 2, code.size(), code.begin());
            StoreReadKey(answer[1], code);
        }
        break;
    case StatusDone:
        if (m_pending & EventWriteResult)
            ShowWriteResult(answer[1]);
        else if (m_pending & EventLockResult)
            ShowLockResult(answer[1]);
        break;
    default:
        break;
    }
}

void OperationDialog::StoreReadKey(std::uint8_t type, const KeyCode& code) {
    if (m_presented) {
        // Closed first, so that the window is enabled again before the key is looked for.
        const auto presented = std::exchange(m_presented, {});
        FormClose();
        if (IsKeyOccupied(type))
            presented(type, code);
        return;
    }
    const SelectionWalk walk = currentWalk();
    const int pageRow = walk.pageRow(m_cursor);
    const KeyPage* page = m_host.shownPage();
    // A type that holds no key is dropped, but it still uses up its cell.
    if (IsKeyOccupied(type) && page && pageRow >= 0) {
        KeyCell cell = page->cell(pageRow, m_cursor.column);
        cell.setType(type);
        cell.setCode(code);
        m_host.storeKey(pageRow, m_cursor.column, cell);
    }
    m_host.RefreshView();
    const std::optional<WalkPosition> next = walk.seek(walk.after(m_cursor));
    if (!next) {
        FormClose();
        return;
    }
    m_cursor = *next;
    ArmReadKey();
}

void OperationDialog::ShowWriteResult(int code) {
    m_infoPanel->setText(WriteResultText(code));
    stopWaiting();
}

void OperationDialog::ShowLockResult(int code) {
    m_infoPanel->setText(LockResultText(code));
    stopWaiting();
}

void OperationDialog::AbortOnTransferError() {
    statusSink().setMessageText(translate("OperationDialog", "Data transfer error."));
    FormClose();
}

void OperationDialog::RepeatButtonClick() {
    if (m_open && m_mode == ModeWrite)
        ArmWriteBlank();
}

void OperationDialog::NextButtonClick() {
    if (!m_open || m_mode != ModeWrite)
        return;
    m_cursor = currentWalk().after(m_cursor);
    ArmWriteBlank();
}

void OperationDialog::EndButtonClick() {
    FormClose();
}

void OperationDialog::CancelButtonClick() {
    FormClose();
}

void OperationDialog::DownloadKeyBase() {
    runTransfer(true);
}

void OperationDialog::UploadKeyBase() {
    runTransfer(false);
}

void OperationDialog::runTransfer(bool download) {
    if (!mayStart() || !m_host.shownPage())
        return;
    const int rows = DeviceRowCount(settings().lastDeviceModel());
    m_infoPanel->setText(QString());
    m_progressBar->setRange(0, rows - 1);
    m_progressBar->setValue(0);
    openFor(Layout::Transfer, download ? translate("OperationDialog", "Downloading database.")
                                       : translate("OperationDialog", "Uploading database."));

    const quint64 session = m_session;
    TransferHooks hooks;
    hooks.progress = [this, session](int row) {
        if (session == m_session)
            m_progressBar->setValue(row);
    };
    hooks.cancelled = [this, session] { return m_cancelled || session != m_session; };

    // The transfer works on a copy: a Cancel that lands while the last row is being retried must
    // still leave the page as it was, and the page is not held while events are pumped.
    auto copy = std::make_unique<KeyPage>(*m_host.shownPage());
    if (download) {
        bool modified = false;
        const TransferResult result = tervane::DownloadKeyBase(m_protocol, rows, *copy, hooks, modified);
        if (session == m_session && m_host.shownPage()) {
            if (result == TransferResult::Done && !m_cancelled)
                m_host.replaceShownPage(*copy);
            else if (modified)
                m_host.touchShownPage();
        }
    } else {
        tervane::UploadKeyBase(m_protocol, rows, *copy, hooks);
    }

    if (session != m_session)
        return;
    m_infoPanel->hide();
    m_progressBar->hide();
    FormClose();
}

} // namespace tervane
