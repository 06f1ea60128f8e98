#include "seams/AppClosing.h"

namespace tervane {
namespace {
bool g_appClosing = false;
} // namespace

bool AppClosing() {
    return g_appClosing;
}

void setAppClosing(bool closing) {
    g_appClosing = closing;
}

} // namespace tervane
