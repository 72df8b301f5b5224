// The entry points through which every backend fills the program's key table and right-button
// latch once it has translated its own events. Backends link this alone of the core.
#include "input/input_events.h"

#include "input/input.h"

void KeyPressed(Input& input, int virtualKey) {
  if (virtualKey >= 0 && virtualKey < 256) {
    input.keyTable.down[virtualKey] = 1;
    ++input.latchedSoFar;
  }
}

void RightButtonPressed(Input& input) {
  input.mouseLatches.rightDown = 1;
  ++input.latchedSoFar;
}
