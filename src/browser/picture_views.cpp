// The thumbnail page and the single-picture view: both sample the decoded picture in the
// PictureBuffer into 2 x 2 blocks of canvas pixels, the page also marking them with the entry's
// PickId.
#include "browser/picture_views.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/thumbnail_cache.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "input/input.h"
#include "input/pauses.h"
#include "pictures/texture_loader.h"
#include "platform/platform.h"

namespace {

// The bytes of one canvas row of the FrameBuffer and the PickBuffer.
std::uint8_t* FrameRow(const Display& display, int y) {
  return display.canvas.frameBuffer +
         static_cast<std::size_t>(y) * display.displayState.canvasWidth * 4u;
}
std::int32_t* PickRow(const Display& display, int y) {
  return display.canvas.pickBuffer + static_cast<std::size_t>(y) * display.displayState.canvasWidth;
}

// Bytes per pixel of the picture in the PictureBuffer when it can be sampled: its size as
// pictureInfo gives it must lie within what the loader stored, so no read leaves the picture.
int SampledBytesPerPixel(const Pictures& pictures) {
  const TextureLoader& textureLoader = pictures.textureLoader;
  const PictureInfo& info = pictures.pictureInfo;
  const int bytesPerPixel = info.bitsPerPixel / 8;
  if (!textureLoader.pixels || info.width <= 0 || info.height <= 0 || bytesPerPixel < 3) return 0;
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height);
  const std::uint64_t stored = textureLoader.width > 0 && textureLoader.height > 0
                                   ? static_cast<std::uint64_t>(textureLoader.width) *
                                         static_cast<std::uint64_t>(textureLoader.height) * 4u
                                   : 0u;
  const std::uint64_t bytes = pixels * static_cast<std::uint64_t>(bytesPerPixel);
  if (bytes > stored || bytes > pictureBufferBytes) return 0;
  return bytesPerPixel;
}

}  // namespace

// ---- Arithmetic -------------------------------------------------------------------------------

int ThumbnailNameLimit(int canvasWidth, int previous) {
  switch (canvasWidth) {
    case 320:
      return 9;
    case 640:
      return 18;
    case 1280:
    case 1600:
      return 36;
    default:
      return previous;
  }
}

ThumbnailGrid ThumbnailGridSize(int canvasWidth, int canvasHeight, int columnWidth, int rowHeight) {
  if (columnWidth <= 0 || rowHeight <= 0) return {0, 0};
  return {(canvasWidth - 2) / columnWidth, (canvasHeight - 62) / rowHeight};
}

int CellsPerPage(const PictureViews& views, const DisplayState& d) {
  const ThumbnailGrid grid =
      ThumbnailGridSize(d.canvasWidth, d.canvasHeight, views.cellWidth, views.cellHeight);
  return grid.columns * grid.rows;
}

int PageFirstHolding(int entry, int cellsPerPage) {
  if (cellsPerPage <= 0 || entry < 1) return 1;
  return (entry - 1) / cellsPerPage * cellsPerPage + 1;
}

int ThumbnailLastEntry(int first, const ThumbnailGrid& grid, int count) {
  const std::int64_t cells = static_cast<std::int64_t>(grid.columns) * grid.rows;
  if (grid.columns <= 0 || grid.rows <= 0) return first - 1;
  std::int64_t last = first + cells - 1;
  last = std::min<std::int64_t>(last, count);
  last = std::min<std::int64_t>(last, MostEntries());
  return static_cast<int>(last);
}

CellOrigin ThumbnailCellOrigin(int index, const ThumbnailGrid& grid, int columnWidth, int rowHeight,
                               int canvasHeight) {
  // Cells advance along a row; after its last column the next row starts, and the last row
  // takes any further cells again (no page holds that many).
  const int columns = std::max(grid.columns, 1);
  const int column = index % columns;
  const int row = std::min(index / columns, std::max(grid.rows - 1, 0));
  return {columnWidth * column + 10, canvasHeight - rowHeight * row - rowHeight - 31};
}

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

AxisSamples ReachableSamples(int size, float step, std::int64_t origin, int limit) {
  AxisSamples samples;
  if (size <= 0 || limit <= 0 || !(step > 0.0f)) return samples;
  const float end = static_cast<float>(size);
  float position = 0.0f;
  for (std::int64_t i = 0; position < end; ++i) {
    const std::int64_t start = origin + 2 * i;
    // Later samples lie further right (or up), beyond the canvas as well.
    if (start >= limit) break;
    if (start + 1 >= 0) {
      if (samples.source.empty()) samples.first = i;
      // A size that is not exact as a float can let a position reach it; the last pixel then
      // stands in for it.
      samples.source.push_back(std::min(static_cast<int>(position), size - 1));
    }
    const float next = position + step;
    // A step lost in the rounding of a large position would repeat that sample forever.
    if (!(next > position)) break;
    position = next;
  }
  return samples;
}

