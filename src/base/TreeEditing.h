#pragma once

#include <QByteArray>
#include <QObject>

namespace tervane {

class Document;
class EditSession;
struct BaseNode;

// The tree menu's commands on the open document, without widgets: create a file or a folder,
// rename, delete. A create or a rename starts an edit that the name field ends: its commit gives
// the name (and a new file its blank page), its cancel takes a new node away again. Each command
// acts on the node at the tree's command point, or on none. Every change goes through the edit
// session.
class TreeEditing final : public QObject {
    Q_OBJECT
public:
    enum class Mode { None = 0, NewFile = 1, NewFolder = 2, Rename = 3 };

    TreeEditing(Document& document, EditSession& edits, QObject* parent = nullptr);

    Mode mode() const { return m_mode; }
    // The node whose name the running edit gives; nullptr with no edit running.
    BaseNode* editedNode() const { return m_node; }

    // The new node with an empty name, target expanded when it became its parent; nullptr with
    // no base open.
    // The edit runs until commit or cancel.
    BaseNode* createFile(BaseNode* target);
    BaseNode* createFolder(BaseNode* target);
    // False with no target or no base open.
    bool rename(BaseNode* target);
    // Ends the edit with name: a new file gets its page and becomes the page shown, a folder or a
    // renamed node is selected without switching the page. Nothing without an edit running.
    void commit(const QByteArray& name);
    // Ends the edit leaving things as they were before it: a new node goes again.
    void cancel();

    // Deletes target with its subtree and the pages of its files after the user's yes to each
    // question, then shows the page of what stays selected. False when nothing was deleted.
    bool remove(BaseNode* target);

signals:
    // The window must redraw: the grid, the tree's selection, the commands.
    void refreshNeeded();
    // The running edit ended by itself: its node went with the tree or with a deleted subtree.
    void editAbandoned();

private:
    BaseNode* create(BaseNode* target, Mode mode);
    void abandonIfInside(const BaseNode* removed);
    void abandon();

    Document& m_document;
    EditSession& m_edits;
    Mode m_mode = Mode::None;
    BaseNode* m_node = nullptr;
    bool m_modifiedBefore = false;
};

} // namespace tervane
