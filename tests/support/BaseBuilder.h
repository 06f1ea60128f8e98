#pragma once

#include "base/BaseTree.h"
#include "base/KeyPage.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tervane::test {

// Writes small key bases for tests: a tree of folders and files (each file with its own page)
// saved as <base>.dir and <base>.dat.
class BaseBuilder {
public:
    BaseNode* folder(const QString& name, BaseNode* parent = nullptr, bool expanded = false);
    // A file node with a new page; returns the node and fills page with what the test puts in.
    BaseNode* file(const QString& name, BaseNode* parent = nullptr);
    KeyPage& page(const BaseNode* file);
    void select(BaseNode* node) { m_tree.select(node); }
    BaseTree& tree() { return m_tree; }

    // Writes <base>.dir and <base>.dat; false when a write failed.
    bool write(const QString& base);

private:
    BaseTree m_tree;
    QList<KeyPage> m_pages;
};

// A cell from its ten bytes in hex, type first: "80 00 00 1F 59 1D 00 20 06 00".
KeyCell cellFromHex(const QByteArray& hex);

// A Dallas key cell with the given serial (c[1..6], c[1] least significant) and its check sum.
KeyCell dallasCell(quint64 serial);

} // namespace tervane::test
