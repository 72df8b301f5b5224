// The list view: entries as coloured text in columns, clicks on their rows, scrolling, and the
// way back to the list from the other views.
#include "browser/list_view.h"

#include <algorithm>

#include "base/text_compare.h"
#include "browser/directory.h"
#include "browser/browser.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "input/input.h"
#include "input/pauses.h"
#include "platform/platform.h"

namespace {

// Entry k's name as its row shows it: whole in the first column, cut to nameLimit characters
// in later ones, and never longer than a line holds.
TextLine RowName(const Browser& browser, int k, int column) {
  return NameCut(browser.fileList.names[k], column != 0 ? browser.nameLimit : nameSlotSize);
}

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

}  // namespace

int ListNameLimit(int canvasWidth, DisplayMode displayMode, int previous) {
  int limit = previous;
  if (canvasWidth == 320) limit = 6;
  if (canvasWidth == 640) limit = 36;
  if (canvasWidth == 1280) limit = 36;
  if (canvasWidth == 1600) limit = 64;
  if (displayMode == DisplayMode::halfScreen) limit = 36;
  if (displayMode == DisplayMode::wholeScreen) limit = 64;
  return limit;
}

int ListUsableHeight(int canvasWidth, int canvasHeight, int scrollY, int windowY, int zoom,
                     int screenHeight) {
  int usable = canvasHeight + scrollY - windowY * zoom;
  if (IsMovableCanvas(canvasWidth)) {
    if (zoom != 0) usable += windowY / zoom;
    int reach = canvasHeight * zoom + windowY;
    if (reach > screenHeight) usable -= reach - screenHeight;
  }
  return usable;
}

int ListRowsPerColumn(int usableHeight) { return (usableHeight - 60) / 8; }

int ListFirstShowing(int entry, int rowsPerColumn, int columnsShown) {
  // Columns that hold no row start a column for every entry.
  if (rowsPerColumn < 1) return std::max(entry - 1, 0);
  const int column = (entry - 1) / rowsPerColumn;
  return column < std::max(columnsShown, 1) ? 0 : column * rowsPerColumn;
}

ListRowPlace ListRowPosition(int offset, int rowsPerColumn, int columnNameLimit, int scrollX,
                             int scrollY, int canvasHeight) {
  ListRowPlace p;
  if (rowsPerColumn >= 1) {
    p.column = offset / rowsPerColumn;
    p.row = offset % rowsPerColumn + 1;
  } else {
    // A column that holds no row: every entry starts a column of its own, the first one too.
    p.column = offset + 1;
    p.row = 1;
  }
  p.x = scrollX + p.column * 5 * columnNameLimit + 10;
  p.y = scrollY + canvasHeight - 8 * p.row - 26;
  return p;
}

void DrawListView(Browser& browser, Display& display) {
  ClearCanvas(display);
  const DisplayState& d = display.displayState;
  const int nameLimit = ListNameLimit(d.canvasWidth, d.displayMode, browser.nameLimit);
  if (nameLimit != browser.nameLimit) ++browser.revision;
  browser.nameLimit = nameLimit;
  int screenHeight = platform::ScreenHeight();
  int usable = ListUsableHeight(d.canvasWidth * d.scale, d.canvasHeight, d.scrollY, d.windowY,
                                d.zoom, screenHeight);
  ListLayout layout{d.canvasWidth, d.canvasHeight,    d.scrollX,
                    d.scrollY,     browser.nameLimit, ListRowsPerColumn(usable)};
  if (browser.fileList.names && browser.fileList.kinds) {
    int first = std::max(browser.fileList.listFirst, 0) + 1;
    int last = browser.fileList.count;
    ForEachReachableListRow(layout, first, last, [&](int k, const ListRowPlace& p) {
      const TextLine name = RowName(browser, k, p.column);
      // A row starting left of the canvas may still run onto it.
      if (p.x < 0 && p.x + RenderedWidth(name.text) <= 0) return;
      std::uint8_t r = 0;
      std::uint8_t g = 255;
      std::uint8_t b = 0;
      if (k == browser.fileList.selection) {
        r = 255;
        g = 0;
      } else if (browser.fileList.kinds[k] == entryDirectory) {
        r = 255;
      }
      RenderPickText(display, name.text, p.x, p.y, r, g, b, pick::ListRowId(k));
    });
  }
  SaveView(display);
}

