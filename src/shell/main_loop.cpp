// The main loop: draw the view, act on clicks and keys, draw the overlay, present, pump.
#include "shell/main_loop.h"

#include <cstdint>

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

std::uint32_t messagesDispatched = 0;

PassInputs CurrentPassInputs(const Display& display, const Pictures& pictures) {
  PassInputs in;
  in.cursorX = CursorCanvasX(display.displayState);
  in.cursorY = CursorCanvasY(display.displayState);
  in.display = display.displayState;
  in.mode = browserMode;
  in.list = fileList;
  in.views = pictureViews;
  in.nameLimit = nameLimit;
  in.picture = pictures.pictureInfo;
  in.entriesFound = entriesFound;
  in.frame = display.canvas.frameBuffer;
  in.messages = messagesDispatched;
  return in;
}

// The last pass that was drawn and presented: its inputs, and whether it acted on nothing (no
// latched input, no page or rescan requested), so that it changed nothing the next pass reads.
struct PresentedPass {
  bool actedOnNothing = false;
  PassInputs inputs;
};
PresentedPass presented;

// Draws a text in yellow; names and paths as the platform shows them.
void DrawText(Display& display, const char* text, int x, int y) {
  platform::DisplayText(text, TextBuffer, sizeof TextBuffer);
  RenderText(display, x, y, 255, 255, 0);
}

// Cursor cross, build title, buttons, path or picture lines, notice line.
void DrawOverlay(Display& display, const PictureInfo& pictureInfo) {
  const DisplayState& d = display.displayState;
  DrawCursorCross(display);
  DrawText(display, buildTitle, d.scrollX + 12, d.scrollY + d.canvasHeight - 11);
  // Page and view buttons everywhere but on a picture; the centre button with the list only.
  DrawOverlayButtons(display, !browserMode.pictureActive, browserMode.listActive);
  if (!browserMode.pictureActive) {
    DrawText(display, browsedPath, d.scrollX + 12, d.scrollY + d.canvasHeight - 21);
  } else {
    if (pictureViews.pictureEntry >= 1 && pictureViews.pictureEntry <= fileList.count &&
        fileList.names) {
      DrawText(display, fileList.names[pictureViews.pictureEntry], 12, d.canvasHeight - 22);
    }
    FormatText(TextBuffer, sizeof TextBuffer, "%dx%d", pictureInfo.width, pictureInfo.height);
    RenderText(display, 12, d.canvasHeight - 30, 255, 255, 0);
  }
  // A directory with more entries than the list holds says so in place of the notice.
  char cut[64];
  if (entriesFound > fileList.count) {
    FormatText(cut, sizeof cut, "first %d of %d entries", fileList.count, entriesFound);
  }
  DrawText(display, entriesFound > fileList.count ? cut : noticeText, 12,
           14 + NoticeLift(d.canvasHeight, d.zoom, d.windowY, d.screenHeight));
}

// Right clicks on the overlay buttons, on empty canvas, and anywhere in the picture view.
void HandleOverlayClick(Display& display, MouseLatches& latches) {
  DisplayState& d = display.displayState;
  if (latches.rightDown == 1 && !browserMode.pictureActive) {
    std::int32_t id = PickIdUnderCursor(display);
    if (id == pick::none) {
      // Clicks in the top 30 rows (the overlay strip) do nothing, nor do clicks on a cell of
      // the page whose picture has not arrived yet.
      const int y = CursorCanvasY(d);
      if (y < d.canvasHeight - 30 && !ThumbnailCellPendingAt(CursorCanvasX(d), y)) {
        ReturnToList();
      }
    } else if (id == pick::thumbnailsButton) {
      ThumbnailsButton(d, latches);
    } else if (id == pick::bracketLeftButton) {
      ResetScroll(d);
      PreviousThumbnailPage(d);
      platform::Pause(pauseAfter::click);
      latches.rightDown = 0;
    } else if (id == pick::bracketRightButton) {
      ResetScroll(d);
      NextThumbnailPage(d);
      platform::Pause(pauseAfter::click);
      latches.rightDown = 0;
    } else if (id == pick::centerButton) {
      CentreList(d, latches);
    }
  }
  if (latches.rightDown == 1 && browserMode.pictureActive) {
    ClosePicture(latches);
  }
}

