#pragma once

#include "grid/GridSelection.h"

#include <QTableView>

namespace tervane {

class KeyGridModel;

// The key grid `EditBox`: a rectangular range selection over the page, moved only by the left
// button; Enter and a double-click on a data cell ask for an editor. It takes no typing of its
// own and never touches the system clipboard: Cut, Copy, Paste and Select all are the program's
// commands.
class KeyGridView final : public QTableView {
    Q_OBJECT
public:
    explicit KeyGridView(QWidget* parent = nullptr);

    KeyGridModel* gridModel() const;
    GridSelection selectionRect() const;
    void setSelectionRect(const GridSelection& selection);
    // Font of the grid: the row-number column is 4 × size wide and rows are 2 × size high.
    void applyFont(const QFont& font, int size);
    // Rebuilds the model and keeps the selection (clamped to the new row count).
    void rebuildKeepingSelection();
    int gridRowCount() const; // header row included, as the grid counts its rows
    // The comment column takes the width that the key columns leave.
    void fitCommentColumn();

signals:
    void editRequested();  // Enter, or a double-click on a data cell
    void selectionMoved(); // the current cell or the selection changed

protected:
    void updateGeometries() override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyboardSearch(const QString& search) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_corner = nullptr;
};

} // namespace tervane
