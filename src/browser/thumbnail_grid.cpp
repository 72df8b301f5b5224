// The thumbnail page's grid arithmetic.
#include "browser/thumbnail_grid.h"

#include <algorithm>
#include <cstdint>

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

void SetThumbnailCellSize(PictureViews& views, int size) {
  views.cellWidth = size;
  views.cellHeight = size;
}
