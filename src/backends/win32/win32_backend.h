// Shared between the Windows backend's files.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

struct Input;

namespace win32 {

// The window-system state of the main window.
struct MainWindow {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  MSG message = {};
};

// The hooks and what they noted since the main thread last took it: one bit per key code and the
// right button (the key table latches, so a set of what arrived is all the main thread needs),
// and the event that ends the main thread's resting wait when input is noted.
struct Hooks {
  HHOOK keyboard = nullptr;
  HHOOK mouse = nullptr;
  std::atomic<std::uint32_t> notedKeys[8] = {};
  std::atomic<bool> notedRightPress{false};
  HANDLE inputNoted = nullptr;
  DWORD threadId = 0;
  bool threadStarted = false;  // the hook thread is started once, by the first hook installed
};

// Everything the backend keeps, one object for the program's life.
struct Backend {
  MainWindow main;
  Hooks hooks;
};

Backend& State();

// The main window, for the backend's other parts (owner of the programs it starts).
HWND MainWindowHandle();

// The hooks' translation into the core's vocabulary. The key code of a keyboard hook event, or
// -1 when it is not a plain key-down (a key-up, a key pressed with Alt held, a code other than
// HC_ACTION or a code outside the key table); and whether a mouse hook event is a right press.
int KeyFromHookEvent(int code, WPARAM message, DWORD virtualKey);
bool IsRightPressHookEvent(int code, WPARAM message);

// The thread the hooks run on (0 before they are installed), and the event it sets whenever a
// hook notes input.
DWORD HookThreadId();
HANDLE InputNotedEvent();
// Latches the input the hooks noted since the last call into input, on the calling (main)
// thread.
void DeliverNotedInput(Input& input);

// Room for a wide path or name, terminator included: the longest path the plain (not
// long-path) functions take, with room to spare.
constexpr int wideRoom = 1024;

// The seam's texts are UTF-8; Windows takes and gives names as UTF-16. Both conversions fail
// rather than cut or guess: on text that is not UTF-8, or that does not fit the room given.
bool Widen(const char* text, wchar_t* wide, int room);
bool Narrow(const wchar_t* wide, char* text, std::size_t room);

}  // namespace win32
