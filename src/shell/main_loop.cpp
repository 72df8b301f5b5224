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
  in.display.cursor = CursorReading{};  // the cursor's canvas point above is what counts
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
  RenderText(display, ShownText(text).text, x, y, 255, 255, 0);
}

// Cursor cross, build title, buttons, path or picture lines, notice line.
void DrawOverlay(const Browser& browser, Display& display, const PictureInfo& pictureInfo) {
  const DisplayState& d = display.displayState;
  DrawCursorCross(display);
  DrawText(display, buildTitle, d.scrollX + 12, d.scrollY + d.canvasHeight - 11);
  // Page and view buttons everywhere but on a picture; the centre button with the list only.
  DrawOverlayButtons(display, !browser.browserMode.pictureActive(),
                     browser.browserMode.listActive());
  if (!browser.browserMode.pictureActive()) {
    DrawText(display, browser.browsedPath, d.scrollX + 12, d.scrollY + d.canvasHeight - 21);
  } else {
    if (browser.pictureViews.pictureEntry >= 1 &&
        browser.pictureViews.pictureEntry <= browser.fileList.count && browser.fileList.names) {
      DrawText(display, browser.fileList.names[browser.pictureViews.pictureEntry], 12,
               d.canvasHeight - 22);
    }
    char size[32];
    FormatText(size, sizeof size, "%dx%d", pictureInfo.width, pictureInfo.height);
    RenderText(display, size, 12, d.canvasHeight - 30, 255, 255, 0);
  }
  // A directory with more entries than the list holds says so in place of the notice, and one
  // longer than the Windows program's list could hold says how long it is.
  char entries[64];
  const char* notice = noticeText;
  if (browser.entriesFound > browser.fileList.count) {
    FormatText(entries, sizeof entries, "first %d of %d entries", browser.fileList.count,
               browser.entriesFound);
    notice = entries;
  } else if (browser.fileList.count > maxEntries) {
    FormatText(entries, sizeof entries, "%d entries", browser.fileList.count);
    notice = entries;
  }
  DrawText(display, notice, 12, 14 + NoticeLift(d.canvasHeight, d.zoom, d.windowY, d.screenHeight));
}

// ---- Commands ------------------------------------------------------------------------------
//
// Each key and each overlay button is one row of a table; the main loop looks the latched input
// up and runs the command. What a command leaves for the loop to do, pausing and taking the
// click, it returns; the loop does it.

struct KeyCommand {
  int key;
  After (*run)(Trove& trove);
  bool (*alsoWhen)(const Trove& trove) = nullptr;  // runs without its key too while this holds
};

// Runs the command of every latched key of table, in the table's order.
template <std::size_t N>
void RunKeyCommands(Trove& trove, const KeyCommand (&table)[N]) {
  for (const KeyCommand& command : table) {
    if (KeyDown(trove.input, command.key) || (command.alsoWhen && command.alsoWhen(trove))) {
      Finish(command.run(trove), trove.input.mouseLatches);
    }
  }
}

// Each page turn puts the overlay back at the canvas's corner itself.
After TurnPage(Trove& trove, bool forward) {
  DisplayState& d = trove.display.displayState;
  return forward ? NextThumbnailPage(trove.browser, d) : PreviousThumbnailPage(trove.browser, d);
}

After Play(Trove& trove) {
  Browser& browser = trove.browser;
  // A stale selection (beyond the entries of the current scan) is never played.
  if (browser.browserMode.listActive() && browser.fileList.selection != 0 &&
      SelectionIsCurrent(browser.fileList) &&
      browser.fileList.kinds[browser.fileList.selection] == entryFile) {
    PlaySelected(trove);
  }
  return {};
}

// Keys that turn pages, play the selected file or switch between the list and the thumbnails:
// acted on between drawing the view and drawing the overlay.
constexpr KeyCommand viewKeys[] = {
    {key::rightBracket, [](Trove& t) { return TurnPage(t, true); }},
    {key::leftBracket, [](Trove& t) { return TurnPage(t, false); }},
    {key::p, Play},
    {key::t, [](Trove& t) { return ToggleThumbnailView(t.browser, t.display.displayState); }},
};

void FollowMouse(DisplayState& d) {
  platform::ScreenPoint p = CursorOnScreen(d);
  platform::MoveMainWindow(p.x, p.y, d.canvasWidth * d.zoom, d.canvasHeight * d.zoom);
  platform::HideSystemCursor();
  d.windowX = p.x;
  d.windowY = p.y;
  WindowMovedInPass(d);
}

