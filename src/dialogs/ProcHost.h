#pragma once

#include "ui/GridSelection.h"

class QWidget;

namespace tervane {

class KeyPage;

// What the operation dialog needs from the main window: the selection it walks, the page it
// stores read keys into, and the window it disables while it is open.
class ProcHost {
public:
    virtual ~ProcHost() = default;
    // Disabled while the dialog is open, enabled and focused again when it closes.
    virtual QWidget* hostWindow() = 0;
    // Grid coordinates: rows 1..500, columns 1..7.
    virtual GridSelection gridSelection() const = 0;
    // The page row that grid row gridRow (1..500) shows; -1 when no page row is behind it.
    virtual int pageRowOfGridRow(int gridRow) const = 0;
    // The page shown, nullptr when none is.
    virtual KeyPage* currentPage() = 0;
    virtual void setModified() = 0;
    virtual void refreshView() = 0;
};

} // namespace tervane
