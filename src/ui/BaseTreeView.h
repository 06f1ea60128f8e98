#pragma once

#include <QPoint>
#include <QTreeView>

namespace tervane {

// The folder tree `TreeView`. Read-only labels, whole-row selection; a right click opens the
// tree menu for the node under the mouse without selecting it (no page switch). Every press,
// release and menu request records the command point that the tree commands act on.
class BaseTreeView final : public QTreeView {
    Q_OBJECT
public:
    explicit BaseTreeView(QWidget* parent = nullptr);

    // The point (viewport coordinates) where the mouse was last pressed or released, or where
    // the menu was last asked for.
    QPoint commandPoint() const { return m_commandPoint; }
    void setCommandPoint(const QPoint& p) { m_commandPoint = p; }
    // The item under the command point, when the point lies on a node.
    QModelIndex commandIndex() const;

signals:
    void nodeClicked(); // TreeViewClick: a left click or a keyboard move of the selection
    void menuRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPoint m_commandPoint{-1, -1};
};

} // namespace tervane
