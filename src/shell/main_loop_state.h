// What the main loop keeps from one pass to the next, to tell whether a pass would repeat the
// frame already presented.
#pragma once

#include <cstdint>

#include "browser/browser.h"
#include "display/display.h"
#include "pictures/texture_loader.h"

// Everything a pass that acts on no command draws from, besides contents that only commands
// change (the file list's names, the PictureBuffer, the directory scan). Two such passes that
// start with equal values draw equal frames. The state objects are compared whole, so a field
// added to one of them is compared as well.
struct PassInputs {
  int cursorX = 0;
  int cursorY = 0;
  DisplayState display;
  BrowserMode mode;
  FileList list;
  PictureViews views;
  int nameLimit = 0;
  PictureInfo picture;
  int entriesFound = 0;
  const void* frame = nullptr;
  std::uint32_t messages = 0;  // window messages dispatched so far

  bool operator==(const PassInputs&) const = default;
};

// The last pass that was drawn and presented: its inputs, and whether it acted on nothing (no
// latched input, no page or rescan requested), so that it changed nothing the next pass reads.
struct PresentedPass {
  bool actedOnNothing = false;
  PassInputs inputs;
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
