#include "ui/KeyHitsModel.h"

#include "base/Cp1251.h"
#include "keys/KeyText.h"
#include "keys/KeyTypes.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"
#include "ui/KeyGridModel.h"

namespace tervane {

KeyHitsModel::KeyHitsModel(QObject* parent) : QAbstractTableModel(parent) {}

void KeyHitsModel::setResult(std::vector<KeySearchFile> files, KeySearchResult result) {
    beginResetModel();
    m_files = std::move(files);
    m_result = std::move(result);
    m_paths.clear();
    m_paths.reserve(qsizetype(m_files.size()));
    for (const KeySearchFile& file : m_files)
        m_paths << nodePath(file.node).join(QStringLiteral(" / "));
    endResetModel();
}

void KeyHitsModel::clear() {
    setResult({}, {});
}

int KeyHitsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_result.hits.size());
}

int KeyHitsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant KeyHitsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const KeyHit& h = hit(index.row());
    switch (index.column()) {
    case PathColumn:
        return m_paths.at(h.file);
    case RowColumn:
        return KeyGridModel::rowNumberText(h.row);
    case KeyColumn:
        return h.column + 1;
    case CodeColumn: {
        // The full code, where the digits looked for are, whatever view the grid is set to.
        const Settings& s = settings();
        return QString::fromStdString(
            FormatKeyCellText(h.cell, KeyViewFull, KeyViewFull, s.emSpeedVisible(), s.dallasCrcVisible()));
    }
    case CommentColumn:
        return fromCp1251(m_result.comment(h));
    default:
        return {};
    }
}

QVariant KeyHitsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    switch (section) {
    case PathColumn:
        return translate("KeySearchDialog", "File");
    case RowColumn:
        return translate("KeySearchDialog", "Row");
    case KeyColumn:
        return translate("KeySearchDialog", "Key");
    case CodeColumn:
        return translate("KeySearchDialog", "Code");
    case CommentColumn:
        return translate("KeySearchDialog", "Comment");
    default:
        return {};
    }
}

} // namespace tervane
