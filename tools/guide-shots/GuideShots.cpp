#include "GuideShots.h"

#include "dialogs/OperationDialog.h"
#include "ui/GridController.h"
#include "ui/KeyGridView.h"
#include "ui/KeySearchController.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

namespace tervane {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

GuideShots::GuideShots(MainWindow& window, QDir folder) : m_window(window), m_folder(std::move(folder)) {}

bool GuideShots::takeAll() {
    mainWindow();
    keyEditor();
    // A key to read into the empty row 4, and the EM410x card of row 0 to write.
    operation("read-keys", CommandId::ReadKeys, 1, 5);
    operation("write-keys", CommandId::WriteKeys, 2, 1);
    find();
    keySearch();
    options();
    about();
    return m_ok;
}

void GuideShots::mainWindow() {
    m_window.grid()->setSelectionRect({2, 1, 2, 1});
    settle(300);
    save(&m_window, QStringLiteral("main-window"));
}

void GuideShots::keyEditor() {
    m_window.grid()->setSelectionRect({2, 1, 2, 1});
    m_window.gridController().openCellEditor();
    saveAndClose(dialog("TEditForm"), QStringLiteral("key-editor"));
}

void GuideShots::operation(const char* name, CommandId command, int left, int top) {
    m_window.grid()->setSelectionRect({left, top, left, top});
    QWidget* proc = open(command, "TProcForm");
    // The dialog waits for the programmer's first answer before it says what to do.
    settle(700);
    saveAndClose(proc, QString::fromLatin1(name));
}

void GuideShots::find() {
    QWidget* form = open(CommandId::Find, "TForm4");
    if (auto* edit = form ? form->findChild<QLineEdit*>(QStringLiteral("EnterEdit")) : nullptr)
        edit->setText(QStringLiteral("12"));
    saveAndClose(form, QStringLiteral("find"));
}

void GuideShots::keySearch() {
    QWidget* form = open(CommandId::FindKey, "TKeySearchForm");
    auto* edit = form ? form->findChild<QLineEdit*>(QStringLiteral("KeyQueryEdit")) : nullptr;
    auto* search = form ? form->findChild<QAbstractButton*>(QStringLiteral("SearchButton")) : nullptr;
    if (edit && search) {
        edit->setText(QStringLiteral("A1B2"));
        search->click();
        QElapsedTimer waited;
        waited.start();
        while (m_window.keySearch().searching() && waited.elapsed() < 10000)
            settle(50);
    }
    saveAndClose(form, QStringLiteral("key-search"));
}

void GuideShots::options() {
    QWidget* form = open(CommandId::Options, "TOptionForm");
    auto* pages = form ? form->findChild<QTabWidget*>(QStringLiteral("OptionPage")) : nullptr;
    if (pages) {
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            settle(200);
            save(form, QStringLiteral("options-%1").arg(i + 1));
        }
    }
    close(form);
}

void GuideShots::about() {
    saveAndClose(open(CommandId::HelpAbout, "TAboutForm"), QStringLiteral("about"));
}

QWidget* GuideShots::open(CommandId command, const char* objectName) {
    m_window.runCommand(command);
    return dialog(objectName);
}

QWidget* GuideShots::dialog(const char* objectName) {
    const QString name = QString::fromLatin1(objectName);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name && widget->isVisible()) {
                settle(300);
                return widget;
            }
        }
        settle(50);
    }
    std::fprintf(stderr, "guide-shots: %s did not appear\n", objectName);
    m_ok = false;
    return nullptr;
}

void GuideShots::save(QWidget* widget, const QString& name) {
    if (!widget)
        return;
    const QString path = m_folder.filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path, "PNG")) {
        std::fprintf(stderr, "guide-shots: cannot write %s\n", qPrintable(path));
        m_ok = false;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

void GuideShots::saveAndClose(QWidget* widget, const QString& name) {
    save(widget, name);
    close(widget);
}

void GuideShots::close(QWidget* widget) {
    if (auto* box = qobject_cast<QDialog*>(widget))
        box->reject();
    settle(300);
}

} // namespace tervane
