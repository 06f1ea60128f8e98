#include "device/SystemTransport.h"

#include "device/CompositeTransport.h"
#ifdef TERVANE_HAVE_HIDRAW
#include "device/HidrawTransport.h"
#endif
#ifdef TERVANE_HAVE_SOCKETS
#include "device/SocketTransport.h"
#endif

namespace tervane {

std::unique_ptr<HidTransport> createSystemTransport() {
    auto composite = std::make_unique<CompositeTransport>();
#ifdef TERVANE_HAVE_HIDRAW
    composite->addBackend(new HidrawTransport);
#endif
#ifdef TERVANE_HAVE_SOCKETS
    composite->addBackend(new SocketTransport);
#endif
    return composite;
}

} // namespace tervane
