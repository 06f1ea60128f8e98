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
constexpr char kCommandProperty[] = "tervaneCommand";
constexpr char kContextProperty[] = "tervaneContext";
constexpr char kSourceProperty[] = "tervaneSource";

QKeySequence keys(QKeyCombination k) {
    return QKeySequence(k);
}

} // namespace

MainCommands::MainCommands(QWidget* window) : QObject(window) {
    m_menuBar = new QMenuBar(window);
    m_menuBar->setObjectName(QStringLiteral("MainMenu"));

    auto topMenu = [this](const char* name, const char* english) {
        QMenu* menu = m_menuBar->addMenu(QString());
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setProperty(kContextProperty, "MainMenu");
        menu->menuAction()->setProperty(kSourceProperty, english);
        m_mainMenus << menu;
        return menu;
    };

    QMenu* file = topMenu("MainMenuFile", "&File");
    addItem(file, "MainMenuNewFile", CommandId::NewFile, keys(Qt::CTRL | Qt::Key_N));
    addItem(file, "MainMenuOpenFile", CommandId::OpenFile, keys(Qt::CTRL | Qt::Key_O));
    addItem(file, "MainMenuColseFile", CommandId::CloseFile, keys(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    addItem(file, "MainMenuSaveFile", CommandId::SaveFile, keys(Qt::CTRL | Qt::Key_S));
    addItem(file, "MainMenuSaveFileAs", CommandId::SaveFileAs, keys(Qt::CTRL | Qt::ALT | Qt::Key_S));
    file->addSeparator();
    m_importMenu = file->addMenu(QString());
    m_importMenu->setObjectName(QStringLiteral("MainMenuImport"));
    m_importMenu->menuAction()->setObjectName(QStringLiteral("MainMenuImport"));
    m_importMenu->menuAction()->setProperty(kContextProperty, "MainMenu");
    m_importMenu->menuAction()->setProperty(kSourceProperty, "Import...");
    addItem(m_importMenu, "MainMenuImportVizitDM_DALLAS", CommandId::ImportVizitDallas);
    addItem(m_importMenu, "MainMenuImportVizitDM_CYFRAL", CommandId::ImportVizitCyfral);
    addItem(m_importMenu, "MainMenuImportVizitDM_TM2002", CommandId::ImportVizitTm2002);
    addItem(m_importMenu, "MainMenuImportVizitDM_EM410x", CommandId::ImportVizitEm410x);
    file->addSeparator();
    addItem(file, "MainMenuExit", CommandId::Exit, keys(Qt::CTRL | Qt::Key_X));

    QMenu* edit = topMenu("MainMenuEdit", "&Edit");
    addItem(edit, "MainMenuEditCut", CommandId::Cut, keys(Qt::CTRL | Qt::Key_X));
    addItem(edit, "MainMenuEditCopy", CommandId::Copy, keys(Qt::CTRL | Qt::Key_C));
    addItem(edit, "MainMenuEditPaste", CommandId::Paste, keys(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    addItem(edit, "MainMenuEditClear", CommandId::Clear, keys(Qt::Key_Delete));
    addItem(edit, "MainMenuEditSelectAll", CommandId::SelectAll, keys(Qt::CTRL | Qt::Key_A));
    edit->addSeparator();
    addItem(edit, "MainMenuEditFind", CommandId::Find, keys(Qt::CTRL | Qt::Key_F));
    addItem(edit, "MainMenuEditFindNext", CommandId::FindNext, keys(Qt::Key_F3));

    QMenu* keysMenu = topMenu("MainMenuKeys", "&Keys");
    addItem(keysMenu, "MainMenuKeysRead", CommandId::ReadKeys, keys(Qt::Key_F5));
    addItem(keysMenu, "MainMenuKeysWrite", CommandId::WriteKeys, keys(Qt::Key_F6));
    addItem(keysMenu, "MainMenuKeysFinal", CommandId::LockKey, keys(Qt::Key_F7));

    QMenu* tools = topMenu("MainMenuUtils", "&Tools");
    addItem(tools, "MainMenuOptions", CommandId::Options);
    addItem(tools, "MainMenuUpdateSearch", CommandId::UpdateSearch);
    tools->addSeparator();
    addItem(tools, "MainImportKeyBase", CommandId::ImportKeyBase);
    addItem(tools, "MainExportKeyBase", CommandId::ExportKeyBase);

    QMenu* help = topMenu("MainMenuHelp", "&Help");
    addItem(help, "MainMenuHelpContent", CommandId::HelpContent, keys(Qt::Key_F1));
    help->addSeparator();
    addItem(help, "MainMenuHelpWeb", CommandId::HelpWeb);
    help->addSeparator();
    addItem(help, "MainMenuHelpAbout", CommandId::HelpAbout);

    m_gridMenu = new QMenu(window);
    m_gridMenu->setObjectName(QStringLiteral("EditBoxPopupMenu"));
    addItem(m_gridMenu, "PopUpCut", CommandId::Cut, keys(Qt::CTRL | Qt::Key_X));
    addItem(m_gridMenu, "PopUpCopy", CommandId::Copy, keys(Qt::CTRL | Qt::Key_C));
    addItem(m_gridMenu, "PopUpPaste", CommandId::Paste, keys(Qt::CTRL | Qt::Key_V));
    m_gridMenu->addSeparator();
    addItem(m_gridMenu, "PopUpClear", CommandId::Clear, keys(Qt::Key_Delete));
    addItem(m_gridMenu, "PopUpSelectAll", CommandId::SelectAll, keys(Qt::CTRL | Qt::Key_A));
    m_gridMenu->addSeparator();
    addItem(m_gridMenu, "PopUpReadKey", CommandId::ReadKeys, keys(Qt::Key_F5));
    addItem(m_gridMenu, "PopUpWriteKey", CommandId::WriteKeys, keys(Qt::Key_F6));

    m_treeMenu = new QMenu(window);
    m_treeMenu->setObjectName(QStringLiteral("TreePopupMenu"));
    addItem(m_treeMenu, "PopUpTreeCreateFile", CommandId::TreeCreateFile, keys(Qt::Key_Insert));
    addItem(m_treeMenu, "PopUpTreeCreateFolder", CommandId::TreeCreateFolder, keys(Qt::SHIFT | Qt::Key_Insert));
    m_treeMenu->addSeparator();
    addItem(m_treeMenu, "PopUpTreeRename", CommandId::TreeRename, keys(Qt::CTRL | Qt::Key_R));
    addItem(m_treeMenu, "PopUpTreeDelete", CommandId::TreeDelete, keys(Qt::Key_Delete));

    m_toolBar = new QToolBar(window);
    m_toolBar->setObjectName(QStringLiteral("CommandBand"));
    m_toolBar->setIconSize(QSize(kIconSide, kIconSide));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addTool("ToolNewFile", CommandId::NewFile, int(CommandIconId::New));
    addTool("ToolOpenFile", CommandId::OpenFile, int(CommandIconId::Open));
    addTool("ToolSaveFile", CommandId::SaveFile, int(CommandIconId::Save));
    addTool("ToolCloseFile", CommandId::CloseFile, int(CommandIconId::Close));
    m_toolBar->addSeparator();
    addTool("ToolCut", CommandId::Cut, int(CommandIconId::Cut));
    addTool("ToolCopy", CommandId::Copy, int(CommandIconId::Copy));
    addTool("ToolPaste", CommandId::Paste, int(CommandIconId::Paste));
    m_toolBar->addSeparator();
    addTool("ToolFind", CommandId::Find, int(CommandIconId::Find));
    addTool("ToolFindNext", CommandId::FindNext, int(CommandIconId::FindNext));
    m_toolBar->addSeparator();
    addTool("ToolReadKey", CommandId::ReadKeys, int(CommandIconId::ReadKeys));
    addTool("ToolWriteKey", CommandId::WriteKeys, int(CommandIconId::WriteKeys));
    addTool("ToolFinalKey", CommandId::LockKey, int(CommandIconId::LockKey));
    m_toolBar->addSeparator();
    m_shortView = addTool("ShortViewToolButton", CommandId::ShortView, int(CommandIconId::ShortView));
    m_shortView->setCheckable(true);

    applyInterfaceTexts();
}

QAction* MainCommands::addItem(QMenu* menu, const char* name, CommandId id, const QKeySequence& shortcut) {
    auto* action = new QAction(menu);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty(kCommandProperty, int(id));
    action->setProperty(kShortcutProperty, shortcut);
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    return action;
}

QAction* MainCommands::addTool(const char* name, CommandId id, int icon) {
    auto* action = new QAction(CommandIcon(CommandIconId(icon)), QString(), m_toolBar);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty(kCommandProperty, int(id));
    m_toolBar->addAction(action);
    if (QWidget* button = m_toolBar->widgetForAction(action)) {
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedSize(39, 38);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    return action;
}

QKeySequence MainCommands::shortcutOf(const QAction* action) {
    return action->property(kShortcutProperty).value<QKeySequence>();
}

CommandId MainCommands::commandOf(const QAction* action) {
    return CommandId(action->property(kCommandProperty).toInt());
}

QList<QAction*> MainCommands::mainMenuItems() const {
    QList<QAction*> items;
    // Depth first: a submenu's items come where the submenu stands.
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            if (a->menu())
                walk(a->menu());
            else
                items << a;
        }
    };
    for (QMenu* menu : m_mainMenus)
        walk(menu);
    return items;
}

QList<QAction*> MainCommands::gridMenuItems() const {
    QList<QAction*> items;
    for (QAction* a : m_gridMenu->actions())
        if (!a->isSeparator())
            items << a;
    return items;
}

QList<QAction*> MainCommands::treeMenuItems() const {
    QList<QAction*> items;
    for (QAction* a : m_treeMenu->actions())
        if (!a->isSeparator())
            items << a;
    return items;
}

void MainCommands::setCaption(QAction* action, const char* context, const char* english) {
    QString text = Tr(context, english);
    const QKeySequence shortcut = shortcutOf(action);
    if (!shortcut.isEmpty())
        text += QLatin1Char('\t') + shortcut.toString(QKeySequence::NativeText);
    action->setText(text);
}

void MainCommands::applyInterfaceTexts() {
    struct Caption {
        const char* name;
        const char* context;
        const char* english;
    };
    static const Caption kCaptions[] = {
        {"MainMenuNewFile", "MainMenu", "Create"},
        {"MainMenuOpenFile", "MainMenu", "Open"},
        {"MainMenuColseFile", "MainMenu", "Close"},
        {"MainMenuSaveFile", "MainMenu", "Save"},
        {"MainMenuSaveFileAs", "MainMenu", "Save as..."},
        {"MainMenuImportVizitDM_DALLAS", "MainMenu", "VIZIT_DM  (*.viz) as DALLAS"},
        {"MainMenuImportVizitDM_CYFRAL", "MainMenu", "VIZIT_DM  (*.viz) as CYFRAL"},
        {"MainMenuImportVizitDM_TM2002", "MainMenu", "VIZIT_DM  (*.viz) as TM2002"},
        {"MainMenuImportVizitDM_EM410x", "MainMenu", "VIZIT_DM  (*.viz) as EM410x"},
        {"MainMenuExit", "MainMenu", "Exit"},
        {"MainMenuEditCut", "MainMenu", "Cut"},
        {"MainMenuEditCopy", "MainMenu", "Copy"},
        {"MainMenuEditPaste", "MainMenu", "Paste"},
        {"MainMenuEditClear", "MainMenu", "Delete"},
        {"MainMenuEditSelectAll", "MainMenu", "Select all"},
        {"MainMenuEditFind", "MainMenu", "Find"},
        {"MainMenuEditFindNext", "MainMenu", "Find next"},
        {"MainMenuKeysRead", "MainMenu", "Read keys"},
        {"MainMenuKeysWrite", "MainMenu", "Write keys"},
        {"MainMenuKeysFinal", "MainMenu", "Lock key"},
        {"MainMenuOptions", "MainMenu", "Options"},
        {"MainMenuUpdateSearch", "MainMenu", "Download update from Internet"},
        {"MainImportKeyBase", "MainMenu", "Import key base from device"},
        {"MainExportKeyBase", "MainMenu", "Export key base to device"},
        {"MainMenuHelpContent", "MainMenu", "Help Topics"},
        {"MainMenuHelpWeb", "MainMenu", "Web-page"},
        {"MainMenuHelpAbout", "MainMenu", "About"},
        {"PopUpCut", "GridMenu", "C&ut"},
        {"PopUpCopy", "GridMenu", "Co&py"},
        {"PopUpPaste", "GridMenu", "P&aste"},
        {"PopUpClear", "GridMenu", "&Delete"},
        {"PopUpSelectAll", "GridMenu", "&Select all"},
        {"PopUpReadKey", "GridMenu", "&Read keys"},
        {"PopUpWriteKey", "GridMenu", "&Write keys"},
        {"PopUpTreeCreateFile", "TreeMenu", "Create file"},
        {"PopUpTreeCreateFolder", "TreeMenu", "Create folder"},
        {"PopUpTreeRename", "TreeMenu", "Rename"},
        {"PopUpTreeDelete", "TreeMenu", "Delete"},
    };
    static const Caption kToolTips[] = {
        {"ToolNewFile", "ToolTips", "Create new file"},
        {"ToolOpenFile", "ToolTips", "Open file"},
        {"ToolSaveFile", "ToolTips", "Save file"},
        {"ToolCloseFile", "ToolTips", "Close file"},
        {"ToolCut", "ToolTips", "Cut"},
        {"ToolCopy", "ToolTips", "Copy"},
        {"ToolPaste", "ToolTips", "Paste"},
        {"ToolFind", "ToolTips", "Find"},
        {"ToolFindNext", "ToolTips", "Find next"},
        {"ToolReadKey", "ToolTips", "Read keys"},
        {"ToolWriteKey", "ToolTips", "Write keys"},
        {"ToolFinalKey", "ToolTips", "Lock key"},
        {"ShortViewToolButton", "ToolTips", "Disable show of null strings in the table"},
    };
    auto* window = static_cast<QWidget*>(parent());
    for (const Caption& c : kCaptions) {
        const QString name = QString::fromLatin1(c.name);
        for (QMenu* menu : {m_gridMenu, m_treeMenu}) {
            for (QAction* a : menu->actions())
                if (a->objectName() == name)
                    setCaption(a, c.context, c.english);
        }
        for (QAction* a : mainMenuItems())
            if (a->objectName() == name)
                setCaption(a, c.context, c.english);
    }
    for (const Caption& c : kToolTips) {
        for (QAction* a : m_toolBar->actions())
            if (a->objectName() == QLatin1String(c.name)) {
                a->setText(Tr(c.context, c.english));
                a->setToolTip(Tr(c.context, c.english));
            }
    }
    for (QMenu* menu : m_mainMenus) {
        QAction* a = menu->menuAction();
        a->setText(Tr("MainMenu", a->property(kSourceProperty).toByteArray().constData()));
    }
    m_importMenu->menuAction()->setText(Tr("MainMenu", "Import..."));
    Q_UNUSED(window);
}

void MainCommands::updateCommands(const CommandState& s) {
    const bool B = s.baseOpen;
    const bool P = s.pageShown;
    const bool C = s.clipboardFilled;
    const bool F = s.findFound;
    const bool D = s.deviceOnline;
    const bool K = s.selectionHasKey;
    auto set = [](QObject* root, const char* name, bool on) {
        for (QAction* a : root->findChildren<QAction*>(QString::fromLatin1(name)))
            a->setEnabled(on);
    };
    QObject* menus = m_menuBar;
    set(menus, "MainMenuColseFile", B);
    set(menus, "MainMenuSaveFile", B);
    set(menus, "MainMenuSaveFileAs", B);
    set(menus, "MainMenuImportVizitDM_DALLAS", P);
    set(menus, "MainMenuEditCut", P);
    set(menus, "MainMenuEditCopy", P);
    set(menus, "MainMenuEditPaste", P && C);
    set(menus, "MainMenuEditClear", P);
    set(menus, "MainMenuEditSelectAll", P);
    set(menus, "MainMenuEditFind", B);
    set(menus, "MainMenuEditFindNext", B && F);
    set(menus, "MainMenuKeysRead", D && P);
    set(menus, "MainMenuKeysWrite", D && P && K);
    set(menus, "MainMenuKeysFinal", D);
    set(menus, "MainImportKeyBase", D && P);
    set(menus, "MainExportKeyBase", D && P);

    set(m_gridMenu, "PopUpPaste", P && C);
    set(m_gridMenu, "PopUpReadKey", D && P);
    set(m_gridMenu, "PopUpWriteKey", D && P && K);

    set(m_toolBar, "ToolCloseFile", B);
    set(m_toolBar, "ToolSaveFile", B);
    set(m_toolBar, "ToolCut", P);
    set(m_toolBar, "ToolCopy", P);
    set(m_toolBar, "ToolPaste", P && C);
    set(m_toolBar, "ToolFind", B);
    set(m_toolBar, "ToolFindNext", B && F);
    set(m_toolBar, "ToolReadKey", D && P);
    set(m_toolBar, "ToolWriteKey", D && P && K);
    set(m_toolBar, "ToolFinalKey", D);
}

} // namespace tervane
