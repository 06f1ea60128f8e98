#include "base/FlipperTransfer.h"

#include "base/EditSession.h"
#include "base/FlipperKeyFile.h"
#include "base/KeyPage.h"
#include "seams/Prompts.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tervane {
namespace {

void tell(PromptIcon icon, const QString& text) {
    prompts().message(icon, QStringLiteral("Tervane"), text, ButtonOk);
}

bool refuseNonKeyColumn(int pageRow, int keyColumn) {
    if (pageRow >= 0 && pageRow < KeyPage::kRows && keyColumn >= 0 && keyColumn < KeyPage::kKeyColumns)
        return false;
    tell(PromptIcon::Warning, translate("FlipperFiles", "Select a key cell, in one of the columns Key 1 to Key 6."));
    return true;
}

// The folder the file dialogs start in; like the import's, kept in the settings as 8-bit text
// with the system's separators.
QString startFolder() {
    return QDir::fromNativeSeparators(QFile::decodeName(settings().openFolder()));
}

void rememberFolder(const QString& folder) {
    settings().setOpenFolder(QFile::encodeName(QDir::toNativeSeparators(folder)));
}

QString filterOf(FlipperFileKind kind) {
    return kind == FlipperFileKind::Rfid ? QStringLiteral("Flipper RFID key (*.rfid)|*.rfid")
                                         : QStringLiteral("Flipper iButton key (*.ibtn)|*.ibtn");
}

} // namespace

void exportFlipperKey(const KeyPage& page, int pageRow, int keyColumn) {
    if (refuseNonKeyColumn(pageRow, keyColumn))
        return;
    const KeyCell cell = page.cell(pageRow, keyColumn);
    std::string text;
    if (const FlipperResult checked = writeFlipperKey(cell, text); !checked.ok()) {
        tell(PromptIcon::Warning, flipperErrorText(checked, QString()));
        return;
    }
    const FlipperFileKind kind = flipperFileKind(cell.type());
    FileDialogRequest request;
    request.filter = filterOf(kind);
    request.defaultSuffix = QLatin1String(flipperFileSuffix(kind));
    request.startFolder = startFolder();
    request.fileName = flipperFileName(pageRow, keyColumn, page.comment(pageRow), kind);
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = prompts().saveFile(request);
    if (!chosen)
        return;
    const QString path = QDir::fromNativeSeparators(*chosen);
    rememberFolder(QFileInfo(path).absolutePath());
    writeFlipperKeyFile(path, cell);
}

bool importFlipperKey(EditSession& edits, std::int32_t pageNumber, const KeyPage& page, int pageRow, int keyColumn) {
    if (refuseNonKeyColumn(pageRow, keyColumn))
        return false;
    FileDialogRequest request;
    request.filter = QStringLiteral("Flipper key (*.ibtn *.rfid)|*.ibtn;*.rfid");
    request.defaultSuffix = QStringLiteral(".ibtn");
    request.startFolder = startFolder();
    const std::optional<QString> chosen = prompts().openFile(request);
    if (!chosen)
        return false;
    const QString path = QDir::fromNativeSeparators(*chosen);
    rememberFolder(QFileInfo(path).absolutePath());
    const std::optional<KeyCell> cell = readFlipperKeyFile(path);
    if (!cell)
        return false;
    if (IsKeyOccupied(page.cell(pageRow, keyColumn).type()) &&
        prompts().message(
            PromptIcon::Question, QStringLiteral("Tervane"),
            translate("FlipperFiles", "The cell already holds a key. Replace it with the key of the file?"),
            ButtonYes | ButtonNo) != ButtonYes)
        return false;
    return edits.setCell(pageNumber, pageRow, keyColumn, *cell);
}

void exportFlipperPage(const KeyPage& page) {
    int exportable = 0;
    int withoutCounterpart = 0;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            const std::uint8_t type = page.cell(row, column).type();
            if (flipperFileKind(type) != FlipperFileKind::None)
                ++exportable;
            else if (IsKeyOccupied(type))
                ++withoutCounterpart;
        }
    }
    if (exportable == 0) {
        tell(PromptIcon::Information, translate("FlipperFiles", "The page holds no key that a Flipper file can hold."));
        return;
    }
    FileDialogRequest request;
    request.startFolder = startFolder();
    const std::optional<QString> chosen = prompts().chooseFolder(request);
    if (!chosen)
        return;
    const QString folder = QDir::fromNativeSeparators(*chosen);
    rememberFolder(folder);

    int written = 0;
    for (int row = 0; row < KeyPage::kRows; ++row) {
        for (int column = 0; column < KeyPage::kKeyColumns; ++column) {
            const KeyCell cell = page.cell(row, column);
            const FlipperFileKind kind = flipperFileKind(cell.type());
            if (kind == FlipperFileKind::None)
                continue;
            // The first file that cannot be written ends the export; its error has been shown.
            if (!writeFlipperKeyFile(QDir(folder).filePath(flipperFileName(row, column, page.comment(row), kind)),
                                     cell))
                return;
            ++written;
        }
    }
    QString text = translate("FlipperFiles", "Key files written to \"%1\": %2.")
                       .arg(QDir::toNativeSeparators(folder))
                       .arg(written);
    if (withoutCounterpart > 0)
        text += QLatin1Char(' ') + translate("FlipperFiles",
                                             "Keys left out, as the Flipper Zero has no counterpart for HID Prox II, "
                                             "Indala and keys of unknown type: %1.")
                                       .arg(withoutCounterpart);
    tell(PromptIcon::Information, text);
}

} // namespace tervane
