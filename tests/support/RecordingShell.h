#pragma once

#include "seams/Shell.h"

#include <QStringList>

namespace tervane::test {

// Every address and file handed to the shell's "open" action, in order; opens nothing. Installs
// itself while it lives.
class RecordingShell final : public Shell {
public:
    bool openUrl(const QString& url) override {
        urls.append(url);
        return true;
    }
    bool openFile(const QString& path) override {
        files.append(path);
        return true;
    }
    QStringList urls;
    QStringList files;

private:
    ScopedSeam<Shell> m_installed{shellSeam(), this};
};

} // namespace tervane::test