After Scroll(Trove& trove, int rows) { return ScrollListBy(trove.browser, rows); }

template <int digit>
After SetSampleStep(Trove& trove) {
  constexpr float steps[6] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, 0.25f};
  trove.browser.pictureViews.sampleStep = steps[digit - 1];
  return {};
}

template <int digit>
After SetPlacement(Trove& trove) {
  constexpr PlacementMode placements[3] = {PlacementMode::centred, PlacementMode::followByThree,
                                           PlacementMode::followByNine};
  trove.browser.pictureViews.placementMode = placements[digit - 7];
  return {};
}

After SetMode(Trove& trove, DisplayMode mode) {
  SetDisplayMode(trove, mode);
  return {};
}

// Keys that change the window, the list's position, the picture settings or end the program:
// acted on after the frame is presented.
constexpr KeyCommand settingKeys[] = {
    {key::m,
     [](Trove& t) {
       DisplayState& d = t.display.displayState;
       if (IsMovableCanvas(d.canvasWidth)) FollowMouse(d);
       return After{};
     }},
    {key::escape,
     [](Trove& t) {
       t.quitRequested = true;
       return After{};
     }},
    // R, and whatever asked for the directory to be read again during the pass.
    {key::r,
     [](Trove& t) {
       RescanBrowsedDirectory(t.browser);
       t.browser.rescanRequested = false;
       return After{};
     },
     [](const Trove& t) { return t.browser.rescanRequested; }},
    {key::n,
     [](Trove& t) {
       if (t.browser.browserMode.listActive()) MoveListToCursor(t.display.displayState);
       return After{};
     }},
    {key::f5, [](Trove& t) { return SetMode(t, DisplayMode::halfScreen); }},
    {key::f6, [](Trove& t) { return SetMode(t, DisplayMode::movable1280); }},
    {key::f8, [](Trove& t) { return SetMode(t, DisplayMode::wholeScreen); }},
    {key::f7, [](Trove& t) { return OpenExplorer(t.browser); }},
    {key::comma, [](Trove& t) { return Scroll(t, -1); }},
    {key::period, [](Trove& t) { return Scroll(t, 1); }},
    {key::leftShift, [](Trove& t) { return Scroll(t, -24); }},
    {key::rightShift, [](Trove& t) { return Scroll(t, 24); }},
    {key::digit0 + 1, SetSampleStep<1>},
    {key::digit0 + 2, SetSampleStep<2>},
    {key::digit0 + 3, SetSampleStep<3>},
    {key::digit0 + 4, SetSampleStep<4>},
    {key::digit0 + 5, SetSampleStep<5>},
    {key::digit0 + 6, SetSampleStep<6>},
    {key::digit0 + 7, SetPlacement<7>},
    {key::digit0 + 8, SetPlacement<8>},
    {key::digit0 + 9, SetPlacement<9>},
    {key::digit0,
     [](Trove& t) {
       t.browser.pictureViews.overlayShown = !t.browser.pictureViews.overlayShown;
       return After{pauseAfter::oneShotKey, false};
     }},
};

struct PickCommand {
  std::int32_t id;
  After (*run)(Trove& trove);
};

// The overlay's buttons, by the PickId under the cursor.
constexpr PickCommand overlayButtons[] = {
    {pick::thumbnailsButton,
     [](Trove& t) { return ThumbnailsButton(t.browser, t.display.displayState); }},
    {pick::bracketLeftButton,
     [](Trove& t) {
       return Then(TurnPage(t, false), {pauseAfter::click, true});
     }},
    {pick::bracketRightButton,
     [](Trove& t) {
       return Then(TurnPage(t, true), {pauseAfter::click, true});
     }},
    {pick::centerButton, [](Trove& t) { return CentreList(t.display.displayState); }},
};

