#pragma once

#include "seams/Prompts.h"

namespace tervane {

// Prompts for a program without a window: the text of a message goes to stderr (a file error
// reads "Open file error: \"/path/x.dir\""), questions such as the free-space warning are
// answered Cancel, and file dialogs are cancelled. Remembers whether an error or warning was
// shown, so that the exit status tells a script.
class CliPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon icon, const QString& caption, const QString& text, int buttons) override;
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogRequest&) override { return std::nullopt; }

    bool errorShown() const { return m_errorShown; }

private:
    bool m_errorShown = false;
};

} // namespace tervane
