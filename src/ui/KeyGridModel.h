#pragma once

#include "base/KeyPage.h"
#include "grid/GridSelection.h"

#include <QAbstractTableModel>
#include <array>
#include <cstdint>

namespace tervane {

class Settings;

// The key grid's model over the page buffer. Model row d is grid data row d (grid row d + 1);
// model column c is grid column c + 1: the six key columns and the comment.
// In the short view only rows with a key or a comment are listed and GridRowMap translates
// grid data rows to page rows; every operation that addresses a page row goes through
// pageRowOf().
class KeyGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Model column c is grid column c + 1: the row numbers are the vertical header.
    static constexpr int kColumns = GridColumn::Comment;
    static constexpr int kCommentColumn = GridColumn::Comment - 1;

    explicit KeyGridModel(QObject* parent = nullptr);

    // nullptr: no page shown. The page must outlive its use here.
    void setPage(const KeyPage* page) { m_page = page; }
    const KeyPage* page() const { return m_page; }
    void setShortView(bool on) { m_shortView = on; }
    bool shortView() const { return m_shortView; }
    void setDisplay(int keyTypeView, int keyCodeView, bool emSpeedVisible, bool dallasCrcVisible);

    // Rebuilds the grid from the page: one model reset.
    void rebuild();
    // The page's bytes changed under the rows shown; the next rebuild settles which rows show.
    void pageEdited();

    // The page row shown by grid data row dataRow, or -1 when that row stands for no page row
    // (the short view's filler row, rows past the shown ones).
    int pageRowOf(int dataRow) const;
    int shownRowCount() const { return m_shownRows; }
    const std::array<std::int32_t, KeyPage::kRows>& gridRowMap() const { return m_rowMap; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static QString rowNumberText(int pageRow);

private:
    const KeyPage* m_page = nullptr;
    bool m_shortView = false;
    int m_keyTypeView = 0;
    int m_keyCodeView = 0;
    bool m_emSpeed = true;
    bool m_dallasCrc = false;
    int m_shownRows = 0;
    std::array<std::int32_t, KeyPage::kRows> m_rowMap{};
};

} // namespace tervane
