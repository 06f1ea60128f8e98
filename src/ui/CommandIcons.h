#pragma once

#include <QIcon>

namespace tervane {

// The pictures of the command band's buttons, in the band's order.
enum class CommandIconId {
    New,
    Open,
    Save,
    Close,
    Cut,
    Copy,
    Paste,
    Undo,
    Redo,
    Find,
    FindNext,
    ReadKeys,
    WriteKeys,
    LockKey,
    ShortView,
};

// The tree's pictures by a node's image index.
enum TreeImageIndex { TreeFolderImage = 0, TreeSelectedFileImage = 1, TreeFileImage = 2 };

// Drawn in code at 32 x 32 (and the neighbouring sizes), so the program ships no image files.
QIcon commandIcon(CommandIconId id);
// An index outside 0..2 gives an empty icon (a node without a picture).
QIcon treeIcon(int imageIndex);
QIcon appIcon();

// Starts drawing the command band's and the tree's pictures on a worker thread, at these sizes in
// device pixels, while the window is still being built. Icons made before keep being drawn when
// they are shown.
void drawIconsAhead(int commandSide, int treeSide);

} // namespace tervane
