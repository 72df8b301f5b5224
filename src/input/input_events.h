// The entry points through which every backend hands the core its input, once it has
// translated its own events into the program's key codes (input/keys.h), inside the pump step
// that was given the input to fill. They latch what they must and change nothing else.
#pragma once

struct Input;

// A plain key-down of one of the program's key codes; codes outside the key table are dropped.
void KeyPressed(Input& input, int virtualKey);
// A press of the right button.
void RightButtonPressed(Input& input);
