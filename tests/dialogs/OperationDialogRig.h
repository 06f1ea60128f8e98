#pragma once

#include "FakeOperationHost.h"
#include "RecordingStatusSink.h"
#include "TestEnvironment.h"

#include "base/KeyPage.h"
#include "device/DeviceLink.h"
#include "device/DeviceProtocol.h"
#include "dialogs/OperationDialog.h"
#include "keys/KeyCell.h"
#include "keys/KeyTypes.h"
#include "seams/AppClosing.h"
#include "settings/Settings.h"
#include "simulator/ProgrammerSimulator.h"
#include "simulator/SimulatedTransport.h"

#include <QLabel>
#include <QPoint>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace tervane::test {

// The dialog over a simulated Lark, plugged in and opened, in virtual time. A device-change
// notice does what the main window does: close the dialog when the programmer in use has gone,
// then reopen.
struct OperationDialogRig {
    OperationDialogRig() {
        settings().setDefaults();
        setAppClosing(false);
        pump.processQtEvents = true;
        link.DeviceRegisterNotices([this] {
            if (link.deviceReleaseGone())
                form.closeIfOpen();
            link.DeviceOpen();
            if (!link.DeviceConnected())
                form.closeIfOpen();
        });
        link.DeviceOpen();
        host.window.setGeometry(100, 80, 800, 600);
        host.window.show();
    }
    ~OperationDialogRig() {
        pump.onProcessEvents = nullptr;
        setAppClosing(false);
    }

    void tick() { form.EventReadFunc(); }
    // A few ticks, until done: an acknowledgement left over from a retried command comes first.
    template <typename Done> void tickUntil(Done done) {
        for (int i = 0; i < 4 && !done(); ++i)
            tick();
    }

    template <typename T> T* child(const char* name) const { return form.findChild<T*>(QString::fromLatin1(name)); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QString infoPanel() const { return child<QLabel>("InfoPanel")->text(); }
    QProgressBar* gauge() const { return child<QProgressBar>("ProgressBar1"); }

    const Report& lastCommand() const { return simulator.log().back(); }

    TestEnvironment env;
    VirtualEventPump pump;
    RecordingStatusSink status;
    ProgrammerSimulator simulator{'C', "3.82"};
    SimulatedTransport transport{simulator};
    DeviceLink link{&transport};
    DeviceProtocol protocol{link};
    FakeOperationHost host;
    OperationDialog form{host, protocol};
};

enum Operation { Read, Write, Lock };

// Selections are written as QRect(QPoint(left, top), QPoint(right, bottom)) in grid coordinates.
inline GridSelection gridSelection(const QRect& r) {
    return {r.left(), r.top(), r.right(), r.bottom()};
}

inline QRect sel(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

inline KeyCode codeFor(int i) {
    return {std::uint8_t(i + 1),    std::uint8_t(0x10 + i), std::uint8_t(0x20 + i), std::uint8_t(0x30 + i),
            std::uint8_t(0x40 + i), std::uint8_t(0x50 + i), std::uint8_t(0x60 + i), std::uint8_t(0x70 + i)};
}

inline KeyCell keyCell(std::uint8_t type, const KeyCode& code, std::uint8_t reserved = 0) {
    KeyCell cell;
    cell.setType(type);
    cell.bytes[1] = reserved;
    cell.setCode(code);
    return cell;
}

// Every cell holds a TM2002 key with a reserved byte the program must keep.
inline void fillWithMarkers(KeyPage& page) {
    for (int row = 0; row < KeyPage::kRows; ++row)
        for (int column = 0; column < KeyPage::kKeyColumns; ++column)
            page.setCell(row, column, keyCell(KeyTypeTm2002, KeyCode{0xEE, 0xEE, 0xEE, 0xEE, 0, 0, 0, 0}, 0x77));
}

inline bool start(OperationDialogRig& rig, Operation op) {
    switch (op) {
    case Read:
        return rig.form.StartReadKeys();
    case Write:
        return rig.form.StartWriteBlanks();
    case Lock:
        return rig.form.StartLockKey();
    }
    return false;
}

// The command went out with zeroed parameters and a sound check sum.
inline bool isBareCommand(const Report& report, std::uint8_t code) {
    if (report[1] != code || !reportChecksumHolds(report.data()))
        return false;
    for (int i = 2; i < 64; ++i)
        if (report[static_cast<std::size_t>(i)] != 0)
            return false;
    return true;
}

inline void setLanguage(bool russian) {
    setUiLanguage(russian ? UiLanguage::Russian : UiLanguage::English);
}

inline const QString kTransferError = QStringLiteral("Data transfer error.");

} // namespace tervane::test

Q_DECLARE_METATYPE(tervane::test::Operation)
