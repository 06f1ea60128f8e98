#pragma once

#include <QObject>
#include <cstdint>
#include <memory>

class QWidget;

namespace tervane {

class BaseTreeModel;
class BaseTreeView;
class Document;
class FindDialog;
class MainCommands;
struct BaseNode;

// Find (Ctrl+F) and Find next (F3) over the names of the tree's nodes, with the find state of
// the run. A hit is selected as a click selects it (the document's SelectNode shows a file's
// page), after the node and everything below it are expanded.
class FindController final : public QObject {
    Q_OBJECT
public:
    FindController(QWidget* window, Document& document, BaseTreeView* tree, BaseTreeModel* model,
                   QObject* parent = nullptr);
    ~FindController() override;

    // Made after the main window's start-up, as the other dialogs are.
    void createDialog();
    FindDialog* dialog() const { return m_dialog.get(); }
    void registerCommands(MainCommands& commands);

    // The last search selected a node: Find next is enabled.
    bool found() const { return m_found; }
    // Matching nodes, in tree order, that the next Find next passes over.
    std::int32_t occurrence() const { return m_occurrence; }

    void Find();
    void FindNext();

signals:
    void refreshNeeded();

private:
    void Search();
    void SearchCancel();
    void showHit(BaseNode* node);

    QWidget* m_window;
    Document& m_document;
    BaseTreeView* m_tree;
    BaseTreeModel* m_model;
    // No parent: disabling the main window must not disable it.
    std::unique_ptr<FindDialog> m_dialog;

    std::int32_t m_occurrence = 0;
    bool m_found = false;
    bool m_findNext = false;
};

} // namespace tervane
