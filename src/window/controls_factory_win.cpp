#include "window/controls.h"
#include "window/headless_backend.h"

namespace quorvel {

// The native backend replaces this; until then the window is the in-memory one.
std::unique_ptr<Controls> CreatePlatformControls() { return std::make_unique<HeadlessControls>(); }

}  // namespace quorvel
