#include "seams/StatusSink.h"

namespace tervane {
namespace {
MemoryStatusSink g_memory;
StatusSink* g_sink = nullptr;
} // namespace

StatusSink& statusSink() {
    return g_sink ? *g_sink : g_memory;
}

void setStatusSink(StatusSink* sink) {
    g_sink = sink;
}

} // namespace tervane
