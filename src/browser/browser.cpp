// The browser's state: its view and the storage it owns.
#include "browser/browser.h"

#include <cstdlib>

#include "canvas/text.h"

Browser::~Browser() { delete fileList.names.table; }

void ShowList(BrowserMode& mode) { mode.view = BrowserView::list; }
void ShowThumbnails(BrowserMode& mode) { mode.view = BrowserView::thumbnailsToDraw; }
void ShowPicture(BrowserMode& mode) { mode.view = BrowserView::picture; }
void PageRedrawn(BrowserMode& mode) {
  if (mode.view == BrowserView::thumbnailsToDraw) mode.view = BrowserView::thumbnails;
}
bool ThumbnailsShown(const BrowserMode& mode) {
  return mode.view == BrowserView::thumbnailsToDraw || mode.view == BrowserView::thumbnails;
}

void DrawBrowsedPath(const Browser& browser, Display& display) {
  const DisplayState& d = display.displayState;
  RenderShownText(display, browser.browsedPath, d.scrollX + 12, d.scrollY + d.canvasHeight - 21);
}
