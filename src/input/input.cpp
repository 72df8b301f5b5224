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

After Then(const After& first, const After& second) {
  std::vector<int> pauses;
  for (const After* after : {&first, &second}) {
    if (after->pauseMs != 0) pauses.push_back(after->pauseMs);
    for (int pause : after->thenPausesMs) {
      if (pause != 0) pauses.push_back(pause);
    }
  }
  After both;
  both.takesClick = first.takesClick || second.takesClick;
  both.placesPlayer = first.placesPlayer || second.placesPlayer;
  if (!pauses.empty()) {
    both.pauseMs = pauses.front();
    both.thenPausesMs.assign(pauses.begin() + 1, pauses.end());
  }
  return both;
}

void Finish(const After& after, MouseLatches& latches) {
  if (after.pauseMs > 0) platform::Pause(after.pauseMs);
  for (int pause : after.thenPausesMs) {
    if (pause > 0) platform::Pause(pause);
  }
  if (after.takesClick) latches.rightDown = 0;
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

namespace {

CursorReading ReadCursor() {
  const platform::ScreenPoint cursor = platform::CursorPosition();
  const platform::ScreenRect rect = platform::MainWindowRect();
  return {true, cursor.x, cursor.y, rect.left, rect.top, rect.right, rect.bottom};
}

CursorReading Reading(const DisplayState& d) { return d.cursor.read ? d.cursor : ReadCursor(); }

}  // namespace

void ReadCursorForPass(DisplayState& d) { d.cursor = ReadCursor(); }

void EndPassCursor(DisplayState& d) { d.cursor = CursorReading{}; }

void WindowMovedInPass(DisplayState& d) {
  if (!d.cursor.read) return;
  const platform::ScreenRect rect = platform::MainWindowRect();
  d.cursor.left = rect.left;
  d.cursor.top = rect.top;
  d.cursor.right = rect.right;
  d.cursor.bottom = rect.bottom;
}

platform::ScreenPoint CursorOnScreen(const DisplayState& d) {
  const CursorReading r = Reading(d);
  return {r.x, r.y};
}

int CursorCanvasX(const DisplayState& d) {
  const CursorReading r = Reading(d);
  return MapCursorToCanvas(r.x - r.left, r.right - r.left, d.canvasWidth);
}

int CursorCanvasY(const DisplayState& d) {
  const CursorReading r = Reading(d);
  return MapCursorToCanvas(r.bottom - r.y, r.bottom - r.top, d.canvasHeight);
}
