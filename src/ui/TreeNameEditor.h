#pragma once

#include <QLineEdit>

namespace tervane {

// The in-place name field `TreeEdit`, laid over a node of the tree for a create or a rename.
// Enter commits and Esc cancels; losing the focus any other way commits too, once. Between two
// edits it keeps its last text, which the next create starts with.
class TreeNameEditor final : public QLineEdit {
    Q_OBJECT
public:
    explicit TreeNameEditor(QWidget* parent = nullptr);

    // Shows the field at geometry (its parent's coordinates) with the focus; a rename gives the
    // node's name, a create keeps the text the field holds.
    void open(const QRect& geometry);
    void open(const QRect& geometry, const QString& text);
    bool isOpen() const { return m_open; }
    // Commits as Enter does, when open.
    void commitNow() { close(true); }
    // Hides the field without a commit or a cancel: its node is gone.
    void dismiss();

signals:
    void committed(const QString& text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void close(bool commit);
    bool m_open = false;
};

} // namespace tervane
