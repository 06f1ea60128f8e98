#pragma once

#include "grid/SelectionWalk.h"
#include "keys/KeyCell.h"

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tervane {

class DeviceProtocol;
class OperationHost;
enum class UiLanguage;

// The operation dialog (the designed form TProcForm, its objectName): reads keys into the
// selected cells, writes the selected keys onto blanks, locks a blank, and shows the progress of
// a key base transfer. It is modeless: an operation returns once its first command went out, and
// the device's event answers are polled from ProcTimer. The "Proc" of ProcMode, ProcCursor,
// ProcCancelled and ProcTimer is the designed form's: they are its state, named as designed.
//
// It is a window of its own, never a child of the host window: disabling the host would
// disable a child dialog with it.
class OperationDialog final : public QDialog {
    Q_OBJECT
public:
    // ProcMode: the operation whose buttons and event answers the dialog handles.
    enum Mode { ModeNone = 0, ModeRead = 1, ModeWrite = 2, ModeLock = 3 };
    // PendingEvents: the event answers awaited.
    enum PendingEvent { EventKeyRead = 1, EventWriteResult = 2, EventLockResult = 4 };

    static constexpr int ClientWidth = 337;
    static constexpr int ClientHeight = 209;
    // Form heights include the caption and the border; the client area is this much smaller.
    static constexpr int FrameHeight = 245 - ClientHeight;
    static constexpr int TallFormHeight = 245;
    static constexpr int ShortFormHeight = 135;
    static constexpr int PollIntervalMs = 100;

    explicit OperationDialog(OperationHost& host, DeviceProtocol& protocol);
    explicit OperationDialog(OperationHost& host);
    ~OperationDialog() override;

    // Each returns false, and shows nothing, when the dialog is already open, a command of an
    // earlier operation is still being tried, or there is nothing to do: a selection without key
    // cells, for writing one without a key, or no page shown.
    bool StartReadKeys();
    // Reads one key the way Read keys does and stores nothing: the dialog closes and the key goes
    // to presented. A reading of a type that holds no key closes it without a key.
    bool StartReadPresentedKey(std::function<void(std::uint8_t type, const KeyCode& code)> presented);
    bool StartWriteBlanks();
    bool StartLockKey();
    // The programmer's key memory to and from the page shown; they return when the transfer ends,
    // and do nothing when a start operation would return false.
    void DownloadKeyBase();
    void UploadKeyBase();

    // The programmer went away (SetDeviceOnline(false)).
    void closeIfOpen();

    // A device command is still being tried, perhaps one whose operation has ended: no operation
    // starts meanwhile.
    bool deviceBusy() const;
    // handler runs once no device command is in progress any more, unless the dialog is gone by
    // then. A later call replaces a handler that has not run yet.
    void whenDeviceIdle(std::function<void()> handler);

    // One tick of ProcTimer: poll one event answer and act on it.
    void EventReadFunc();

    bool isOpen() const { return m_open; }
    Mode procMode() const { return m_mode; }
    WalkPosition procCursor() const { return m_cursor; }
    int pendingEvents() const { return m_pending; }
    bool procCancelled() const { return m_cancelled; }
    const QTimer& procTimer() const { return m_timer; }

protected:
    void closeEvent(QCloseEvent* event) override;

public slots:
    // Esc and the window manager's close go the same way as Cancel.
    void reject() override;

private:
    enum class Layout { Read, Write, Lock, Transfer };
    enum class ArmOutcome { Waiting, Stopped };

    void buildWidgets();
    void setLayoutFor(Layout layout);
    void SetProcCaptions();
    void FormShow();
    void FormClose();
    void openFor(Layout layout, const QString& caption);
    bool mayStart() const;

    SelectionWalk currentWalk() const;
    bool cellHoldsKey(int pageRow, int column) const;

    void ArmReadKey();
    void ArmWriteBlank();
    void ArmLockKey();
    ArmOutcome sendArmCommand(std::uint8_t code, quint64 arm);
    void startWaiting(PendingEvent event);
    void stopWaiting();
    void StoreReadKey(std::uint8_t type, const KeyCode& code);
    void ShowWriteResult(int code);
    void ShowLockResult(int code);
    void AbortOnTransferError();
    void stopProgrammer();

    void RepeatButtonClick();
    void NextButtonClick();
    void EndButtonClick();
    void CancelButtonClick();

    void runTransfer(bool download);

    OperationHost& m_host;
    DeviceProtocol& m_protocol;

    QGroupBox* m_groupBox1 = nullptr;
    QLabel* m_infoLabel1 = nullptr;
    QLabel* m_infoLabel2 = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QGroupBox* m_groupBox2 = nullptr;
    QLabel* m_infoPanel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_repeatButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_endButton = nullptr;
    QTimer m_timer;

    Mode m_mode = ModeNone;
    WalkPosition m_cursor;
    int m_pending = 0;
    bool m_cancelled = false;
    bool m_open = false;
    // The language the captions were last written in.
    std::optional<UiLanguage> m_captionsLanguage;
    bool m_editStepOpen = false; // the read-keys run's step of the edit history
    // Set while a read looks for one key to find instead of filling the selected cells.
    std::function<void(std::uint8_t, const KeyCode&)> m_presented;
    // Counts the operations started: a wait that began under an earlier one must not act for a
    // later one.
    quint64 m_session = 0;
    // Counts the arm steps: a Repeat or Next clicked while an arm step was still retrying its
    // command takes over, and the older step must not start a wait of its own.
    quint64 m_armSerial = 0;
};

} // namespace tervane
