// Any bytes as a directory file: loading must never crash, and a loaded tree must survive a
// save and a second load unchanged, and that second save must give the same bytes. All in memory,
// through the same reader and writer that the file functions wrap.
#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "seams/Prompts.h"

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tervane;

namespace {

class QuietPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon, const QString&, const QString&, int buttons) override {
        return (buttons & ButtonCancel) ? ButtonCancel : ButtonOk;
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};

struct Environment {
    QuietPrompts prompts;
    Environment() { promptsSeam().install(&prompts); }
};

bool load(const QByteArray& bytes, BaseTree& tree) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return LoadDirectory(buffer, QStringLiteral("fuzz.dir"), tree);
}

QByteArray save(const BaseTree& tree) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!SaveDirectory(buffer, tree))
        std::abort();
    return bytes;
}

bool sameNode(const BaseNode& a, const BaseNode& b) {
    return a.text == b.text && a.imageIndex == b.imageIndex && a.selectedIndex == b.selectedIndex &&
           a.pageNumber == b.pageNumber && a.expanded == b.expanded && a.children.size() == b.children.size();
}

bool sameTree(const BaseTree& a, const BaseTree& b) {
    if (a.size() != b.size() || a.absolutePosition(a.selected()) != b.absolutePosition(b.selected()))
        return false;
    int depthA = 0;
    int depthB = 0;
    const BaseNode* x = a.first();
    const BaseNode* y = b.first();
    for (; x && y; x = a.next(x, depthA), y = b.next(y, depthB)) {
        if (depthA != depthB || !sameNode(*x, *y))
            return false;
    }
    return !x && !y;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    BaseTree tree;
    if (!load(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), tree))
        return 0;
    const QByteArray saved = save(tree);
    BaseTree again;
    if (!load(saved, again) || !sameTree(tree, again) || save(again) != saved)
        std::abort();
    return 0;
}
