#include "seams/Shell.h"

#include <cstdio>

namespace tervane {
namespace {

class StderrShell final : public Shell {
public:
    bool openUrl(const QString& url) override {
        std::fprintf(stderr, "open %s\n", url.toUtf8().constData());
        return false;
    }
    bool openFile(const QString& path) override { return openUrl(path); }
};

StderrShell g_fallback;
Shell* g_shell = nullptr;

} // namespace

Shell& shell() {
    return g_shell ? *g_shell : g_fallback;
}

void setShell(Shell* s) {
    g_shell = s;
}

} // namespace tervane
