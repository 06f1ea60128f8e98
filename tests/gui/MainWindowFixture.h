#pragma once

#include "BaseBuilder.h"
#include "TestEnvironment.h"

#include "app/AppSession.h"
#include "ui/MainWindow.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QString>
#include <memory>

namespace tervane::test {

// A run of the editor as the program starts it, with scripted prompts, a fake system and paths
// in a temporary folder, and no programmer.
struct MainWindowFixture {
    TestEnvironment env;
    std::unique_ptr<AppSession> session;
    // Watch the tree and grid models of the running window for every rule of a model.
    std::unique_ptr<QAbstractItemModelTester> treeModelTester;
    std::unique_ptr<QAbstractItemModelTester> gridModelTester;

    // Runs the start-up sequence and shows the window; openBase as the program's argument.
    MainWindow& start(const QString& openBase = {});
    MainWindow* window() const { return session ? &session->window() : nullptr; }
    void restart();     // closes (close sequence) and starts again with the same paths
    bool closeWindow(); // true when the window accepted to close

    QString userFolder() const { return env.paths.root() + QStringLiteral("/user"); }
    // A base in the user folder: folder "Дом" (expanded) with files "кв 1" (pages 0) and
    // "кв 2" (page 1); "кв 1" selected. Returns the base path.
    QString writeSampleBase(const QString& name = QStringLiteral("shop"));
    void openBase(const QString& base); // through the scripted open dialog

    QString panel(int i) const;
};

// Paints the window as a display does between two user actions: stale model indexes only
// crash when something paints.
void paintWindow(MainWindow& w);
// The command item of that objectName.
QAction* commandItem(MainWindow& w, const char* objectName);

} // namespace tervane::test
