#include "MainWindowFixture.h"

#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/StatusPanels.h"

#include <QApplication>
#include <QDir>
#include <QTest>

namespace tervane::test {

void paintWindow(MainWindow& w) {
    w.tree()->viewport()->repaint();
    w.grid()->viewport()->repaint();
    w.repaint();
    QApplication::processEvents();
}

QAction* commandItem(MainWindow& w, const char* objectName) {
    return w.findChild<QAction*>(QString::fromLatin1(objectName));
}

MainWindow& MainWindowFixture::start(const QString& openBase) {
    session = std::make_unique<AppSession>(openBase);
    MainWindow& w = session->window();
    using Mode = QAbstractItemModelTester::FailureReportingMode;
    treeModelTester = std::make_unique<QAbstractItemModelTester>(w.treeModel(), Mode::QtTest);
    gridModelTester = std::make_unique<QAbstractItemModelTester>(w.gridModel(), Mode::QtTest);
    w.show();
    QApplication::setActiveWindow(&w);
    [[maybe_unused]] bool active = QTest::qWaitForWindowActive(&w);
    return w;
}

bool MainWindowFixture::closeWindow() {
    if (!session)
        return true;
    const bool closed = session->window().close();
    if (closed) {
        treeModelTester.reset();
        gridModelTester.reset();
        session.reset();
    }
    return closed;
}

void MainWindowFixture::restart() {
    closeWindow();
    start();
}

QString MainWindowFixture::writeSampleBase(const QString& name) {
    QDir().mkpath(userFolder());
    BaseBuilder b;
    BaseNode* house = b.folder(QStringLiteral("Дом"), nullptr, true);
    BaseNode* flat1 = b.file(QStringLiteral("кв 1"), house);
    BaseNode* flat2 = b.file(QStringLiteral("кв 2"), house);
    b.page(flat1).setCell(0, 0, dallasCell(0x123456));
    b.page(flat1).setComment(0, cp1251(QStringLiteral("подъезд 1")));
    b.page(flat2).setCell(3, 1, dallasCell(0x42));
    b.select(flat1);
    const QString base = userFolder() + QLatin1Char('/') + name;
    b.write(base);
    return base;
}

void MainWindowFixture::openBase(const QString& base) {
    env.prompts.answerFile(base + QStringLiteral(".dir"));
    window()->runCommand(CommandId::OpenFile);
}

QString MainWindowFixture::panel(int i) const {
    return window()->status()->panelText(i);
}

} // namespace tervane::test
