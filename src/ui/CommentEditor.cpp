#include "ui/CommentEditor.h"

#include "base/KeyPage.h"

#include <QKeyEvent>

namespace tervane {

CommentEditor::CommentEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("DBEdit"));
    setMaxLength(KeyPage::kMaxCommentLength);
    hide();
    setEnabled(false);
}

void CommentEditor::open(int pageRow, const QRect& cellRect, const QString& text) {
    m_pageRow = pageRow;
    setGeometry(cellRect.x(), cellRect.y(), cellRect.width() + 1, cellRect.height() + 1);
    setText(text.left(KeyPage::kMaxCommentLength));
    m_open = true;
    setEnabled(true);
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void CommentEditor::keyPressEvent(QKeyEvent* event) {
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

void CommentEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu or a context menu taking the focus for a moment is not leaving the editor.
    if (m_open && event->reason() != Qt::PopupFocusReason)
        close(true);
}

void CommentEditor::close(bool store) {
    if (!m_open)
        return;
    m_open = false; // hiding moves the focus away: that must not store a second time
    const QString stored = text().left(KeyPage::kMaxCommentLength);
    const int row = m_pageRow;
    setEnabled(false);
    hide();
    if (store)
        emit committed(row, stored);
    else
        emit cancelled();
}

} // namespace tervane
