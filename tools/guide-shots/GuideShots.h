#pragma once

#include "ui/CommandId.h"

#include <QDir>
#include <QString>

class QWidget;

namespace tervane {

class MainWindow;

// Walks the running editor through the windows the user guide shows and saves a picture of each
// in a folder: the main window, the key editor, the operation dialog reading and writing keys,
// find, find key, every page of the options and the about box.
class GuideShots {
public:
    GuideShots(MainWindow& window, QDir folder);
    // False when a window did not appear or a picture could not be written; what failed is on
    // stderr, and the walk goes on with the next window.
    bool takeAll();

private:
    void mainWindow();
    void keyEditor();
    void operation(const char* name, CommandId command, int left, int top);
    void find();
    void keySearch();
    void options();
    void about();

    // Runs a command and waits for the dialog it shows.
    QWidget* open(CommandId command, const char* objectName);
    QWidget* dialog(const char* objectName);
    void save(QWidget* widget, const QString& name);
    void saveAndClose(QWidget* widget, const QString& name);
    void close(QWidget* dialog);

    MainWindow& m_window;
    QDir m_folder;
    bool m_ok = true;
};

// Lets pending events run for ms milliseconds, so that a window is laid out and painted.
void settle(int ms);

} // namespace tervane
