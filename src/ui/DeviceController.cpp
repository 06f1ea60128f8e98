#include "ui/DeviceController.h"

#include "device/DeviceDetector.h"
#include "device/DeviceLink.h"
#include "dialogs/OperationDialog.h"
#include "seams/EventPump.h"
#include "ui/MainCommands.h"

namespace tervane {
namespace {
// Events run this often at the close, so that device waits deep in the stack see the flag.
constexpr int kCloseEventRounds = 100;
} // namespace

DeviceController::DeviceController(QObject* parent) : QObject(parent) {}

DeviceController::~DeviceController() {
    deviceLink().DeviceRegisterNotices({});
    m_dialog.reset();
}

void DeviceController::SetDeviceOnline(bool online) {
    m_online = online;
    emit refreshNeeded();
    // The start-up sequence runs before the dialog exists.
    if (!online && m_dialog)
        m_dialog->closeIfOpen();
}

void DeviceController::startUp() {
    SetDeviceOnline(false);
    deviceLink().DeviceOpen();
    deviceDetector().DetectDevice();
    SetDeviceOnline(deviceDetector().DeviceAnswered());
    deviceLink().DeviceRegisterNotices([this] { onDeviceChange(); });
}

void DeviceController::createOperationDialog(OperationHost& host) {
    m_dialog = std::make_unique<OperationDialog>(host);
}

void DeviceController::onDeviceChange() {
    // The programmer in use has gone: the operation on it ends here, offline as for a lone
    // programmer pulled out, before another programmer still plugged in is opened and detected.
    if (deviceLink().deviceReleaseGone())
        SetDeviceOnline(false);
    deviceLink().DeviceOpen();
    deviceDetector().DetectDevice();
    SetDeviceOnline(deviceDetector().DeviceAnswered());
}

void DeviceController::closeForExit() {
    if (m_dialog)
        m_dialog->closeIfOpen();
    for (int i = 0; i < kCloseEventRounds; ++i)
        eventPump().processEvents();
    deviceLink().DeviceClose();
}

bool DeviceController::commandsAvailable() {
    const bool busy = m_dialog && m_dialog->deviceBusy();
    if (busy)
        m_dialog->whenDeviceIdle([this] { emit commandsChanged(); });
    return m_online && !busy;
}

void DeviceController::showWorkMode() const {
    if (m_online)
        deviceDetector().ShowWorkModeOnline();
    else
        deviceDetector().ShowWorkModeOffline();
}

void DeviceController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::ReadKeys, [this] {
        if (m_dialog)
            m_dialog->StartReadKeys();
        emit refreshNeeded();
    });
    commands.setHandler(CommandId::WriteKeys, [this] {
        if (m_dialog)
            m_dialog->StartWriteBlanks();
        emit refreshNeeded();
    });
    commands.setHandler(CommandId::FindPresentedKey, [this] {
        if (m_dialog)
            m_dialog->StartReadPresentedKey(
                [this](std::uint8_t type, const KeyCode& code) { emit keyPresented(type, code); });
    });
    commands.setHandler(CommandId::LockKey, [this] {
        if (m_dialog)
            m_dialog->StartLockKey();
    });
    commands.setHandler(CommandId::ImportKeyBase, [this] {
        if (m_dialog)
            m_dialog->DownloadKeyBase();
    });
    commands.setHandler(CommandId::ExportKeyBase, [this] {
        if (m_dialog)
            m_dialog->UploadKeyBase();
    });
}

} // namespace tervane
