#pragma once

#include <QAbstractItemModel>

namespace tervane {

class BaseTree;
class EditSession;
struct BaseNode;

// The folder tree view's model over a BaseTree. Without a tree it holds the one placeholder
// item "No files opened..." with no icon.
class BaseTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit BaseTreeModel(QObject* parent = nullptr);

    // The whole tree is replaced between the two calls: no index of the old nodes outlives
    // them. nullptr shows the placeholder.
    void beginReplaceTree();
    void endReplaceTree(BaseTree* tree);
    BaseTree* tree() const { return m_tree; }
    // The placeholder's text follows the interface language.
    void retranslate();

    BaseNode* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const BaseNode* node) const;
    // Follows the node edits of the document's edit session.
    void followEdits(const EditSession& edits);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    BaseTree* m_tree = nullptr;
};

} // namespace tervane
