// The list view's geometry and drawing, against a row-by-row rendition of the same rules.
#include "browser/list_view.h"

#include <cstring>
#include <string>
#include <vector>

#include "browser/browser.h"
#include "browser_fixture.h"
#include "canvas/text.h"
#include "platform/platform.h"

namespace {

struct DrawnRow {
  int entry, column, row, x, y;
  bool operator==(const DrawnRow&) const = default;
};

// The list drawn the plain way: every entry, the usable height worked out again for each row,
// the row and column counters stepped one row at a time, every row rendered. Returns the
// rows in the order they were rendered.
std::vector<DrawnRow> ReferenceDrawListView(Browser& browser, Display& display) {
  std::vector<DrawnRow> drawn;
  ClearCanvas(display);
  const DisplayState& d = display.displayState;
  if (d.canvasWidth == 320) browser.nameLimit = 6;
  if (d.canvasWidth == 640) browser.nameLimit = 36;
  if (d.canvasWidth == 1280) browser.nameLimit = 36;
  if (d.canvasWidth == 1600) browser.nameLimit = 64;
  if (d.displayMode == DisplayMode::halfScreen) browser.nameLimit = 36;
  if (d.displayMode == DisplayMode::wholeScreen) browser.nameLimit = 64;
  int screenHeight = platform::ScreenHeight();
  int i = 1;
  int j = 0;
  for (int k = browser.fileList.listFirst + 1; k <= browser.fileList.count && k < 3000; ++k) {
    int u;
    if (d.canvasWidth == 1280) {
      u = d.canvasHeight + d.scrollY - d.windowY * d.zoom + d.windowY / d.zoom;
      if (d.canvasHeight * d.zoom + d.windowY > screenHeight) {
        u -= d.canvasHeight * d.zoom + d.windowY - screenHeight;
      }
    } else {
      u = d.canvasHeight + d.scrollY - d.windowY * d.zoom;
    }
    if ((u - 60) / 8 < i) {
      i = 1;
      ++j;
    }
    const char* name = browser.fileList.names[k];
    char cut[nameSlotSize];
    int n = 0;
    while (n < static_cast<int>(std::strlen(name)) && (n < browser.nameLimit || j == 0)) {
      cut[n] = name[n];
      ++n;
    }
    cut[n] = '\0';
    std::uint8_t r = 0, g = 255, b = 0;
    if (k == browser.fileList.selection) {
      r = 255;
      g = 0;
    } else if (browser.fileList.kinds[k] == 0) {
      r = 255;
    }
    int x = d.scrollX + j * 5 * browser.nameLimit + 10;
    int y = d.scrollY + d.canvasHeight - 8 * i - 26;
    RenderPickText(display, cut, x, y, r, g, b, 12000 + k);
    drawn.push_back({k, j, i, x, y});
    ++i;
  }
  SaveView(display);
  return drawn;
}

struct Scene {
  int width, height, mode, zoom;
  int count, listFirst, selection;
  int scrollX, scrollY, windowY, screenHeight;
};

class ListViewTest : public BrowserTest {
 protected:
  // Names of every length from 1 to 259 characters, directories and files mixed.
  void FillEntries(int count) {
    for (int k = 1; k <= count; ++k) {
      int length = 1 + (k * 37) % 259;
      std::string name = "e" + std::to_string(k) + "_" + std::string(258, 'a' + k % 26);
      name.resize(static_cast<std::size_t>(length));
      SetEntry(k, name.c_str(), k % 3 == 0 ? 0 : 1);
    }
    browser.fileList.count = count;
  }

  void Apply(const Scene& s) {
    UseCanvas(s.width, s.height, s.mode, s.zoom);
    FillEntries(s.count);
    browser.fileList.listFirst = s.listFirst;
    browser.fileList.selection = s.selection;
    displayState.scrollX = s.scrollX;
    displayState.scrollY = s.scrollY;
    displayState.windowY = s.windowY;
    os().screenHeight = s.screenHeight;
  }

