#include "ui/MessageHook.h"

#include "ui/MainCommands.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace tervane {
namespace {

QAction* findItem(const QList<QAction*>& items, const QKeySequence& shortcut) {
    for (QAction* a : items) {
        if (MainCommands::runsOnKey(a, shortcut))
            return a;
    }
    return nullptr;
}

bool isModifierKey(int key) {
    return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

} // namespace

MessageHook::MessageHook(QWidget* mainWindow, MainCommands* commands, QWidget* tree, QWidget* grid)
    : QObject(mainWindow), m_window(mainWindow), m_commands(commands), m_tree(tree), m_grid(grid) {}

void MessageHook::install() {
    if (!m_installed)
        qApp->installEventFilter(this);
    m_installed = true;
}

void MessageHook::uninstall() {
    if (m_installed)
        qApp->removeEventFilter(this);
    m_installed = false;
}

bool MessageHook::dispatch(int keyWithModifiers) {
    const QKeySequence shortcut(keyWithModifiers);
    QWidget* focus = QApplication::focusWidget();
    QAction* item = nullptr;
    if (focus && focus == m_tree)
        item = findItem(m_commands->treeMenuItems(), shortcut);
    if (!item && focus && focus == m_grid)
        item = findItem(m_commands->gridMenuItems(), shortcut);
    if (!item)
        item = findItem(m_commands->mainMenuItems(), shortcut);
    if (!item)
        return false;
    if (item->isEnabled())
        item->trigger();
    return true;
}

bool MessageHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    // A key press travels from the window to the focused widget and up through its parents;
    // the hook acts once, where it is first delivered to a widget.
    QWidget* focus = QApplication::focusWidget();
    if (watched != (focus ? static_cast<QObject*>(focus) : static_cast<QObject*>(m_window)))
        return false;
    if (QApplication::activeWindow() != m_window)
        return false;
    if (qobject_cast<QLineEdit*>(focus))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (isModifierKey(key->key()) || key->key() == Qt::Key_unknown)
        return false;
    const Qt::KeyboardModifiers mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // Keypad keys count as the plain keys (Del on the keypad is Del).
    dispatch(key->key() | int(mods));
    return false;
}

} // namespace tervane
