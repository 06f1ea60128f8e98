#include "base/DirectoryFile.h"

#include "base/FileErrors.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <vector>

namespace tervane {

namespace {

// Records written or read per transfer: large enough that a whole base usually takes one or a
// few transfers, small enough that a huge tree needs no second copy of its file in memory.
constexpr qint64 kRecordsPerTransfer = 4096;

void fillRecord(DirectoryRecord& record, const BaseNode& node, int depth) {
    record.setName(node.text);
    record.setLevel(depth);
    record.setExpanded(node.expanded);
    record.setImageIndex(node.imageIndex);
    record.setSelectedIndex(node.selectedIndex);
    record.setPageNumber(node.pageNumber);
}

void applyRecord(BaseNode& node, const DirectoryRecord& record) {
    node.imageIndex = record.imageIndex();
    node.selectedIndex = record.selectedIndex();
    if (record.pageNumber() != -1)
        node.pageNumber = record.pageNumber();
    if (record.expanded())
        node.expanded = true;
}

// Builds the tree from the node records in file order. chain holds the newest node and its
// new ancestors, chain[d] at depth d, so each record finds its parent in O(1).
class TreeBuilder {
public:
    explicit TreeBuilder(BaseTree& tree) : m_tree(tree) {}

    void add(const DirectoryRecord& record) {
        const qint64 level = record.level();
        const qint64 lastLevel = qint64(m_chain.size()) - 1; // -1: nothing added yet
        BaseNode* parent = nullptr;
        if (m_chain.empty()) {
            // The first node goes to the top level whatever its level says.
        } else if (level > lastLevel + 1) {
            // Cannot come from a sound writer; older ones left such records behind, and they
            // describe the node before them.
            applyRecord(*m_chain.back(), record);
            return;
        } else {
            // level == lastLevel + 1: a child of the last node; otherwise a sibling of its
            // ancestor at that level (the top level for negative levels).
            const qint64 parentDepth = std::max<qint64>(level, 0) - 1;
            m_chain.resize(std::size_t(parentDepth + 1));
            parent = m_chain.empty() ? nullptr : m_chain.back();
        }
        BaseNode* node = m_tree.addChild(parent);
        node->text = record.name();
        applyRecord(*node, record);
        m_chain.push_back(node);
    }

private:
    BaseTree& m_tree;
    std::vector<BaseNode*> m_chain;
};

} // namespace

bool SaveDirectory(const QString& path, const BaseTree& tree) {
    const qint64 recordCount = qint64(tree.size()) + 1;
    if (!EnsureFreeSpace(path, recordCount * DirectoryRecord::kSize))
        return false;

    QSaveFile file(path);
    // A folder we may not create files in still lets us rewrite a file we may write.
    file.setDirectWriteFallback(true);
    // Unbuffered: every transfer is written at once, so a full disk shows on the write itself.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        ReportFileError(FileErrorOpen, path);
        return false;
    }
    if (!SaveDirectory(file, tree) || !file.commit()) {
        file.cancelWriting();
        ReportFileError(FileErrorWrite, path);
        return false;
    }
    return true;
}

bool SaveDirectory(QIODevice& device, const BaseTree& tree) {
    const qint64 recordCount = qint64(tree.size()) + 1;
    DirectoryRecord record;
    record.makeHeader(tree.absolutePosition(tree.selected()));

    QByteArray chunk;
    chunk.reserve(std::min(recordCount, kRecordsPerTransfer) * DirectoryRecord::kSize);
    chunk.append(reinterpret_cast<const char*>(record.data()), DirectoryRecord::kSize);
    auto flush = [&] {
        const bool ok = device.write(chunk) == chunk.size();
        chunk.clear();
        return ok;
    };

    int depth = 0;
    for (const BaseNode* node = tree.first(); node; node = tree.next(node, depth)) {
        fillRecord(record, *node, depth);
        chunk.append(reinterpret_cast<const char*>(record.data()), DirectoryRecord::kSize);
        if (chunk.size() >= kRecordsPerTransfer * DirectoryRecord::kSize && !flush())
            return false;
    }
    return flush();
}

bool LoadDirectory(const QString& path, BaseTree& tree) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportFileError(FileErrorOpen, path);
        return false;
    }
    return LoadDirectory(file, path, tree);
}

bool LoadDirectory(QIODevice& device, const QString& name, BaseTree& tree) {
    // A partial record at the end does not count.
    const qint64 recordCount = (device.size() - device.pos()) / DirectoryRecord::kSize;

    DirectoryRecord header;
    if (recordCount < 1 ||
        device.read(reinterpret_cast<char*>(header.data()), DirectoryRecord::kSize) != DirectoryRecord::kSize) {
        ReportFileError(FileErrorRead, name);
        return false;
    }
    // The version comes first, so most foreign files read as a wrong version.
    if (header.version() != DirectoryRecord::kVersion) {
        ReportFileError(FileErrorVersion, name);
        return false;
    }
    if (!header.hasSignature()) {
        ReportFileError(FileErrorFormat, name);
        return false;
    }
    const qint64 selectedPosition = header.selectedPosition();

    // Each record's expanded byte is kept for the second pass, which expands the nodes once their
    // children exist, walking the tree against the records again.
    std::vector<std::uint8_t> expandedBytes;
    expandedBytes.reserve(std::size_t(std::min<qint64>(recordCount - 1, kRecordsPerTransfer * 64)));

    TreeBuilder builder(tree);
    QByteArray chunk;
    for (qint64 done = 1; done < recordCount;) {
        const qint64 count = std::min(recordCount - done, kRecordsPerTransfer);
        chunk.resize(count * DirectoryRecord::kSize);
        if (device.read(chunk.data(), chunk.size()) != chunk.size()) {
            ReportFileError(FileErrorRead, name);
            return false;
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(chunk.constData());
        for (qint64 i = 0; i < count; ++i) {
            const DirectoryRecord record = DirectoryRecord::fromBytes(bytes + i * DirectoryRecord::kSize);
            builder.add(record);
            expandedBytes.push_back(record.expandedByte());
        }
        done += count;
    }

    // The second pass pairs the tree's nodes in pre-order with the records from the first on.
    qint64 position = 0;
    for (BaseNode* node = tree.first(); node; node = tree.next(node), ++position) {
        if (position >= qint64(expandedBytes.size())) {
            ReportFileError(FileErrorRead, name);
            return false;
        }
        if (expandedBytes[std::size_t(position)] != 0)
            node->expanded = true;
        if (position == selectedPosition)
            tree.select(node);
    }
    return true;
}

} // namespace tervane
