#include "ui/MainWindow.h"

#include "base/Cp1251.h"
#include "base/Document.h"
#include "base/WorkingFiles.h"
#include "seams/AppClosing.h"
#include "dialogs/ProcForm.h"
#include "device/DeviceDetector.h"
#include "device/DeviceLink.h"
#include "keys/KeyCell.h"
#include "seams/EventPump.h"
#include "seams/Shell.h"
#include "seams/StatusSink.h"
#include "texts/UiLanguage.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/BaseTreeModel.h"
#include "ui/BaseTreeView.h"
#include "ui/CommandIcons.h"
#include "ui/CommentEditor.h"
#include "ui/ImageFormatsAhead.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/MainCommands.h"
#include "ui/MessageHook.h"
#include "ui/QtTranslations.h"
#include "ui/SkinEngine.h"
#include "ui/StatusPanels.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#ifndef TERVANE_WEB_URL
#define TERVANE_WEB_URL "http://tervane.example.org/"
#endif

namespace tervane {
namespace {

constexpr int kTotalCells = 2495; // the counters' total, not the page's 3000 cells

QFont gridFont() {
    const Settings& s = settings();
    QFont font(FromCp1251(s.gridFontName()));
    const int size = s.gridFontSize() > 0 ? s.gridFontSize() : 8;
    font.setPointSize(size);
    font.setItalic(s.gridFontStyle() == 1 || s.gridFontStyle() == 3);
    font.setBold(s.gridFontStyle() == 2 || s.gridFontStyle() == 3);
    return font;
}

} // namespace

MainWindow::MainWindow(const QString& openBase, QWidget* parent)
    : QMainWindow(parent), m_document(std::make_unique<Document>()), m_skins(std::make_unique<SkinEngine>()) {
    LoadImageFormatsAhead();
    setObjectName(QStringLiteral("TForm1"));
    buildWidgets();
    m_document->refreshView = [this] { RefreshView(); };
    m_document->treeAboutToBeReplaced = [this] { m_treeModel->beginReplaceTree(); };
    m_document->treeReplaced = [this] { showReplacedTree(); };
    FormCreate(openBase);
    m_procForm = std::make_unique<ProcForm>(*this);
}

MainWindow::~MainWindow() {
    deviceLink().DeviceRegisterNotices({});
    m_procForm.reset();
    if (m_hook)
        m_hook->uninstall();
    if (&statusSink() == static_cast<StatusSink*>(m_status))
        setStatusSink(nullptr);
}

void MainWindow::buildWidgets() {
    // The band's and the tree's pictures are drawn on the second core while the widgets are made.
    const qreal ratio = qApp->devicePixelRatio();
    DrawIconsAhead(qRound(MainCommands::kIconSide * ratio),
                   qRound(style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) * ratio));
    setWindowIcon(AppIcon());
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter"));
    m_splitter->setChildrenCollapsible(false);

    m_tree = new BaseTreeView(m_splitter);
    m_treeModel = new BaseTreeModel(this);
    m_tree->setModel(m_treeModel);
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
    connect(m_grid, &KeyGridView::editRequested, this, &MainWindow::EditBoxEnter);
    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateCommands(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { UpdateCommands(); });
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_commands->gridMenu()->popup(m_grid->viewport()->mapToGlobal(pos));
    });

    m_commentEditor = new CommentEditor(m_grid->viewport());
    connect(m_commentEditor, &CommentEditor::committed, this, &MainWindow::onCommentCommitted);
    connect(m_commentEditor, &CommentEditor::cancelled, this, [this] {
        RefreshView();
        m_grid->setFocus();
    });

    // The bands come after the tree and the grid: making them reads the style's own small
    // pictures, by then with the image format plugins loaded on the worker thread.
    m_commands = new MainCommands(this);
    setMenuBar(m_commands->menuBar());
    addToolBar(Qt::TopToolBarArea, m_commands->toolBar());
    connect(m_commands, &MainCommands::commandTriggered, this, &MainWindow::runCommand);

    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(gridPane);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    m_status = new StatusPanels(this);
    setStatusBar(m_status);
    setStatusSink(m_status);

    m_hook = new MessageHook(this, m_commands, m_tree, m_grid);
}

