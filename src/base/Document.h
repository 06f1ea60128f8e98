#pragma once

#include "base/BaseTree.h"
#include "base/EditStep.h"
#include "base/KeyPage.h"
#include "settings/SettingValues.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace tervane {

// The open key base: the tree in memory, one page in PageBuffer and the other pages in the
// working copy's page file in the temporary folder. The user's files are written only by a save.
// One instance lives as long as the main window; its commands report their own failures.
class Document final : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    const QString& workingBase() const { return m_workingBase; } // empty: no document open
    const QString& savedBase() const { return m_savedBase; }     // empty: never saved
    const QString& displayName() const { return m_displayName; }
    std::int32_t currentPage() const { return m_currentPage; } // -1: no page shown
    void setCurrentPage(std::int32_t page) { m_currentPage = page; }
    KeyPage& pageBuffer() { return m_pageBuffer; }
    const KeyPage& pageBuffer() const { return m_pageBuffer; }
    bool modified() const { return m_modified; }
    void setModified(bool modified = true) { m_modified = modified; }
    // Modified after the edit history moved (an undo, a redo): historyAtSave tells whether the
    // history stands where the last save, New or Open left it. The one rule for it is here.
    void settleModified(bool historyAtSave);
    bool isOpen() const { return !m_workingBase.isEmpty(); }
    BaseTree& tree() { return m_tree; }
    const BaseTree& tree() const { return m_tree; }
    QString workingPageFile() const { return m_workingBase + QStringLiteral(".dat"); }

    // Writes a changed page back to the working page file before anything else is loaded or
    // saved. False (the write error shown) stops the caller.
    bool FlushCurrentPage();
    // Whether the document may be dropped: saved without asking, asked, or dropped with its
    // changes, by mode (a stored value of none of these counts as Cancel); false means the
    // caller abandons its command.
    bool AskSaveChanges(SavePolicy mode);

    bool NewBase();
    bool OpenBase();
    // Open with the file already chosen (a .dir file): the program's argument, the open dialog.
    bool OpenBase(const QString& chosenFile);
    bool CloseBase();
    bool SaveBase();
    bool SaveBaseAs();
    // The tree's selection changed or must be shown: the UI selects with tree().select(node)
    // first. Loads the selected file's page; a folder shows no page.
    bool SelectNode();
    // Program start: reopens the base of the last session, when both its files are there.
    void ReopenLastBase();
    // Closing the window, after AskSaveChanges let it close: the saved path (empty for a
    // never-saved document) is what the next start reopens.
    void storeLastBasePath();
    // The last step of closing the window: no document is open any more and the working copies
    // of this run and of dead runs are deleted.
    void releaseAtExit();

signals:
    // A command changed what the window shows: the grid, the caption, the tree, the commands.
    void changed();
    // Around every replacement of the whole tree (New, Open, Close, a failed Open), with no event
    // processed in between: the old nodes are freed after the first and before the second.
    void treeAboutToBeReplaced();
    void treeReplaced();
    // Save or Save As wrote the working copy to the user's files.
    void saved();

private:
    void redraw();
    void releaseWorkingCopy(); // deletes the working files and drops their lock
    void becomeEmpty();        // no document open
    void forgetLastSelected();
    // The working copy matches the user's files (or there are none to match): not modified.
    void settle();
    // The tree becomes with's content; the old nodes are freed.
    void replaceTree(BaseTree& with);
    bool saveTo(const QString& base);
    std::optional<QString> askSaveName(const QString& startFolder, const QString& fileName);

    QString m_workingBase;
    QString m_savedBase;
    QString m_displayName;
    std::int32_t m_currentPage = -1;
    KeyPage m_pageBuffer;
    bool m_modified = false;
    // Since the last settle: another node was selected, which the edit history does not record.
    bool m_changedOutsideHistory = false;
    NodePath m_savedSelection;
    // The node of the last page switch, by address and serial: a new node at a freed node's
    // address is another node.
    const BaseNode* m_lastSelectedNode = nullptr;
    std::uint64_t m_lastSelectedSerial = 0;
    BaseTree m_tree;
    std::unique_ptr<QLockFile> m_workingLock;
};

} // namespace tervane
