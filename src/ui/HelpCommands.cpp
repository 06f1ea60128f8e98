#include "ui/HelpCommands.h"

#include "BuildConfig.h"
#include "dialogs/AboutDialog.h"
#include "seams/Shell.h"
#include "ui/MainCommands.h"

namespace tervane {

HelpCommands::HelpCommands(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {}

HelpCommands::~HelpCommands() = default;

void HelpCommands::createAboutBox() {
    m_about = std::make_unique<AboutDialog>(m_window);
}

void HelpCommands::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::HelpWeb, [] { shell().openUrl(QString::fromLatin1(config::kWebUrl)); });
    commands.setHandler(CommandId::HelpAbout, [this] {
        if (m_about)
            m_about->showAbout();
    });
}

} // namespace tervane