After ClickListRow(Browser& browser, const Display& display, const MouseLatches& latches) {
  if (latches.rightDown != 1) return {};
  std::int32_t id = PickIdUnderCursor(display);
  if (!pick::IsListRow(id)) return {};
  int k = pick::EntryOf(id);
  if (k != browser.fileList.selection) {
    browser.fileList.selection = k;
    return {pauseAfter::click, true};
  }
  // An entry the current scan does not hold (left from a longer directory) is not acted on.
  if (!SelectionIsCurrent(browser.fileList) || !browser.fileList.names || !browser.fileList.kinds) {
    return {0, true};
  }
  // A file: the player check that follows in the same pass takes the click.
  if (browser.fileList.kinds[k] != entryDirectory) return {};
  return EnterSelectedDirectory(browser);
}

After EnterSelectedDirectory(Browser& browser) {
  const FileList& list = browser.fileList;
  if (!SelectionIsCurrent(list) || !list.names || !list.kinds ||
      list.kinds[list.selection] != entryDirectory) {
    return {};
  }
  // The name is tested once, before either operation changes the list.
  const char* name = list.names[list.selection];
  After moved;
  if (EqualsIgnoringCase(name, "..")) {
    moved = GoUp(browser);
  } else if (!EqualsIgnoringCase(name, ".")) {
    moved = EnterDirectory(browser);
  }
  return Then(moved, {pauseAfter::directoryClick});
}

After CentreList(DisplayState& d) {
  d.scrollX = d.canvasWidth / 3;
  d.scrollY = -(d.canvasHeight / 3);
  return {pauseAfter::click, true};
}

void MoveListToCursor(DisplayState& d) {
  d.scrollX = CursorCanvasX(d);
  d.scrollY = CursorCanvasY(d) - d.canvasHeight;
}

After ReturnToList(Browser& browser) {
  ShowList(browser.browserMode);
  RescanBrowsedDirectory(browser);
  return {pauseAfter::click};
}

After ScrollListBy(Browser& browser, int step) {
  int& first = browser.fileList.listFirst;
  if (step == -1) {
    if (first > 0) first -= 1;
  } else if (step == 1) {
    // The Windows program's list is bounded by its last slot, not by count, so that it can be
    // scrolled past its end; a list of the platform's length stops at its last entry.
    const int bound = MostEntries() == maxEntries ? maxEntries : browser.fileList.count - 1;
    if (first < bound) first += 1;
  } else if (step < 0) {
    first = std::max(first + step, 0);
  } else if (step > 0) {
    first = std::min(first + step, browser.fileList.count - 1);
    // An empty list would otherwise start at -1 and show the never-filled slot 0.
    first = std::max(first, 0);
  }
  return {pauseAfter::scrollStep};
}

void SelectListEntry(Browser& browser, const DisplayState& d, int entry) {
  browser.fileList.selection = entry;
  const int usable = ListUsableHeight(d.canvasWidth * d.scale, d.canvasHeight, d.scrollY, d.windowY,
                                      d.zoom, platform::ScreenHeight());
  // The columns that fit whole on the canvas, as the next draw lays them out.
  const int limit = ListNameLimit(d.canvasWidth, d.displayMode, browser.nameLimit);
  const int columns = limit > 0 ? (d.canvasWidth - 10) / (5 * limit) : 1;
  browser.fileList.listFirst = ListFirstShowing(entry, ListRowsPerColumn(usable), columns);
}
