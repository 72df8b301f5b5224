// Global low-level keyboard and mouse hooks; every event is passed on unchanged.
#include <windows.h>

#include "input/input.h"
#include "platform/platform.h"

namespace {

HHOOK keyboardHook = nullptr;
HHOOK mouseHook = nullptr;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  // Keys pressed with Alt held arrive as WM_SYSKEYDOWN and are not passed on.
  if (code == HC_ACTION && wParam == WM_KEYDOWN) {
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (event->vkCode < 256) KeyPressed(static_cast<int>(event->vkCode));
  }
  return CallNextHookEx(keyboardHook, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_RBUTTONDOWN) RightButtonPressed();
  return CallNextHookEx(mouseHook, code, wParam, lParam);
}

}  // namespace

namespace platform {

bool InstallMouseHook() {
  mouseHook = SetWindowsHookExA(WH_MOUSE_LL, MouseHookProc, GetModuleHandleA(nullptr), 0);
  return mouseHook != nullptr;
}

bool InstallKeyboardHook() {
  keyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
  return keyboardHook != nullptr;
}

}  // namespace platform
