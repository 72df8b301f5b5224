// Global low-level keyboard and mouse hooks; every event is passed on unchanged.
#include <windows.h>

#include "input/input.h"
#include "platform/platform.h"
#include "platform/win32/win32_backend.h"

namespace {

HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const int key = platform::KeyFromHookEvent(code, wParam, event->vkCode);
    if (key >= 0) KeyPressed(key);
  }
  return CallNextHookEx(keyboardHook, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (platform::IsRightPressHookEvent(code, wParam)) RightButtonPressed();
  return CallNextHookEx(mouseHook, code, wParam, lParam);
}

}  // namespace

namespace platform {

int KeyFromHookEvent(int code, WPARAM message, DWORD virtualKey) {
  // Keys pressed with Alt held arrive as WM_SYSKEYDOWN and are not passed on.
  if (code != HC_ACTION || message != WM_KEYDOWN || virtualKey >= 256) return -1;
  return static_cast<int>(virtualKey);
}

bool IsRightPressHookEvent(int code, WPARAM message) {
  return code == HC_ACTION && message == WM_RBUTTONDOWN;
}

bool InstallMouseHook() {
  mouseHook = SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, GetModuleHandleA(nullptr), 0);
  return mouseHook != nullptr;
}

bool InstallKeyboardHook() {
  keyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
  return keyboardHook != nullptr;
}

}  // namespace platform
