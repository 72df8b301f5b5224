// The entry points through which every backend hands the core its input, once it has
// translated its own events into the program's key codes (input/keys.h). They latch what they
// must and change nothing else.
#pragma once

// A plain key-down of one of the program's key codes.
void KeyPressed(int virtualKey);
// A press of the right button.
void RightButtonPressed();
