#include "ui/WindowStateSync.h"

#include "settings/Settings.h"
#include "ui/KeyGridView.h"

#include <QMainWindow>
#include <QSplitter>

#include <algorithm>

namespace tervane {
namespace {

constexpr int kDesignedWidth = 1030;
constexpr int kDesignedHeight = 560;
constexpr int kDesignedTreeWidth = 185;
constexpr int kDesignedColumnWidth = 96;

int usable(int stored, int low, int high, int designed) {
    return stored >= low && stored <= high ? stored : designed;
}

} // namespace

WindowStateSync::WindowStateSync(QMainWindow* window, QSplitter* splitter, KeyGridView* grid)
    : m_window(window), m_splitter(splitter), m_grid(grid) {}

void WindowStateSync::restore(const Settings& s) {
    const int width = usable(s.windowWidth(), 200, 20000, kDesignedWidth);
    const int height = usable(s.windowHeight(), 150, 20000, kDesignedHeight);
    m_window->resize(width, height);
    m_storedState = s.windowState();
    for (int c = 1; c < Settings::kColumnCount; ++c)
        m_grid->setColumnWidth(c - 1, usable(s.columnWidth(c), 1, 4999, kDesignedColumnWidth));
    const int treeWidth = usable(s.treeWidth(), 1, 4999, kDesignedTreeWidth);
    m_splitter->setSizes({treeWidth, std::max(100, width - treeWidth)});
}

void WindowStateSync::showInStoredState() {
    switch (m_storedState) {
    case WindowState::Minimised:
        m_window->showMinimized();
        break;
    case WindowState::Maximised:
        m_window->showMaximized();
        break;
    default:
        m_window->show();
    }
}

void WindowStateSync::store(Settings& s) const {
    for (int c = 1; c <= Settings::kColumnCount; ++c)
        s.setColumnWidth(c, m_grid->columnWidth(c - 1));
    s.setWindowState(m_window->isMaximized()   ? WindowState::Maximised
                     : m_window->isMinimized() ? WindowState::Minimised
                                               : WindowState::Normal);
    s.setTreeWidth(m_splitter->widget(0)->width());
    // A maximised or minimised window stores the size it comes back to.
    const QRect normal =
        (m_window->isMaximized() || m_window->isMinimized()) ? m_window->normalGeometry() : m_window->geometry();
    s.setWindowHeight(normal.height());
    s.setWindowWidth(normal.width());
}

} // namespace tervane
