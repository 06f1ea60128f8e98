#include "base/FileErrors.h"

#include "seams/Prompts.h"
#include "seams/SystemInfo.h"
#include "texts/UiLanguage.h"

#include <QDir>

namespace tervane {
namespace {

const char* const kContext = "FileErrors";

QString productCaption() {
    return QStringLiteral("Tervane");
}

// The English prefixes are the translation sources; the read and write ones have no blank
// after the colon, unlike the Russian ones.
const char* prefixOf(std::int32_t code) {
    switch (code) {
    case FileErrorRead:
        return "File read error:";
    case FileErrorWrite:
        return "File write error:";
    case FileErrorCreate:
        return "Create file error: ";
    case FileErrorOpen:
        return "Open file error: ";
    case FileErrorDelete:
        return "Delete file error: ";
    case FileErrorVersion:
        return "Incorrect data base version: ";
    case FileErrorFormat:
        return "The database file has an unknown format: ";
    default:
        return nullptr;
    }
}

} // namespace

QString FileErrorText(std::int32_t code, const QString& path) {
    if (const char* prefix = prefixOf(code))
        return Tr(kContext, prefix) + QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
    // 64-bit so that the lowest code negates without overflow.
    return Tr(kContext, "Error: ") + QString::number(-qint64(code)) + QLatin1Char('.');
}

bool ReportFileError(std::int32_t code, const QString& path) {
    prompts().message(PromptIcon::Error, productCaption(), FileErrorText(code, path), ButtonOk);
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
        const QString text = Tr(kContext, "No free space on a disk ") + space.drive +
                             Tr(kContext, ". Cleanup a disk and press repeat operation.");
        if (prompts().message(PromptIcon::Warning, productCaption(), text, ButtonRetry | ButtonCancel) != ButtonRetry)
            return false;
    }
}

} // namespace tervane
