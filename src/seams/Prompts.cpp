#include "seams/Prompts.h"

#include <cstdio>

namespace tervane {
namespace {

class StderrPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon, const QString& caption, const QString& text, int buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        if (buttons & ButtonCancel)
            return ButtonCancel;
        if (buttons & ButtonNo)
            return ButtonNo;
        return ButtonOk;
    }
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }
};
} // namespace

std::optional<QString> Prompts::chooseFolder(const FileDialogRequest&) {
    return std::nullopt;
}

Seam<Prompts>& promptsSeam() {
    static StderrPrompts fallback;
    static Seam<Prompts> seam(fallback);
    return seam;
}

Prompts& prompts() {
    return promptsSeam().get();
}

} // namespace tervane
