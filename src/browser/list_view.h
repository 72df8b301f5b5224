// The list view, browser clicks on rows and thumbnails, and navigation.
#pragma once

void DrawListView();
void HandleBrowserClick();
void ToggleThumbnailView();
void ThumbnailsButton();
void NextThumbnailPage();
void PreviousThumbnailPage();
void CentreList();
void MoveListToCursor();
void ReturnToList();
void ScrollListBy(int step);

// Thumbnail cells on a page of the current canvas and cell size.
int CellsPerPage();

// ---- List geometry ----------------------------------------------------------------------------

// Cells of the thumbnail grid: columns (width - 2) / cell width by rows (height - 62) / cell
// height; 0 for an empty cell size.
int ThumbnailCellsPerPage(int canvasWidth, int canvasHeight, int cellWidth, int cellHeight);

// Characters to which list names in later columns are cut: by canvas width (320, 640, 1280,
// 1600), then by display mode (1 and 2) overriding it; previous when neither rule matches.
int ListNameLimit(int canvasWidth, int displayMode, int previous);

// Canvas height the list may fill. A 1280-wide canvas also counts the window's offset in
// screen pixels and loses the part of the window that reaches below the screen.
int ListUsableHeight(int canvasWidth, int canvasHeight, int scrollY, int windowY, int zoom,
                     int screenHeight);

// Rows a column holds: (usable height - 60) / 8, truncated towards zero; may be 0 or less.
int ListRowsPerColumn(int usableHeight);

// Position of the list row that comes `offset` rows after the first shown one: column j from
// 0, row i from 1, and the text position (x, y) handed to the text renderer.
struct ListRowPlace {
  int column;
  int row;
  int x;
  int y;
};
ListRowPlace ListRowPosition(int offset, int rowsPerColumn, int nameLimit, int scrollX, int scrollY,
                             int canvasHeight);

// A row's text at (x, y) touches canvas rows y - 9 (its identifier box) to y + 1 (glyph row 1).
constexpr int listRowReachBelow = 9;
constexpr int listRowReachAbove = 1;

struct ListLayout {
  int canvasWidth;
  int canvasHeight;
  int scrollX;
  int scrollY;
  int nameLimit;
  int rowsPerColumn;
};

// Visits, in drawing order, the entries first .. last whose rows lie within the canvas rows
// and start left of its right edge: visit(entry, place). Rows above or below the canvas are
// passed over without being visited (the rest of a column below the bottom edge at once), and
// the walk ends at the first column that starts at or right of the right edge, since every
// later column starts further right.
template <typename Visit>
void ForEachReachableListRow(const ListLayout& layout, int first, int last, Visit&& visit) {
  for (int k = first; k <= last; ++k) {
    ListRowPlace p = ListRowPosition(k - first, layout.rowsPerColumn, layout.nameLimit,
                                     layout.scrollX, layout.scrollY, layout.canvasHeight);
    if (p.x >= layout.canvasWidth) {
      if (layout.nameLimit > 0) break;
      continue;
    }
    if (p.y + listRowReachAbove < 0) {
      // Rows further down this column are lower still.
      if (layout.rowsPerColumn >= 1) k += layout.rowsPerColumn - p.row;
      continue;
    }
    if (p.y - listRowReachBelow > layout.canvasHeight - 1) continue;
    visit(k, p);
  }
}
