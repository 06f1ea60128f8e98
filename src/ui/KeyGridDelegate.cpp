#include "ui/KeyGridDelegate.h"

#include <QApplication>
#include <QPainter>

namespace tervane {

void KeyGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // The view has filled the background already; only a selected cell needs its own.
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) {
        QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, option.widget);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    const QRect area = option.rect.adjusted(2, 0, -2, 0);
    painter->setClipRect(area);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    // A text drawn at its baseline skips the layout that a text fitted into a rectangle needs.
    const QFontMetrics& metrics = option.fontMetrics;
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter->drawText(QPoint(area.left(), baseline), text);
    painter->restore();
}

QSize KeyGridDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width() > 0 ? option.rect.width() : 96, option.fontMetrics.height() + 4};
}

} // namespace tervane
