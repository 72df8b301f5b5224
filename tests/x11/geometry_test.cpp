// The Linux backend's knowledge of where its window is: the newest news by request serial,
// the corner only from events on the root window's coordinates or from the pointer query.
#include "backends/x11/x11_geometry.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const x11::WindowGeometry& g, int left, int top, int right, int bottom) {
  platform::ScreenRect r = g.Rect();
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

TEST(X11GeometryTest, AnEventSentBeforeAMoveDoesNotUndoIt) {
  x11::WindowGeometry g;
  g.Requested(0, 0, 640, 480, 10);
  g.Requested(300, 200, 320, 240, 20);
  // The first request's ConfigureNotify is read after the second request went out.
  g.Configured(0, 0, true, 640, 480, 10);
  ExpectRect(g, 300, 200, 620, 440);
  // The second request's own event, and any later one, hold.
  g.Configured(300, 200, true, 320, 240, 20);
  g.Configured(310, 205, true, 330, 250, 21);
  ExpectRect(g, 310, 205, 640, 455);
}

TEST(X11GeometryTest, InsideAFrameOnlyTheSizeOfAnEventHolds) {
  x11::WindowGeometry g;
  g.Requested(0, 0, 640, 480, 10);
  // Relative to a window manager's frame: the corner is not the screen's.
  g.Configured(2, 24, false, 600, 400, 11);
  ExpectRect(g, 0, 0, 600, 400);
  // The pointer query finds the corner on the screen.
  g.Seen(102, 124, 12);
  ExpectRect(g, 102, 124, 702, 524);
}

TEST(X11GeometryTest, APointerQueryIsNewerThanTheEventsQueuedBeforeIt) {
  x11::WindowGeometry g;
  g.Requested(0, 0, 640, 480, 10);
  g.Seen(50, 60, 30);
  g.Configured(5, 6, true, 640, 480, 29);
  ExpectRect(g, 50, 60, 690, 540);
  // A move the server made after the query, by a request of another program.
  g.Configured(70, 80, true, 640, 480, 30);
  ExpectRect(g, 70, 80, 710, 560);
}

}  // namespace
