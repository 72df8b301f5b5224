// Helpers shared by the canvas tests: a cleared canvas of a chosen size and read-back of the
// pixels and identifiers the primitives wrote.
#pragma once

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "canvas/canvas.h"
#include "display/display.h"
#include "support/program_fixture.h"

using Point = std::pair<int, int>;

class CanvasTest : public ProgramTest {
 protected:
  // A canvas of the given size whose images are all cleared.
  void UseCanvas(int width, int height) {
    SetCanvasSize(display, width, height);
    ClearCanvas(display);
  }

  int Width() const { return displayState.canvasWidth; }
  int Height() const { return displayState.canvasHeight; }
  std::size_t Pixels() const { return static_cast<std::size_t>(Width()) * Height(); }

  const std::uint8_t* Pixel(int x, int y) const {
    return canvas.frameBuffer + (static_cast<std::size_t>(y) * Width() + x) * 4;
  }
  std::int32_t Id(int x, int y) const {
    return canvas.pickBuffer[static_cast<std::size_t>(y) * Width() + x];
  }

  // Every pixel that is no longer (0, 0, 0, 0).
  std::set<Point> Drawn() const {
    std::set<Point> points;
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x) {
        const std::uint8_t* p = Pixel(x, y);
        if (p[0] || p[1] || p[2] || p[3]) points.insert({x, y});
      }
    }
    return points;
  }

  // Every entry of the PickBuffer that holds id.
  std::set<Point> Marked(std::int32_t id) const {
    std::set<Point> points;
    for (int y = 0; y < Height(); ++y) {
      for (int x = 0; x < Width(); ++x) {
        if (Id(x, y) == id) points.insert({x, y});
      }
    }
    return points;
  }

  // How many PickBuffer entries hold id.
  std::size_t Count(std::int32_t id) const {
    std::size_t n = 0;
    for (std::size_t i = 0; i < Pixels(); ++i) n += canvas.pickBuffer[i] == id ? 1 : 0;
    return n;
  }

  std::vector<std::uint8_t> FrameCopy() const {
    return {canvas.frameBuffer, canvas.frameBuffer + Pixels() * 4};
  }
  std::vector<std::int32_t> PickCopy() const {
    return {canvas.pickBuffer, canvas.pickBuffer + Pixels()};
  }
};

// The filled rectangle of points from (x0, y0) to (x1, y1), both corners included.
inline std::set<Point> Box(int x0, int y0, int x1, int y1) {
  std::set<Point> points;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) points.insert({x, y});
  }
  return points;
}
