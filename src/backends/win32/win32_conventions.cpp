// The Windows program's conventions, as the core asks for them.
#include "backends/win32/win32_conventions.h"

namespace platform {

const Conventions& PlatformConventions() { return win32::windowsConventions; }

}  // namespace platform
