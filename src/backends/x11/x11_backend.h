// Shared between the Linux backend's files: raw input, read on the connection's event queue.
#pragma once

#include <X11/Xlib.h>

struct Input;

namespace x11 {

// Whether the server offers XInput2, whose raw events bring the global keys and right clicks.
bool QueryRawInput();
// Latches an XInput2 raw event into input through the core's entry points; false for any other
// event.
bool HandleRawEvent(XEvent* event, Input& input);
// Latches the held key's repeat into input when it is due.
void RepeatHeldKey(Input& input);
// Milliseconds until the held key's next repeat, or -1 when no key repeats.
int MsUntilRepeat();
// Selects no raw events any more and drops those on their way, before the connection closes.
void StopRawInput();

}  // namespace x11
