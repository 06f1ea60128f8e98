#pragma once

#include "dialogs/KeyEditorState.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tervane {

class OperationHost;

// The key editor (the designed form TEditForm, its objectName): creates a key in an empty key
// cell of the grid or changes the key in an occupied one. It is modeless: OpenKeyEditor returns
// at once, with the main window disabled until the dialog closes. Its rules are KeyEditorState's;
// the dialog shows that state and passes the user's changes in.
//
// It is a window of its own, never a child of the host window: disabling the host would
// disable a child dialog with it.
class KeyEditorDialog final : public QDialog {
    Q_OBJECT
public:
    // Room for the EM410x card numbers beside the field.
    static constexpr int ClientWidth = 392;
    // Below the field, room for five card numbers.
    static constexpr int kCardNumbersExtra = 34;
    // The designed form is 225 pixels high with its caption and border; the card numbers add to it.
    static constexpr int ClientHeight = 189 + kCardNumbersExtra;

    explicit KeyEditorDialog(OperationHost& host);
    ~KeyEditorDialog() override;

    // Enter or a double-click on a key cell: opens the dialog on the grid selection's top-left
    // cell. Does nothing when no page is shown, the selection does not start in a key column, no
    // page row is behind its top row, or the dialog is already open.
    void OpenKeyEditor();

    // As Cancel. The program's close sequence runs it, so that no dialog is left shown.
    void closeIfOpen();

    bool isOpen() const { return m_open; }
    const KeyEditorState& state() const { return m_state; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    // Esc and the window manager's close go the same way as Cancel.
    void reject() override;

private:
    void buildWidgets();
    void FormShow();
    void FormClose();
    void KeyTypeBoxChange(int position);
    void CodeEditChange();
    void TMSpeedBoxChange(int position);
    void TMCRCCheckBoxClick(bool ticked);
    void EditorOkButtonClick();
    void EditorChancelButtonClick();
    bool FormKeyPress(int key);

    // The state into the controls, without their change handlers running.
    void showState();
    void showField();
    void showChecks();
    // The field's new text, the caret staying where it was.
    void rewriteField(const QString& text);

    OperationHost& m_host;
    KeyEditorState m_state;

    QGroupBox* m_groupBox1 = nullptr;
    QComboBox* m_keyTypeBox = nullptr;
    QGroupBox* m_tmBox = nullptr;
    QLineEdit* m_codeEdit = nullptr;
    QLabel* m_labelTMSpeed = nullptr;
    QComboBox* m_tmSpeedBox = nullptr;
    QCheckBox* m_tmCrcCheckBox = nullptr;
    // DEZ 10, DEZ 8, DEZ 3.5C, DEZ 5.5, DEZ 14.
    QList<QLabel*> m_cardNumberLabels;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    bool m_open = false;
    // The cell the dialog was opened on.
    int m_pageRow = -1;
    int m_keyColumn = -1;
    // Disabling the host takes the focus from its widget; closing gives it back.
    QPointer<QWidget> m_hostFocus;
};

} // namespace tervane