// Right clicks on the overlay buttons, on empty canvas, and anywhere in the picture view.
void HandleOverlayClick(Trove& trove) {
  Browser& browser = trove.browser;
  Display& display = trove.display;
  MouseLatches& latches = trove.input.mouseLatches;
  DisplayState& d = display.displayState;
  if (latches.rightDown == 1 && !browser.browserMode.pictureActive()) {
    std::int32_t id = PickIdUnderCursor(display);
    // Clicks in the top 30 rows (the overlay strip) do nothing.
    if (id == pick::none && CursorCanvasY(d) < d.canvasHeight - 30) {
      Finish(ReturnToList(browser), latches);
    }
    for (const PickCommand& command : overlayButtons) {
      if (command.id == id) Finish(command.run(trove), latches);
    }
  }
  if (latches.rightDown == 1 && browser.browserMode.pictureActive()) {
    Finish(ClosePicture(browser), latches);
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
  // The pass's one reading of the cursor: the one the frame on screen was drawn for, since the
  // pass rests only when nothing it reads has changed.
  const platform::ScreenPoint p = CursorOnScreen(trove.display.displayState);
  const std::uint32_t inputs = trove.input.latchedSoFar;
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
  WindowMovedInPass(d);
  Browser& browser = trove.browser;
  SetThumbnailCellSize(browser.pictureViews, cell);
  browser.pictureViews.sampleStep = step;
  ResetScroll(d);
  d.windowX = 0;
  d.windowY = 0;
  if (ThumbnailsShown(browser.browserMode)) ShowThumbnails(browser.browserMode);
}

PlayerLaunch PlaySelected(Trove& trove) {
  const PlayerLaunch launch = LaunchPlayer(trove.browser);
  if (launch == PlayerLaunch::nothingToPlay) return launch;
  // The player needs a moment to open its window before it is looked for. A player window
  // already open is placed over the browser even when this start failed.
  Finish({pauseAfter::playerStart}, trove.input.mouseLatches);
  PlacePlayerWindow(trove.display.displayState);
  return launch;
}

void PlayerClickCheck(Trove& trove) {
  MouseLatches& latches = trove.input.mouseLatches;
  if (!ClickPlaysSelection(trove.browser, trove.display, latches)) return;
  PlaySelected(trove);
  Finish({0, true}, latches);
}

void ForgetPresentedPass(MainLoop& mainLoop) { mainLoop.presented = PresentedPass{}; }

bool PassWouldRepeat(const Trove& trove) {
  const Browser& browser = trove.browser;
  if (!trove.mainLoop.presented.actedOnNothing || InputLatched(trove.input) ||
      browser.browserMode.thumbRedraw() || browser.rescanRequested || trove.quitRequested ||
      ThumbnailPageStepReady(browser, trove.display)) {
    return false;
  }
  return CurrentPassInputs(trove) == trove.mainLoop.presented.inputs;
}

namespace {

// One pass, on the cursor reading taken for it.
void RunPassOnReading(Trove& trove) {
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
    while (platform::PumpOneMessage(trove.input, trove.window)) ++mainLoop.messagesDispatched;
    if (trove.window.closeRequested) trove.quitRequested = true;
    return;
  }
  // Anything new stops the decoding ahead: the program's own work comes first.
  StopDecodingAhead(browser);
  mainLoop.presented.actedOnNothing = !InputLatched(trove.input) &&
                                      !browser.browserMode.thumbRedraw() &&
                                      !browser.rescanRequested && !trove.quitRequested;
  Display& display = trove.display;
  Pictures& pictures = trove.pictures;
  mainLoop.presented.inputs = CurrentPassInputs(trove);

  if (browser.browserMode.listActive()) DrawListView(browser, display);
  // A page is drawn as its pictures arrive, over as many passes as that takes.
  if (browser.browserMode.thumbRedraw() || ThumbnailPageInProgress(browser)) {
    StepThumbnailPage(browser, display, pictures);
    if (ThumbnailPageComplete(browser)) Report("page");
  }
  if (browser.browserMode.pictureActive()) DrawPictureView(browser, display, pictures);

  MouseLatches& latches = trove.input.mouseLatches;
  Finish(HandleBrowserClick(browser, display, pictures, latches), latches);
  // A cell of the page not drawn yet takes the click here, as its drawn thumbnail would.
  Finish(ClickPendingCell(browser, display, pictures, latches), latches);
  PlayerClickCheck(trove);

  RunKeyCommands(trove, viewKeys);

  RestoreView(display);
  if (browser.pictureViews.overlayShown) DrawOverlay(browser, display, pictures.pictureInfo);

  HandleOverlayClick(trove);

  PresentFrame(display);
  Report("frame");
  mainLoop.restReported = false;

  RunKeyCommands(trove, settingKeys);

  ClearInputLatches(trove.input);
  while (platform::PumpOneMessage(trove.input, trove.window)) ++mainLoop.messagesDispatched;
  // A close request that arrived while pumping ends the program like Escape.
  if (trove.window.closeRequested) trove.quitRequested = true;
}

}  // namespace

void RunPass(Trove& trove) {
  // The cursor is read once: every decision of the pass maps the same point.
  ReadCursorForPass(trove.display.displayState);
  RunPassOnReading(trove);
  EndPassCursor(trove.display.displayState);
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
