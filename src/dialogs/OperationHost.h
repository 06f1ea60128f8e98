#pragma once

#include "grid/GridSelection.h"

class QString;
class QWidget;

namespace tervane {

class KeyPage;
struct KeyCell;

// The grid's host for the dialogs that work on it (the operation dialog, the key editor): the
// selection they act on, the page they read, the edits they ask for, and the window they disable
// while they are open.
class OperationHost {
public:
    virtual ~OperationHost() = default;
    // Disabled while the dialog is open, enabled and focused again when it closes.
    virtual QWidget* hostWindow() = 0;
    // Grid coordinates: rows 1..500, columns 1..7.
    virtual GridSelection gridSelection() const = 0;
    // The page row that grid row gridRow (1..500) shows; -1 when no page row is behind it.
    virtual int pageRowOfGridRow(int gridRow) const = 0;
    // The page shown, nullptr when none is. The dialog never changes it itself.
    virtual const KeyPage* shownPage() const = 0;
    // Edits of the page shown.
    virtual void storeKey(int pageRow, int keyColumn, const KeyCell& cell) = 0;
    virtual void replaceShownPage(const KeyPage& page) = 0;
    // The page counts as edited although its bytes stay the same.
    virtual void touchShownPage() = 0;
    // The edits between these make one step of the edit history: a whole read-keys run.
    virtual void beginEditStep(const QString& name) { static_cast<void>(name); }
    virtual void endEditStep() {}
    virtual void RefreshView() = 0;
};

} // namespace tervane
