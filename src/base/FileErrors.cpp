#include "base/FileErrors.h"

#include "seams/Prompts.h"
#include "seams/SystemInfo.h"
#include "texts/UiLanguage.h"

#include <QDir>

namespace tervane {
namespace {

QString productCaption() {
    return QStringLiteral("Tervane");
}

// The English read and write messages have no blank after the colon, unlike the Russian ones.
QString messageOf(std::int32_t code) {
    switch (code) {
    case FileErrorRead:
        return translate("FileErrors", "File read error:\"%1\"");
    case FileErrorWrite:
        return translate("FileErrors", "File write error:\"%1\"");
    case FileErrorCreate:
        return translate("FileErrors", "Create file error: \"%1\"");
    case FileErrorOpen:
        return translate("FileErrors", "Open file error: \"%1\"");
    case FileErrorDelete:
        return translate("FileErrors", "Delete file error: \"%1\"");
    case FileErrorVersion:
        return translate("FileErrors", "Incorrect data base version: \"%1\"");
    case FileErrorFormat:
        return translate("FileErrors", "The database file has an unknown format: \"%1\"");
    default:
        return {};
    }
}

} // namespace

QString fileErrorText(std::int32_t code, const QString& path) {
    const QString message = messageOf(code);
    if (!message.isEmpty())
        return message.arg(QDir::toNativeSeparators(path));
    // 64-bit so that the lowest code negates without overflow.
    return translate("FileErrors", "Error: %1.").arg(-qint64(code));
}

bool ReportFileError(std::int32_t code, const QString& path) {
    prompts().message(PromptIcon::Error, productCaption(), fileErrorText(code, path), ButtonOk);
    return true;
}

bool EnsureFreeSpace(const QString& path, std::int64_t needed) {
    for (;;) {
        const VolumeSpace space = systemInfo().volumeSpace(path);
        if (!space.checked)
            return true;
        // Equal is not enough: the room must exceed what the caller asks for.
        if (needed < space.freeBytes)
            return true;
        const QString text =
            translate("FileErrors", "No free space on a disk %1. Cleanup a disk and press repeat operation.")
                .arg(space.drive);
        if (prompts().message(PromptIcon::Warning, productCaption(), text, ButtonRetry | ButtonCancel) != ButtonRetry)
            return false;
    }
}

} // namespace tervane
