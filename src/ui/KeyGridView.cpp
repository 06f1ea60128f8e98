#include "ui/KeyGridView.h"

#include "ui/KeyGridDelegate.h"
#include "ui/KeyGridModel.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

namespace tervane {
namespace {

// The row numbers: a column of fixed width whose rows all have the grid's row height. No row is
// measured from its text, which a plain header does for 200 of them whenever the page is shown
// again or the font changes.
class RowNumberHeader final : public QHeaderView {
public:
    explicit RowNumberHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

protected:
    QSize sectionSizeFromContents(int) const override { return {width(), defaultSectionSize()}; }
};

} // namespace

KeyGridView::KeyGridView(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new RowNumberHeader(this));
    setObjectName(QStringLiteral("EditBox"));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new KeyGridDelegate(this));
    // No context menu on the header row or the row numbers.
    horizontalHeader()->setContextMenuPolicy(Qt::PreventContextMenu);
    verticalHeader()->setContextMenuPolicy(Qt::PreventContextMenu);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The comment column is fitted to the rest of the width by hand (fitCommentColumn): a
    // stretched last section would keep any width it was once given as its minimum.
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setCornerButtonEnabled(false);
    // Double-clicks on the header row and the row numbers do nothing, not even fit a column.
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    // The corner above the row numbers carries the column's caption " № ".
    if (auto* corner = findChild<QAbstractButton*>()) {
        m_corner = corner;
        corner->installEventFilter(this);
    }
}

KeyGridModel* KeyGridView::gridModel() const {
    return qobject_cast<KeyGridModel*>(model());
}

int KeyGridView::gridRowCount() const {
    return model() ? model()->rowCount() + 1 : 1;
}

GridSelection KeyGridView::selectionRect() const {
    GridSelection s;
    const QItemSelection selection = selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (!selection.isEmpty()) {
        const QItemSelectionRange& range = selection.first();
        s.left = range.left() + 1;
        s.right = range.right() + 1;
        s.top = range.top() + 1;
        s.bottom = range.bottom() + 1;
        for (const QItemSelectionRange& r : selection) {
            s.left = std::min(s.left, r.left() + 1);
            s.right = std::max(s.right, r.right() + 1);
            s.top = std::min(s.top, r.top() + 1);
            s.bottom = std::max(s.bottom, r.bottom() + 1);
        }
        return s;
    }
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        s.left = s.right = current.column() + 1;
        s.top = s.bottom = current.row() + 1;
    }
    return s;
}

void KeyGridView::setSelectionRect(const GridSelection& s) {
    if (!model() || !selectionModel())
        return;
    const int rows = model()->rowCount();
    const int columns = model()->columnCount();
    if (rows <= 0 || columns <= 0)
        return;
    auto clampRow = [rows](int r) { return std::clamp(r - 1, 0, rows - 1); };
    auto clampColumn = [columns](int c) { return std::clamp(c - 1, 0, columns - 1); };
    const QModelIndex topLeft = model()->index(clampRow(s.top), clampColumn(s.left));
    const QModelIndex bottomRight = model()->index(clampRow(s.bottom), clampColumn(s.right));
    selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void KeyGridView::rebuildKeepingSelection() {
    KeyGridModel* m = gridModel();
    if (!m)
        return;
    const GridSelection kept = selectionRect();
    const int scroll = verticalScrollBar()->value();
    const QSignalBlocker block(this);
    m->rebuild();
    setSelectionRect(kept);
    verticalScrollBar()->setValue(scroll);
}

void KeyGridView::applyFont(const QFont& font, int size) {
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(2 * size);
    verticalHeader()->setFixedWidth(4 * size);
}

void KeyGridView::fitCommentColumn() {
    const int comment = KeyGridModel::kCommentColumn;
    if (!model() || model()->columnCount() <= comment)
        return;
    int keys = 0;
    for (int c = 0; c < comment; ++c)
        keys += columnWidth(c);
    const int width = std::max(horizontalHeader()->minimumSectionSize(), viewport()->width() - keys);
    if (columnWidth(comment) != width)
        setColumnWidth(comment, width);
}

void KeyGridView::updateGeometries() {
    fitCommentColumn();
    QTableView::updateGeometries();
}

bool KeyGridView::viewportEvent(QEvent* event) {
    // The viewport narrows when the vertical scroll bar appears.
    if (event->type() == QEvent::Resize)
        fitCommentColumn();
    return QTableView::viewportEvent(event);
}

void KeyGridView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit editRequested();
        return;
    default:
        break;
    }
    // Copy, Select all and the other edit sequences are the program's commands, dispatched by
    // the shortcut hook: the view's own handling (copying cell text to the system clipboard,
    // selecting the comment column) must not run as well.
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll) ||
        event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

void KeyGridView::mousePressEvent(QMouseEvent* event) {
    // Only the left button moves the selection; the context menu then acts on it.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void KeyGridView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        event->accept();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void KeyGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    if (indexAt(event->position().toPoint()).isValid())
        emit editRequested();
    event->accept();
}

void KeyGridView::keyboardSearch(const QString&) {
    // No typing into the grid.
}

bool KeyGridView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport()))
        return true;
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter painter(m_corner);
        QStyleOptionHeader option;
        option.initFrom(m_corner);
        option.rect = m_corner->rect();
        option.text = QStringLiteral(" № ");
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.orientation = Qt::Horizontal;
        option.state = QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_Horizontal;
        option.fontMetrics = QFontMetrics(horizontalHeader()->font());
        painter.setFont(horizontalHeader()->font());
        style()->drawControl(QStyle::CE_Header, &option, &painter, m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace tervane
