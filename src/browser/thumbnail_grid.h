// The thumbnail page's grid: how many cells a page holds, where each lies, which entries a page
// shows. Arithmetic only, shared by the page and the picture view's way back to it.
#pragma once

#include "browser/browser.h"
#include "display/display.h"

// Square cells of the given size from the next page on.
void SetThumbnailCellSize(PictureViews& views, int size);

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
