#include "window/controls.h"
#include "window/win32_controls.h"

namespace quorvel {

// On Windows the window is a real one, made of the system's own controls.
std::unique_ptr<Controls> CreatePlatformControls() { return std::make_unique<Win32Controls>(); }

}  // namespace quorvel
