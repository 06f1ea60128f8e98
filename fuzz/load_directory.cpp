// Any bytes as a directory file: loading must never crash, and a loaded tree must survive a
// save and a second load unchanged.
#include "base/BaseTree.h"
#include "base/DirectoryFile.h"
#include "seams/Prompts.h"
#include "seams/SystemInfo.h"

#include <QFile>
#include <QTemporaryDir>
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

class RoomySystem final : public SystemInfo {
public:
    bool systemLanguageIsRussian() const override { return false; }
    VolumeSpace volumeSpace(const QString&) const override { return {false, QString(), 0}; }
};

struct Environment {
    QuietPrompts prompts;
    RoomySystem system;
    QTemporaryDir dir;
    QString input = dir.path() + "/input.dir";
    QString resaved = dir.path() + "/resaved.dir";
    Environment() {
        setPrompts(&prompts);
        setSystemInfo(&system);
    }
};

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
    {
        QFile file(env.input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    BaseTree tree;
    if (!LoadDirectory(env.input, tree))
        return 0;
    if (!SaveDirectory(env.resaved, tree))
        std::abort();
    BaseTree again;
    if (!LoadDirectory(env.resaved, again) || !sameTree(tree, again))
        std::abort();
    return 0;
}
