#pragma once

#include "seams/Prompts.h"

#include <QList>
#include <QString>
#include <deque>
#include <optional>

namespace tervane::test {

// One prompt as the program showed it.
struct ShownPrompt {
    enum Kind { Message, OpenDialog, SaveDialog, FolderDialog } kind = Message;
    PromptIcon icon = PromptIcon::None;
    QString caption;
    QString text;
    int buttons = 0;
    FileDialogRequest request; // for the dialogs
};

// Answers prompts from a queue and records every one of them. A prompt with no answer queued
// fails the running test (and is answered with Cancel) instead of hanging.
class ScriptedPrompts final : public Prompts {
public:
    ScriptedPrompts();           // installs itself
    ~ScriptedPrompts() override; // uninstalls itself

    void answer(PromptButton button);             // the next message box
    void answerFile(std::optional<QString> path); // the next open, save or folder dialog (nullopt: cancel)

    const QList<ShownPrompt>& shown() const { return m_shown; }
    ShownPrompt last() const { return m_shown.isEmpty() ? ShownPrompt{} : m_shown.last(); }
    QStringList texts() const;
    int pendingAnswers() const { return int(m_buttons.size() + m_files.size()); }
    void clear();

    PromptButton message(PromptIcon icon, const QString& caption, const QString& text, int buttons) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(const FileDialogRequest& request) override;

private:
    std::optional<QString> file(ShownPrompt::Kind kind, const FileDialogRequest& request);
    std::deque<PromptButton> m_buttons;
    std::deque<std::optional<QString>> m_files;
    QList<ShownPrompt> m_shown;
    ScopedSeam<Prompts> m_installed{promptsSeam(), this};
};

} // namespace tervane::test
