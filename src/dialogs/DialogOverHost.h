#pragma once

#include <QPointer>

class QDialog;
class QWidget;

namespace tervane {

// A modeless dialog over the main window, as the program's dialogs are shown: the main window is
// disabled while the dialog is open, the dialog is centred over it and kept above it by the
// window manager, and closing enables the main window again with the focus where it was.
//
// The dialog is a window of its own, not a child: disabling the main window would disable a child
// dialog with it.
class DialogOverHost {
public:
    explicit DialogOverHost(QDialog& dialog) : m_dialog(dialog) {}

    // Disables host (none: nothing to disable) and remembers which of its widgets had the focus.
    void open(QWidget* host);
    // Centred over the host (left = host left + host width div 2 - dialog width div 2, top
    // likewise), shown and made active.
    void show();
    // Enables the host again, gives its focus back and hides the dialog. False when the dialog
    // was not open.
    bool close();
    bool isOpen() const { return m_open; }

private:
    QDialog& m_dialog;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_hostFocus;
    bool m_open = false;
};

} // namespace tervane
