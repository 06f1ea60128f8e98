#pragma once

#include "seams/Seam.h"

#include <QString>

namespace tervane {

// The shell's "open" action: a web address in the browser, a downloaded file with its program.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QString& url) = 0;
    virtual bool openFile(const QString& path) = 0;
};

// Without a window the fallback only reports the request on stderr.
Shell& shell();
// The seam itself, for a ScopedSeam that replaces the program's own for a while.
Seam<Shell>& shellSeam();

} // namespace tervane
