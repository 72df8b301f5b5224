// Shared between the Windows backend's files.
#pragma once

#include <windows.h>

namespace platform {
HWND MainWindowHandle();
}  // namespace platform