void MainWindow::FormCreate(const QString& openBase) {
    SetAppClosing(false);
    // 1. Title.
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    setWindowTitle(QStringLiteral("Tervane"));
    // 2-3. Settings and the interface language.
    LoadSettings();
    Settings& s = settings();
    setUiLanguage(ChooseLanguage(s.languageSetting()));
    ApplyQtTranslations(uiLanguage());
    // 4. Skin.
    m_skins->applySkinIndex(s.skinIndex());
    // 5-6.
    m_commands->shortViewAction()->setChecked(s.shortView());
    m_status->setMessageText(QString());
    // 7. Geometry: an unusable stored size falls back to the designed one.
    const int width = s.windowWidth() >= 200 && s.windowWidth() <= 20000 ? s.windowWidth() : 1030;
    const int height = s.windowHeight() >= 150 && s.windowHeight() <= 20000 ? s.windowHeight() : 560;
    resize(width, height);
    m_storedWindowState = s.windowState();
    // 8. Grid columns. The comment column takes the rest of the width, whatever it was.
    for (int c = 1; c < Settings::kColumnCount; ++c) {
        const int w = s.columnWidth(c);
        m_grid->setColumnWidth(c - 1, w > 0 && w < 5000 ? w : 96);
    }
    // 9-10.
    ApplyInterfaceTexts();
    const int treeWidth = s.treeWidth() > 0 && s.treeWidth() < 5000 ? s.treeWidth() : 185;
    m_splitter->setSizes({treeWidth, std::max(100, width - treeWidth)});
    // 11-12. The document and the last key base.
    m_document->ReopenLastBase();
    // 13. Shortcuts.
    m_hook->install();
    // 14-16. The programmer.
    SetDeviceOnline(false);
    deviceLink().DeviceOpen();
    deviceDetector().DetectDevice();
    SetDeviceOnline(deviceDetector().DeviceAnswered());
    deviceLink().DeviceRegisterNotices([this] { onDeviceChange(); });
    // 17.
    RefreshView();

    // The base named on the command line; when it is the base just reopened, it stays as it is.
    if (!openBase.isEmpty()) {
        const QString chosen = QFileInfo(openBase).absoluteFilePath();
        const QString saved = m_document->savedBase();
        if (saved.isEmpty() || QFileInfo(saved).absoluteFilePath() != StripExtension(chosen))
            m_document->OpenBase(chosen);
    }
}

void MainWindow::showInStoredState() {
    switch (m_storedWindowState) {
    case 1:
        showMinimized();
        break;
    case 2:
        showMaximized();
        break;
    default:
        show();
    }
}

void MainWindow::onDeviceChange() {
    // The programmer in use has gone: the operation on it ends here, offline as for a lone
    // programmer pulled out, before another programmer still plugged in is opened and detected.
    if (deviceLink().DeviceReleaseGone())
        SetDeviceOnline(false);
    deviceLink().DeviceOpen();
    deviceDetector().DetectDevice();
    SetDeviceOnline(deviceDetector().DeviceAnswered());
}

void MainWindow::SetDeviceOnline(bool online) {
    m_deviceOnline = online;
    RefreshView();
    // The start-up sequence runs before the dialog exists.
    if (!online && m_procForm)
        m_procForm->closeIfOpen();
}

void MainWindow::ApplyInterfaceTexts() {
    m_commands->applyInterfaceTexts();
    emit m_gridModel->headerDataChanged(Qt::Horizontal, 0, KeyGridModel::kColumns - 1);
    m_treeModel->retranslate();
}

