// Shared between the Linux backend's files: raw input, read on the connection's event queue.
#pragma once

#include <X11/Xlib.h>

namespace x11 {

// Whether the server offers XInput2, whose raw events bring the global keys and right clicks.
bool QueryRawInput();
// Hands an XInput2 raw event to the core's input entry points; false for any other event.
bool HandleRawEvent(XEvent* event);

}  // namespace x11
