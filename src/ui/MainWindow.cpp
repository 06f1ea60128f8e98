#include "ui/MainWindow.h"

#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "seams/StatusSink.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/ClipboardController.h"
#include "ui/CommandIcons.h"
#include "ui/CommentEditor.h"
#include "ui/DeviceController.h"
#include "ui/FileCommands.h"
#include "ui/FindController.h"
#include "ui/GridController.h"
#include "ui/HelpCommands.h"
#include "ui/ImageFormatsAhead.h"
#include "ui/ImportController.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/KeySearchController.h"
#include "ui/MainCommands.h"
#include "ui/MessageHook.h"
#include "ui/OptionsController.h"
#include "ui/SkinEngine.h"
#include "ui/StatusPanels.h"
#include "ui/TreeController.h"
#include "ui/UndoController.h"
#include "ui/UpdateController.h"
#include "ui/WindowStateSync.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace tervane {
namespace {
constexpr int kTotalCells = 2495; // the counters' total, not the page's 3000 cells
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_document(std::make_unique<Document>()),
      m_edits(std::make_unique<EditSession>(*m_document)), m_skins(std::make_unique<SkinEngine>()) {
    loadImageFormatsAhead();
    setObjectName(QStringLiteral("TForm1"));
    buildWidgets();
    wireControllers();
}

MainWindow::~MainWindow() {
    if (m_hook)
        m_hook->uninstall();
    if (&statusSink() == static_cast<StatusSink*>(m_status))
        statusSinkSeam().install(nullptr);
}

void MainWindow::buildWidgets() {
    // The band's and the tree's pictures are drawn on the second core while the widgets are made.
    const qreal ratio = qApp->devicePixelRatio();
    drawIconsAhead(qRound(MainCommands::kIconSide * ratio),
                   qRound(style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) * ratio));
    setWindowIcon(appIcon());
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter"));
    m_splitter->setChildrenCollapsible(false);

    m_tree = new BaseTreeView(m_splitter);
    m_treeModel = new BaseTreeModel(this);
    m_tree->setModel(m_treeModel);

    // The grid sits in a pane of its own so that hiding it (no page shown) leaves the tree its
    // width.
    auto* gridPane = new QWidget(m_splitter);
    gridPane->setObjectName(QStringLiteral("GridPane"));
    auto* paneLayout = new QVBoxLayout(gridPane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    m_grid = new KeyGridView(gridPane);
    paneLayout->addWidget(m_grid);
    m_gridModel = new KeyGridModel(this);
    m_grid->setModel(m_gridModel);
    m_commentEditor = new CommentEditor(m_grid->viewport());

    // The bands come after the tree and the grid: making them reads the style's own small
    // pictures, by then with the image format plugins loaded on the worker thread.
    m_commands = new MainCommands(this);
    setMenuBar(m_commands->menuBar());
    addToolBar(Qt::TopToolBarArea, m_commands->toolBar());

    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(gridPane);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    m_status = new StatusPanels(this);
    setStatusBar(m_status);
    statusSinkSeam().install(m_status);

    m_hook = new MessageHook(this, m_commands, m_tree, m_grid);
    m_stateSync = std::make_unique<WindowStateSync>(this, m_splitter, m_grid);
}

void MainWindow::wireControllers() {
    connect(m_document.get(), &Document::changed, this, &MainWindow::RefreshView);
    connect(m_document.get(), &Document::treeAboutToBeReplaced, m_treeModel, &BaseTreeModel::beginReplaceTree);
    connect(m_document.get(), &Document::treeReplaced, this, &MainWindow::showReplacedTree);
    m_treeModel->followEdits(*m_edits);

    connect(m_tree, &BaseTreeView::nodeClicked, this, &MainWindow::TreeViewClick);
    connect(m_tree, &BaseTreeView::menuRequested, this, [this](const QPoint& pos) {
        if (m_document->isOpen())
            m_commands->treeMenu()->popup(pos);
    });
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (BaseNode* n = m_treeModel->nodeOf(i))
            n->expanded = true;
    });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (BaseNode* n = m_treeModel->nodeOf(i))
            n->expanded = false;
    });

    m_gridController = new GridController(this, m_grid, m_gridModel, m_commentEditor, *m_document, *m_edits, this);
    connect(m_gridController, &GridController::refreshNeeded, this, &MainWindow::RefreshView);
    m_clipboard = new ClipboardController(*m_gridController, m_grid, *m_document, *m_edits, this);
    connect(m_clipboard, &ClipboardController::refreshNeeded, this, &MainWindow::RefreshView);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, &MainWindow::UpdateCommands);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, &MainWindow::UpdateCommands);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_commands->gridMenu()->popup(m_grid->viewport()->mapToGlobal(pos)); });

    m_device = new DeviceController(this);
    connect(m_device, &DeviceController::refreshNeeded, this, &MainWindow::RefreshView);
    connect(m_device, &DeviceController::commandsChanged, this, &MainWindow::UpdateCommands);

    m_treeController = new TreeController(m_tree, m_treeModel, *m_document, *m_edits, this);
    connect(m_treeController, &TreeController::refreshNeeded, this, &MainWindow::RefreshView);

    m_options = new OptionsController(this, *m_skins, m_grid, this);
    connect(m_options, &OptionsController::refreshNeeded, this, &MainWindow::RefreshView);
    connect(m_options, &OptionsController::interfaceTextsNeeded, this, &MainWindow::ApplyInterfaceTexts);
    m_help = new HelpCommands(this, this);

    m_find = new FindController(this, *m_document, m_tree, m_treeModel, this);
    connect(m_find, &FindController::refreshNeeded, this, &MainWindow::RefreshView);
    m_keySearch = new KeySearchController(this, *m_document, m_grid, this);
    connect(m_keySearch, &KeySearchController::refreshNeeded, this, &MainWindow::RefreshView);
    connect(m_device, &DeviceController::keyPresented, m_keySearch, &KeySearchController::findSameKey);
    m_import = new ImportController(*m_document, *m_edits, this);
    connect(m_import, &ImportController::refreshNeeded, this, &MainWindow::RefreshView);
    m_updates = new UpdateController(this, m_status, *m_commands, this);
    connect(m_updates, &UpdateController::commandsChanged, this, &MainWindow::UpdateCommands);
    m_undo = new UndoController(*m_document, *m_edits, this);
    connect(m_undo, &UndoController::refreshNeeded, this, &MainWindow::RefreshView);
    connect(m_undo, &UndoController::commandsChanged, this, &MainWindow::UpdateCommands);
    // Whatever one command changes is one step of the edit history, named by the command.
    m_commands->setCommandScope([this](CommandId id, const std::function<void()>& run) {
        EditSession::Step step(*m_edits, MainCommands::commandName(id));
        run();
    });

    registerFileCommands(*m_commands, *m_document, this);
    m_help->registerCommands(*m_commands);
    m_options->registerCommands(*m_commands);
    m_gridController->registerCommands(*m_commands);
    m_clipboard->registerCommands(*m_commands);
    m_device->registerCommands(*m_commands);
    m_treeController->registerCommands(*m_commands);
    m_find->registerCommands(*m_commands);
    m_keySearch->registerCommands(*m_commands);
    m_import->registerCommands(*m_commands);
    m_updates->registerCommands(*m_commands);
    m_undo->registerCommands(*m_commands);
}