void MainWindow::applyGridFont() {
    const QFont font = gridFont();
    m_grid->applyFont(font, font.pointSize());
    QFont editorFont = m_commentEditor->font();
    editorFont.setPointSize(font.pointSize());
    editorFont.setBold(font.bold());
    editorFont.setItalic(font.italic());
    m_commentEditor->setFont(editorFont);
}

void MainWindow::RefreshView() {
    // The grid, from the page in memory.
    const Document& doc = *m_document;
    const bool pageShown = doc.isOpen() && doc.currentPage() != -1;
    const Settings& s = settings();
    applyGridFont();
    m_gridModel->setPage(pageShown ? &doc.pageBuffer() : nullptr);
    m_gridModel->setShortView(s.shortView());
    m_gridModel->setDisplay(s.keyTypeView(), s.keyCodeView(), s.emSpeedVisible(), s.dallasCrcVisible());
    m_grid->rebuildKeepingSelection();
    m_grid->setEnabled(pageShown);
    m_grid->setVisible(pageShown);

    UpdateCommands();
    UpdateUsage();
    UpdateTitle();
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
    if (!m_document->isOpen())
        return;
    BaseNode* selected = m_document->tree().selected();
    const QModelIndex index = m_treeModel->indexOf(selected);
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

void MainWindow::UpdateUsage() {
    const bool pageShown = m_document->isOpen() && m_document->currentPage() != -1;
    QString used = QStringLiteral("-");
    QString free = QStringLiteral("-");
    QString total = QStringLiteral("-");
    if (pageShown) {
        const int n = m_document->pageBuffer().occupiedCellCount();
        used = QString::number(n);
        free = QString::number(kTotalCells - n);
        total = QString::number(kTotalCells);
    }
    m_status->setUsage(used, free, total);
}

int MainWindow::pageRowOfGridRow(int gridRow) const {
    return m_gridModel->pageRowOf(gridRow - 1);
}

GridSelection MainWindow::gridSelection() const {
    return m_grid->selectionRect();
}

KeyPage* MainWindow::currentPage() {
    const bool pageShown = m_document->isOpen() && m_document->currentPage() != -1;
    return pageShown ? &m_document->pageBuffer() : nullptr;
}

void MainWindow::setModified() {
    m_document->setModified(true);
}

bool MainWindow::selectionHasKey() const {
    if (!m_gridModel->page())
        return false;
    const GridSelection sel = m_grid->selectionRect();
    const bool valid = sel.top >= 1 && sel.left >= 1 && sel.bottom >= sel.top && sel.right >= sel.left &&
                       sel.top < m_grid->gridRowCount() && sel.left <= 6;
    if (!valid)
        return false;
    const KeyPage& page = *m_gridModel->page();
    for (int row = sel.top; row <= sel.bottom; ++row) {
        const int pageRow = pageRowOfGridRow(row);
        if (pageRow < 0)
            continue;
        for (int column = sel.left; column <= std::min(sel.right, 6); ++column) {
            if (IsKeyOccupied(page.cellType(pageRow, column - 1)))
                return true;
        }
    }
    return false;
}

void MainWindow::UpdateCommands() {
    CommandState state;
    state.baseOpen = m_document->isOpen();
    state.pageShown = state.baseOpen && m_document->currentPage() != -1;
    // A command of a closed operation still being tried keeps the device commands off until it
    // has stopped; they are worked out again then.
    const bool deviceBusy = m_procForm && m_procForm->deviceBusy();
    if (deviceBusy)
        m_procForm->whenDeviceIdle([this] { UpdateCommands(); });
    state.deviceOnline = m_deviceOnline && !deviceBusy;
    state.selectionHasKey = state.pageShown && selectionHasKey();
    m_commands->updateCommands(state);
    if (m_deviceOnline)
        deviceDetector().ShowWorkModeOnline();
    else
        deviceDetector().ShowWorkModeOffline();
}

void MainWindow::TreeViewClick() {
    if (m_syncingTree || !m_document->isOpen())
        return;
    BaseNode* node = m_treeModel->nodeOf(m_tree->currentIndex());
    if (node)
        m_document->tree().select(node);
    m_document->SelectNode();
}

void MainWindow::EditBoxEnter() {
    if (!m_gridModel->page())
        return;
    const GridSelection sel = m_grid->selectionRect();
    if (sel.left == 7) {
        const int pageRow = pageRowOfGridRow(sel.top);
        if (pageRow < 0)
            return;
        const QModelIndex index = m_gridModel->index(sel.top - 1, KeyGridModel::kCommentColumn);
        m_grid->scrollTo(index);
        m_commentEditor->open(pageRow, m_grid->visualRect(index),
                              FromCp1251(m_document->pageBuffer().comment(pageRow)));
        return;
    }
    // The key editor opens here; it comes with its own dialog.
}

void MainWindow::onCommentCommitted(int pageRow, const QString& text) {
    if (m_document->isOpen() && m_document->currentPage() != -1 && pageRow >= 0) {
        m_document->pageBuffer().setComment(pageRow, ToCp1251(text));
        // Leaving the editor counts as an edit even when the text is the same.
        m_document->setModified(true);
    }
    RefreshView();
    m_grid->setFocus();
}

void MainWindow::runCommand(CommandId id) {
    Document& doc = *m_document;
    switch (id) {
    case CommandId::NewFile:
        doc.NewBase();
        break;
    case CommandId::OpenFile:
        doc.OpenBase();
        break;
    case CommandId::CloseFile:
        doc.CloseBase();
        break;
    case CommandId::SaveFile:
        doc.SaveBase();
        break;
    case CommandId::SaveFileAs:
        doc.SaveBaseAs();
        break;
    case CommandId::Exit:
        close();
        break;
    case CommandId::ReadKeys:
        m_procForm->StartReadKeys();
        RefreshView();
        break;
    case CommandId::WriteKeys:
        m_procForm->StartWriteBlanks();
        RefreshView();
        break;
    case CommandId::LockKey:
        m_procForm->StartLockKey();
        break;
    case CommandId::ImportKeyBase:
        m_procForm->DownloadKeyBase();
        break;
    case CommandId::ExportKeyBase:
        m_procForm->UploadKeyBase();
        break;
    case CommandId::ShortView:
        settings().setShortView(m_commands->shortViewAction()->isChecked());
        RefreshView();
        break;
    case CommandId::HelpWeb:
        shell().openUrl(QStringLiteral(TERVANE_WEB_URL));
        break;
    default:
        // The other commands come with their own controllers.
        break;
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing || FormClose()) {
        m_closing = true;
        event->accept();
        return;
    }
    event->ignore();
}

bool MainWindow::FormClose() {
    Settings& s = settings();
    // 1. The save question by the saving policy.
    if (!m_document->AskSaveChanges(s.savePolicy()))
        return false;
    // 2-4. Device waits and retries stop at once, so an open operation dialog closes without
    // waiting for a dead programmer; then the programmer is let go.
    SetAppClosing(true);
    if (m_procForm)
        m_procForm->closeIfOpen();
    for (int i = 0; i < 100; ++i)
        eventPump().processEvents();
    deviceLink().DeviceClose();
    // 5. The state of this run.
    m_document->storeLastBasePath();
    if (m_document->currentPage() != -1 && m_document->tree().selected())
        s.setSelectedNodeIndex(m_document->tree().selected()->row);
    for (int c = 1; c <= Settings::kColumnCount; ++c)
        s.setColumnWidth(c, m_grid->columnWidth(c - 1));
    s.setWindowState(isMaximized() ? 2 : isMinimized() ? 1 : 0);
    s.setTreeWidth(m_tree->width());
    const QRect normal = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
    s.setWindowHeight(normal.height());
    s.setWindowWidth(normal.width());
    // 6-7.
    SaveSettings();
    m_document->releaseAtExit();
    m_hook->uninstall();
    return true;
}

} // namespace tervane
