#include "app/AppSession.h"

#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/WorkingFiles.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/FindDialog.h"
#include "dialogs/KeyEditorDialog.h"
#include "dialogs/KeySearchDialog.h"
#include "dialogs/OptionsDialog.h"
#include "seams/AppClosing.h"
#include "settings/ProgramOptions.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "texts/UiLanguage.h"
#include "ui/DeviceController.h"
#include "ui/FindController.h"
#include "ui/GridController.h"
#include "ui/HelpCommands.h"
#include "ui/KeySearchController.h"
#include "ui/MainCommands.h"
#include "ui/MainWindow.h"
#include "ui/MessageHook.h"
#include "ui/OptionsController.h"
#include "ui/QtTranslations.h"
#include "ui/SkinEngine.h"
#include "ui/StatusPanels.h"
#include "ui/UpdateController.h"
#include "ui/WindowStateSync.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>

namespace tervane {

AppSession::AppSession(const QString& openBase) : m_window(std::make_unique<MainWindow>()) {
    FormCreate(openBase);
    // The dialogs come after the main window's start-up, which never touches them.
    m_window->gridController().createKeyEditor();
    m_window->find().createDialog();
    m_window->keySearch().createDialog();
    m_window->device().createOperationDialog(m_window->gridController());
    m_window->options().createOptionsDialog();
    m_window->help().createAboutBox();
    m_window->setCloseGuard([this] { return FormClose(); });
}

AppSession::~AppSession() = default;

void AppSession::show() {
    m_window->stateSync().showInStoredState();
}

void AppSession::FormCreate(const QString& openBase) {
    MainWindow& w = *m_window;
    setAppClosing(false);
    // 1. Title.
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    w.setWindowTitle(QStringLiteral("Tervane"));
    // 2-3. Settings and the interface language.
    LoadSettings();
    LoadProgramOptions();
    Settings& s = settings();
    setUiLanguage(ChooseLanguage(s.languageSetting()));
    applyQtTranslations(uiLanguage());
    // 4. Skin.
    w.skins()->applySkinIndex(s.skinIndex());
    // 5-6.
    w.commands()->shortViewAction()->setChecked(s.shortView());
    w.status()->setMessageText(QString());
    // 7-8, 10. Window size, grid columns, tree width.
    w.stateSync().restore(s);
    // 9.
    w.ApplyInterfaceTexts();
    // 11-12. The document and the last key base.
    w.document().ReopenLastBase();
    // 13. Shortcuts.
    w.hook()->install();
    // 14-16. The programmer.
    w.device().startUp();
    // 17.
    w.RefreshView();

    if (!openBase.isEmpty()) {
        const QString chosen = QFileInfo(openBase).absoluteFilePath();
        const QString saved = w.document().savedBase();
        if (saved.isEmpty() || QFileInfo(saved).absoluteFilePath() != StripExtension(chosen))
            w.document().OpenBase(chosen);
    }
}

bool AppSession::FormClose() {
    MainWindow& w = *m_window;
    Document& document = w.document();
    Settings& s = settings();
    // 1. The save question by the saving policy.
    if (!document.AskSaveChanges(s.savePolicy()))
        return false;
    // A key editor left open would keep the program running without its window.
    if (KeyEditorDialog* editor = w.gridController().keyEditor())
        editor->closeIfOpen();
    if (FindDialog* find = w.find().dialog())
        find->closeIfOpen();
    if (KeySearchDialog* keySearch = w.keySearch().dialog())
        keySearch->closeIfOpen();
    // Options left open are cancelled: their previews were never confirmed.
    if (OptionsDialog* options = w.options().optionsDialog())
        options->closeIfOpen();
    if (AboutDialog* about = w.help().aboutBox())
        about->closeIfOpen();
    // A download in progress stops; nothing of it is written.
    w.updates().cancel();
    // 2-4. Device waits and retries stop at once, so an open operation dialog closes without
    // waiting for a dead programmer; then the programmer is let go.
    setAppClosing(true);
    w.device().closeForExit();
    // 5. The state of this run.
    document.storeLastBasePath();
    if (document.currentPage() != -1 && document.tree().selected())
        s.setSelectedNodeIndex(document.tree().selected()->row);
    w.stateSync().store(s);
    // 6-7.
    SaveSettings();
    // Options that OK could not write are tried again, as the configuration file is.
    if (programOptionsUnsaved())
        SaveProgramOptions();
    document.releaseAtExit();
    w.hook()->uninstall();
    return true;
}

} // namespace tervane
