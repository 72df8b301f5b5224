// Canvas primitives over the images of the display state.
#include "canvas/canvas.h"

#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "input/input.h"
#include "platform/platform.h"

namespace {

std::size_t CanvasPixels() {
  if (displayState.canvasWidth <= 0 || displayState.canvasHeight <= 0) {
    return 0;
  }
  return static_cast<std::size_t>(displayState.canvasWidth) *
         static_cast<std::size_t>(displayState.canvasHeight);
}

}  // namespace

void ClearCanvas() {
  platform::GlClearBuffers();
  std::size_t pixels = CanvasPixels();
  std::memset(canvas.frameBuffer, 0, pixels * 4);
  std::memset(canvas.pickBuffer, 0, pixels * 4);
}

void PlotPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (x < 0 || y < 0 || x >= displayState.canvasWidth || y >= displayState.canvasHeight) {
    return;
  }
  std::uint8_t* p =
      canvas.frameBuffer + (static_cast<std::size_t>(y) * displayState.canvasWidth + x) * 4;
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = 255;
}

void SetPickId(int x, int y, std::int32_t id) {
  if (x < 0 || y < 0 || x >= displayState.canvasWidth || y >= displayState.canvasHeight) {
    return;
  }
  canvas.pickBuffer[static_cast<std::size_t>(y) * displayState.canvasWidth + x] = id;
}

void DrawLine(int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  int dx = std::abs(x1 - x0);
  int dy = std::abs(y1 - y0);
  int sx = x1 < x0 ? -1 : (x1 > x0 ? 1 : 0);
  int sy = y1 < y0 ? -1 : (y1 > y0 ? 1 : 0);
  int x = x0;
  int y = y0;
  PlotPixel(x, y, r, g, b);
  // The error accumulator starts at the minor extent, not at half the major one.
  if (dx > dy) {
    int e = dy;
    for (int i = 0; i < dx; ++i) {
      e += dy;
      if (e > dx) {
        e -= dx;
        y += sy;
      }
      x += sx;
      PlotPixel(x, y, r, g, b);
    }
  } else {
    int e = dx;
    for (int i = 0; i < dy; ++i) {
      e += dx;
      if (e > dy) {
        e -= dy;
        x += sx;
      }
      y += sy;
      PlotPixel(x, y, r, g, b);
    }
  }
}

void DrawRectOutline(int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g,
                     std::uint8_t b) {
  DrawLine(x0, y0, x1, y0, r, g, b);
  DrawLine(x1, y0, x1, y1, r, g, b);
  DrawLine(x0, y0, x0, y1, r, g, b);
  DrawLine(x0, y1, x1, y1, r, g, b);
}

void DrawCursorCross() {
  int cx = CursorCanvasX();
  int cy = CursorCanvasY();
  DrawLine(cx, cy, cx + 5, cy, 255, 255, 255);
  DrawLine(cx, cy, cx, cy + 5, 255, 255, 255);
  DrawLine(cx, cy, cx - 5, cy, 255, 255, 255);
  DrawLine(cx, cy, cx, cy - 5, 255, 255, 255);
}

void SaveView() { std::memcpy(canvas.savedView, canvas.frameBuffer, CanvasPixels() * 4); }

void RestoreView() { std::memcpy(canvas.frameBuffer, canvas.savedView, CanvasPixels() * 4); }

std::int32_t PickIdUnderCursor() {
  int cx = CursorCanvasX();
  int cy = CursorCanvasY();
  return canvas.pickBuffer[static_cast<std::size_t>(cy) * displayState.canvasWidth + cx];
}
