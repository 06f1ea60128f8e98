#include "ui/TreeNameEditor.h"

#include <QKeyEvent>

namespace tervane {

TreeNameEditor::TreeNameEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("TreeEdit"));
    hide();
    setEnabled(false);
}

void TreeNameEditor::open(const QRect& geometry) {
    setGeometry(geometry);
    m_open = true;
    setEnabled(true);
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void TreeNameEditor::open(const QRect& geometry, const QString& text) {
    setText(text);
    open(geometry);
}

void TreeNameEditor::keyPressEvent(QKeyEvent* event) {
    if (!m_open) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        close(true);
        return;
    case Qt::Key_Escape:
        event->accept();
        close(false);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void TreeNameEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu opening, or another window of the system taking over for a while, is not leaving the
    // field: the focus comes back to it.
    const Qt::FocusReason reason = event->reason();
    if (m_open && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
        close(true);
}

void TreeNameEditor::close(bool commit) {
    if (!m_open)
        return;
    m_open = false; // hiding moves the focus away: that must not commit a second time
    const QString name = text();
    setEnabled(false);
    hide();
    if (commit)
        emit committed(name);
    else
        emit cancelled();
}

void TreeNameEditor::dismiss() {
    m_open = false;
    setEnabled(false);
    hide();
}

} // namespace tervane
