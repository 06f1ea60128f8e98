#include "ui/BaseTreeModel.h"

#include "base/BaseTree.h"
#include "base/Cp1251.h"
#include "base/EditSession.h"
#include "texts/UiLanguage.h"
#include "ui/CommandIcons.h"

namespace tervane {

BaseTreeModel::BaseTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void BaseTreeModel::beginReplaceTree() {
    beginResetModel();
}

void BaseTreeModel::endReplaceTree(BaseTree* tree) {
    m_tree = tree;
    endResetModel();
}

void BaseTreeModel::retranslate() {
    if (!m_tree)
        emit dataChanged(index(0, 0), index(0, 0), {Qt::DisplayRole});
}

BaseNode* BaseTreeModel::nodeOf(const QModelIndex& index) const {
    if (!m_tree || !index.isValid())
        return nullptr;
    return static_cast<BaseNode*>(index.internalPointer());
}

QModelIndex BaseTreeModel::indexOf(const BaseNode* node) const {
    if (!m_tree || !node)
        return {};
    return createIndex(node->row, 0, const_cast<BaseNode*>(node));
}

void BaseTreeModel::followEdits(const EditSession& edits) {
    connect(&edits, &EditSession::nodeAboutToBeAdded, this,
            [this](BaseNode* parent, int row) { beginInsertRows(indexOf(parent), row, row); });
    connect(&edits, &EditSession::nodeAdded, this, [this] { endInsertRows(); });
    connect(&edits, &EditSession::nodeAboutToBeRemoved, this,
            [this](BaseNode* node) { beginRemoveRows(indexOf(node->parent), node->row, node->row); });
    connect(&edits, &EditSession::nodeRemoved, this, [this] { endRemoveRows(); });
    connect(&edits, &EditSession::nodeChanged, this, [this](BaseNode* node) {
        const QModelIndex i = indexOf(node);
        emit dataChanged(i, i);
    });
}

QModelIndex BaseTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!m_tree)
        return (!parent.isValid() && row == 0) ? createIndex(0, 0, nullptr) : QModelIndex();
    const auto& children = m_tree->childrenOf(nodeOf(parent));
    if (row >= int(children.size()))
        return {};
    return createIndex(row, 0, children[std::size_t(row)]);
}

QModelIndex BaseTreeModel::parent(const QModelIndex& index) const {
    const BaseNode* node = nodeOf(index);
    if (!node || !node->parent)
        return {};
    return indexOf(node->parent);
}

int BaseTreeModel::rowCount(const QModelIndex& parent) const {
    if (!m_tree)
        return parent.isValid() ? 0 : 1;
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(m_tree->childrenOf(nodeOf(parent)).size());
}

int BaseTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant BaseTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (!m_tree) {
        if (role == Qt::DisplayRole)
            return translate("MainWindow", "No files opened...");
        return {};
    }
    const BaseNode* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return fromCp1251(node->text);
    case Qt::DecorationRole:
        return treeIcon(node == m_tree->selected() ? node->selectedIndex : node->imageIndex);
    default:
        return {};
    }
}

Qt::ItemFlags BaseTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace tervane
