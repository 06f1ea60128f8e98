#pragma once

#include <QPoint>
#include <QStyleOptionViewItem>
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
    // The item under the command point, when the point lies on a node's icon or name.
    QModelIndex commandIndex() const;
    // Where a node's name is drawn (viewport coordinates), as wide as the name: the name field
    // goes there.
    QRect labelRect(const QModelIndex& index) const;
    // The node's icon and name together: the part of its row that counts as the node.
    QRect nodeRect(const QModelIndex& index) const;

signals:
    void nodeClicked(); // TreeViewClick: a left click or a keyboard move of the selection
    void menuRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStyleOptionViewItem itemOption(const QModelIndex& index) const;

    QPoint m_commandPoint{-1, -1};
};

} // namespace tervane