void DrawPictureBlocks(Display& display, const std::uint8_t* picture, int width, int height,
                       int bytesPerPixel, int originX, int originY, float step,
                       std::int32_t pickId) {
  const int canvasWidth = display.displayState.canvasWidth;
  const int canvasHeight = display.displayState.canvasHeight;
  if (!picture || bytesPerPixel < 3 || !display.canvas.frameBuffer || !display.canvas.pickBuffer) {
    return;
  }
  const AxisSamples columns = ReachableSamples(width, step, originX, canvasWidth);
  if (columns.source.empty()) return;
  const AxisSamples rows = ReachableSamples(height, step, originY, canvasHeight);
  if (rows.source.empty()) return;

  // Canvas pixels covered by the kept columns: every one of them is written in each row.
  const std::int64_t left = originX + 2 * columns.first;
  const std::int64_t right = left + 2 * static_cast<std::int64_t>(columns.source.size());
  const int spanStart = static_cast<int>(std::max<std::int64_t>(left, 0));
  const int spanEnd = static_cast<int>(std::min<std::int64_t>(right, canvasWidth));
  const std::size_t spanPixels = static_cast<std::size_t>(spanEnd - spanStart);

  for (std::size_t r = 0; r < rows.source.size(); ++r) {
    const std::int64_t bottom = originY + 2 * (rows.first + static_cast<std::int64_t>(r));
    const std::uint8_t* sourceRow = picture + static_cast<std::size_t>(rows.source[r]) *
                                                  static_cast<std::size_t>(width) *
                                                  static_cast<std::size_t>(bytesPerPixel);
    // Fill the lower of the block's two rows that lies on the canvas, then copy it to the other.
    const int y = static_cast<int>(bottom >= 0 ? bottom : bottom + 1);
    std::uint8_t* out = FrameRow(display, y) + static_cast<std::size_t>(spanStart) * 4u;
    for (std::size_t c = 0; c < columns.source.size(); ++c) {
      const std::int64_t x = left + 2 * static_cast<std::int64_t>(c);
      const std::uint8_t* p =
          sourceRow + static_cast<std::size_t>(columns.source[c]) * bytesPerPixel;
      for (std::int64_t px = x; px < x + 2; ++px) {
        if (px < spanStart || px >= spanEnd) continue;
        std::uint8_t* q = out + static_cast<std::size_t>(px - spanStart) * 4u;
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
        q[3] = 255;
      }
    }
    if (pickId != 0) std::fill_n(PickRow(display, y) + spanStart, spanPixels, pickId);
    const std::int64_t other = bottom >= 0 ? bottom + 1 : -1;
    if (other >= 0 && other < canvasHeight) {
      const int y2 = static_cast<int>(other);
      std::memcpy(FrameRow(display, y2) + static_cast<std::size_t>(spanStart) * 4u, out,
                  spanPixels * 4u);
      if (pickId != 0) std::fill_n(PickRow(display, y2) + spanStart, spanPixels, pickId);
    }
  }
}

void DrawSampledPicture(Display& display, const Pictures& pictures, int originX, int originY,
                        float step, std::int32_t pickId) {
  const int bytesPerPixel = SampledBytesPerPixel(pictures);
  if (bytesPerPixel == 0) return;
  const PictureInfo& pictureInfo = pictures.pictureInfo;
  DrawPictureBlocks(display, pictures.textureLoader.pixels, pictureInfo.width, pictureInfo.height,
                    bytesPerPixel, originX, originY, step, pickId);
}

void DrawThumbnailSamples(Display& display, const PictureSamples& samples, int originX, int originY,
                          std::int32_t pickId) {
  if (samples.columns <= 0 || samples.rows <= 0 ||
      samples.rgba.size() != static_cast<std::size_t>(samples.columns) * samples.rows * 4u) {
    return;
  }
  // One sample per position: the same blocks the picture's own sampling would draw.
  DrawPictureBlocks(display, samples.rgba.data(), samples.columns, samples.rows, 4, originX,
                    originY, 1.0f, pickId);
}

// ---- Operations -------------------------------------------------------------------------------

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
  if (!platform::SetCurrentDir(browser.browsedPath)) return;
  textureLoader.IdentifyPicture(name, &pictureInfo);
  platform::SetCurrentDir(browser.workingDirectory);
  browser.pictureViews.pictureLoaded = false;
  if (textureLoader.loadable == 1) {
    if (!platform::SetCurrentDir(browser.browsedPath)) return;
    const int loaded = textureLoader.LoadPicture(name, &pictureInfo);
    platform::SetCurrentDir(browser.workingDirectory);
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

void SetThumbnailCellSize(PictureViews& views, int size) {
  views.cellWidth = size;
  views.cellHeight = size;
}