bool MainWindow::deviceOnline() const {
    return m_device->online();
}

OperationDialog* MainWindow::operationDialog() const {
    return m_device->operationDialog();
}

void MainWindow::runCommand(CommandId id) {
    m_commands->run(id);
}

void MainWindow::ApplyInterfaceTexts() {
    m_commands->applyInterfaceTexts();
    emit m_gridModel->headerDataChanged(Qt::Horizontal, 0, KeyGridModel::kColumns - 1);
    m_treeModel->retranslate();
}

void MainWindow::RefreshView() {
    m_gridController->rebuild();
    UpdateCommands();
    UpdateUsage();
    UpdateTitle();
}

void MainWindow::UpdateCommands() {
    unsigned conditions = 0;
    if (m_document->isOpen())
        conditions |= BaseOpen;
    if (m_gridController->pageShown())
        conditions |= PageShown;
    if (m_clipboard->clipboardFilled())
        conditions |= ClipboardFilled;
    if (m_find->found())
        conditions |= FindFound;
    if (m_device->commandsAvailable())
        conditions |= DeviceOnline;
    if (m_gridController->selectionHoldsKey())
        conditions |= SelectionHasKey;
    if (m_undo) {
        if (m_undo->stack().canUndo())
            conditions |= CanUndo;
        if (m_undo->stack().canRedo())
            conditions |= CanRedo;
        m_undo->updateCommands(*m_commands);
    }
    m_commands->updateCommands(conditions);
    m_device->showWorkMode();
}

void MainWindow::UpdateUsage() {
    QString used = QStringLiteral("-");
    QString free = QStringLiteral("-");
    QString total = QStringLiteral("-");
    if (m_gridController->pageShown()) {
        const int n = m_document->pageBuffer().occupiedCellCount();
        used = QString::number(n);
        free = QString::number(kTotalCells - n);
        total = QString::number(kTotalCells);
    }
    m_status->setUsage(used, free, total);
}

void MainWindow::UpdateTitle() {
    if (m_document->isOpen()) {
        setWindowTitle(QStringLiteral("Tervane - ") + m_document->displayName());
        m_tree->setEnabled(true);
        syncTreeSelection();
        m_tree->viewport()->update();
    } else {
        setWindowTitle(QStringLiteral("Tervane"));
        m_tree->setEnabled(false);
    }
}

void MainWindow::showReplacedTree() {
    BaseTree* tree = m_document->isOpen() ? &m_document->tree() : nullptr;
    m_syncingTree = true;
    m_treeModel->endReplaceTree(tree);
    if (tree) {
        for (BaseNode* n = tree->first(); n; n = tree->next(n)) {
            if (n->expanded && !n->children.empty())
                m_tree->setExpanded(m_treeModel->indexOf(n), true);
        }
    }
    m_syncingTree = false;
}

void MainWindow::syncTreeSelection() {
    const QModelIndex index = m_treeModel->indexOf(m_document->tree().selected());
    if (index == m_tree->currentIndex())
        return;
    m_syncingTree = true;
    if (index.isValid()) {
        m_tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_tree->scrollTo(index);
    } else {
        m_tree->selectionModel()->clear();
    }
    m_syncingTree = false;
}

void MainWindow::TreeViewClick() {
    if (m_syncingTree || !m_document->isOpen())
        return;
    if (BaseNode* node = m_treeModel->nodeOf(m_tree->currentIndex()))
        m_document->tree().select(node);
    m_document->SelectNode();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing || !m_closeGuard || m_closeGuard()) {
        m_closing = true;
        event->accept();
        return;
    }
    event->ignore();
}

} // namespace tervane
