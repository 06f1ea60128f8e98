#pragma once

#include "keys/KeyCell.h"

#include <QObject>
#include <memory>

namespace tervane {

class MainCommands;
class OperationDialog;
class OperationHost;

// The programmer as the main window sees it: DeviceOnline, the start-up and device-change
// detection, the work-mode line, the device commands and the operation dialog that runs them.
class DeviceController final : public QObject {
    Q_OBJECT
public:
    explicit DeviceController(QObject* parent = nullptr);
    ~DeviceController() override;

    bool online() const { return m_online; }
    // Stores the state and refreshes the view; going offline closes an open operation dialog.
    void SetDeviceOnline(bool online);
    // The start-up steps: offline, open and detect the programmer, listen for device changes.
    void startUp();
    // Made after the main window's start-up, as the other dialogs are.
    void createOperationDialog(OperationHost& host);
    OperationDialog* operationDialog() const { return m_dialog.get(); }
    // Closing the program (AppClosing already set): closes the dialog without waiting for the
    // programmer, lets events run so that device waits notice, then lets the programmer go.
    void closeForExit();

    // DeviceOnline for the enabling rule: off while a command of a closed operation is still
    // being tried (commandsChanged comes when it has stopped).
    bool commandsAvailable();
    // Status panel 4 after the state.
    void showWorkMode() const;
    void registerCommands(MainCommands& commands);

signals:
    void refreshNeeded();
    void commandsChanged();
    // Find the presented key read this key; nothing was stored.
    void keyPresented(std::uint8_t type, const tervane::KeyCode& code);

private:
    void onDeviceChange();

    bool m_online = false;
    // No parent: disabling the main window must not disable it.
    std::unique_ptr<OperationDialog> m_dialog;
};

} // namespace tervane
