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
} // namespace

Seam<Shell>& shellSeam() {
    static StderrShell fallback;
    static Seam<Shell> seam(fallback);
    return seam;
}

Shell& shell() {
    return shellSeam().get();
}

} // namespace tervane
