#include "ui/KeyGridModel.h"

#include "base/Cp1251.h"
#include "keys/EmCardNumbers.h"
#include "keys/KeyText.h"
#include "texts/CardNumberTexts.h"
#include "texts/UiLanguage.h"

namespace tervane {

KeyGridModel::KeyGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void KeyGridModel::setDisplay(int keyTypeView, int keyCodeView, bool emSpeedVisible, bool dallasCrcVisible) {
    m_keyTypeView = keyTypeView;
    m_keyCodeView = keyCodeView;
    m_emSpeed = emSpeedVisible;
    m_dallasCrc = dallasCrcVisible;
}

void KeyGridModel::rebuild() {
    beginResetModel();
    m_shownRows = 0;
    if (m_page && m_shortView) {
        for (int r = 0; r < KeyPage::kRows; ++r) {
            if (m_page->rowHasContent(r))
                m_rowMap[m_shownRows++] = r;
        }
    }
    endResetModel();
}

void KeyGridModel::pageEdited() {
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

int KeyGridModel::pageRowOf(int dataRow) const {
    if (!m_page || dataRow < 0 || dataRow >= KeyPage::kRows)
        return -1;
    if (!m_shortView)
        return dataRow;
    return dataRow < m_shownRows ? m_rowMap[dataRow] : -1;
}

int KeyGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    if (!m_page)
        return 1;
    return m_shortView ? std::max(m_shownRows, 1) : KeyPage::kRows;
}

int KeyGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant KeyGridModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid())
        return {};
    const int pageRow = pageRowOf(index.row());
    if (role == Qt::ToolTipRole) {
        // An EM410x card's numbers, as printed on it.
        if (pageRow < 0 || index.column() == kCommentColumn)
            return {};
        const KeyCell cell = m_page->cell(pageRow, index.column());
        if (cell.type() != KeyTypeEm410x)
            return {};
        return cardNumberTexts(emCardNumbers(cell.code())).join(QLatin1Char('\n'));
    }
    if (pageRow < 0)
        return QString();
    if (index.column() == kCommentColumn)
        return fromCp1251(m_page->comment(pageRow));
    const KeyCell cell = m_page->cell(pageRow, index.column());
    return QString::fromStdString(FormatKeyCellText(cell, m_keyTypeView, m_keyCodeView, m_emSpeed, m_dallasCrc));
}

QVariant KeyGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section == kCommentColumn)
            return translate("KeyGrid", " Comment");
        return translate("KeyGrid", " Key %1").arg(section + 1);
    }
    const int pageRow = pageRowOf(section);
    return pageRow < 0 ? QString() : rowNumberText(pageRow);
}

Qt::ItemFlags KeyGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QString KeyGridModel::rowNumberText(int pageRow) {
    return QStringLiteral("%1").arg(pageRow, 3, 10, QLatin1Char('0'));
}

} // namespace tervane
