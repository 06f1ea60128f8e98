#pragma once

namespace tervane {

class MainCommands;

// The Help menu's commands: the web page in the system's browser. Help topics has no action;
// About comes with its dialog.
void registerHelpCommands(MainCommands& commands);

} // namespace tervane
