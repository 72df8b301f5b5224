// The canvas primitives: bounds of pixel and identifier writes, lines, outlines, the cursor
// cross, clearing, and saving and restoring the view.
#include "canvas/canvas.h"

#include <cstring>

#include "canvas_support.h"
#include "display/display.h"
#include "input/input.h"

namespace {

using Points = std::set<Point>;

TEST_F(CanvasTest, ClearCanvasZeroesBothImagesAndClearsGl) {
  SetCanvasSize(display, 40, 30);
  std::memset(canvas.frameBuffer, 0xAB, Pixels() * 4);
  std::memset(canvas.pickBuffer, 0x5C, Pixels() * 4);
  int clearsBefore = os().glClears;
  ClearCanvas(display);
  EXPECT_EQ(os().glClears, clearsBefore + 1);
  EXPECT_EQ(FrameCopy(), std::vector<std::uint8_t>(Pixels() * 4, 0));
  EXPECT_EQ(PickCopy(), std::vector<std::int32_t>(Pixels(), 0));
}

TEST_F(CanvasTest, PlotPixelWritesOnlyInsideTheCanvas) {
  UseCanvas(40, 30);
  const Point outside[] = {{40, 0},  {0, 30},  {-1, 0},      {0, -1},
                           {40, 30}, {-1, -1}, {1000000, 5}, {5, -1000000}};
  for (Point p : outside) PlotPixel(display, p.first, p.second, 9, 9, 9);
  EXPECT_TRUE(Drawn().empty());
  EXPECT_EQ(Count(0), Pixels());

  // (0, 0) is the first pixel of the image, the bottom-left one on screen.
  PlotPixel(display, 0, 0, 10, 20, 30);
  const std::uint8_t first[4] = {10, 20, 30, 255};
  EXPECT_EQ(std::memcmp(canvas.frameBuffer, first, 4), 0);
  // The top-right corner is the last pixel.
  PlotPixel(display, 39, 29, 1, 2, 3);
  const std::uint8_t last[4] = {1, 2, 3, 255};
  EXPECT_EQ(std::memcmp(canvas.frameBuffer + Pixels() * 4 - 4, last, 4), 0);
  EXPECT_EQ(Drawn(), (Points{{0, 0}, {39, 29}}));
  // Pixel (x, y) lies at byte (y * width + x) * 4; black still carries alpha 255.
  PlotPixel(display, 3, 2, 0, 0, 0);
  EXPECT_EQ(canvas.frameBuffer[(2 * 40 + 3) * 4 + 3], 255);
}

TEST_F(CanvasTest, SetPickIdWritesOnlyInsideTheCanvas) {
  UseCanvas(40, 30);
  const Point outside[] = {{40, 0}, {0, 30}, {-1, 0}, {0, -1}, {-1, 30}};
  for (Point p : outside) SetPickId(display, p.first, p.second, 77);
  EXPECT_TRUE(Marked(77).empty());
  SetPickId(display, 0, 0, 12001);
  SetPickId(display, 39, 29, 4002);
  SetPickId(display, 7, 1, pick::centerButton);
  EXPECT_EQ(canvas.pickBuffer[0], 12001);
  EXPECT_EQ(canvas.pickBuffer[Pixels() - 1], 4002);
  EXPECT_EQ(canvas.pickBuffer[1 * 40 + 7], pick::centerButton);
  EXPECT_EQ(Count(0), Pixels() - 3);
  // Identifiers never touch the FrameBuffer.
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(CanvasTest, DrawLinePlotsTheAccumulatorPointSets) {
  UseCanvas(40, 30);
  DrawLine(display, 0, 0, 5, 2, 255, 0, 0);
  EXPECT_EQ(Drawn(), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));

  // Reversed, the accumulator steps at other columns: not the same set of points.
  UseCanvas(40, 30);
  DrawLine(display, 5, 2, 0, 0, 255, 0, 0);
  EXPECT_EQ(Drawn(), (Points{{5, 2}, {4, 2}, {3, 1}, {2, 1}, {1, 1}, {0, 0}}));

  // Steep: y is the major axis.
  UseCanvas(40, 30);
  DrawLine(display, 0, 0, 2, 5, 255, 0, 0);
  EXPECT_EQ(Drawn(), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 5}}));

  // Starting at the minor extent (not half the major one), a shallow line steps at its end.
  UseCanvas(40, 30);
  DrawLine(display, 0, 0, 8, 1, 255, 0, 0);
  Points shallow = Box(0, 0, 7, 0);
  shallow.insert({8, 1});
  EXPECT_EQ(Drawn(), shallow);

  UseCanvas(40, 30);
  DrawLine(display, 10, 10, 7, 13, 255, 0, 0);
  EXPECT_EQ(Drawn(), (Points{{10, 10}, {9, 11}, {8, 12}, {7, 13}}));

  UseCanvas(40, 30);
  DrawLine(display, 3, 3, 3, 3, 0, 255, 0);
  EXPECT_EQ(Drawn(), (Points{{3, 3}}));
  const std::uint8_t green[4] = {0, 255, 0, 255};
  EXPECT_EQ(std::memcmp(Pixel(3, 3), green, 4), 0);
}

