#include "ScriptedPrompts.h"

#include <QTest>

namespace tervane::test {

ScriptedPrompts::ScriptedPrompts() = default;

ScriptedPrompts::~ScriptedPrompts() = default;

void ScriptedPrompts::answer(PromptButton button) {
    m_buttons.push_back(button);
}

void ScriptedPrompts::answerFile(std::optional<QString> path) {
    m_files.push_back(std::move(path));
}

QStringList ScriptedPrompts::texts() const {
    QStringList out;
    for (const ShownPrompt& p : m_shown)
        out << p.text;
    return out;
}

void ScriptedPrompts::clear() {
    m_buttons.clear();
    m_files.clear();
    m_shown.clear();
}

PromptButton ScriptedPrompts::message(PromptIcon icon, const QString& caption, const QString& text, int buttons) {
    m_shown.append({ShownPrompt::Message, icon, caption, text, buttons, {}});
    if (m_buttons.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected message box: %1 / %2").arg(caption, text)), __FILE__,
                     __LINE__);
        return ButtonCancel;
    }
    const PromptButton b = m_buttons.front();
    m_buttons.pop_front();
    return b;
}

std::optional<QString> ScriptedPrompts::file(ShownPrompt::Kind kind, const FileDialogRequest& request) {
    m_shown.append({kind, PromptIcon::None, {}, {}, 0, request});
    if (m_files.empty()) {
        QTest::qFail("unexpected file dialog", __FILE__, __LINE__);
        return std::nullopt;
    }
    std::optional<QString> f = std::move(m_files.front());
    m_files.pop_front();
    return f;
}

std::optional<QString> ScriptedPrompts::openFile(const FileDialogRequest& request) {
    return file(ShownPrompt::OpenDialog, request);
}

std::optional<QString> ScriptedPrompts::saveFile(const FileDialogRequest& request) {
    return file(ShownPrompt::SaveDialog, request);
}

std::optional<QString> ScriptedPrompts::chooseFolder(const FileDialogRequest& request) {
    return file(ShownPrompt::FolderDialog, request);
}

} // namespace tervane::test
