#include "ui/HelpCommands.h"

#include "BuildConfig.h"
#include "seams/Shell.h"
#include "ui/MainCommands.h"

namespace tervane {

void registerHelpCommands(MainCommands& commands) {
    commands.setHandler(CommandId::HelpWeb, [] { shell().openUrl(QString::fromLatin1(config::kWebUrl)); });
}

} // namespace tervane