TEST_F(CanvasTest, DrawLineSkipsPointsOffTheCanvas) {
  UseCanvas(10, 10);
  DrawLine(display, -3, 4, 12, 4, 1, 1, 1);
  EXPECT_EQ(Drawn(), Box(0, 4, 9, 4));
  UseCanvas(10, 10);
  DrawLine(display, 2, -50, 2, 50, 1, 1, 1);
  EXPECT_EQ(Drawn(), Box(2, 0, 2, 9));
  UseCanvas(10, 10);
  DrawLine(display, -20, -20, -5, 40, 1, 1, 1);
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(CanvasTest, DrawRectOutlineDrawsTheFourSidesOnly) {
  UseCanvas(960, 540);
  DrawRectOutline(display, 10, 10, 151, 151, 255, 255, 255);
  Points expected = Box(10, 10, 151, 151);
  for (Point p : Box(11, 11, 150, 150)) expected.erase(p);
  EXPECT_EQ(Drawn(), expected);
  EXPECT_EQ(Count(0), Pixels());
}

TEST_F(CanvasTest, CursorCrossAtTheCornerKeepsTheArmsInside) {
  UseCanvas(960, 540);
  displayState.zoom = 2;
  os().windowRect = {0, 0, 1920, 1080};
  os().cursor = {0, 1080};  // the window's bottom-left corner: canvas (0, 0)
  ASSERT_EQ(CursorCanvasX(displayState), 0);
  ASSERT_EQ(CursorCanvasY(displayState), 0);
  DrawCursorCross(display);
  Points expected = Box(0, 0, 5, 0);
  for (Point p : Box(0, 0, 0, 5)) expected.insert(p);
  EXPECT_EQ(Drawn(), expected);
  const std::uint8_t white[4] = {255, 255, 255, 255};
  EXPECT_EQ(std::memcmp(Pixel(5, 0), white, 4), 0);

  // Away from the edges it is the whole plus sign, 11 x 11.
  UseCanvas(960, 540);
  os().cursor = {201, 1080 - 101};  // canvas (100, 50)
  DrawCursorCross(display);
  expected = Box(95, 50, 105, 50);
  for (Point p : Box(100, 45, 100, 55)) expected.insert(p);
  EXPECT_EQ(Drawn(), expected);
}

TEST_F(CanvasTest, SaveAndRestoreRoundTripTheFrameOnly) {
  UseCanvas(64, 48);
  DrawRectOutline(display, 1, 1, 60, 40, 10, 200, 30);
  DrawLine(display, 0, 47, 63, 0, 1, 2, 3);
  SetPickId(display, 5, 5, 12003);
  std::vector<std::uint8_t> view = FrameCopy();
  SaveView(display);
  EXPECT_EQ(std::memcmp(canvas.savedView, view.data(), view.size()), 0);

  // Overlay drawing over the restored view is undone by the next restore.
  PlotPixel(display, 30, 30, 255, 255, 0);
  ClearCanvas(display);
  RestoreView(display);
  EXPECT_EQ(FrameCopy(), view);
  // The PickBuffer is neither saved nor restored.
  EXPECT_EQ(Id(5, 5), 0);
}

TEST_F(CanvasTest, PickIdUnderCursorReadsTheClampedCursorEntry) {
  UseCanvas(960, 540);
  os().windowRect = {0, 0, 1920, 1080};
  os().cursor = {201, 1080 - 101};  // canvas (100, 50)
  SetPickId(display, 100, 50, 12042);
  EXPECT_EQ(PickIdUnderCursor(display), 12042);
  os().cursor = {5000, -5000};  // clamped to the top-right corner
  SetPickId(display, 959, 539, pick::thumbnailsButton);
  EXPECT_EQ(PickIdUnderCursor(display), pick::thumbnailsButton);
}

}  // namespace
