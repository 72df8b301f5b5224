// Global low-level keyboard and mouse hooks, on a thread of their own; every event is passed
// on unchanged.
//
// The system calls a low-level hook on the thread that installed it, through that thread's
// message loop, and drops a hook (for good, on Windows 7 and later) that does not return
// within LowLevelHooksTimeout. The main thread pauses after commands and is busy while it
// draws, so the hooks live on a thread that does nothing but wait for messages: the hook
// procedures only note the event and return. The main thread takes the noted input in its pump
// step, where the hooks used to deliver it, so the pauses keep holding input back as before.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "input/input_events.h"
#include "platform/platform.h"
#include "backends/win32/win32_backend.h"

namespace {

// The hooks' part of the backend's state, shared with the hook thread.
win32::Hooks& HookState() { return win32::State().hooks; }

void NoteInput() {
  if (HookState().inputNoted) SetEvent(HookState().inputNoted);
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const int key = win32::KeyFromHookEvent(code, wParam, event->vkCode);
    if (key >= 0) {
      HookState().notedKeys[key / 32].fetch_or(1u << (key % 32));
      NoteInput();
    }
  }
  return CallNextHookEx(HookState().keyboard, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (win32::IsRightPressHookEvent(code, wParam)) {
    HookState().notedRightPress = true;
    NoteInput();
  }
  return CallNextHookEx(HookState().mouse, code, wParam, lParam);
}

// Installs both hooks (the mouse hook first), says so through the event it is given, then
// waits for messages for the rest of the program's life.
DWORD WINAPI HookThread(LPVOID installed) {
  MSG message;
  // The thread's message queue exists before the hooks can be called through it.
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  HMODULE module = GetModuleHandleA(nullptr);
  HookState().mouse = SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, module, 0);
  HookState().keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, module, 0);
  SetEvent(static_cast<HANDLE>(installed));
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

// Starts the hook thread once and waits until it has tried to install both hooks.
void StartHookThread() {
  if (HookState().threadStarted) return;
  HookState().threadStarted = true;
  HookState().inputNoted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE installed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!installed) return;
  HANDLE thread = CreateThread(nullptr, 0, HookThread, installed, 0, &HookState().threadId);
  if (thread) {
    WaitForSingleObject(installed, INFINITE);
    CloseHandle(thread);  // the thread runs on until the process ends
  }
  CloseHandle(installed);
}

}  // namespace

namespace win32 {

int KeyFromHookEvent(int code, WPARAM message, DWORD virtualKey) {
  // Keys pressed with Alt held arrive as WM_SYSKEYDOWN and are not passed on.
  if (code != HC_ACTION || message != WM_KEYDOWN || virtualKey >= 256) return -1;
  return static_cast<int>(virtualKey);
}

bool IsRightPressHookEvent(int code, WPARAM message) {
  return code == HC_ACTION && message == WM_RBUTTONDOWN;
}

DWORD HookThreadId() { return HookState().threadId; }

HANDLE InputNotedEvent() { return HookState().inputNoted; }

void DeliverNotedInput(Input& input) {
  for (int word = 0; word < 8; ++word) {
    std::uint32_t bits = HookState().notedKeys[word].exchange(0);
    for (int bit = 0; bits != 0; ++bit, bits >>= 1) {
      if (bits & 1u) KeyPressed(input, word * 32 + bit);
    }
  }
  if (HookState().notedRightPress.exchange(false)) RightButtonPressed(input);
}

}  // namespace win32

namespace platform {

// The hooks take the whole desktop's input always.
void TakeDesktopInput() {}

bool InstallMouseHook() {
  StartHookThread();
  return HookState().mouse != nullptr;
}

bool InstallKeyboardHook() {
  StartHookThread();
  return HookState().keyboard != nullptr;
}

}  // namespace platform
