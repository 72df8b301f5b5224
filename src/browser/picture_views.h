// The thumbnail page and the single-picture view.
#pragma once

#include <cstdint>
#include <vector>

#include "browser/file_list.h"
#include "display/display.h"
#include "input/input.h"
#include "pictures/texture_loader.h"
#include "pictures/picture_samples.h"

// Square cells of the given size from the next page on.
void SetThumbnailCellSize(PictureViews& views, int size);

// Decodes entry k of the browsed directory into the PictureBuffer; sets pictureLoaded.
void LoadEntryPicture(Browser& browser, Pictures& pictures, int entry);
// Draws the decoded picture around the cursor at the chosen sample step.
void DrawPictureView(const Browser& browser, Display& display, const Pictures& pictures);
// Switches to the picture view of entry k, whose picture the last load decoded.
void ShowLoadedPicture(Browser& browser, DisplayState& d, int entry);
// Begins decoding entry k for the picture view, on a thread of its own, and pauses as opening
// always has; the click is left to whatever else it may mean. The page stays on screen, and
// every pass answers its keys, until the picture has arrived (CollectOpenedPicture).
After OpenPicture(Browser& browser, DisplayState& d, Pictures& pictures, int entry);
// Takes the picture being opened once its decode has ended: into the PictureBuffer and the
// picture view when it decoded (the thumbnails stay when it did not), as a load leaves them. An
// opening whose page is no longer shown (T, a page turn, another directory) is abandoned
// instead. Called at the start of every pass.
void CollectOpenedPicture(Browser& browser, DisplayState& d, Pictures& pictures);
// A picture is being opened: its decode has not been taken yet.
bool PictureOpeningPending(const Browser& browser);
// Abandons the picture being opened (at the program's end).
void AbandonPictureOpening(Browser& browser);
// A thread of an opening, abandoned or not, still decodes.
bool PictureOpeningsUnderWay(const Browser& browser);
// Back from the picture view to the thumbnail page.
After ClosePicture(Browser& browser);

// ---- Layout and sampling arithmetic -----------------------------------------------------------

// Characters to which captions are cut, less one: by canvas width (320, 640, 1280, 1600);
// previous for any other width.
int ThumbnailNameLimit(int canvasWidth, int previous);

// Columns (width - 2) / cell width by rows (height - 62) / cell height; none for an empty cell.
// The one grid both the page drawing and the page turns use.
ThumbnailGrid ThumbnailGridSize(int canvasWidth, int canvasHeight, int columnWidth, int rowHeight);
// Thumbnail cells on a page of the canvas of d and the cell size of views.
int CellsPerPage(const PictureViews& views, const DisplayState& d);

// First entry of the page that holds entry k, as the page turns reach it from entry 1 a page of
// cells at a time; 1 when a page holds no cell.
int PageFirstHolding(int entry, int cellsPerPage);

// Last entry of the page that starts with first: bounded by the page, count and the last slot.
int ThumbnailLastEntry(int first, const ThumbnailGrid& grid, int count);

struct CellOrigin {
  int x;
  int y;
};
// Bottom-left corner of the index-th cell of a page (from 0): rows left to right, top to bottom,
// the top edge of the first row 30 pixels below the canvas top.
CellOrigin ThumbnailCellOrigin(int index, const ThumbnailGrid& grid, int columnWidth, int rowHeight,
                               int canvasHeight);

// Canvas position of the picture view's bottom-left corner; valid is false when the position
// cannot be taken (a step that is not a positive number, or a position beyond any canvas).
struct PictureOrigin {
  bool valid;
  int x;
  int y;
};
PictureOrigin PictureViewOrigin(int width, int height, float step, PlacementMode placementMode,
                                int cursorX, int cursorY, int canvasWidth, int canvasHeight);

// The samples of one axis whose 2-pixel block starting at origin + 2 i meets canvas pixels
// 0 .. limit - 1: samples first .. first + source.size() - 1, with the source pixel of each.
// Positions are accumulated as the sampling loops accumulate them: 0, step, step + step, ...
// in single precision, while below size as a float.
struct AxisSamples {
  std::int64_t first = 0;
  std::vector<int> source;
};
AxisSamples ReachableSamples(int size, float step, std::int64_t origin, int limit);

// Draws a width x height picture (rows bottom first, bytesPerPixel bytes per pixel, red, green,
// blue first) in 2 x 2 blocks, its bottom-left corner at (originX, originY), one sample every
// step source pixels; marks every pixel with pickId unless pickId is 0. Only the blocks that
// meet the canvas are visited.
void DrawPictureBlocks(Display& display, const std::uint8_t* picture, int width, int height,
                       int bytesPerPixel, int originX, int originY, float step,
                       std::int32_t pickId);

// Draws the picture of pictureInfo from the PictureBuffer in 2 x 2 blocks, its bottom-left
// corner at (originX, originY), one sample every step source pixels; marks every pixel with
// pickId unless pickId is 0. Only reads within the picture the loader stored.
void DrawSampledPicture(Display& display, const Pictures& pictures, int originX, int originY,
                        float step, std::int32_t pickId);

// Draws a thumbnail's samples as the sampling of its whole picture would: one 2 x 2 block per
// sample from (originX, originY), marked with pickId.
void DrawThumbnailSamples(Display& display, const PictureSamples& samples, int originX, int originY,
                          std::int32_t pickId);
