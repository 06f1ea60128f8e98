#include "ui/BaseTreeView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>

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
    // Only the icon and the name count, not the blank rest of the row: a click right of a name
    // is a click on no node.
    return nodeRect(index).contains(m_commandPoint) ? index : QModelIndex();
}

QStyleOptionViewItem BaseTreeView::itemOption(const QModelIndex& index) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.index = index;
    option.text = index.data(Qt::DisplayRole).toString();
    option.features |= QStyleOptionViewItem::HasDisplay;
    const QIcon icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
    if (!icon.isNull()) {
        option.icon = icon;
        option.features |= QStyleOptionViewItem::HasDecoration;
    }
    return option;
}

QRect BaseTreeView::labelRect(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    const QStyleOptionViewItem option = itemOption(index);
    // The style gives the text the rest of the row; the name itself is only as wide as its text.
    QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    text.setWidth(std::min(text.width(), option.fontMetrics.horizontalAdvance(option.text) + 2 * margin));
    return text;
}

QRect BaseTreeView::nodeRect(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    const QStyleOptionViewItem option = itemOption(index);
    QRect node = labelRect(index);
    if (option.features & QStyleOptionViewItem::HasDecoration)
        node = node.united(style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this));
    // The whole height of the row, as a click on a name's line counts.
    const QRect row = visualRect(index);
    return QRect(node.left(), row.top(), node.width(), row.height());
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
        m_commandPoint = nodeRect(currentIndex()).center(); // the menu key acts on the current node
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
