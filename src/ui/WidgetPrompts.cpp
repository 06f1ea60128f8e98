#include "ui/WidgetPrompts.h"

#include "texts/UiLanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace tervane {
namespace {

struct ButtonChoice {
    PromptButton button;
    QMessageBox::StandardButton standard;
    const char* english;
};

const ButtonChoice kButtons[] = {
    {ButtonOk, QMessageBox::Ok, QT_TRANSLATE_NOOP("Prompts", "OK")},
    {ButtonYes, QMessageBox::Yes, QT_TRANSLATE_NOOP("Prompts", "Yes")},
    {ButtonNo, QMessageBox::No, QT_TRANSLATE_NOOP("Prompts", "No")},
    {ButtonRetry, QMessageBox::Retry, QT_TRANSLATE_NOOP("Prompts", "Retry")},
    {ButtonCancel, QMessageBox::Cancel, QT_TRANSLATE_NOOP("Prompts", "Cancel")},
};

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

PromptButton firstOf(int buttons, std::initializer_list<PromptButton> order) {
    for (PromptButton b : order) {
        if (buttons & b)
            return b;
    }
    return ButtonNone;
}

// Windows' "*.*" means every file; here it would hide the files without an extension.
QString qtPatterns(const QString& patterns) {
    QStringList list;
    for (const QString& part : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty())
            list.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    return list.isEmpty() ? QStringLiteral("*") : list.join(QLatin1Char(' '));
}

} // namespace

QString QtFileFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|')))
        return filter.trimmed();
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString patterns = qtPatterns(i + 1 < parts.size() ? parts.at(i + 1) : QString());
        QString description = parts.at(i);
        description.remove(trailingPatterns);
        description = description.trimmed();
        if (description.isEmpty() && i + 1 >= parts.size())
            continue; // a trailing "|"
        if (description.isEmpty())
            description = patterns;
        entries.append(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

PromptButton WidgetPrompts::message(PromptIcon icon, const QString& caption, const QString& text, int buttons) {
    if (firstOf(buttons, {ButtonOk, ButtonYes, ButtonNo, ButtonRetry, ButtonCancel}) == ButtonNone)
        buttons = ButtonOk;

    QMessageBox box(QApplication::activeWindow());
    box.setIcon(boxIcon(icon));
    box.setWindowTitle(caption);
    box.setText(text);
    QHash<QAbstractButton*, PromptButton> answers;
    for (const ButtonChoice& choice : kButtons) {
        if (!(buttons & choice.button))
            continue;
        QPushButton* button = box.addButton(choice.standard);
        button->setText(translate("Prompts", choice.english));
        answers.insert(button, choice.button);
    }
    const PromptButton defaultAnswer = firstOf(buttons, {ButtonOk, ButtonYes, ButtonRetry, ButtonNo, ButtonCancel});
    const PromptButton escapeAnswer = firstOf(buttons, {ButtonCancel, ButtonNo, ButtonOk});
    for (auto it = answers.cbegin(); it != answers.cend(); ++it) {
        if (it.value() == defaultAnswer)
            box.setDefaultButton(qobject_cast<QPushButton*>(it.key()));
        if (it.value() == escapeAnswer)
            box.setEscapeButton(it.key());
    }
    box.exec();
    const auto clicked = answers.constFind(box.clickedButton());
    if (clicked != answers.constEnd())
        return *clicked;
    return escapeAnswer != ButtonNone ? escapeAnswer : defaultAnswer;
}

std::optional<QString> WidgetPrompts::runFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    const QString filter = QtFileFilter(request.filter);
    if (!filter.isEmpty())
        dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    QString suffix = request.defaultSuffix;
    while (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!request.startFolder.isEmpty())
        dialog.setDirectory(request.startFolder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

std::optional<QString> WidgetPrompts::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog, request);
}

std::optional<QString> WidgetPrompts::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    return runFileDialog(dialog, request);
}

std::optional<QString> WidgetPrompts::chooseFolder(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return runFileDialog(dialog, request);
}

} // namespace tervane
