// The main loop: draw the view, act on clicks and keys, draw the overlay, present, pump.
#include "shell/main_loop.h"

#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/launch.h"
#include "browser/list_view.h"
#include "browser/picture_views.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "display/window.h"
#include "input/input.h"
#include "input/keys.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"

int quitRequested = 0;

const char* const noticeText = "TROVE BY THE TROVE DEVELOPERS - FREE TO USE AND SHARE";

namespace {

constexpr const char* buildTitle = "WIN32TROVEXMENU3SPOOLR012C";

void ResetScroll() {
  displayState.scrollX = 0;
  displayState.scrollY = 0;
}

void DrawText(const char* text, int x, int y) {
  FormatText(TextBuffer, sizeof TextBuffer, "%s", text);
  RenderText(x, y, 255, 255, 0);
}

// Cursor cross, build title, buttons, path or picture lines, notice line.
void DrawOverlay() {
  const DisplayState& d = displayState;
  DrawCursorCross();
  DrawText(buildTitle, d.scrollX + 12, d.scrollY + d.canvasHeight - 11);
  DrawOverlayButtons();
  if (browserMode.pictureActive == 0) {
    DrawText(browsedPath, d.scrollX + 12, d.scrollY + d.canvasHeight - 21);
  } else {
    if (pictureEntry >= 1 && pictureEntry <= fileList.count && fileList.names) {
      DrawText(fileList.names[pictureEntry], 12, d.canvasHeight - 22);
    }
    FormatText(TextBuffer, sizeof TextBuffer, "%dx%d", pictureInfo.width, pictureInfo.height);
    RenderText(12, d.canvasHeight - 30, 255, 255, 0);
  }
  DrawText(noticeText, 12, 14 + NoticeLift(d.canvasHeight, d.zoom, d.windowY, d.screenHeight));
}

// Right clicks on the overlay buttons, on empty canvas, and anywhere in the picture view.
void HandleOverlayClick() {
  if (mouseLatches.rightDown == 1 && browserMode.pictureActive == 0) {
    std::int32_t id = PickIdUnderCursor();
    if (id == pick::none) {
      // Clicks in the top 30 rows (the overlay strip) do nothing.
      if (CursorCanvasY() < displayState.canvasHeight - 30) {
        ReturnToList();
      }
    } else if (id == pick::thumbnailsButton) {
      ThumbnailsButton();
    } else if (id == pick::bracketLeftButton) {
      ResetScroll();
      PreviousThumbnailPage();
      platform::Pause(480);
      mouseLatches.rightDown = 0;
    } else if (id == pick::bracketRightButton) {
      ResetScroll();
      NextThumbnailPage();
      platform::Pause(480);
      mouseLatches.rightDown = 0;
    } else if (id == pick::centerButton) {
      CentreList();
    }
  }
  if (mouseLatches.rightDown == 1 && browserMode.pictureActive == 1) {
    ClosePicture();
  }
}

void FirstKeyGroup() {
  if (KeyDown(key::rightBracket)) {
    ResetScroll();
    NextThumbnailPage();
  }
  if (KeyDown(key::leftBracket)) {
    ResetScroll();
    PreviousThumbnailPage();
  }
  // A stale selection (beyond the entries of the current scan) is never played.
  if (KeyDown(key::p) && browserMode.listActive == 1 && fileList.selection != 0 &&
      SelectionIsCurrent() && fileList.kinds[fileList.selection] == 1) {
    if (LaunchPlayer()) PlacePlayerWindow();
  }
  if (KeyDown(key::t)) {
    ToggleThumbnailView();
  }
}

void FollowMouse() {
  platform::ScreenPoint p = platform::CursorPosition();
  platform::MoveMainWindow(p.x, p.y, displayState.canvasWidth * displayState.zoom,
                           displayState.canvasHeight * displayState.zoom);
  platform::HideSystemCursor();
  displayState.windowX = p.x;
  displayState.windowY = p.y;
}

void SecondKeyGroup() {
  if (KeyDown(key::m) && displayState.canvasWidth == 1280) FollowMouse();
  if (KeyDown(key::escape)) quitRequested = 1;
  if (KeyDown(key::r) || rescanRequested == 1) {
    RescanBrowsedDirectory();
    rescanRequested = 0;
  }
  if (KeyDown(key::n) && browserMode.listActive == 1) MoveListToCursor();
  if (KeyDown(key::f5)) SetDisplayMode(1);
  if (KeyDown(key::f6)) SetDisplayMode(0);
  if (KeyDown(key::f8)) SetDisplayMode(2);
  if (KeyDown(key::f7)) OpenExplorer();
  if (KeyDown(key::comma)) ScrollListBy(-1);
  if (KeyDown(key::period)) ScrollListBy(1);
  if (KeyDown(key::leftShift)) ScrollListBy(-24);
  if (KeyDown(key::rightShift)) ScrollListBy(24);
  static const float steps[6] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, 0.25f};
  for (int i = 0; i < 6; ++i) {
    if (KeyDown(key::digit0 + 1 + i)) textureLoader.sampleStep = steps[i];
  }
  static const int placements[3] = {0, 3, 9};
  for (int i = 0; i < 3; ++i) {
    if (KeyDown(key::digit0 + 7 + i)) textureLoader.placementMode = placements[i];
  }
  if (KeyDown(key::digit0)) {
    textureLoader.overlayShown = textureLoader.overlayShown == 0 ? 1 : 0;
    platform::Pause(450);
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

void SetDisplayMode(int mode) {
  DisplayState& d = displayState;
  d.screenWidth = platform::ScreenWidth();
  d.screenHeight = platform::ScreenHeight();
  d.displayMode = mode;
  int cell = 200;
  float step = 2.0f;
  if (mode == 1) {
    SetCanvasSize(HalfScreen(d.screenWidth), HalfScreen(d.screenHeight));
    d.zoom = 2;
    cell = 140;
    step = 3.0f;
  } else if (mode == 0) {
    SetCanvasSize(1280, 960);
    d.zoom = 1;
  } else {
    SetCanvasSize(d.screenWidth, d.screenHeight);
    d.zoom = 1;
  }
  CloseGlWindow();
  if (!OpenMainWindow()) {
    // Its message box has been shown; without a window there is nothing to present into.
    platform::ExitProgram(1);
  }
  cellWidth = cell;
  cellHeight = cell;
  textureLoader.sampleStep = step;
  d.scrollX = 0;
  d.scrollY = 0;
  d.windowX = 0;
  d.windowY = 0;
  if (browserMode.listActive == 0 && browserMode.pictureActive == 0) {
    browserMode.thumbRedraw = 1;
  }
}

void RunPass() {
  if (browserMode.listActive == 1) DrawListView();
  if (browserMode.thumbRedraw == 1) DrawThumbnailPage();
  if (browserMode.pictureActive == 1) DrawPictureView();

  HandleBrowserClick();
  PlayerClickCheck();

  FirstKeyGroup();

  RestoreView();
  if (textureLoader.overlayShown == 1) DrawOverlay();

  HandleOverlayClick();

  PresentFrame();

  SecondKeyGroup();

  ClearInputLatches();
  while (PumpMessages()) {
  }
}

void RunMainLoop() {
  while (quitRequested == 0) {
    RunPass();
  }
}
