#pragma once

class QWidget;

namespace tervane {

class Document;
class MainCommands;

// The File menu's commands on the document (New, Open, Close, Save, Save as) and Exit, which
// closes the window through its close sequence.
void registerFileCommands(MainCommands& commands, Document& document, QWidget* window);

} // namespace tervane
