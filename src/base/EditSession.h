#pragma once

#include "base/EditStep.h"
#include "base/KeyPage.h"
#include "base/PageEdits.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace tervane {

class Document;
struct BaseNode;

// The one path by which the open document's pages and tree change: the grid's comment editor,
// the operation dialog, and every later editing command go through it. Each edit names its page
// by number, sets Modified here and nowhere else, and tells the views through one signal, so the
// grid and tree models follow the data without their callers bracketing anything.
//
// Modified means that the working copy may differ from the user's files. It is set by every edit
// here, and also by the document itself when another tree node is selected (the directory file
// records the selection), which is no edit. The undo history decides when an undo clears it.
//
// While recording is on, every edit is also written down as a step of the edit history: the
// edits between the outermost beginStep and its endStep make one step, named by that beginStep;
// an edit made with no step open is a step of its own. undo and redo replay a step backwards or
// forwards through the same edits, unrecorded.
class EditSession final : public QObject {
    Q_OBJECT
public:
    explicit EditSession(Document& document, QObject* parent = nullptr);
    ~EditSession() override;

    Document& document() const { return m_document; }

    void setRecording(bool on) { m_recording = on; }
    bool recording() const { return m_recording; }
    void beginStep(const QString& name);
    // The outermost end hands the step to stepRecorded when it holds a change.
    void endStep();
    // The open step forgets what it recorded so far.
    void forgetStep();
    // One step for the edits of a scope.
    class Step {
    public:
        Step(EditSession& edits, const QString& name) : m_edits(edits) { m_edits.beginStep(name); }
        ~Step() { m_edits.endStep(); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        EditSession& m_edits;
    };
    // The edits of a scope are not recorded: the tree editor's new node before its name is given.
    class Unrecorded {
    public:
        explicit Unrecorded(EditSession& edits) : m_edits(edits) { ++m_edits.m_unrecorded; }
        ~Unrecorded() { --m_edits.m_unrecorded; }
        Unrecorded(const Unrecorded&) = delete;
        Unrecorded& operator=(const Unrecorded&) = delete;

    private:
        EditSession& m_edits;
    };
    // Records a node that an unrecorded edit added, as if it had been added now.
    void recordNodeAdded(const BaseNode* node);

    // Replays step backwards (undo) or forwards (redo). False, with the error shown, when a page
    // could not be read or written; what was replayed up to there stays.
    bool undo(const EditStep& step);
    bool redo(const EditStep& step);

    // Page edits. The page shown is changed in the page buffer; any other page in the working
    // page file, whose read or write error is reported and changes nothing. Each sets Modified,
    // also when the bytes stay the same. False when the page could not be changed.
    bool setCell(std::int32_t page, int row, int keyColumn, const KeyCell& cell);
    // The text is cut to 128 characters; the bytes after its length keep what they held.
    bool setComment(std::int32_t page, int row, const QByteArray& text);
    bool replacePage(std::int32_t page, const KeyPage& content);
    // Several cells and comments of one page as one edit: Modified is set and the views told
    // once. False, with nothing changed, when a row or key column is out of range.
    bool applyEdits(std::int32_t page, const PageEdits& edits);
    // An edit that left the page's bytes as they were, such as a download whose last row failed.
    void touchPage(std::int32_t page);

    // Tree edits. A new node is the last child of parent (nullptr: the top level).
    BaseNode* addNode(BaseNode* parent, const QByteArray& name, std::int32_t imageIndex, std::int32_t selectedIndex,
                      std::int32_t pageNumber);
    void renameNode(BaseNode* node, const QByteArray& name);
    // The node goes with its whole subtree (its pages stay in the page file).
    void removeNode(BaseNode* node);
    // Gives a file node a new blank page at the end of the working page file. False, with the
    // error shown, when the page could not be appended: the node keeps no page.
    bool attachNewPage(BaseNode* node);
    // The node goes with its whole subtree and the pages of its files, which leave the working
    // page file in one rebuild; the files that stay, and the page shown, follow their pages to
    // their new numbers (a shown page that went leaves no page shown). deletedPages, when given,
    // gets the page numbers as they were, in pre-order. False, with the error shown, when the
    // page file could not be rebuilt: nothing changed.
    bool removeNodeWithPages(BaseNode* node, std::vector<std::int32_t>* deletedPages = nullptr);

signals:
    void stepRecorded(std::shared_ptr<const tervane::EditStep> step);
    void pageChanged(std::int32_t page);
    void nodeAboutToBeAdded(tervane::BaseNode* parent, int row);
    void nodeAdded(tervane::BaseNode* node);
    void nodeChanged(tervane::BaseNode* node);
    void nodeAboutToBeRemoved(tervane::BaseNode* node);
    void nodeRemoved();

private:
    template <typename Change> bool changePage(std::int32_t page, Change change);
    void edited();
    bool recordingNow() const { return m_recording && m_unrecorded == 0 && !m_replaying; }
    void record(EditStep::Change change);

    // The replay of each kind of change, forwards or backwards.
    bool replayRows(const EditStep::PageRows& change, bool forwards);
    bool replayInsertion(const EditStep::NodeInsertion& change, bool insert);
    bool replayRename(const EditStep::NodeRenamed& change, bool forwards);
    bool replayAttach(const EditStep::PageAttached& change, bool forwards);
    bool replayDeletion(const EditStep::SubtreeDeleted& change, bool forwards);
    bool replay(const EditStep& step, bool forwards);

    Document& m_document;
    bool m_recording = false;
    bool m_replaying = false;
    int m_unrecorded = 0;
    int m_stepDepth = 0;
    std::unique_ptr<EditStep> m_step; // the step being recorded
};

} // namespace tervane
