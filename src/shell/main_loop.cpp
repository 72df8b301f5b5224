// The main loop: draw the view, act on clicks and keys, draw the overlay, present, pump.
#include "shell/main_loop.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "browser/directory.h"
#include "browser/browser.h"
#include "browser/launch.h"
#include "browser/list_view.h"
#include "browser/picture_view.h"
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
#include "shell/commands.h"
#include "shell/trove.h"
#include "shell/views.h"

const char* const noticeText = "TROVE BY THE TROVE DEVELOPERS - FREE TO USE AND SHARE";

namespace {

constexpr const char* buildTitle = "WIN32TROVEXMENU3SPOOLR012C";

// Longest rest between two looks at the cursor: one refresh of a 60 Hz display. Backends wait
// less on faster displays.
constexpr int restingWaitMs = 16;
// How long the end of the program waits for abandoned decodes to stop.
constexpr int abandonGraceMs = 200;

// Where the state of a pass stands: the cursor's canvas point and the revisions of what a pass
// draws from. Every command, and every change that arrives without one (a picture opened, an
// animation's frame, the canvas made anew, a window message), moves one of them on.
PassRevisions CurrentRevisions(const Trove& trove) {
  PassRevisions r;
  r.cursorX = CursorCanvasX(trove.display.displayState);
  r.cursorY = CursorCanvasY(trove.display.displayState);
  r.display = trove.display.revision;
  r.browser = trove.browser.revision;
  r.pictures = trove.pictures.textureLoader.revision;
  r.messages = trove.mainLoop.messagesDispatched;
  return r;
}

// Cursor cross, build title, the view's buttons and lines, notice line.
void DrawOverlay(const Trove& trove, Display& display) {
  const Browser& browser = trove.browser;
  const DisplayState& d = display.displayState;
  DrawCursorCross(display);
  RenderShownText(display, buildTitle, d.scrollX + 12, d.scrollY + d.canvasHeight - 11);
  const ViewModule& view = ShownView(trove);
  DrawOverlayButtons(display, view.pageButtons, view.centreButton);
  view.drawLines(trove, display);
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
  RenderShownText(display, notice, 12,
                  14 + NoticeLift(d.canvasHeight, d.zoom, d.windowY, d.screenHeight));
}

// ---- Commands ------------------------------------------------------------------------------
//
// Each key is one row of a table that reads like the program's key table: the key, the
// condition under which it acts, the command and its argument. The main loop looks the latched
// keys up and runs the commands; what a command leaves for the loop to do (pausing, taking the
// click, placing the player's window) it returns, and the loop does it.

struct KeyCommand {
  int key;
  bool (*when)(const Trove& trove);  // acts only while this holds; null for always
  After (*run)(Trove& trove, float argument);
  float argument = 0.0f;
};

// Runs the command of every latched key of table whose condition holds, in the table's order.
template <std::size_t N>
void RunKeyCommands(Trove& trove, const KeyCommand (&table)[N]) {
  for (const KeyCommand& command : table) {
    if (KeyDown(trove.input, command.key) && (!command.when || command.when(trove))) {
      FinishCommand(trove, command.run(trove, command.argument));
    }
  }
}

// ---- Conditions

bool ListShown(const Trove& t) { return t.browser.browserMode.listActive(); }

// The list shows, and its selection is a file of the current scan (a stale selection, beyond
// the entries of the current scan, is never played).
bool FileSelectedInList(const Trove& t) {
  const FileList& list = t.browser.fileList;
  return ListShown(t) && list.selection != 0 && SelectionIsCurrent(list) &&
         list.kinds[list.selection] == entryFile;
}

// The Linux program's own keys, each in the view it belongs to.
bool Desktop(const Trove&) { return platform::PlatformConventions().desktopWays; }
bool DesktopList(const Trove& t) { return Desktop(t) && ListShown(t); }
bool DesktopPage(const Trove& t) { return Desktop(t) && ThumbnailsShown(t.browser.browserMode); }
bool DesktopPicture(const Trove& t) { return Desktop(t) && t.browser.browserMode.pictureActive(); }

bool CanvasMovable(const Trove& t) {
  const DisplayState& d = t.display.displayState;
  return IsMovableCanvas(d.canvasWidth * d.scale);
}

// ---- Commands

// Each page turn puts the overlay back at the canvas's corner itself. Forward for a positive
// argument.
After TurnPage(Trove& trove, float forward) {
  DisplayState& d = trove.display.displayState;
  return forward > 0 ? NextThumbnailPage(trove.browser, d)
                     : PreviousThumbnailPage(trove.browser, d);
}

After Play(Trove& trove, float) { return PlaySelected(trove); }

// The next or previous picture of the folder from the one shown.
After NextPicture(Trove& trove, float direction) {
  const int step = direction > 0 ? 1 : -1;
  return StepThroughPictures(trove.browser, trove.display.displayState, trove.pictures,
                             trove.browser.pictureViews.pictureEntry + step, step);
}

// The first picture of the folder (from its start), or the last (from its end).
After EndPicture(Trove& trove, float direction) {
  const int step = direction > 0 ? -1 : 1;
  return StepThroughPictures(trove.browser, trove.display.displayState, trove.pictures,
                             step > 0 ? 1 : trove.browser.fileList.count, step);
}

// Return: what a second click on the selected row would do.
After OpenSelection(Trove& trove, float) {
  if (FileSelectedInList(trove)) return PlaySelected(trove);
  return EnterSelectedDirectory(trove.browser);
}

After ToggleFit(Trove& trove, float) {
  ToggleFittedPicture(trove.browser.pictureViews);
  return {};
}

After ToggleThumbnails(Trove& trove, float) {
  return ToggleThumbnailView(trove.browser, trove.display.displayState);
}

After FollowMouse(Trove& trove, float) {
  DisplayState& d = trove.display.displayState;
  platform::ScreenPoint p = CursorOnScreen(d);
  platform::MoveMainWindow(p.x, p.y, d.canvasWidth * d.zoom, d.canvasHeight * d.zoom);
  platform::HideSystemCursor();
  d.windowX = p.x;
  d.windowY = p.y;
  WindowMovedInPass(d);
  return {};
}

After Quit(Trove& trove, float) {
  trove.quitRequested = true;
  return {};
}

After RequestRescan(Trove& trove, float) {
  trove.browser.rescanRequested = true;
  return {};
}

After ListToCursor(Trove& trove, float) {
  MoveListToCursor(trove.display.displayState);
  return {};
}

After SetMode(Trove& trove, float mode) {
  SetDisplayMode(trove, static_cast<DisplayMode>(static_cast<int>(mode)));
  return {};
}

After Explore(Trove& trove, float) { return OpenExplorer(trove.browser); }

After Scroll(Trove& trove, float rows) {
  return ScrollListBy(trove.browser, static_cast<int>(rows));
}

After SetSampleStep(Trove& trove, float step) {
  trove.browser.pictureViews.sampleStep = step;
  trove.browser.pictureViews.fitted = false;  // the step is shown, not the fitted picture
  return {};
}

After SetPlacement(Trove& trove, float placement) {
  trove.browser.pictureViews.placementMode =
      static_cast<PlacementMode>(static_cast<int>(placement));
  return {};
}

After ToggleOverlay(Trove& trove, float) {
  trove.browser.pictureViews.overlayShown = !trove.browser.pictureViews.overlayShown;
  return {pauseAfter::oneShotKey};
}

constexpr float forward = 1.0f;
constexpr float back = -1.0f;

// Keys that turn pages, play the selected file or switch between the list and the thumbnails:
// acted on between drawing the view and drawing the overlay.
constexpr KeyCommand viewKeys[] = {
    {key::rightBracket, nullptr, TurnPage, forward},
    {key::leftBracket, nullptr, TurnPage, back},
    {key::p, FileSelectedInList, Play},
    {key::t, nullptr, ToggleThumbnails},
};

// The Linux program's keys and wheel notches, in the view each belongs to: the next and previous
// picture, Return on the selection, the wheel scrolling the list and turning pages.
constexpr KeyCommand desktopKeys[] = {
    {key::space, DesktopPicture, NextPicture, forward},
    {key::right, DesktopPicture, NextPicture, forward},
    {key::backSpace, DesktopPicture, NextPicture, back},
    {key::left, DesktopPicture, NextPicture, back},
    {key::home, DesktopPicture, EndPicture, back},
    {key::end, DesktopPicture, EndPicture, forward},
    {key::enter, DesktopList, OpenSelection},
    {key::wheelUp, DesktopList, Scroll, -3},
    {key::wheelDown, DesktopList, Scroll, 3},
    {key::wheelUp, DesktopPage, TurnPage, back},
    {key::wheelDown, DesktopPage, TurnPage, forward},
    {key::wheelUp, DesktopPicture, NextPicture, back},
    {key::wheelDown, DesktopPicture, NextPicture, forward},
};

// Keys acted on after the frame is presented: first those that move the window, end the program
// or ask for the directory to be read again, which happens before the rest.
constexpr KeyCommand windowKeys[] = {
    {key::m, CanvasMovable, FollowMouse},
    {key::escape, nullptr, Quit},
    {key::r, nullptr, RequestRescan},
};

// Then those that move the list, change the display mode or the picture settings.
constexpr KeyCommand settingKeys[] = {
    {key::n, ListShown, ListToCursor},
    {key::f5, nullptr, SetMode, static_cast<float>(DisplayMode::halfScreen)},
    {key::f6, nullptr, SetMode, static_cast<float>(DisplayMode::movable1280)},
    {key::f8, nullptr, SetMode, static_cast<float>(DisplayMode::wholeScreen)},
    {key::f7, nullptr, Explore},
    {key::comma, nullptr, Scroll, -1},
    {key::period, nullptr, Scroll, 1},
    {key::leftShift, nullptr, Scroll, -24},
    {key::rightShift, nullptr, Scroll, 24},
    {key::digit0 + 1, nullptr, SetSampleStep, 1.0f},
    {key::digit0 + 2, nullptr, SetSampleStep, 2.0f},
    {key::digit0 + 3, nullptr, SetSampleStep, 3.0f},
    {key::digit0 + 4, nullptr, SetSampleStep, 4.0f},
    {key::digit0 + 5, nullptr, SetSampleStep, 0.5f},
    {key::digit0 + 6, nullptr, SetSampleStep, 0.25f},
    {key::digit0 + 7, nullptr, SetPlacement, static_cast<float>(PlacementMode::centred)},
    {key::digit0 + 8, nullptr, SetPlacement, static_cast<float>(PlacementMode::followByThree)},
    {key::digit0 + 9, nullptr, SetPlacement, static_cast<float>(PlacementMode::followByNine)},
    {key::digit0, nullptr, ToggleOverlay},
    {key::w, Desktop, ToggleFit},
};

// R, and whatever asked for the directory to be read again during the pass.
void RescanIfRequested(Browser& browser) {
  if (!browser.rescanRequested) return;
  RescanBrowsedDirectory(browser);
  browser.rescanRequested = false;
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
  d.scale = platform::DisplayScale();
  int cell = largeCellSize;
  float step = 2.0f;
  if (mode == DisplayMode::halfScreen) {
    SetCanvasSize(display, HalfScreen(d.screenWidth) / d.scale,
                  HalfScreen(d.screenHeight) / d.scale);
    d.zoom = 2 * d.scale;
    cell = smallCellSize;
    step = 3.0f;
  } else if (mode == DisplayMode::movable1280) {
    SetCanvasSize(display, movableCanvasWidth / d.scale, movableCanvasHeight / d.scale);
    d.zoom = d.scale;
  } else {
    SetCanvasSize(display, d.screenWidth / d.scale, d.screenHeight / d.scale);
    d.zoom = d.scale;
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

void ForgetPresentedPass(MainLoop& mainLoop) { mainLoop.presented = PresentedPass{}; }

bool PassWouldRepeat(const Trove& trove) {
  const Browser& browser = trove.browser;
  if (!trove.mainLoop.presented.actedOnNothing || InputLatched(trove.input) ||
      browser.browserMode.thumbRedraw() || browser.rescanRequested || trove.quitRequested ||
      ThumbnailPageStepReady(browser, trove.display)) {
    return false;
  }
  return CurrentRevisions(trove) == trove.mainLoop.presented.revisions;
}

namespace {

// One pass, on the cursor reading taken for it.
void RunPassOnReading(Trove& trove) {
  // Thumbnails decoded in the background since the last pass are kept for later pages.
  Browser& browser = trove.browser;
  MainLoop& mainLoop = trove.mainLoop;
  CollectPageWork(browser);
  // The picture being opened, once it has arrived, is shown by this pass.
  CollectOpenedPicture(browser, trove.display.displayState, trove.pictures);
  // An animation's frame whose time has come is shown by this pass.
  CollectAnimationFrame(browser, trove.pictures);
  if (PassWouldRepeat(trove)) {
    // The frame on screen is exactly what this pass would present: rest until input arrives
    // (or the cursor may have moved without an event, or a picture of the page may have
    // arrived), then pump as every pass does. Resting on a complete page, the next page is
    // decoded ahead meanwhile.
    // Waiting for a picture being opened is no rest: it shows as soon as it arrives, and nothing
    // is decoded ahead beside it.
    if (!PictureOpeningPending(browser)) {
      DecodeNextPageAhead(browser, trove.display.displayState, trove.pictures);
      ReportRest(trove);
    }
    // An animation rests until its next frame is due.
    platform::WaitForInput(AnimationRestMs(browser, restingWaitMs));
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
  mainLoop.presented.revisions = CurrentRevisions(trove);

  // A page is drawn as its pictures arrive, over as many passes as that takes, in any view so
  // that a page left early is dropped; it is reported complete once the frame that shows it is.
  const bool pageStepping = browser.browserMode.thumbRedraw() || ThumbnailPageInProgress(browser);
  StepThumbnailPage(browser, display, pictures);
  const bool pageComplete = pageStepping && ThumbnailPageComplete(browser);
  ShownView(trove).draw(trove);

  if (trove.input.mouseLatches.rightDown == 1) FinishCommand(trove, ShownView(trove).click(trove));

  RunKeyCommands(trove, viewKeys);
  RunKeyCommands(trove, desktopKeys);

  RestoreView(display);
  if (browser.pictureViews.overlayShown) DrawOverlay(trove, display);

  // Right clicks on the overlay buttons, on empty canvas, and anywhere in the picture view.
  if (trove.input.mouseLatches.rightDown == 1) {
    FinishCommand(trove, ShownView(trove).overlayClick(trove));
  }

  PresentFrame(display);
  Report("frame");
  if (pageComplete) Report("page");
  mainLoop.restReported = false;

  RunKeyCommands(trove, windowKeys);
  RescanIfRequested(browser);
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
  // Pictures not started are dropped and the decodes under way (a page's, the picture being
  // opened) abandoned. The native decoders stop within a row of blocks and are given a short
  // grace for it; one still inside a library call that cannot be left after the grace, like any
  // picture of the OLE loader (which runs each to its end), is not waited for: TroveMain ends
  // the process beside it.
  Browser& browser = trove.browser;
  AbandonPageWork(browser);
  AbandonPictureOpening(browser);
  if (!platform::AbandonedDecodesStop()) return;
  const auto graceEnd =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(abandonGraceMs);
  while ((PageDecodesUnderWay(browser) || PictureOpeningsUnderWay(browser)) &&
         std::chrono::steady_clock::now() < graceEnd) {
    platform::Pause(5);
  }
  if (!PageDecodesUnderWay(browser)) StopPageWork(browser);
}
