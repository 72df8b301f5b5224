// The entry points through which every backend fills the program's key table and right-button
// latch once it has translated its own events. Backends link this alone of the core.
#include "input/input_events.h"

#include "input/input.h"

namespace {

// The program's input, bound at start-up; the only way into it from the backends.
Input* bound = nullptr;

}  // namespace

void BindInput(Input* input) { bound = input; }

void KeyPressed(int virtualKey) {
  if (bound && virtualKey >= 0 && virtualKey < 256) {
    bound->keyTable.down[virtualKey] = 1;
    ++bound->latchedSoFar;
  }
}

void RightButtonPressed() {
  if (!bound) return;
  bound->mouseLatches.rightDown = 1;
  ++bound->latchedSoFar;
}
