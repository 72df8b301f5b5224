// The key table and the right-button latch, and the entry points through which every backend
// fills them once it has translated its own events. Backends link this alone of the core.
#include "input/input.h"

KeyTable keyTable;
MouseLatches mouseLatches;
std::uint32_t inputEventCount = 0;

void KeyPressed(int virtualKey) {
  ++inputEventCount;
  if (virtualKey >= 0 && virtualKey < 256) {
    keyTable.down[virtualKey] = 1;
  }
}

void RightButtonPressed() {
  ++inputEventCount;
  mouseLatches.rightDown = 1;
}
