#include "seams/StatusSink.h"

namespace tervane {
namespace {} // namespace

Seam<StatusSink>& statusSinkSeam() {
    static MemoryStatusSink fallback;
    static Seam<StatusSink> seam(fallback);
    return seam;
}

StatusSink& statusSink() {
    return statusSinkSeam().get();
}

} // namespace tervane
