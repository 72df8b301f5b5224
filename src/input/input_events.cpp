// The key table and the right-button latch, and the entry points through which every backend
// fills them once it has translated its own events. Backends link this alone of the core.
#include "input/input_events.h"

#include "input/input.h"

KeyTable keyTable;
MouseLatches mouseLatches;

void KeyPressed(int virtualKey) {
  if (virtualKey >= 0 && virtualKey < 256) {
    keyTable.down[virtualKey] = 1;
  }
}

void RightButtonPressed() { mouseLatches.rightDown = 1; }
