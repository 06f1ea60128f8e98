#include "ui/FileCommands.h"

#include "base/Document.h"
#include "ui/MainCommands.h"

#include <QWidget>

namespace tervane {

void registerFileCommands(MainCommands& commands, Document& document, QWidget* window) {
    commands.setHandler(CommandId::NewFile, [&document] { document.NewBase(); });
    commands.setHandler(CommandId::OpenFile, [&document] { document.OpenBase(); });
    commands.setHandler(CommandId::CloseFile, [&document] { document.CloseBase(); });
    commands.setHandler(CommandId::SaveFile, [&document] { document.SaveBase(); });
    commands.setHandler(CommandId::SaveFileAs, [&document] { document.SaveBaseAs(); });
    commands.setHandler(CommandId::Exit, [window] { window->close(); });
}

} // namespace tervane
