// The list view: drawing, clicks on its rows, scrolling and the way back to the list.
#pragma once

#include "browser/browser.h"
#include "display/display.h"
#include "input/input.h"
#include "pictures/texture_loader.h"

void DrawListView(Browser& browser, Display& display);
// The commands return their pause and whether they took the click, for the main loop to do.
// A latched right click on a row: the first selects it, a second enters a directory or goes up
// (a file's second click is left to the player check).
After ClickListRow(Browser& browser, const Display& display, const MouseLatches& latches);
// What a second click on the selected directory row does: enters it, or goes up on "..".
After EnterSelectedDirectory(Browser& browser);
After CentreList(DisplayState& d);
void MoveListToCursor(DisplayState& d);
After ReturnToList(Browser& browser);
After ScrollListBy(Browser& browser, int step);
// Selects entry k and starts the list where the canvas shows its row.
void SelectListEntry(Browser& browser, const DisplayState& d, int entry);

// ---- List geometry ----------------------------------------------------------------------------

// Characters to which list names in later columns are cut: by canvas width (320, 640, 1280,
// 1600), then by display mode (1 and 2) overriding it; previous when neither rule matches.
int ListNameLimit(int canvasWidth, DisplayMode displayMode, int previous);

// Canvas height the list may fill. A 1280-wide canvas also counts the window's offset in
// screen pixels and loses the part of the window that reaches below the screen.
int ListUsableHeight(int canvasWidth, int canvasHeight, int scrollY, int windowY, int zoom,
                     int screenHeight);

// Rows a column holds: (usable height - 60) / 8, truncated towards zero; may be 0 or less.
int ListRowsPerColumn(int usableHeight);

// The listFirst that shows entry k with the list unscrolled: 0 while k lies in the first
// columnsShown columns, else the first entry of k's column, so that the list moves by whole
// columns.
int ListFirstShowing(int entry, int rowsPerColumn, int columnsShown);

// Position of the list row that comes `offset` rows after the first shown one: column j from
// 0, row i from 1, and the text position (x, y) handed to the text renderer.
struct ListRowPlace {
  int column;
  int row;
  int x;
  int y;
};
ListRowPlace ListRowPosition(int offset, int rowsPerColumn, int columnNameLimit, int scrollX,
                             int scrollY, int canvasHeight);
