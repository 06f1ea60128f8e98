#pragma once

#include "seams/Prompts.h"

#include <QString>

class QFileDialog;

namespace tervane {

// The program's filter, "Description|*.ext" pairs joined by "|" with patterns separated by ";",
// in the form Qt's file dialogs take: "Description (*.ext)" entries joined by ";;". A
// description that already ends in "(...)" has that part replaced by the real patterns.
QString QtFileFilter(const QString& filter);

// Message boxes and file dialogs on screen, over the active window.
class WidgetPrompts final : public Prompts {
public:
    PromptButton message(PromptIcon icon, const QString& caption, const QString& text, int buttons) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(const FileDialogRequest& request) override;

private:
    static std::optional<QString> runFileDialog(QFileDialog& dialog, const FileDialogRequest& request);
};

} // namespace tervane
