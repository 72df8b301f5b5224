// The main loop: draw the view, act on clicks and keys, draw the overlay, present, pump.
#include "shell/main_loop.h"

#include <cstdint>
#include <cstdio>

#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/launch.h"
#include "browser/list_view.h"
#include "browser/picture_views.h"
#include "browser/thumbnail_page.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "display/window.h"
#include "input/input.h"
#include "input/keys.h"
#include "input/pauses.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"
#include "shell/trove.h"

const char* const noticeText = "TROVE BY THE TROVE DEVELOPERS - FREE TO USE AND SHARE";

namespace {

constexpr const char* buildTitle = "WIN32TROVEXMENU3SPOOLR012C";

// Longest rest between two looks at the cursor: one refresh of a 60 Hz display. Backends wait
// less on faster displays.
constexpr int restingWaitMs = 16;

PassInputs CurrentPassInputs(const Trove& trove) {
  const Browser& browser = trove.browser;
  const Display& display = trove.display;
  PassInputs in;
  in.cursorX = CursorCanvasX(display.displayState);
  in.cursorY = CursorCanvasY(display.displayState);
  in.display = display.displayState;
  in.mode = browser.browserMode;
  in.list = browser.fileList;
  in.views = browser.pictureViews;
  in.nameLimit = browser.nameLimit;
  in.picture = trove.pictures.pictureInfo;
  in.entriesFound = browser.entriesFound;
  in.frame = display.canvas.frameBuffer;
  in.messages = trove.mainLoop.messagesDispatched;
  return in;
}

// Draws a text in yellow; names and paths as the platform shows them.
void DrawText(Display& display, const char* text, int x, int y) {
  platform::DisplayText(text, TextBuffer, sizeof TextBuffer);
  RenderText(display, x, y, 255, 255, 0);
}

// Cursor cross, build title, buttons, path or picture lines, notice line.
void DrawOverlay(const Browser& browser, Display& display, const PictureInfo& pictureInfo) {
  const DisplayState& d = display.displayState;
  DrawCursorCross(display);
  DrawText(display, buildTitle, d.scrollX + 12, d.scrollY + d.canvasHeight - 11);
  // Page and view buttons everywhere but on a picture; the centre button with the list only.
  DrawOverlayButtons(display, !browser.browserMode.pictureActive, browser.browserMode.listActive);
  if (!browser.browserMode.pictureActive) {
    DrawText(display, browser.browsedPath, d.scrollX + 12, d.scrollY + d.canvasHeight - 21);
  } else {
    if (browser.pictureViews.pictureEntry >= 1 &&
        browser.pictureViews.pictureEntry <= browser.fileList.count && browser.fileList.names) {
      DrawText(display, browser.fileList.names[browser.pictureViews.pictureEntry], 12,
               d.canvasHeight - 22);
    }
    FormatText(TextBuffer, sizeof TextBuffer, "%dx%d", pictureInfo.width, pictureInfo.height);
    RenderText(display, 12, d.canvasHeight - 30, 255, 255, 0);
  }
  // A directory with more entries than the list holds says so in place of the notice.
  char cut[64];
  if (browser.entriesFound > browser.fileList.count) {
    FormatText(cut, sizeof cut, "first %d of %d entries", browser.fileList.count,
               browser.entriesFound);
  }
  DrawText(display, browser.entriesFound > browser.fileList.count ? cut : noticeText, 12,
           14 + NoticeLift(d.canvasHeight, d.zoom, d.windowY, d.screenHeight));
}

// Right clicks on the overlay buttons, on empty canvas, and anywhere in the picture view.
void HandleOverlayClick(Browser& browser, Display& display, Pictures& pictures,
                        MouseLatches& latches) {
  DisplayState& d = display.displayState;
  if (latches.rightDown == 1 && !browser.browserMode.pictureActive) {
    std::int32_t id = PickIdUnderCursor(display);
    if (id == pick::none) {
      // Clicks in the top 30 rows (the overlay strip) do nothing. A cell of the page not drawn
      // yet takes the click as the drawn cell would.
      const int x = CursorCanvasX(d);
      const int y = CursorCanvasY(d);
      const int pending = y < d.canvasHeight - 30 ? ThumbnailCellPendingAt(browser, x, y) : 0;
      if (pending != 0) {
        ClickPendingCell(browser, display, pictures, latches, pending, x, y);
      } else if (y < d.canvasHeight - 30) {
        ReturnToList(browser);
      }
    } else if (id == pick::thumbnailsButton) {
      ThumbnailsButton(browser, d, latches);
    } else if (id == pick::bracketLeftButton) {
      ResetScroll(d);
      PreviousThumbnailPage(browser, d);
      platform::Pause(pauseAfter::click);
      latches.rightDown = 0;
    } else if (id == pick::bracketRightButton) {
      ResetScroll(d);
      NextThumbnailPage(browser, d);
      platform::Pause(pauseAfter::click);
      latches.rightDown = 0;
    } else if (id == pick::centerButton) {
      CentreList(d, latches);
    }
  }
  if (latches.rightDown == 1 && browser.browserMode.pictureActive) {
    ClosePicture(browser, latches);
  }
}

// Keys that turn pages, play the selected file or switch between the list and the thumbnails:
// acted on between drawing the view and drawing the overlay.
void HandleViewKeys(Browser& browser, DisplayState& d, const Input& input) {
  if (KeyDown(input, key::rightBracket)) {
    ResetScroll(d);
    NextThumbnailPage(browser, d);
  }
  if (KeyDown(input, key::leftBracket)) {
    ResetScroll(d);
    PreviousThumbnailPage(browser, d);
  }
  // A stale selection (beyond the entries of the current scan) is never played.
  if (KeyDown(input, key::p) && browser.browserMode.listActive && browser.fileList.selection != 0 &&
      SelectionIsCurrent(browser.fileList) &&
      browser.fileList.kinds[browser.fileList.selection] == entryFile) {
    // A player window already open is placed over the browser even when this start failed.
    if (LaunchPlayer(browser) != PlayerLaunch::nothingToPlay) PlacePlayerWindow(d);
  }
  if (KeyDown(input, key::t)) {
    ToggleThumbnailView(browser, d);
  }
}

void FollowMouse(DisplayState& d) {
  platform::ScreenPoint p = platform::CursorPosition();
  platform::MoveMainWindow(p.x, p.y, d.canvasWidth * d.zoom, d.canvasHeight * d.zoom);
  platform::HideSystemCursor();
  d.windowX = p.x;
  d.windowY = p.y;
}

// Keys that change the window, the list's position, the picture settings or end the program:
// acted on after the frame is presented.
void HandleSettingKeys(Trove& trove) {
  Browser& browser = trove.browser;
  DisplayState& d = trove.display.displayState;
  if (KeyDown(trove.input, key::m) && IsMovableCanvas(d.canvasWidth)) FollowMouse(d);
  if (KeyDown(trove.input, key::escape)) trove.quitRequested = true;
  if (KeyDown(trove.input, key::r) || browser.rescanRequested) {
    RescanBrowsedDirectory(browser);
    browser.rescanRequested = false;
  }
  if (KeyDown(trove.input, key::n) && browser.browserMode.listActive) MoveListToCursor(d);
  if (KeyDown(trove.input, key::f5)) SetDisplayMode(trove, DisplayMode::halfScreen);
  if (KeyDown(trove.input, key::f6)) SetDisplayMode(trove, DisplayMode::movable1280);
  if (KeyDown(trove.input, key::f8)) SetDisplayMode(trove, DisplayMode::wholeScreen);
  if (KeyDown(trove.input, key::f7)) OpenExplorer(browser);
  if (KeyDown(trove.input, key::comma)) ScrollListBy(browser, -1);
  if (KeyDown(trove.input, key::period)) ScrollListBy(browser, 1);
  if (KeyDown(trove.input, key::leftShift)) ScrollListBy(browser, -24);
  if (KeyDown(trove.input, key::rightShift)) ScrollListBy(browser, 24);
  static const float steps[6] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, 0.25f};
  for (int i = 0; i < 6; ++i) {
    if (KeyDown(trove.input, key::digit0 + 1 + i)) browser.pictureViews.sampleStep = steps[i];
  }
  static const int placements[3] = {0, 3, 9};
  for (int i = 0; i < 3; ++i) {
    if (KeyDown(trove.input, key::digit0 + 7 + i))
      browser.pictureViews.placementMode = placements[i];
  }
  if (KeyDown(trove.input, key::digit0)) {
    browser.pictureViews.overlayShown = !browser.pictureViews.overlayShown;
    platform::Pause(pauseAfter::oneShotKey);
  }
}

