#include "ui/BaseTreeView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>

namespace tervane {

BaseTreeView::BaseTreeView(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("TreeView"));
    setHeaderHidden(true);
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(true);
}

QModelIndex BaseTreeView::commandIndex() const {
    const QModelIndex index = indexAt(m_commandPoint);
    if (!index.isValid())
        return {};
    // Only the icon and the label count, not the blank rest of the row.
    const QRect label = visualRect(index);
    return label.contains(m_commandPoint) ? index : QModelIndex();
}

void BaseTreeView::mousePressEvent(QMouseEvent* event) {
    m_commandPoint = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void BaseTreeView::mouseReleaseEvent(QMouseEvent* event) {
    m_commandPoint = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    const QModelIndex index = indexAt(m_commandPoint);
    QTreeView::mouseReleaseEvent(event);
    if (left && index.isValid())
        emit nodeClicked();
}

void BaseTreeView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse)
        m_commandPoint = viewport()->mapFromGlobal(event->globalPos());
    else if (currentIndex().isValid())
        m_commandPoint = visualRect(currentIndex()).center();
    emit menuRequested(event->globalPos());
    event->accept();
}

void BaseTreeView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit nodeClicked();
}

} // namespace tervane
