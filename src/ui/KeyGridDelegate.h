#pragma once

#include <QStyledItemDelegate>

namespace tervane {

// Draws a grid cell as the grid always did: its background and one line of text, clipped at
// the cell's edge. One text draw per cell keeps a full page's first paint quick; the stock
// delegate lays every text out several times (size, elision, drawing).
class KeyGridDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace tervane