// Lines for a program driving Trove, when it asks for them (platform::ReportWanted): "frame"
// for each frame presented, "page" when a thumbnail page is complete, and "rest INPUTS X Y" when
// the loop begins to rest, and again whenever what it names changes while it rests: the
// key-downs and right presses handled so far, and the cursor's place on the screen.
void Report(const char* line) {
  if (platform::ReportWanted()) platform::WriteReportLine(line);
}

void ReportRest(Trove& trove) {
  if (!platform::ReportWanted()) return;
  MainLoop& m = trove.mainLoop;
  const platform::ScreenPoint p = platform::CursorPosition();
  const std::uint32_t inputs = trove.input.latchedSoFar;
  // The cursor the frame on screen was drawn for: one that has moved since is told once the
  // next pass has drawn it.
  const DisplayState& d = trove.display.displayState;
  if (CanvasXAt(d, p) != m.presented.inputs.cursorX ||
      CanvasYAt(d, p) != m.presented.inputs.cursorY) {
    return;
  }
  if (m.restReported && inputs == m.reportedInputs && p.x == m.reportedX && p.y == m.reportedY) {
    return;
  }
  m.restReported = true;
  m.reportedInputs = inputs;
  m.reportedX = p.x;
  m.reportedY = p.y;
  char line[48];
  std::snprintf(line, sizeof line, "rest %u %d %d", static_cast<unsigned>(inputs), p.x, p.y);
  platform::WriteReportLine(line);
}

}  // namespace

