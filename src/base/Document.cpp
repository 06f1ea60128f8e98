#include "base/Document.h"

#include "base/BaseSave.h"
#include "base/PageFile.h"
#include "base/WorkingFiles.h"
#include "seams/EventPump.h"
#include "seams/Prompts.h"
#include "settings/ProgramOptions.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tervane {
namespace {

const QString kCaption = QStringLiteral("Tervane");

// Paths in the settings record are 8-bit text with the system's separators.
QString settingsPath(const QByteArray& stored) {
    return QDir::fromNativeSeparators(QFile::decodeName(stored));
}

QByteArray storedPath(const QString& path) {
    return QFile::encodeName(QDir::toNativeSeparators(path));
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// Every save of the editor keeps the base it replaces as its backup, unless the options say not to.
ReplacedPair replacedPair() {
    return programOptions().keepBaseBackup() ? ReplacedPair::KeepAsBackup : ReplacedPair::Drop;
}

} // namespace

Document::Document(QObject* parent) : QObject(parent) {}

Document::~Document() = default;

void Document::redraw() {
    emit changed();
}

void Document::releaseWorkingCopy() {
    DeleteBaseFiles(m_workingBase);
    m_workingLock.reset();
    m_workingBase.clear();
}

void Document::becomeEmpty() {
    m_workingBase.clear();
    m_workingLock.reset();
    m_savedBase.clear();
    m_displayName.clear();
    m_currentPage = -1;
    settle();
    BaseTree none;
    replaceTree(none);
}

void Document::replaceTree(BaseTree& with) {
    emit treeAboutToBeReplaced();
    m_tree.swap(with);
    with.clear();
    forgetLastSelected();
    emit treeReplaced();
}

void Document::forgetLastSelected() {
    m_lastSelectedNode = nullptr;
    m_lastSelectedSerial = 0;
}

bool Document::FlushCurrentPage() {
    if (m_currentPage == -1 || !m_modified)
        return true;
    return WritePage(workingPageFile(), m_currentPage, m_pageBuffer);
}

std::optional<QString> Document::askSaveName(const QString& startFolder, const QString& fileName) {
    FileDialogRequest request;
    request.filter = QStringLiteral("DataBase|*.dir");
    request.defaultSuffix = QStringLiteral(".dir");
    request.startFolder = startFolder;
    request.fileName = fileName;
    request.confirmOverwrite = true;
    std::optional<QString> chosen = prompts().saveFile(request);
    if (chosen)
        *chosen = QDir::fromNativeSeparators(*chosen);
    return chosen;
}

bool Document::saveTo(const QString& base) {
    if (!SaveWorkingCopyTo(m_workingBase, base, m_tree, replacedPair()))
        return false;
    m_savedBase = base;
    m_displayName = baseDisplayName(base);
    settle();
    emit saved();
    return true;
}

bool Document::AskSaveChanges(SavePolicy mode) {
    if (!FlushCurrentPage())
        return false;
    if (m_workingBase.isEmpty() || !m_modified)
        return true;

    PromptButton answer = ButtonCancel;
    switch (mode) {
    case SavePolicy::SaveWithoutAsking:
        answer = ButtonYes;
        break;
    case SavePolicy::Ask: {
        const QString text = translate("Document", "Save changes in \"%1\" ?").arg(m_displayName);
        answer = prompts().message(PromptIcon::Question, kCaption, text, ButtonYes | ButtonNo | ButtonCancel);
        break;
    }
    case SavePolicy::DoNotSave:
        answer = ButtonNo;
        break;
    }
    if (answer == ButtonNo)
        return true;
    if (answer != ButtonYes)
        return false;

    if (!m_savedBase.isEmpty() && SaveWorkingCopyTo(m_workingBase, m_savedBase, m_tree, replacedPair()))
        return true;
    const std::optional<QString> chosen =
        askSaveName(m_savedBase.isEmpty() ? QString() : folderOf(m_savedBase),
                    m_displayName.isEmpty() ? QString() : m_displayName + QStringLiteral(".dir"));
    return chosen && saveTo(StripExtension(*chosen));
}

bool Document::NewBase() {
    if (!AskSaveChanges(SavePolicy::Ask))
        return false;
    releaseWorkingCopy();
    QString base;
    BaseTree empty;
    if (!CreateWorkingBase(empty, base, m_workingLock)) {
        becomeEmpty();
        redraw();
        return false;
    }
    m_workingBase = base;
    m_currentPage = -1;
    m_savedBase.clear();
    m_displayName = translate("Document", "Data Base");
    settle();
    replaceTree(empty);
    redraw();
    return true;
}

bool Document::OpenBase() {
    FileDialogRequest request;
    request.filter = QStringLiteral("DataBase (*.dir)|*.dir");
    request.defaultSuffix = QStringLiteral(".dir");
    request.startFolder = settingsPath(settings().openFolder());
    const std::optional<QString> chosen = prompts().openFile(request);
    if (!chosen)
        return false;
    return OpenBase(*chosen);
}

bool Document::OpenBase(const QString& chosenFile) {
    const QString file = QDir::fromNativeSeparators(chosenFile);
    settings().setOpenFolder(storedPath(folderOf(file)));
    const QString base = StripExtension(file);

    if (base == m_savedBase) {
        // Reopening drops the unsaved changes: the user asked for the files as they are on disk.
        const QString text = translate("Document", "File \"%1\" is already opened. Open file again ?")
                                 .arg(QDir::toNativeSeparators(file));
        if (prompts().message(PromptIcon::Question, kCaption, text, ButtonOk | ButtonCancel) != ButtonOk)
            return false;
    } else if (!AskSaveChanges(SavePolicy::Ask)) {
        return false;
    }

    releaseWorkingCopy();
    QString working;
    BaseTree loaded;
    if (!OpenWorkingCopy(base, loaded, working, m_workingLock)) {
        becomeEmpty();
        redraw();
        return false;
    }
    m_workingBase = working;
    m_currentPage = -1;
    m_savedBase = base;
    m_displayName = baseDisplayName(base);
    replaceTree(loaded);
    SelectNode();
    eventPump().processEvents();
    settle();
    redraw();
    return true;
}

bool Document::CloseBase() {
    if (!AskSaveChanges(SavePolicy::Ask))
        return false;
    releaseWorkingCopy();
    becomeEmpty();
    redraw();
    return true;
}

bool Document::SaveBase() {
    if (m_workingBase.isEmpty())
        return false;
    if (m_savedBase.isEmpty())
        return SaveBaseAs();
    if (!FlushCurrentPage() || !SaveWorkingCopyTo(m_workingBase, m_savedBase, m_tree, replacedPair()))
        return false;
    settle();
    emit saved();
    redraw();
    return true;
}

bool Document::SaveBaseAs() {
    if (m_workingBase.isEmpty())
        return false;
    const std::optional<QString> chosen =
        askSaveName(settingsPath(settings().saveFolder()),
                    m_savedBase.isEmpty() ? QString() : m_savedBase + QStringLiteral(".dir"));
    if (!chosen)
        return false;
    settings().setSaveFolder(storedPath(folderOf(*chosen)));
    if (!FlushCurrentPage() || !saveTo(StripExtension(*chosen)))
        return false;
    redraw();
    return true;
}

void Document::settle() {
    m_modified = false;
    m_changedOutsideHistory = false;
    m_savedSelection = pathOf(m_tree.selected());
}

void Document::settleModified(bool historyAtSave) {
    // The directory file records the selected node, and the history does not: back where the
    // last save left the history, the files match only when no other node was selected since
    // and the selection is the saved one.
    m_modified = !(historyAtSave && !m_changedOutsideHistory && pathOf(m_tree.selected()) == m_savedSelection);
}

bool Document::SelectNode() {
    BaseNode* node = m_tree.selected();
    if (!node) {
        redraw();
        return true;
    }
    // The directory file records the selected node, so another selection is a change.
    if (node != m_lastSelectedNode || node->serial != m_lastSelectedSerial) {
        m_modified = true;
        m_changedOutsideHistory = true;
        m_lastSelectedNode = node;
        m_lastSelectedSerial = node->serial;
    }
    if (!FlushCurrentPage())
        return false;
    if (!node->isFile()) {
        m_currentPage = -1;
    } else if (node->pageNumber != -1 && ReadPage(workingPageFile(), node->pageNumber, m_pageBuffer)) {
        m_currentPage = node->pageNumber;
    }
    redraw();
    return true;
}

void Document::ReopenLastBase() {
    const QString last = settingsPath(settings().lastBasePath());
    // A save cut short in the last session is settled before the files are looked for.
    if (!last.isEmpty() && recoverInterruptedSave(last) && QFileInfo(last + QStringLiteral(".dir")).isFile() &&
        QFileInfo(last + QStringLiteral(".dat")).isFile()) {
        QString working;
        BaseTree loaded;
        if (OpenWorkingCopy(last, loaded, working, m_workingLock)) {
            m_workingBase = working;
            m_savedBase = last;
            m_displayName = baseDisplayName(last);
            m_currentPage = -1;
            replaceTree(loaded);
        } else {
            becomeEmpty();
        }
    }
    SelectNode();
    eventPump().processEvents();
    settle();
}

void Document::storeLastBasePath() {
    settings().setLastBasePath(storedPath(m_savedBase));
}

void Document::releaseAtExit() {
    // Our own copy is deleted with the others once its lock is released.
    m_workingLock.reset();
    m_workingBase.clear();
    m_currentPage = -1;
    CleanupWorkingFiles();
}

} // namespace tervane
