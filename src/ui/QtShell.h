#pragma once

#include "seams/Shell.h"

namespace tervane {

// The shell's "open" action through the desktop: the browser for web addresses, the file's
// own program for a file.
class QtShell final : public Shell {
public:
    bool openUrl(const QString& url) override;
    bool openFile(const QString& path) override;
};

} // namespace tervane
