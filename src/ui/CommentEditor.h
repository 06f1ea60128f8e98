#pragma once

#include <QLineEdit>

namespace tervane {

// The in-place comment editor `DBEdit`, laid over a comment cell of the grid. Enter stores,
// Esc drops the text, and leaving it any other way stores too.
class CommentEditor final : public QLineEdit {
    Q_OBJECT
public:
    explicit CommentEditor(QWidget* parent = nullptr);

    void open(int pageRow, const QRect& cellRect, const QString& text);
    bool isOpen() const { return m_open; }
    int pageRow() const { return m_pageRow; }

signals:
    // The stored text, already cut to 128 characters.
    void committed(int pageRow, const QString& text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void close(bool store);
    bool m_open = false;
    int m_pageRow = -1;
};

} // namespace tervane
