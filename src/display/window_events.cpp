// The window system's entry point into the core: a close request raises the window's own flag,
// which the main loop reads after pumping. Backends link this alone of the core.
#include "display/window_events.h"

#include "display/window.h"

void WindowCloseRequested(WindowRequests& window) { window.closeRequested = true; }
