// Shared between the Windows backend's files.
#pragma once

#include <windows.h>

namespace platform {
HWND MainWindowHandle();

// The hooks' translation into the core's vocabulary. The key code of a keyboard hook event, or
// -1 when it is not a plain key-down (a key-up, a key pressed with Alt held, a code other than
// HC_ACTION or a code outside the key table); and whether a mouse hook event is a right press.
int KeyFromHookEvent(int code, WPARAM message, DWORD virtualKey);
bool IsRightPressHookEvent(int code, WPARAM message);
}  // namespace platform