int NoticeLift(int canvasHeight, int zoom, int windowY, int screenHeight) {
  int reach = canvasHeight * zoom + windowY;
  if (reach > screenHeight && zoom != 0) {
    return (reach - screenHeight) / zoom;
  }
  return 0;
}

void SetDisplayMode(Trove& trove, DisplayMode mode) {
  Display& display = trove.display;
  DisplayState& d = display.displayState;
  d.screenWidth = platform::ScreenWidth();
  d.screenHeight = platform::ScreenHeight();
  d.displayMode = mode;
  int cell = largeCellSize;
  float step = 2.0f;
  if (mode == DisplayMode::halfScreen) {
    SetCanvasSize(display, HalfScreen(d.screenWidth), HalfScreen(d.screenHeight));
    d.zoom = 2;
    cell = smallCellSize;
    step = 3.0f;
  } else if (mode == DisplayMode::movable1280) {
    SetCanvasSize(display, movableCanvasWidth, movableCanvasHeight);
    d.zoom = 1;
  } else {
    SetCanvasSize(display, d.screenWidth, d.screenHeight);
    d.zoom = 1;
  }
  CloseGlWindow();
  if (!OpenMainWindow(trove.textures, d)) {
    // Its message box has been shown; without a window there is nothing to present into.
    platform::ExitProgram(1);
  }
  Browser& browser = trove.browser;
  SetThumbnailCellSize(browser.pictureViews, cell);
  browser.pictureViews.sampleStep = step;
  ResetScroll(d);
  d.windowX = 0;
  d.windowY = 0;
  if (ThumbnailsShown(browser.browserMode)) ShowThumbnails(browser.browserMode);
}

