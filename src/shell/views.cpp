// The table of the browser's views: the list, the thumbnail page (to be drawn or drawn) and the
// picture, with the overlay's buttons and the clicks they take.
#include "shell/views.h"

#include <cstdint>

#include "browser/browser.h"
#include "browser/launch.h"
#include "browser/list_view.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "canvas/canvas.h"
#include "display/display.h"
#include "input/pauses.h"
#include "shell/commands.h"
#include "shell/trove.h"

namespace {

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
       return Then(PreviousThumbnailPage(t.browser, t.display.displayState),
                   {pauseAfter::click, true});
     }},
    {pick::bracketRightButton,
     [](Trove& t) {
       return Then(NextThumbnailPage(t.browser, t.display.displayState), {pauseAfter::click, true});
     }},
    {pick::centerButton, [](Trove& t) { return CentreList(t.display.displayState); }},
};

// A right click on a button, or on empty canvas below the overlay strip (the top 30 rows, where
// a click does nothing), which returns to the list.
After ClickOverlay(Trove& trove) {
  const Display& display = trove.display;
  const DisplayState& d = display.displayState;
  const std::int32_t id = PickIdUnderCursor(display);
  if (id == pick::none) {
    return CursorCanvasY(d) < d.canvasHeight - 30 ? ReturnToList(trove.browser) : After{};
  }
  for (const PickCommand& command : overlayButtons) {
    if (command.id == id) return command.run(trove);
  }
  return {};
}

void DrawList(Trove& t) { DrawListView(t.browser, t.display); }

// A row's first click selects it, a second enters it; a second click on a file plays it.
After ClickList(Trove& t) {
  FinishCommand(t, ClickListRow(t.browser, t.display, t.input.mouseLatches));
  PlayerClickCheck(t);
  return {};
}

void DrawPage(Trove&) {}  // the page's own step draws it, cell by cell

After ClickPage(Trove& t) {
  return ClickThumbnail(t.browser, t.display, t.pictures, t.input.mouseLatches);
}

void DrawPathLine(const Trove& t, Display& display) { DrawBrowsedPath(t.browser, display); }

void DrawPicture(Trove& t) { DrawPictureView(t.browser, t.display, t.pictures); }

After ClickPicture(Trove&) { return {}; }  // the picture holds nothing to click

void DrawPictureOverlay(const Trove& t, Display& display) {
  DrawPictureLines(t.browser, display, t.pictures.pictureInfo);
}

// Any right click in the picture view returns to the thumbnail page.
After LeavePicture(Trove& t) { return ClosePicture(t.browser); }

constexpr ViewModule listView = {DrawList, ClickList, true, true, DrawPathLine, ClickOverlay};
constexpr ViewModule thumbnailView = {DrawPage, ClickPage, true, false, DrawPathLine, ClickOverlay};
constexpr ViewModule pictureView = {DrawPicture, ClickPicture,       false,
                                    false,       DrawPictureOverlay, LeavePicture};

// By BrowserView: the list, the picture, the page to be drawn, the page drawn.
constexpr const ViewModule* viewModules[] = {&listView, &pictureView, &thumbnailView,
                                             &thumbnailView};
static_assert(static_cast<int>(BrowserView::thumbnails) == 3);

}  // namespace

const ViewModule& ShownView(const Trove& trove) {
  return *viewModules[static_cast<int>(trove.browser.browserMode.view)];
}