// Keys that turn pages, play the selected file or switch between the list and the thumbnails:
// acted on between drawing the view and drawing the overlay.
void HandleViewKeys(DisplayState& d, const Input& input) {
  if (KeyDown(input, key::rightBracket)) {
    ResetScroll(d);
    NextThumbnailPage(d);
  }
  if (KeyDown(input, key::leftBracket)) {
    ResetScroll(d);
    PreviousThumbnailPage(d);
  }
  // A stale selection (beyond the entries of the current scan) is never played.
  if (KeyDown(input, key::p) && browserMode.listActive && fileList.selection != 0 &&
      SelectionIsCurrent() && fileList.kinds[fileList.selection] == entryFile) {
    if (LaunchPlayer() == PlayerLaunch::started) PlacePlayerWindow(d);
  }
  if (KeyDown(input, key::t)) {
    ToggleThumbnailView(d);
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
  DisplayState& d = trove.display.displayState;
  if (KeyDown(trove.input, key::m) && IsMovableCanvas(d.canvasWidth)) FollowMouse(d);
  if (KeyDown(trove.input, key::escape)) trove.quitRequested = true;
  if (KeyDown(trove.input, key::r) || rescanRequested) {
    RescanBrowsedDirectory();
    rescanRequested = false;
  }
  if (KeyDown(trove.input, key::n) && browserMode.listActive) MoveListToCursor(d);
  if (KeyDown(trove.input, key::f5)) SetDisplayMode(trove, DisplayMode::halfScreen);
  if (KeyDown(trove.input, key::f6)) SetDisplayMode(trove, DisplayMode::movable1280);
  if (KeyDown(trove.input, key::f8)) SetDisplayMode(trove, DisplayMode::wholeScreen);
  if (KeyDown(trove.input, key::f7)) OpenExplorer();
  if (KeyDown(trove.input, key::comma)) ScrollListBy(-1);
  if (KeyDown(trove.input, key::period)) ScrollListBy(1);
  if (KeyDown(trove.input, key::leftShift)) ScrollListBy(-24);
  if (KeyDown(trove.input, key::rightShift)) ScrollListBy(24);
  static const float steps[6] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, 0.25f};
  for (int i = 0; i < 6; ++i) {
    if (KeyDown(trove.input, key::digit0 + 1 + i)) pictureViews.sampleStep = steps[i];
  }
  static const int placements[3] = {0, 3, 9};
  for (int i = 0; i < 3; ++i) {
    if (KeyDown(trove.input, key::digit0 + 7 + i)) pictureViews.placementMode = placements[i];
  }
  if (KeyDown(trove.input, key::digit0)) {
    pictureViews.overlayShown = !pictureViews.overlayShown;
    platform::Pause(pauseAfter::oneShotKey);
  }
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
  SetThumbnailCellSize(cell);
  pictureViews.sampleStep = step;
  ResetScroll(d);
  d.windowX = 0;
  d.windowY = 0;
  if (ThumbnailsShown()) ShowThumbnails();
}

void ForgetPresentedPass() { presented = PresentedPass{}; }

bool PassWouldRepeat(const Trove& trove) {
  if (!presented.actedOnNothing || InputLatched(trove.input) || browserMode.thumbRedraw ||
      rescanRequested || trove.quitRequested || ThumbnailPageStepReady(trove.display)) {
    return false;
  }
  return CurrentPassInputs(trove.display, trove.pictures) == presented.inputs;
}

void RunPass(Trove& trove) {
  // Thumbnails decoded in the background since the last pass are kept for later pages.
  CollectPageWork();
  if (PassWouldRepeat(trove)) {
    // The frame on screen is exactly what this pass would present: rest until input arrives
    // (or the cursor may have moved without an event, or a picture of the page may have
    // arrived), then pump as every pass does. Resting on a complete page, the next page is
    // decoded ahead meanwhile.
    DecodeNextPageAhead(trove.display.displayState, trove.pictures);
    platform::WaitForInput(restingWaitMs);
    while (PumpMessages()) ++messagesDispatched;
    if (trove.window.closeRequested) trove.quitRequested = true;
    return;
  }
  // Anything new stops the decoding ahead: the program's own work comes first.
  StopDecodingAhead();
  presented.actedOnNothing = !InputLatched(trove.input) && !browserMode.thumbRedraw &&
                             !rescanRequested && !trove.quitRequested;
  Display& display = trove.display;
  Pictures& pictures = trove.pictures;
  presented.inputs = CurrentPassInputs(display, pictures);

  if (browserMode.listActive) DrawListView(display);
  // A page is drawn as its pictures arrive, over as many passes as that takes.
  if (browserMode.thumbRedraw || ThumbnailPageInProgress()) StepThumbnailPage(display, pictures);
  if (browserMode.pictureActive) DrawPictureView(display, pictures);

  HandleBrowserClick(display, pictures, trove.input.mouseLatches);
  PlayerClickCheck(display, trove.input.mouseLatches);

  HandleViewKeys(display.displayState, trove.input);

  RestoreView(display);
  if (pictureViews.overlayShown) DrawOverlay(display, pictures.pictureInfo);

  HandleOverlayClick(display, trove.input.mouseLatches);

  PresentFrame(display);

  HandleSettingKeys(trove);

  ClearInputLatches(trove.input);
  while (PumpMessages()) ++messagesDispatched;
  // A close request that arrived while pumping ends the program like Escape.
  if (trove.window.closeRequested) trove.quitRequested = true;
}

void RunMainLoop(Trove& trove) {
  while (!trove.quitRequested) {
    RunPass(trove);
  }
  // Pictures not started are dropped; the decodes under way end with their picture.
  StopPageWork();
}
