#include "ui/OptionsController.h"

#include "dialogs/OptionsDialog.h"
#include "texts/UiLanguage.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"
#include "ui/QtTranslations.h"
#include "ui/SkinEngine.h"

namespace tervane {

OptionsController::OptionsController(QWidget* window, SkinEngine& skins, KeyGridView* grid, QObject* parent)
    : QObject(parent), m_window(window), m_skins(skins), m_grid(grid) {}

OptionsController::~OptionsController() = default;

void OptionsController::createOptionsDialog() {
    m_dialog = std::make_unique<OptionsDialog>(*this);
}

void OptionsController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::Options, [this] {
        if (m_dialog)
            m_dialog->ShowOptions();
    });
}

QFont OptionsController::gridFont() const {
    return m_grid->font();
}

QStringList OptionsController::skinNames() const {
    return m_skins.skinNames();
}

QString OptionsController::skinListName(const QString& fullName) const {
    return SkinEngine::listName(fullName);
}

void OptionsController::showSkin(const QString& fullName) {
    // A skin file gone since the list was made leaves the program unskinned, as at start-up.
    if (fullName.isEmpty() || !m_skins.setSkin(fullName)) {
        m_skins.setEnabled(false);
        return;
    }
    m_skins.setEnabled(true);
}

void OptionsController::ApplyInterfaceTexts() {
    applyQtTranslations(uiLanguage());
    emit interfaceTextsNeeded();
    if (m_skins.isEnabled())
        m_skins.repaintAll();
}

} // namespace tervane
