// Hook installation, key table queries and cursor mapping.
#include "input/input.h"

#include <cstring>

#include "platform/platform.h"

void InstallInputHooks() {
  const bool mouse = platform::InstallMouseHook();
  const bool keyboard = platform::InstallKeyboardHook();
  if (mouse && keyboard) return;
  // Without its hooks the program could neither be steered nor ended from the keyboard.
  platform::ShowMessageBox(mouse ? "The keyboard hook could not be installed."
                                 : "The mouse hook could not be installed.",
                           "ERROR", platform::MessageIcon::exclamation);
  platform::ExitProgram(1);
}

bool KeyDown(const Input& input, int virtualKey) {
  return virtualKey >= 0 && virtualKey < 256 && input.keyTable.down[virtualKey] != 0;
}

bool InputLatched(const Input& input) {
  if (input.mouseLatches.rightDown != 0) return true;
  for (std::int32_t down : input.keyTable.down) {
    if (down != 0) return true;
  }
  return false;
}

void ClearInputLatches(Input& input) {
  std::memset(input.keyTable.down, 0, sizeof input.keyTable.down);
  input.mouseLatches.rightDown = 0;
}

int MapCursorToCanvas(int offset, int extent, int canvasSize) {
  if (extent == 0 || canvasSize <= 0) {
    return 0;
  }
  // volatile keeps every step in single precision, so x87 builds round like every other build.
  volatile float f = static_cast<float>(offset);
  f = f / static_cast<float>(extent);
  f = f * static_cast<float>(canvasSize);
  float fx = f;
  if (fx < 0.0f) {
    return 0;
  }
  if (fx > static_cast<float>(canvasSize - 1)) {
    return canvasSize - 1;
  }
  return static_cast<int>(fx);
}

int CursorCanvasX(const DisplayState& d) { return CanvasXAt(d, platform::CursorPosition()); }

int CursorCanvasY(const DisplayState& d) { return CanvasYAt(d, platform::CursorPosition()); }

int CanvasXAt(const DisplayState& d, platform::ScreenPoint point) {
  platform::ScreenRect rect = platform::MainWindowRect();
  return MapCursorToCanvas(point.x - rect.left, rect.right - rect.left, d.canvasWidth);
}

int CanvasYAt(const DisplayState& d, platform::ScreenPoint point) {
  platform::ScreenRect rect = platform::MainWindowRect();
  return MapCursorToCanvas(rect.bottom - point.y, rect.bottom - rect.top, d.canvasHeight);
}
