#include "ui/UndoController.h"

#include "base/BaseTree.h"
#include "base/Document.h"
#include "base/EditSession.h"
#include "seams/StatusSink.h"
#include "texts/UiLanguage.h"
#include "ui/MainCommands.h"

#include <QUndoCommand>
#include <vector>

namespace tervane {

// One recorded step on the stack. The step was done when it was recorded, so the push that
// puts it on the stack does not do it again.
class UndoController::StepCommand final : public QUndoCommand {
public:
    StepCommand(UndoController& owner, std::shared_ptr<const EditStep> step, bool done)
        : QUndoCommand(step->name), m_owner(owner), m_step(std::move(step)), m_skipRedo(done) {
        m_owner.m_bytes += m_step->bytes();
    }
    ~StepCommand() override { m_owner.m_bytes -= m_step->bytes(); }

    const std::shared_ptr<const EditStep>& step() const { return m_step; }

    void undo() override { m_owner.replayed(*m_step, m_owner.m_edits.undo(*m_step)); }
    void redo() override {
        if (m_skipRedo) {
            m_skipRedo = false;
            return;
        }
        m_owner.replayed(*m_step, m_owner.m_edits.redo(*m_step));
    }

private:
    UndoController& m_owner;
    std::shared_ptr<const EditStep> m_step;
    bool m_skipRedo;
};

UndoController::UndoController(Document& document, EditSession& edits, QObject* parent)
    : QObject(parent), m_document(document), m_edits(edits) {
    m_edits.setRecording(true);
    connect(&m_edits, &EditSession::stepRecorded, this, &UndoController::push);
    // Another base, or none: the history belongs to the document it was recorded on.
    connect(&m_document, &Document::treeReplaced, this, [this] { m_stack.clear(); });
    connect(&m_document, &Document::saved, this, [this] { m_stack.setClean(); });
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        if (m_rebuilding)
            return;
        m_document.settleModified(m_stack.isClean());
        emit commandsChanged();
    });
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this] {
        if (!m_rebuilding)
            emit commandsChanged();
    });
}

UndoController::~UndoController() {
    // The window's edit session and document may be gone already (they are its members, this is
    // its child): the steps go without a word to them.
    m_rebuilding = true;
    m_stack.clear();
}

void UndoController::registerCommands(MainCommands& commands) {
    commands.setHandler(CommandId::Undo, [this] { undo(); });
    commands.setHandler(CommandId::Redo, [this] { redo(); });
}

void UndoController::updateCommands(MainCommands& commands) const {
    commands.setCaptionArgument(CommandId::Undo, m_stack.canUndo() ? m_stack.undoText() : QString());
    commands.setCaptionArgument(CommandId::Redo, m_stack.canRedo() ? m_stack.redoText() : QString());
}

void UndoController::undo() {
    if (!m_stack.canUndo())
        return;
    m_stack.undo();
    emit refreshNeeded();
}

void UndoController::redo() {
    if (!m_stack.canRedo())
        return;
    m_stack.redo();
    emit refreshNeeded();
}

void UndoController::push(std::shared_ptr<const EditStep> step) {
    m_stack.push(new StepCommand(*this, std::move(step), true));
    if (m_bytes > m_budget)
        keepWithinBudget();
}

void UndoController::keepWithinBudget() {
    // A QUndoStack lets go of commands only when it is cleared, so the steps that stay are put
    // on a cleared stack again, and the saved state keeps its place. This runs right after a
    // push, when no undone step is left on the stack.
    const int count = m_stack.count();
    const int clean = m_stack.cleanIndex();
    std::vector<std::shared_ptr<const EditStep>> steps;
    for (int i = 0; i < count; ++i)
        steps.push_back(static_cast<const StepCommand*>(m_stack.command(i))->step());
    std::size_t bytes = m_bytes;
    int dropped = 0;
    // The newest step stays, even alone past the budget: it is the one the user just made.
    while (bytes > m_budget && dropped < count - 1) {
        bytes -= steps[std::size_t(dropped)]->bytes();
        ++dropped;
    }
    if (dropped == 0)
        return;
    m_rebuilding = true;
    m_stack.clear();
    m_stack.resetClean();
    for (int i = dropped; i < count; ++i) {
        if (i == clean)
            m_stack.setClean();
        m_stack.push(new StepCommand(*this, steps[std::size_t(i)], true));
    }
    if (clean == count)
        m_stack.setClean();
    m_rebuilding = false;
    emit commandsChanged();
}

void UndoController::replayed(const EditStep& step, bool succeeded) {
    if (!succeeded) {
        // What the document holds now matches no step of the history any more.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_stack.clear();
                m_document.setModified();
                emit commandsChanged();
                emit refreshNeeded();
            },
            Qt::QueuedConnection);
        statusSink().setMessageText(
            translate("UndoController", "The edit could not be replayed; the undo history was cleared."));
        return;
    }
    showPage(step.lastPageChanged());
}

void UndoController::showPage(std::int32_t page) {
    if (page < 0 || page == m_document.currentPage())
        return;
    BaseTree& tree = m_document.tree();
    for (BaseNode* n = tree.first(); n; n = tree.next(n)) {
        if (n->isFile() && n->pageNumber == page) {
            tree.select(n);
            m_document.SelectNode();
            return;
        }
    }
}

} // namespace tervane
