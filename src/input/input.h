// Global input: the key table and right-button latch the hooks fill, and the cursor's
// position in canvas coordinates.
#pragma once

#include <cstdint>

// One entry per virtual-key code: 1 when a key-down arrived since the last clear.
struct KeyTable {
  std::int32_t down[256] = {};
};

struct MouseLatches {
  std::int32_t rightDown = 0;
};

extern KeyTable keyTable;
extern MouseLatches mouseLatches;
// Events the hooks have delivered so far, of every kind (pointer moves and key releases too);
// the main loop rests only while it stays the same.
extern std::uint32_t inputEventCount;

// Message numbers the hooks are called with (the Windows values; other backends translate).
constexpr int hookAction = 0;                 // HC_ACTION
constexpr std::uint32_t messageKeyDown = 0x100;        // WM_KEYDOWN
constexpr std::uint32_t messageKeyUp = 0x101;          // WM_KEYUP
constexpr std::uint32_t messageSysKeyDown = 0x104;     // WM_SYSKEYDOWN
constexpr std::uint32_t messageRightButtonDown = 0x204;  // WM_RBUTTONDOWN
constexpr std::uint32_t messageLeftButtonDown = 0x201;   // WM_LBUTTONDOWN

// Entry points of the low-level hooks: latch what they must, change nothing else.
void KeyboardHookEvent(int code, std::uint32_t message, std::uint32_t virtualKey);
void MouseHookEvent(int code, std::uint32_t message);

// Installs the mouse hook and then the keyboard hook.
void InstallInputHooks();

// The key was pressed since the last pass.
bool KeyDown(int virtualKey);

// A key or the right button is latched.
bool InputLatched();

// Clears every KeyTable entry and the right-button latch.
void ClearInputLatches();

// Canvas column and row under the cursor, clamped to the canvas; row 0 is the bottom row.
int CursorCanvasX();
int CursorCanvasY();

// The mapping itself, for a cursor offset within a window extent: single precision, in the
// order offset / extent * canvasSize, clamped to 0 .. canvasSize - 1. An empty extent maps to 0.
int MapCursorToCanvas(int offset, int extent, int canvasSize);
