#pragma once

#include "base/KeySearch.h"

#include <QObject>
#include <cstdint>
#include <memory>
#include <thread>

class QWidget;

namespace tervane {

class Document;
class KeyGridView;
class KeyHitsModel;
class KeySearchDialog;
class MainCommands;

// Find key (Ctrl+Shift+F): the key search dialog and its search over every page of the open
// base, on a worker thread so that the window keeps painting, with the dialog's progress and
// Stop. A hit opened from the list is selected as a click selects its file (the document's
// SelectNode shows its page) and its cell is selected in the grid.
class KeySearchController final : public QObject {
    Q_OBJECT
public:
    KeySearchController(QWidget* window, Document& document, KeyGridView* grid, QObject* parent = nullptr);
    ~KeySearchController() override;

    // Made after the main window's start-up, as the other dialogs are.
    void createDialog();
    KeySearchDialog* dialog() const { return m_dialog.get(); }
    KeyHitsModel* model() const { return m_model; }
    void registerCommands(MainCommands& commands);
    bool searching() const { return m_running; }

    // Opens the dialog; a query from before is searched again, so the list shows the base as it
    // is now, with the same key current.
    void FindKey();
    // Find the presented key: the list of the keys with exactly this one's code, of its family.
    void findSameKey(std::uint8_t type, const KeyCode& code);

signals:
    void refreshNeeded();

private:
    void startSearch(bool keepCurrentRow);
    void stopSearch();
    void searchDone(std::uint64_t generation, std::vector<KeySearchFile> files, KeySearchResult result);
    void openHit(int row);
    void selectCell(int pageRow, int keyColumn);

    QWidget* m_window;
    Document& m_document;
    KeyGridView* m_grid;
    KeyHitsModel* m_model;
    // No parent: disabling the main window must not disable it.
    std::unique_ptr<KeySearchDialog> m_dialog;
    // The search under way; a result of an older one than m_generation is dropped.
    std::jthread m_worker;
    std::uint64_t m_generation = 0;
    bool m_running = false;
    // The hit that was current when the dialog opened again, to make it current again.
    struct KeptHit {
        const BaseNode* node = nullptr;
        int row = -1;
        int column = -1;
        int listRow = 0;
    };
    KeptHit m_kept;
};

} // namespace tervane