void ForgetPresentedPass(MainLoop& mainLoop) { mainLoop.presented = PresentedPass{}; }

bool PassWouldRepeat(const Trove& trove) {
  const Browser& browser = trove.browser;
  if (!trove.mainLoop.presented.actedOnNothing || InputLatched(trove.input) ||
      browser.browserMode.thumbRedraw || browser.rescanRequested || trove.quitRequested ||
      ThumbnailPageStepReady(browser, trove.display)) {
    return false;
  }
  return CurrentPassInputs(trove) == trove.mainLoop.presented.inputs;
}

void RunPass(Trove& trove) {
  // Thumbnails decoded in the background since the last pass are kept for later pages.
  Browser& browser = trove.browser;
  MainLoop& mainLoop = trove.mainLoop;
  CollectPageWork(browser);
  if (PassWouldRepeat(trove)) {
    // The frame on screen is exactly what this pass would present: rest until input arrives
    // (or the cursor may have moved without an event, or a picture of the page may have
    // arrived), then pump as every pass does. Resting on a complete page, the next page is
    // decoded ahead meanwhile.
    DecodeNextPageAhead(browser, trove.display.displayState, trove.pictures);
    ReportRest(trove);
    platform::WaitForInput(restingWaitMs);
    while (PumpMessages()) ++mainLoop.messagesDispatched;
    if (trove.window.closeRequested) trove.quitRequested = true;
    return;
  }
  // Anything new stops the decoding ahead: the program's own work comes first.
  StopDecodingAhead(browser);
  mainLoop.presented.actedOnNothing = !InputLatched(trove.input) &&
                                      !browser.browserMode.thumbRedraw &&
                                      !browser.rescanRequested && !trove.quitRequested;
  Display& display = trove.display;
  Pictures& pictures = trove.pictures;
  mainLoop.presented.inputs = CurrentPassInputs(trove);

  if (browser.browserMode.listActive) DrawListView(browser, display);
  // A page is drawn as its pictures arrive, over as many passes as that takes.
  if (browser.browserMode.thumbRedraw || ThumbnailPageInProgress(browser)) {
    StepThumbnailPage(browser, display, pictures);
    if (ThumbnailPageComplete(browser)) Report("page");
  }
  if (browser.browserMode.pictureActive) DrawPictureView(browser, display, pictures);

  HandleBrowserClick(browser, display, pictures, trove.input.mouseLatches);
  PlayerClickCheck(browser, display, trove.input.mouseLatches);

  HandleViewKeys(browser, display.displayState, trove.input);

  RestoreView(display);
  if (browser.pictureViews.overlayShown) DrawOverlay(browser, display, pictures.pictureInfo);

  HandleOverlayClick(browser, display, pictures, trove.input.mouseLatches);

  PresentFrame(display);
  Report("frame");
  mainLoop.restReported = false;

  HandleSettingKeys(trove);

  ClearInputLatches(trove.input);
  while (PumpMessages()) ++mainLoop.messagesDispatched;
  // A close request that arrived while pumping ends the program like Escape.
  if (trove.window.closeRequested) trove.quitRequested = true;
}

void RunMainLoop(Trove& trove) {
  while (!trove.quitRequested) {
    RunPass(trove);
  }
  // Pictures not started are dropped and the decodes under way abandoned. The native decoders
  // stop within a row of blocks, and are waited for here; the OLE loader runs each picture to
  // its end, and the program does not wait for those: TroveMain ends the process beside them.
  AbandonPageWork(trove.browser);
  if (platform::AbandonedDecodesStop()) StopPageWork(trove.browser);
}
