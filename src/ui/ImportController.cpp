#include "ui/ImportController.h"

#include "base/CsvTransfer.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "base/KeyPage.h"
#include "base/PageFile.h"
#include "seams/Prompts.h"
#include "settings/Settings.h"
#include "ui/MainCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace tervane {

ImportController::ImportController(Document& document, EditSession& edits, QObject* parent)
    : QObject(parent), m_document(document), m_edits(edits) {}

void ImportController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::ImportVizitDallas, [this] { ImportVizitDM(VizitKeyType::Dallas); });
    commands.setHandler(CommandId::ImportVizitCyfral, [this] { ImportVizitDM(VizitKeyType::Cyfral); });
    commands.setHandler(CommandId::ImportVizitTm2002, [this] { ImportVizitDM(VizitKeyType::Tm2002); });
    commands.setHandler(CommandId::ImportVizitEm410x, [this] { ImportVizitDM(VizitKeyType::Em410x); });
    commands.setHandler(CommandId::ImportCsv, [this] {
        if (importKeyCsv(m_edits))
            emit refreshNeeded();
    });
    commands.setHandler(CommandId::ExportCsv, [this] { exportKeyCsv(m_document); });
}

void ImportController::ImportVizitDM(VizitKeyType type) {
    // Three of the four items are always enabled, so the command itself asks for a page.
    const std::int32_t page = m_document.currentPage();
    if (!m_document.isOpen() || page == -1)
        return;
    FileDialogRequest request;
    request.filter = QStringLiteral("DataBase (*.viz)|*.viz");
    request.defaultSuffix = QStringLiteral(".viz");
    // Paths in the settings record are 8-bit text with the system's separators.
    request.startFolder = QDir::fromNativeSeparators(QFile::decodeName(settings().openFolder()));
    const std::optional<QString> chosen = prompts().openFile(request);
    if (!chosen)
        return;
    const QString file = QDir::fromNativeSeparators(*chosen);
    settings().setOpenFolder(QFile::encodeName(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));

    const auto imported = std::make_unique<KeyPage>();
    if (!ImportVizitFile(file, type, *imported))
        return;
    // The page shown is the import from here on, marked as changed and redrawn even when the
    // working page file refuses it: a later flush writes it again, where a page that differs
    // from the grid and counts as unchanged would be dropped without a word.
    m_edits.replacePage(page, *imported);
    WritePage(m_document.workingPageFile(), page, m_document.pageBuffer());
    emit refreshNeeded();
}

} // namespace tervane
