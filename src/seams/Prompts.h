#pragma once

#include "seams/Seam.h"

#include <QString>
#include <optional>

namespace tervane {

enum class PromptIcon { None, Information, Warning, Error, Question };

// Buttons of a message box; a set of them is a bitwise or.
enum PromptButton : int {
    ButtonNone = 0,
    ButtonOk = 1,
    ButtonCancel = 2,
    ButtonYes = 4,
    ButtonNo = 8,
    ButtonRetry = 16,
};

// One open or save dialog. The filter is written as the program writes it: "DataBase|*.dir",
// or "DataBase (*.dir)|*.dir" (a description, "|", a pattern).
struct FileDialogRequest {
    QString filter;
    QString defaultSuffix; // ".dir", ".viz"
    QString startFolder;
    QString fileName; // pre-filled name, may be empty
    bool confirmOverwrite = false;
};

// Every message box and file dialog of the program goes through this seam, so that tests can
// answer them and see their texts.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual PromptButton message(PromptIcon icon, const QString& caption, const QString& text, int buttons) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
    // A folder to write into (startFolder only); nothing when cancelled, as here by default.
    virtual std::optional<QString> chooseFolder(const FileDialogRequest& request);
};

// The prompts in force. Without one installed, messages go to stderr and are answered with
// Cancel (or OK when that is the only button), and file dialogs are cancelled.
Prompts& prompts();
// The seam itself, for a ScopedSeam that replaces the program's own for a while.
Seam<Prompts>& promptsSeam();

} // namespace tervane
