#pragma once

#include <memory>

namespace tervane {

class HidTransport;

// The transport of the installed program: real programmers first, in the system's enumeration
// order, then the simulated ones on sockets, by file name.
std::unique_ptr<HidTransport> createSystemTransport();

} // namespace tervane
