// The window system's entry point into the core: a close request raises the window's own flag,
// which the main loop reads after pumping. Backends link this alone of the core.
#include "display/window_events.h"

#include "display/window.h"

namespace {

// The program's window requests, bound at start-up; the only way into them from the backends.
WindowRequests* bound = nullptr;

}  // namespace

void BindWindowEvents(WindowRequests* requests) { bound = requests; }

void WindowCloseRequested() {
  if (bound) bound->closeRequested = true;
}
