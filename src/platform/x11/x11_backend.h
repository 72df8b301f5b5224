// Shared between the Linux backend's files: raw input, read on the connection's event queue.
#pragma once

#include <X11/Xlib.h>

namespace x11 {

// Whether the server offers XInput2, whose raw events bring the global keys and right clicks.
bool QueryRawInput();
// Hands an XInput2 raw event to the core's input entry points; false for any other event.
bool HandleRawEvent(XEvent* event);
// Hands the held key's repeat to the core's input entry points when it is due.
void RepeatHeldKey();
// Milliseconds until the held key's next repeat, or -1 when no key repeats.
int MsUntilRepeat();
// Selects no raw events any more and drops those on their way, before the connection closes.
void StopRawInput();

}  // namespace x11
