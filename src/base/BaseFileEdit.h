#pragma once

#include "base/BaseTree.h"

#include <QString>
#include <functional>

namespace tervane {

// Changes a user's key base as the editor would, for a program without a window (tervane-cli):
// the base is copied into a working copy, edit changes the tree and the page file there, and the
// pair is saved back as the editor's Save does, so that the base is wholly old or wholly new
// whatever happens. The base's lock is held from the copy to the end of the save: no other
// instance's save falls in between and is lost. A running save of another instance is waited for
// as an open waits for it, and then -4 names the .dir. The working copy is deleted in every case.
// False when edit returned false (nothing is written) or a file step failed (reported).
bool editBaseFiles(const QString& base, const std::function<bool(BaseTree& tree, const QString& pageFile)>& edit);

} // namespace tervane
