// Canvas primitives over the images of the display state.
#include "canvas/canvas.h"

#include <cstdlib>
#include <cstring>

#include "input/input.h"
#include "platform/platform.h"

namespace {

std::size_t CanvasPixels(const DisplayState& d) {
  if (d.canvasWidth <= 0 || d.canvasHeight <= 0) {
    return 0;
  }
  return static_cast<std::size_t>(d.canvasWidth) * static_cast<std::size_t>(d.canvasHeight);
}

}  // namespace

void ClearCanvas(Display& display) {
  platform::GlClearBuffers();
  std::size_t pixels = CanvasPixels(display.displayState);
  std::memset(display.canvas.frameBuffer, 0, pixels * 4);
  std::memset(display.canvas.pickBuffer, 0, pixels * 4);
}

void PlotPixel(Display& display, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const DisplayState& d = display.displayState;
  if (x < 0 || y < 0 || x >= d.canvasWidth || y >= d.canvasHeight) {
    return;
  }
  std::uint8_t* p =
      display.canvas.frameBuffer + (static_cast<std::size_t>(y) * d.canvasWidth + x) * 4;
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = 255;
}

void SetPickId(Display& display, int x, int y, std::int32_t id) {
  const DisplayState& d = display.displayState;
  if (x < 0 || y < 0 || x >= d.canvasWidth || y >= d.canvasHeight) {
    return;
  }
  display.canvas.pickBuffer[static_cast<std::size_t>(y) * d.canvasWidth + x] = id;
}

void DrawLine(Display& display, int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g,
              std::uint8_t b) {
  int dx = std::abs(x1 - x0);
  int dy = std::abs(y1 - y0);
  int sx = x1 < x0 ? -1 : (x1 > x0 ? 1 : 0);
  int sy = y1 < y0 ? -1 : (y1 > y0 ? 1 : 0);
  int x = x0;
  int y = y0;
  PlotPixel(display, x, y, r, g, b);
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
      PlotPixel(display, x, y, r, g, b);
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
      PlotPixel(display, x, y, r, g, b);
    }
  }
}

void DrawRectOutline(Display& display, int x0, int y0, int x1, int y1, std::uint8_t r,
                     std::uint8_t g, std::uint8_t b) {
  DrawLine(display, x0, y0, x1, y0, r, g, b);
  DrawLine(display, x1, y0, x1, y1, r, g, b);
  DrawLine(display, x0, y0, x0, y1, r, g, b);
  DrawLine(display, x0, y1, x1, y1, r, g, b);
}

void DrawCursorCross(Display& display) {
  int cx = CursorCanvasX(display.displayState);
  int cy = CursorCanvasY(display.displayState);
  DrawLine(display, cx, cy, cx + 5, cy, 255, 255, 255);
  DrawLine(display, cx, cy, cx, cy + 5, 255, 255, 255);
  DrawLine(display, cx, cy, cx - 5, cy, 255, 255, 255);
  DrawLine(display, cx, cy, cx, cy - 5, 255, 255, 255);
}

void SaveView(Display& display) {
  std::memcpy(display.canvas.savedView, display.canvas.frameBuffer,
              CanvasPixels(display.displayState) * 4);
}

void RestoreView(Display& display) {
  std::memcpy(display.canvas.frameBuffer, display.canvas.savedView,
              CanvasPixels(display.displayState) * 4);
}

std::int32_t PickIdUnderCursor(const Display& display) {
  const DisplayState& d = display.displayState;
  int cx = CursorCanvasX(d);
  int cy = CursorCanvasY(d);
  return display.canvas.pickBuffer[static_cast<std::size_t>(cy) * d.canvasWidth + cx];
}
