#include "base/CsvTransfer.h"

#include "base/Document.h"
#include "base/EditSession.h"
#include "base/FileErrors.h"
#include "base/KeyCsv.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "seams/Prompts.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tervane {
namespace {

const QString kFilter = QStringLiteral("CSV (*.csv)|*.csv");

// Kept in the settings as the other imports keep it: 8-bit text with the system's separators.
QString startFolder() {
    return QDir::fromNativeSeparators(QFile::decodeName(settings().openFolder()));
}

void rememberFolderOf(const QString& file) {
    settings().setOpenFolder(QFile::encodeName(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
}

bool writeWhole(const QString& path, const QByteArray& bytes) {
    if (!EnsureFreeSpace(path, bytes.size()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ReportFileError(FileErrorCreate, path);
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        ReportFileError(FileErrorWrite, path);
        return false;
    }
    return true;
}

} // namespace

void exportKeyCsv(Document& document) {
    if (!document.isOpen())
        return;
    const std::int32_t shown = document.currentPage();
    std::vector<KeyCsvPage> pages;
    if (shown >= 0) {
        const PromptButton answer =
            prompts().message(PromptIcon::Question, QStringLiteral("Tervane"),
                              translate("KeyCsv", "Export only the page shown? No exports every page of the key base."),
                              ButtonYes | ButtonNo | ButtonCancel);
        if (answer == ButtonCancel)
            return;
        if (answer == ButtonYes)
            pages = {keyCsvPage(document.tree(), shown)};
    }
    if (pages.empty())
        pages = keyCsvPages(document.tree());
    FileDialogRequest request;
    request.filter = kFilter;
    request.defaultSuffix = QStringLiteral(".csv");
    request.startFolder = startFolder();
    request.fileName = document.displayName() + QStringLiteral(".csv");
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = prompts().saveFile(request);
    if (!chosen)
        return;
    const QString file = QDir::fromNativeSeparators(*chosen);
    rememberFolderOf(file);

    QByteArray text;
    const QString pageFile = document.workingPageFile();
    const bool read = writeKeyCsv(pages, /*byteOrderMark*/ true, text, [&](std::int32_t page, KeyPage& into) {
        // The page shown may hold edits that the working page file has not seen yet.
        if (page == shown) {
            into = document.pageBuffer();
            return true;
        }
        return ReadPage(pageFile, page, into);
    });
    if (read)
        writeWhole(file, text);
}

bool importKeyCsv(EditSession& edits) {
    Document& document = edits.document();
    if (!document.isOpen())
        return false;
    FileDialogRequest request;
    request.filter = kFilter;
    request.defaultSuffix = QStringLiteral(".csv");
    request.startFolder = startFolder();
    const std::optional<QString> chosen = prompts().openFile(request);
    if (!chosen)
        return false;
    const QString path = QDir::fromNativeSeparators(*chosen);
    rememberFolderOf(path);
    QByteArray bytes;
    if (!readCsvFile(path, bytes))
        return false;

    const KeyCsvTarget target = keyCsvTarget(document.tree(), pageCount(document.workingPageFile()));
    KeyCsvImport imported;
    CsvReadError error;
    if (!readKeyCsv(bytes, target, imported, error)) {
        prompts().message(PromptIcon::Error, QStringLiteral("Tervane"),
                          translate("KeyCsv", "Nothing was imported from \"%1\".").arg(QDir::toNativeSeparators(path)) +
                              QLatin1Char('\n') + keyCsvErrorText(error),
                          ButtonOk);
        return false;
    }
    bool changed = false;
    for (const auto& [page, pageEdits] : imported.pages) {
        // A page of the working page file that cannot be read or written has shown its error.
        if (!edits.applyEdits(page, pageEdits))
            return changed;
        changed = true;
    }
    prompts().message(PromptIcon::Information, QStringLiteral("Tervane"),
                      translate("KeyCsv", "Imported from \"%1\". Key cells: %2; row comments: %3; pages: %4.")
                          .arg(QDir::toNativeSeparators(path))
                          .arg(imported.cells)
                          .arg(imported.comments)
                          .arg(imported.pages.size()),
                      ButtonOk);
    return changed;
}

bool readCsvFile(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportFileError(FileErrorOpen, path);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ReportFileError(FileErrorRead, path);
        return false;
    }
    return true;
}

} // namespace tervane