  std::vector<std::uint8_t> Frame() const {
    const std::uint8_t* f = canvas.frameBuffer;
    return {f, f + Pixels() * 4};
  }
  std::vector<std::int32_t> Picks() const {
    return {canvas.pickBuffer, canvas.pickBuffer + Pixels()};
  }
  std::vector<std::uint8_t> Saved() const {
    return {canvas.savedView, canvas.savedView + Pixels() * 4};
  }
  std::size_t Pixels() const {
    return static_cast<std::size_t>(displayState.canvasWidth) * displayState.canvasHeight;
  }
};

const Scene scenes[] = {
    // width height mode zoom count first sel scrollX scrollY windowY screen
    {640, 480, 1, 2, 0, 0, 1, 0, 0, 0, 960},
    {640, 480, 1, 2, 53, 0, 53, 0, 0, 0, 960},
    {960, 540, 1, 2, 360, 0, 7, 0, 0, 0, 1080},
    {960, 540, 1, 2, 2999, 0, 2000, 0, 0, 0, 1080},
    {960, 540, 1, 2, 2999, 10, 12, 0, 0, 0, 1080},
    {960, 540, 1, 2, 2999, 1500, 1600, 320, -180, 0, 1080},
    {960, 540, 1, 2, 2999, 2990, 1, 0, 0, 0, 1080},
    {960, 540, 1, 2, 2999, 0, 1, -700, 0, 0, 1080},      // long names run in from the left
    {960, 540, 1, 2, 2999, 0, 1, 15, 200, 0, 1080},      // rows above the top edge
    {960, 540, 1, 2, 2999, 0, 1, 0, 202, 0, 1080},       // a row whose pick box ends on the top row
    {960, 540, 1, 2, 2999, 0, 1, 0, -3, -20, 1080},      // a row whose glyphs start on row 0
    {960, 540, 1, 2, 2999, 0, 1, 0, 0, -40, 1080},       // window above the screen: columns run
    {1280, 960, 0, 1, 2999, 5, 3, 0, 0, -100, 1080},     // on below the bottom edge
    {960, 540, 1, 2, 2999, 0, 1, 49, 0, 0, 1080},        // a column starting on the last column
    {960, 540, 1, 2, 2999, 0, 1, 0, -507, 0, 1080},      // no rows, at y = -1
    {960, 540, 1, 2, 2999, 0, 1, 0, -530, 0, 1080},      // columns of no row at all
    {960, 540, 1, 2, 2999, 0, 1, 0, -1000, 0, 1080},     // every row below the canvas
    {1280, 960, 0, 1, 2999, 0, 3, 100, -50, 300, 1080},  // window reaching below the screen
    {1280, 720, 1, 2, 2999, 40, 3, 0, 0, 10, 1440},
    {320, 240, 0, 1, 2999, 0, 5, 0, 0, 0, 768},
    {1920, 1080, 2, 1, 2999, 100, 5, 0, 0, 0, 1080},
};

// Names are shown as the platform shows them (here a code page without any non-ASCII
// character), and a cut counts the characters shown, not the bytes the name takes.
TEST_F(ListViewTest, NamesAreShownAndCutAsThePlatformShowsThem) {
  const char* name = "caf\xc3\xa9 \xe7\x9b\xb8.bmp";
  EXPECT_STREQ(NameCut(name, 255).text, name);
  os().narrowCodePage = true;
  EXPECT_STREQ(NameCut(name, 255).text, "caf? ?.bmp");
  EXPECT_STREQ(NameCut(name, 6).text, "caf? ?");
}

TEST_F(ListViewTest, GeometryOfA640By480Canvas) {
  EXPECT_EQ(ListNameLimit(640, DisplayMode::halfScreen, 9), 36);
  int usable = ListUsableHeight(640, 480, 0, 0, 2, 960);
  EXPECT_EQ(usable, 480);
  EXPECT_EQ(ListRowsPerColumn(usable), 52);
  ListRowPlace firstRow = ListRowPosition(0, 52, 36, 0, 0, 480);
  EXPECT_EQ(firstRow.y, 480 - 34);
  EXPECT_EQ(firstRow.x, 10);
  ListRowPlace last = ListRowPosition(51, 52, 36, 0, 0, 480);
  EXPECT_EQ(last.row, 52);
  EXPECT_EQ(last.column, 0);
  ListRowPlace entry53 = ListRowPosition(52, 52, 36, 0, 0, 480);
  EXPECT_EQ(entry53.column, 1);
  EXPECT_EQ(entry53.row, 1);
  EXPECT_EQ(entry53.x, 190);
  EXPECT_EQ(entry53.y, firstRow.y);
}

TEST_F(ListViewTest, NameLimitByWidthThenDisplayMode) {
  EXPECT_EQ(ListNameLimit(320, DisplayMode::movable1280, 9), 6);
  EXPECT_EQ(ListNameLimit(1280, DisplayMode::movable1280, 9), 36);
  EXPECT_EQ(ListNameLimit(1600, DisplayMode::movable1280, 9), 64);
  EXPECT_EQ(ListNameLimit(1000, DisplayMode::movable1280, 17),
            17);  // no rule: what the thumbnail page left
  EXPECT_EQ(ListNameLimit(320, DisplayMode::halfScreen, 9), 36);
  EXPECT_EQ(ListNameLimit(1280, DisplayMode::wholeScreen, 9), 64);
  EXPECT_EQ(ListNameLimit(1366, DisplayMode::wholeScreen, 9), 64);

  UseCanvas(1000, 700, 0, 1);
  browser.nameLimit = 17;
  DrawListView(browser, display);
  EXPECT_EQ(browser.nameLimit, 17);
  UseCanvas(683, 384, 1, 2);
  DrawListView(browser, display);
  EXPECT_EQ(browser.nameLimit, 36);
}

TEST_F(ListViewTest, UsableHeightAndRowsPerColumn) {
  EXPECT_EQ(ListUsableHeight(960, 540, -100, 10, 2, 1080), 540 - 100 - 20);
  // 1280 wide: the window offset divided by the zoom comes back ...
  EXPECT_EQ(ListUsableHeight(1280, 960, 0, 100, 1, 1080), 960);
  // ... and what reaches below the screen is lost.
  EXPECT_EQ(ListUsableHeight(1280, 960, 0, 300, 1, 1080), 960 - 180);
  EXPECT_EQ(ListUsableHeight(1280, 720, 0, 11, 2, 1440), 720 - 22 + 5 - 11);
  EXPECT_EQ(ListUsableHeight(1280, 720, 0, 0, 0, 1440), 720);  // no zoom: no division
  // Truncation towards zero: a negative remainder still gives a column of no rows.
  EXPECT_EQ(ListRowsPerColumn(68), 1);
  EXPECT_EQ(ListRowsPerColumn(67), 0);
  EXPECT_EQ(ListRowsPerColumn(0), -7);
  // No row fits: every entry, the first one too, gets a column of its own.
  ListRowPlace p = ListRowPosition(0, 0, 36, 0, 0, 480);
  EXPECT_EQ(p.column, 1);
  EXPECT_EQ(p.row, 1);
  EXPECT_EQ(ListRowPosition(4, -7, 36, 0, 0, 480).column, 5);
}

TEST_F(ListViewTest, RowPositionsMatchTheRowByRowRules) {
  for (const Scene& s : scenes) {
    SCOPED_TRACE("scene " + std::to_string(&s - scenes));
    Apply(s);
    std::vector<DrawnRow> all = ReferenceDrawListView(browser, display);
    int rows = ListRowsPerColumn(
        ListUsableHeight(s.width, s.height, s.scrollY, s.windowY, s.zoom, s.screenHeight));
    for (const DrawnRow& r : all) {
      ListRowPlace p = ListRowPosition(r.entry - s.listFirst - 1, rows, browser.nameLimit,
                                       s.scrollX, s.scrollY, s.height);
      ASSERT_EQ((DrawnRow{r.entry, p.column, p.row, p.x, p.y}), r);
    }
  }
}

TEST_F(ListViewTest, DrawsExactlyWhatTheRowByRowRulesDraw) {
  for (const Scene& s : scenes) {
    SCOPED_TRACE("scene " + std::to_string(&s - scenes));
    Apply(s);
    browser.nameLimit = 9;
    DrawListView(browser, display);
    std::vector<std::uint8_t> frame = Frame();
    std::vector<std::int32_t> picks = Picks();
    EXPECT_EQ(Saved(), frame);
    int limit = browser.nameLimit;
    browser.nameLimit = 9;
    ReferenceDrawListView(browser, display);
    EXPECT_EQ(browser.nameLimit, limit);
    EXPECT_TRUE(Frame() == frame);
    EXPECT_TRUE(Picks() == picks);
  }
}

TEST_F(ListViewTest, ARowEndingOnTheFirstColumnIsStillDrawn) {
  UseCanvas(960, 540, 1, 2);
  SetEntry(1, "Wm@ photo", 1);
  browser.fileList.count = 1;
  int width = 0;
  for (const char* c = browser.fileList.names[1]; *c; ++c) width += GlyphWidth(*c) + 1;
  // The row's last column lands on canvas column -1, 0 and 1.
  for (int last = -1; last <= 1; ++last) {
    SCOPED_TRACE("last column " + std::to_string(last));
    displayState.scrollX = last + 1 - width - 10;
    DrawListView(browser, display);
    std::vector<std::uint8_t> frame = Frame();
    std::vector<std::int32_t> picks = Picks();
    ReferenceDrawListView(browser, display);
    EXPECT_TRUE(Frame() == frame);
    EXPECT_TRUE(Picks() == picks);
  }
}

TEST_F(ListViewTest, NamesAreCutOnlyAfterTheFirstColumn) {
  // The width of the box entry k's row marks: the width of the text drawn for it.
  auto markedWidth = [&](int k) {
    const std::vector<std::int32_t> picks = Picks();
    return static_cast<int>(std::count(picks.begin(), picks.end(), pick::listRowBase + k) / 9);
  };
  std::string fifty(50, 'n');
  SetEntry(1, fifty.c_str(), 1);
  browser.fileList.count = 1;
  DrawListView(browser, display);
  EXPECT_EQ(markedWidth(1), RenderedWidth(fifty.c_str()));  // the one row: whole

  for (int k = 1; k <= 53; ++k) SetEntry(k, fifty.c_str(), 1);
  browser.fileList.count = 53;
  DrawListView(browser, display);
  EXPECT_EQ(markedWidth(53), RenderedWidth(std::string(36, 'n').c_str()));  // second column

  // Longer than a line holds: cut to its 255 characters.
  SetEntry(1, std::string(259, 'i').c_str(), 1);
  browser.fileList.count = 1;
  DrawListView(browser, display);
  EXPECT_EQ(markedWidth(1), RenderedWidth(std::string(255, 'i').c_str()));
}

TEST_F(ListViewTest, ListFirstChoosesTheFirstRow) {
  for (int k = 1; k <= 12; ++k) SetEntry(k, ("entry " + std::to_string(k)).c_str(), 1);
  browser.fileList.count = 11;
  browser.fileList.listFirst = 10;
  DrawListView(browser, display);
  std::vector<DrawnRow> rows = ReferenceDrawListView(browser, display);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (DrawnRow{11, 0, 1, 10, 446}));

  // Scrolled past the last entry there is nothing to draw, and slot 0 is never drawn.
  auto rowsMarked = [&] {
    const std::vector<std::int32_t> picks = Picks();
    return std::count_if(picks.begin(), picks.end(),
                         [](std::int32_t id) { return id >= pick::listRowBase; });
  };
  browser.fileList.listFirst = 11;
  DrawListView(browser, display);
  EXPECT_EQ(rowsMarked(), 0);
  browser.fileList.listFirst = -1;
  browser.fileList.count = 0;
  SetEntry(0, "slot zero", 1);
  DrawListView(browser, display);
  EXPECT_EQ(rowsMarked(), 0);
}

}  // namespace
