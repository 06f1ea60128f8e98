#pragma once

#include "base/KeyPage.h"
#include "dialogs/OperationHost.h"
#include "keys/KeyCell.h"

#include <QWidget>
#include <vector>

namespace tervane::test {

// The main window as the dialogs see it: a page, a selection and the row translation.
class FakeOperationHost final : public OperationHost {
public:
    QWidget window;
    KeyPage page;
    bool pageShown = true;
    GridSelection selection;
    // Empty: the full view (grid row r shows page row r - 1). Otherwise the short view's rows;
    // grid rows past its end have no page row.
    std::vector<int> rowMap;
    int edits = 0;
    int refreshCalls = 0;

    QWidget* hostWindow() override { return &window; }
    GridSelection gridSelection() const override { return selection; }
    int pageRowOfGridRow(int gridRow) const override {
        if (rowMap.empty())
            return gridRow - 1;
        const auto index = static_cast<std::size_t>(gridRow - 1);
        return gridRow >= 1 && index < rowMap.size() ? rowMap[index] : -1;
    }
    const KeyPage* shownPage() const override { return pageShown ? &page : nullptr; }
    void storeKey(int pageRow, int keyColumn, const KeyCell& cell) override {
        page.setCell(pageRow, keyColumn, cell);
        ++edits;
    }
    void replaceShownPage(const KeyPage& content) override {
        page = content;
        ++edits;
    }
    void touchShownPage() override { ++edits; }
    void RefreshView() override { ++refreshCalls; }
};

} // namespace tervane::test
