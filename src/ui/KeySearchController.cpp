#include "ui/KeySearchController.h"

#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/FileErrors.h"
#include "dialogs/KeySearchDialog.h"
#include "ui/KeyGridModel.h"
#include "ui/KeyGridView.h"
#include "ui/KeyHitsModel.h"
#include "ui/MainCommands.h"

namespace tervane {
namespace {

// What the worker hands back to the interface thread.
struct SearchOutcome {
    std::vector<KeySearchFile> files;
    KeySearchResult result;
};

} // namespace

KeySearchController::KeySearchController(QWidget* window, Document& document, KeyGridView* grid, QObject* parent)
    : QObject(parent), m_window(window), m_document(document), m_grid(grid), m_model(new KeyHitsModel(this)) {}

KeySearchController::~KeySearchController() {
    // The worker only reads the page file; it stops at its next block and is joined here.
    m_worker.request_stop();
}

void KeySearchController::createDialog() {
    m_dialog = std::make_unique<KeySearchDialog>(m_window);
    m_dialog->setModel(m_model);
    connect(m_dialog.get(), &KeySearchDialog::searchRequested, this, [this] { startSearch(false); });
    connect(m_dialog.get(), &KeySearchDialog::stopRequested, this, &KeySearchController::stopSearch);
    connect(m_dialog.get(), &KeySearchDialog::hitActivated, this, &KeySearchController::openHit);
}

void KeySearchController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::FindKey, [this] { FindKey(); });
}

void KeySearchController::FindKey() {
    if (!m_dialog || !m_document.isOpen() || m_dialog->isOpen())
        return;
    m_dialog->openDialog();
    if (m_dialog->query())
        startSearch(true);
    else
        m_model->clear();
}

void KeySearchController::findSameKey(std::uint8_t type, const KeyCode& code) {
    const CodeDigits digits = codeDigits(type, code);
    if (!m_dialog || !m_document.isOpen() || digits.count == 0)
        return;
    // The whole code as the query: a needle as long as the code matches it only whole.
    m_dialog->setCodeQuery(QStringLiteral("%1").arg(digits.value, digits.count, 16, QLatin1Char('0')).toUpper(),
                           keyFamilyOf(type));
    if (!m_dialog->isOpen())
        m_dialog->openDialog();
    startSearch(false);
}

void KeySearchController::startSearch(bool keepCurrentRow) {
    const std::optional<KeyQuery> query = m_dialog->query();
    if (!query || !m_document.isOpen())
        return;
    m_kept = {};
    if (const int current = m_dialog->currentRow(); keepCurrentRow && current >= 0) {
        const KeyHit& hit = m_model->hit(current);
        m_kept = {m_model->fileOf(current).node, hit.row, hit.column, current};
    }
    // Everything the worker reads is taken here: the tree is the interface thread's.
    KeySearchJob job;
    job.query = *query;
    job.pageFile = m_document.workingPageFile();
    job.files = keySearchFiles(m_document.tree());
    if (m_document.currentPage() >= 0) {
        job.shownPage = m_document.currentPage();
        job.shownContent = std::make_shared<const KeyPage>(m_document.pageBuffer());
    }
    m_model->clear();
    m_dialog->searchStarted();
    m_running = true;
    const std::uint64_t generation = ++m_generation;
    // A search still running is stopped and joined first; it stops at its next block.
    m_worker = std::jthread([this, job = std::move(job), generation](std::stop_token stop) {
        const auto progress = [this, generation](std::int64_t done, std::int64_t total) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, done, total] {
                    if (generation == m_generation)
                        m_dialog->searchProgress(done, total);
                },
                Qt::QueuedConnection);
        };
        auto outcome = std::make_shared<SearchOutcome>();
        outcome->result = searchKeys(job, stop, progress);
        outcome->files = job.files;
        QMetaObject::invokeMethod(
            this,
            [this, generation, outcome] {
                searchDone(generation, std::move(outcome->files), std::move(outcome->result));
            },
            Qt::QueuedConnection);
    });
}

void KeySearchController::stopSearch() {
    m_worker.request_stop();
}

void KeySearchController::searchDone(std::uint64_t generation, std::vector<KeySearchFile> files,
                                     KeySearchResult result) {
    if (generation != m_generation)
        return;
    m_running = false;
    if (result.cancelled) {
        m_dialog->searchFinished(-1, -1);
        return;
    }
    if (result.errorCode != 0) {
        m_dialog->searchFinished(-1, -1);
        ReportFileError(result.errorCode, result.errorPath);
        return;
    }
    const auto hits = int(result.hits.size());
    m_model->setResult(std::move(files), std::move(result));
    // The key that was current, where it is now; else the row at its place.
    int current = hits > 0 ? std::min(m_kept.listRow, hits - 1) : -1;
    for (int row = 0; row < hits && m_kept.node; ++row) {
        const KeyHit& hit = m_model->hit(row);
        if (m_model->fileOf(row).node == m_kept.node && hit.row == m_kept.row && hit.column == m_kept.column) {
            current = row;
            break;
        }
    }
    m_dialog->searchFinished(hits, current);
}

void KeySearchController::openHit(int row) {
    if (row < 0 || row >= m_model->rowCount() || searching())
        return;
    const KeySearchFile& file = m_model->fileOf(row);
    const KeyHit hit = m_model->hit(row);
    BaseTree& tree = m_document.tree();
    BaseNode* node = tree.nodeAt(file.index);
    // The list is searched again whenever the dialog opens and the tree cannot change while it
    // is open; a node that is not where the search saw it is never opened.
    if (!node || node != file.node)
        return;
    tree.select(node);
    // As a click: the file's page is shown, and another node than before counts as a change.
    m_document.SelectNode();
    emit refreshNeeded();
    m_dialog->closeIfOpen();
    selectCell(hit.row, hit.column);
    m_grid->setFocus(Qt::OtherFocusReason);
}

void KeySearchController::selectCell(int pageRow, int keyColumn) {
    const KeyGridModel* model = m_grid->gridModel();
    for (int dataRow = 0; dataRow < model->rowCount(); ++dataRow) {
        if (model->pageRowOf(dataRow) != pageRow)
            continue;
        const int gridColumn = keyColumn + 1;
        m_grid->setSelectionRect({gridColumn, dataRow + 1, gridColumn, dataRow + 1});
        m_grid->scrollTo(model->index(dataRow, keyColumn));
        return;
    }
}

} // namespace tervane
