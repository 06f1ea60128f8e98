#pragma once

#include "base/KeySearch.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace tervane {

// The keys that Find key found, one row each: the file's path in the tree, the page row, the key
// column (1..6, as the grid numbers them), the key as the grid's full view shows it, and the
// row's comment.
class KeyHitsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PathColumn, RowColumn, KeyColumn, CodeColumn, CommentColumn, ColumnCount };

    explicit KeyHitsModel(QObject* parent = nullptr);

    // The hits of a search with the files it searched; the nodes must be alive.
    void setResult(std::vector<KeySearchFile> files, KeySearchResult result);
    void clear();

    const KeyHit& hit(int row) const { return m_result.hits.at(std::size_t(row)); }
    const KeySearchFile& fileOf(int row) const { return m_files.at(std::size_t(hit(row).file)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<KeySearchFile> m_files;
    QStringList m_paths; // per file, made once
    KeySearchResult m_result;
};

} // namespace tervane
