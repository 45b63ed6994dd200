#include "window/controls.h"
#include "window/headless_backend.h"

namespace quorvel {

// No windowing system is assumed: the window lives in memory and is driven by
// name (the simulator, tests).
std::unique_ptr<Controls> CreatePlatformControls() { return std::make_unique<HeadlessControls>(); }

}  // namespace quorvel
