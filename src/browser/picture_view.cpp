// The single-picture view: loading an entry's picture with the browsed directory made current,
// drawing it where the placement puts it, and going in and out of the view.
#include "browser/picture_view.h"

#include <cstdio>

#include "browser/directory.h"
#include "browser/picture_sampling.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "input/input.h"
#include "input/pauses.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"

PictureOrigin PictureViewOrigin(int width, int height, float step, PlacementMode placementMode,
                                int cursorX, int cursorY, int canvasWidth, int canvasHeight) {
  if (!(step > 0.0f)) return {false, 0, 0};
  const float halfWidth = static_cast<float>(width) / step;
  const float halfHeight = static_cast<float>(height) / step;
  float x = 0.0f;
  float y = 0.0f;
  if (placementMode != PlacementMode::centred) {
    const float g = static_cast<float>(placementMode);
    x = g * static_cast<float>(cursorX) - static_cast<float>(canvasWidth) - halfWidth;
    y = g * static_cast<float>(cursorY) - static_cast<float>(canvasHeight) - halfHeight;
  } else {
    x = static_cast<float>(cursorX) - halfWidth;
    y = static_cast<float>(cursorY) - halfHeight;
  }
  // Beyond the range of an int no block can reach a canvas, and the conversion would be
  // undefined.
  constexpr float limit = 2147483648.0f;
  if (!(x > -limit && x < limit && y > -limit && y < limit)) return {false, 0, 0};
  return {true, static_cast<int>(x), static_cast<int>(y)};
}

void LoadEntryPicture(Browser& browser, Pictures& pictures, int entry) {
  TextureLoader& textureLoader = pictures.textureLoader;
  PictureInfo& pictureInfo = pictures.pictureInfo;
  browser.pictureViews.pictureLoaded = false;
  // Only an entry of the current scan: a thumbnail drawn before a shorter rescan names a slot
  // left over from an earlier one.
  if (!browser.fileList.names || entry < 1 || entry > browser.fileList.count) return;
  char name[nameSlotSize];
  FormatText(name, sizeof name, "%s", browser.fileList.names[entry]);
  // When the browsed directory cannot be made current, the start directory's file of the same
  // name must not be decoded in its place.
  {
    const InDirectory in(browser);
    if (!in.entered()) return;
    textureLoader.IdentifyPicture(name, &pictureInfo);
  }
  browser.pictureViews.pictureLoaded = false;
  if (textureLoader.loadable == 1) {
    int loaded = 0;
    {
      const InDirectory in(browser);
      if (!in.entered()) return;
      loaded = textureLoader.LoadPicture(name, &pictureInfo);
    }
    browser.pictureViews.pictureLoaded = loaded == 1;
    // Every load, a page's as well, shows the overlay again and resets the placement.
    browser.pictureViews.placementMode = PlacementMode::followByThree;
    browser.pictureViews.overlayShown = true;
  }
}

void DrawPictureView(const Browser& browser, Display& display, const Pictures& pictures) {
  ClearCanvas(display);
  const DisplayState& d = display.displayState;
  const PictureInfo& pictureInfo = pictures.pictureInfo;
  const PictureOrigin o =
      PictureViewOrigin(pictureInfo.width, pictureInfo.height, browser.pictureViews.sampleStep,
                        browser.pictureViews.placementMode, CursorCanvasX(d), CursorCanvasY(d),
                        d.canvasWidth, d.canvasHeight);
  if (o.valid)
    DrawSampledPicture(display, pictures, o.x, o.y, browser.pictureViews.sampleStep, pick::none);
  SaveView(display);
}

After OpenPicture(Browser& browser, DisplayState& d, Pictures& pictures, int entry) {
  LoadEntryPicture(browser, pictures, entry);
  // A picture that does not load leaves the click to what else it may mean.
  if (!browser.pictureViews.pictureLoaded) return {pauseAfter::pictureOpen};
  ShowLoadedPicture(browser, d, entry);
  return {pauseAfter::pictureOpen, true};
}

void ShowLoadedPicture(Browser& browser, DisplayState& d, int entry) {
  ShowPicture(browser.browserMode);
  browser.pictureViews.pictureEntry = entry;
  ResetScroll(d);
}

After ClosePicture(Browser& browser) {
  ShowThumbnails(browser.browserMode);
  RescanBrowsedDirectory(browser);
  return {pauseAfter::click, true};
}

void DrawPictureLines(const Browser& browser, Display& display, const PictureInfo& pictureInfo) {
  const DisplayState& d = display.displayState;
  const FileList& list = browser.fileList;
  const int entry = browser.pictureViews.pictureEntry;
  if (entry >= 1 && entry <= list.count && list.names) {
    RenderShownText(display, list.names[entry], 12, d.canvasHeight - 22);
  }
  char size[32];
  FormatText(size, sizeof size, "%dx%d", pictureInfo.width, pictureInfo.height);
  RenderText(display, size, 12, d.canvasHeight - 30, 255, 255, 0);
}
