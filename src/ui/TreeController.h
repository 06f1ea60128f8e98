#pragma once

#include <QObject>
#include <memory>

namespace tervane {

class BaseTreeModel;
class BaseTreeView;
class Document;
class EditSession;
class MainCommands;
class TreeEditing;
class TreeNameEditor;
struct BaseNode;

// The tree menu's commands on the folder tree: Create file, Create folder, Rename and Delete, each
// on the node at the tree's command point (the last mouse press or release, or menu request),
// not on the selected node. Create and Rename lay the name field over the node; its commit or
// cancel ends the edit. The rules are TreeEditing's; this puts them on the widgets.
class TreeController final : public QObject {
    Q_OBJECT
public:
    TreeController(BaseTreeView* tree, BaseTreeModel* model, Document& document, EditSession& edits,
                   QObject* parent = nullptr);
    ~TreeController() override;

    void registerCommands(MainCommands& commands);
    TreeEditing& editing() const { return *m_editing; }
    TreeNameEditor* nameEditor() const { return m_field; }

    void PopUpTreeCreateFileClick();
    void PopUpTreeCreateFolderClick();
    void PopUpTreeRenameClick();
    void PopUpTreeDeleteClick();

signals:
    // The window must redraw after an edit.
    void refreshNeeded();

private:
    BaseNode* commandTarget() const;
    void finishRunningEdit();
    void showNewNode(BaseNode* node);
    QRect fieldGeometry(BaseNode* node) const;
    void TreeEditExit(const QString& text);
    void TreeEditCancel();

    BaseTreeView* m_tree;
    BaseTreeModel* m_model;
    std::unique_ptr<TreeEditing> m_editing;
    TreeNameEditor* m_field;
};

} // namespace tervane
