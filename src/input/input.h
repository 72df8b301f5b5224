// Global input: the key table and right-button latch the hooks fill, and the cursor's
// position in canvas coordinates.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "platform/platform.h"

// One entry per virtual-key code: 1 when a key-down arrived since the last clear.
struct KeyTable {
  std::int32_t down[256] = {};
};

struct MouseLatches {
  std::int32_t rightDown = 0;
};

// The input latched between two passes: what arrived through the entry points the backends
// call while the main thread pumps.
struct Input {
  KeyTable keyTable;
  MouseLatches mouseLatches;
  std::uint32_t latchedSoFar = 0;  // key-downs and right presses latched since start, never cleared
};

// Installs the mouse hook and then the keyboard hook; a hook that cannot be installed ends the
// program with a message box captioned "ERROR" and exit code 1.
void InstallInputHooks();

// The key was pressed since the last pass.
bool KeyDown(const Input& input, int virtualKey);

// A key or the right button is latched.
bool InputLatched(const Input& input);

// Clears every KeyTable entry and the right-button latch.
void ClearInputLatches(Input& input);

// What the main loop does once a command has acted: its pause (0 for none), and whether the
// command took the right click, whose latch is then cleared.
struct [[nodiscard]] After {
  int pauseMs = 0;
  bool takesClick = false;
  // The pauses that follow, in order, where commands end inside one another.
  std::vector<int> thenPausesMs;
  // The player was started: its window is placed over the browser's once the pauses are over.
  bool placesPlayer = false;
};

// Every pause of first, then every pause of second, in order; the click is taken, and the
// player placed, when either asks for it.
After Then(const After& first, const After& second);

// Takes after's pauses and clears the right-button latch when it took the click. The main loop
// finishes every command through this, and nothing else pauses.
void Finish(const After& after, MouseLatches& latches);

// Canvas column and row under the cursor, clamped to the canvas; row 0 is the bottom row.
// Reads the cursor and the window once for the pass that starts, and forgets the reading when
// it ends.
void ReadCursorForPass(DisplayState& d);
void EndPassCursor(DisplayState& d);
// The main window moved or was made anew during the pass: the pass's cursor point stays, and is
// mapped from now on against the window where it stands now.
void WindowMovedInPass(DisplayState& d);
// The cursor on the screen: the pass's reading, or the system's answer outside a pass.
platform::ScreenPoint CursorOnScreen(const DisplayState& d);
int CursorCanvasX(const DisplayState& d);
int CursorCanvasY(const DisplayState& d);

// The mapping itself, for a cursor offset within a window extent: single precision, in the
// order offset / extent * canvasSize, clamped to 0 .. canvasSize - 1. An empty extent maps to 0.
int MapCursorToCanvas(int offset, int extent, int canvasSize);
