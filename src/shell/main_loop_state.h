// What the main loop keeps from one pass to the next, to tell whether a pass would repeat the
// frame already presented.
#pragma once

#include <cstdint>

// What a pass that acts on no command draws from, as revisions: the cursor's point on the canvas,
// the display's, the browser's and the pictures' revisions, and the window messages dispatched
// so far. Two such passes that start with equal values draw equal frames.
struct PassRevisions {
  int cursorX = 0;
  int cursorY = 0;
  std::uint32_t display = 0;
  std::uint32_t browser = 0;
  std::uint32_t pictures = 0;
  std::uint32_t messages = 0;
  bool operator==(const PassRevisions&) const = default;
};

// The last pass that was drawn and presented: its revisions, and whether it acted on nothing (no
// latched input, no page or rescan requested), so that it changed nothing the next pass reads.
struct PresentedPass {
  bool actedOnNothing = false;
  PassRevisions revisions;
};

// What the main loop keeps from one pass to the next.
struct MainLoop {
  PresentedPass presented;
  std::uint32_t messagesDispatched = 0;
  // The rest last reported (platform::ReportWanted), until a frame is presented.
  bool restReported = false;
  std::uint32_t reportedInputs = 0;
  int reportedX = 0;
  int reportedY = 0;
};
