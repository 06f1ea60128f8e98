#pragma once

#include "settings/SettingValues.h"

class QMainWindow;
class QSplitter;

namespace tervane {

class KeyGridView;
class Settings;

// The main window's geometry to and from the settings record: the window's size and state, the
// tree's width and the grid's column widths.
class WindowStateSync {
public:
    WindowStateSync(QMainWindow* window, QSplitter* splitter, KeyGridView* grid);

    // At start: the window's normal size, columns 1 to 6 (the comment column takes the rest of
    // the width whatever it was) and the tree's width. Unusable stored values fall back to the
    // designed ones. The stored window state is kept for showInStoredState().
    void restore(const Settings& settings);
    // Shows the window normal, minimised or maximised, as the settings stored it.
    void showInStoredState();
    // At the close: the widths of columns 1 to 7, the state, the tree's width and the size of
    // the window in its normal state.
    void store(Settings& settings) const;

private:
    QMainWindow* m_window;
    QSplitter* m_splitter;
    KeyGridView* m_grid;
    WindowState m_storedState = WindowState::Normal;
};

} // namespace tervane
