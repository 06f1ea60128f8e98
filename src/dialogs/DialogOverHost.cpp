#include "dialogs/DialogOverHost.h"

#include <QDialog>
#include <QLayout>
#include <QWindow>

namespace tervane {

void DialogOverHost::open(QWidget* host) {
    m_open = true;
    m_host = host;
    if (host) {
        // Disabling the host takes the focus from its widget; close gives it back.
        m_hostFocus = host->focusWidget();
        host->setEnabled(false);
    }
}

void DialogOverHost::show() {
    // The size its texts need, before it is placed by that size.
    m_dialog.ensurePolished();
    if (QLayout* layout = m_dialog.layout())
        layout->activate();
    if (m_host) {
        const QRect main = m_host->geometry();
        // Client areas: the frames are not known before the window manager has drawn them, and
        // with frames alike this places the frames as well.
        m_dialog.setGeometry(main.left() + main.width() / 2 - m_dialog.width() / 2,
                             main.top() + main.height() / 2 - m_dialog.height() / 2, m_dialog.width(),
                             m_dialog.height());
        m_dialog.winId();
        if (QWindow* own = m_dialog.windowHandle())
            own->setTransientParent(m_host->window()->windowHandle());
    }
    m_dialog.show();
    m_dialog.activateWindow();
}

bool DialogOverHost::close() {
    if (!m_open)
        return false;
    m_open = false;
    if (m_host) {
        m_host->setEnabled(true);
        m_host->activateWindow();
        if (m_hostFocus)
            m_hostFocus->setFocus(Qt::ActiveWindowFocusReason);
        else
            m_host->setFocus(Qt::ActiveWindowFocusReason);
    }
    m_dialog.hide();
    return true;
}

} // namespace tervane
