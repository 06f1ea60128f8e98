#include "ui/MainCommands.h"

#include "texts/UiLanguage.h"
#include "ui/CommandIcons.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace tervane {
namespace {

constexpr char kShortcutProperty[] = "tervaneShortcut";
constexpr char kOtherShortcutProperty[] = "tervaneOtherShortcut";
constexpr int kToolButtonWidth = 39;
constexpr int kToolButtonHeight = 38;

const MenuRow* menuRow(MenuId id) {
    for (const MenuRow& row : menuRows())
        if (row.id == id)
            return &row;
    return nullptr;
}

QList<QAction*> itemsOf(const QMenu* menu) {
    QList<QAction*> items;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator())
            continue;
        if (a->menu())
            items += itemsOf(a->menu()); // a submenu's items come where the submenu stands
        else
            items << a;
    }
    return items;
}

} // namespace

MainCommands::MainCommands(QWidget* window) : QObject(window) {
    m_menuBar = new QMenuBar(window);
    m_menuBar->setObjectName(QStringLiteral("MainMenu"));
    for (const MenuRow& row : menuRows()) {
        if (row.parent == MenuId::None)
            menuFor(row.id);
    }

    m_gridMenu = new QMenu(window);
    m_gridMenu->setObjectName(QStringLiteral("EditBoxPopupMenu"));
    m_treeMenu = new QMenu(window);
    m_treeMenu->setObjectName(QStringLiteral("TreePopupMenu"));

    m_toolBar = new QToolBar(window);
    m_toolBar->setObjectName(QStringLiteral("CommandBand"));
    m_toolBar->setIconSize(QSize(kIconSide, kIconSide));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);

    for (const CommandRow& row : commandRows())
        m_actions.emplace_back(addCommand(row), &row);
    applyInterfaceTexts();
}

QMenu* MainCommands::menuFor(MenuId id) {
    if (const auto it = m_menus.find(id); it != m_menus.end())
        return it->second;
    const MenuRow* row = menuRow(id);
    QMenu* menu = nullptr;
    if (row->parent == MenuId::None) {
        menu = m_menuBar->addMenu(QString());
        m_bandMenus << menu;
    } else {
        QMenu* parent = menuFor(row->parent);
        if (row->separatorBefore)
            parent->addSeparator();
        menu = parent->addMenu(QString());
    }
    menu->setObjectName(QString::fromLatin1(row->objectName));
    menu->menuAction()->setObjectName(QString::fromLatin1(row->objectName));
    m_menus[id] = menu;
    return menu;
}

QAction* MainCommands::addCommand(const CommandRow& row) {
    const CommandId id = row.id;
    QAction* action = nullptr;
    if (row.surface == Surface::CommandBand) {
        if (row.separatorBefore)
            m_toolBar->addSeparator();
        action = new QAction(commandIcon(row.icon), QString(), m_toolBar);
        m_toolBar->addAction(action);
        if (QWidget* button = m_toolBar->widgetForAction(action)) {
            button->setObjectName(QString::fromLatin1(row.objectName));
            button->setFixedSize(kToolButtonWidth, kToolButtonHeight);
            button->setFocusPolicy(Qt::NoFocus);
        }
        if (id == CommandId::ShortView) {
            action->setCheckable(true);
            m_shortView = action;
        }
    } else {
        QMenu* menu = row.surface == Surface::GridMenu   ? m_gridMenu
                      : row.surface == Surface::TreeMenu ? m_treeMenu
                                                         : menuFor(row.menu);
        if (row.separatorBefore)
            menu->addSeparator();
        action = new QAction(menu);
        menu->addAction(action);
        if (row.shortcut.key() != Qt::Key_unknown)
            action->setProperty(kShortcutProperty, QKeySequence(row.shortcut));
        if (row.otherShortcut.key() != Qt::Key_unknown)
            action->setProperty(kOtherShortcutProperty, QKeySequence(row.otherShortcut));
    }
    action->setObjectName(QString::fromLatin1(row.objectName));
    connect(action, &QAction::triggered, this, [this, id] { run(id); });
    return action;
}

QKeySequence MainCommands::shortcutOf(const QAction* action) {
    return action->property(kShortcutProperty).value<QKeySequence>();
}

bool MainCommands::runsOnKey(const QAction* action, const QKeySequence& key) {
    return !key.isEmpty() &&
           (shortcutOf(action) == key || action->property(kOtherShortcutProperty).value<QKeySequence>() == key);
}

QString MainCommands::commandName(CommandId id) {
    const auto bare = [](QString text) {
        text.remove(QLatin1Char('&'));
        while (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        return text.trimmed();
    };
    const CommandRow* found = nullptr;
    for (const CommandRow& row : commandRows()) {
        if (row.id == id && (!found || row.surface == Surface::MainMenu)) {
            found = &row;
            if (row.surface == Surface::MainMenu)
                break;
        }
    }
    if (!found)
        return {};
    QString name = bare(translate(found->context, found->caption));
    const MenuRow* submenu = found->surface == Surface::MainMenu ? menuRow(found->menu) : nullptr;
    if (submenu && submenu->parent != MenuId::None)
        name = bare(translate("MainMenu", submenu->caption)) + QLatin1Char(' ') + name;
    return name;
}

void MainCommands::setCaptionArgument(CommandId id, const QString& argument) {
    QString& stored = m_captionArguments[id];
    if (stored == argument)
        return;
    stored = argument;
    applyInterfaceTexts();
}

void MainCommands::setHandler(CommandId id, std::function<void()> handler) {
    m_handlers[id] = std::move(handler);
}

void MainCommands::run(CommandId id) {
    const auto it = m_handlers.find(id);
    if (it == m_handlers.end() || !it->second)
        return;
    // The handler is copied: a command may set handlers again while it runs.
    const std::function<void()> handler = it->second;
    if (m_scope)
        m_scope(id, handler);
    else
        handler();
}

QList<QAction*> MainCommands::mainMenuItems() const {
    QList<QAction*> items;
    for (const QMenu* menu : m_bandMenus)
        items += itemsOf(menu);
    return items;
}

QList<QAction*> MainCommands::gridMenuItems() const {
    return itemsOf(m_gridMenu);
}

QList<QAction*> MainCommands::treeMenuItems() const {
    return itemsOf(m_treeMenu);
}

void MainCommands::applyInterfaceTexts() {
    for (const auto& [action, row] : m_actions) {
        const auto argument = m_captionArguments.find(row->id);
        const bool named = row->namedCaption && argument != m_captionArguments.end() && !argument->second.isEmpty();
        const QString caption = named ? translate(row->context, row->namedCaption).arg(argument->second)
                                      : translate(row->context, row->caption);
        if (row->surface == Surface::CommandBand) {
            action->setText(caption);
            action->setToolTip(caption);
            continue;
        }
        const QKeySequence shortcut = shortcutOf(action);
        action->setText(shortcut.isEmpty() ? caption
                                           : caption + QLatin1Char('\t') + shortcut.toString(QKeySequence::NativeText));
    }
    for (const auto& [id, menu] : m_menus)
        menu->menuAction()->setText(translate("MainMenu", menuRow(id)->caption));
}

void MainCommands::updateCommands(unsigned conditions) {
    for (const auto& [action, row] : m_actions)
        action->setEnabled(!m_suspended && (row->enabledWhen & conditions) == row->enabledWhen);
}

} // namespace tervane
