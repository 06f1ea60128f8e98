#pragma once

#include "base/EditStep.h"

#include <QObject>
#include <QUndoStack>
#include <cstddef>
#include <memory>

namespace tervane {

class Document;
class EditSession;
class MainCommands;

// Edit > Undo and Redo: the open document's edit history, one QUndoStack of the steps the edit
// session records. New, Open and Close clear it, a save marks where it stands. It holds at most
// kMemoryBudget bytes of steps and lets its oldest steps go past that. An undo or a redo of a
// page other than the one shown shows that page; Modified follows the history by the document's
// rule.
class UndoController final : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kMemoryBudget = std::size_t(64) << 20;

    UndoController(Document& document, EditSession& edits, QObject* parent = nullptr);
    ~UndoController() override;

    QUndoStack& stack() { return m_stack; }
    // What the steps on the stack hold.
    std::size_t bytes() const { return m_bytes; }
    void setMemoryBudget(std::size_t bytes) { m_budget = bytes; } // tests use a small one

    void registerCommands(MainCommands& commands);
    // Undo and Redo's enabling and their captions, which name the step.
    void updateCommands(MainCommands& commands) const;

    void undo();
    void redo();

signals:
    // The window must redraw: the grid, the tree, the caption, the commands.
    void refreshNeeded();
    void commandsChanged();

private:
    class StepCommand;

    void push(std::shared_ptr<const EditStep> step);
    void keepWithinBudget();
    // After a step was replayed: Modified, the page to show, and a failure.
    void replayed(const EditStep& step, bool succeeded);
    void showPage(std::int32_t page);

    Document& m_document;
    EditSession& m_edits;
    QUndoStack m_stack;
    std::size_t m_bytes = 0;
    std::size_t m_budget = kMemoryBudget;
    bool m_rebuilding = false;
};

} // namespace tervane
