// The glyph table, bounded formatting, text rendering with its identifier box, and the overlay
// buttons.
#include "canvas/text.h"

#include <climits>
#include <cstring>
#include <map>
#include <string>

#include "browser/file_list.h"
#include "canvas/glyph_cache.h"
#include "canvas_support.h"

namespace {

using Points = std::set<Point>;

// Codes without a drawing of their own.
bool IsBlankCode(int c) { return c <= 32 || c == 96 || c >= 123; }

// The width of every code, from the font's width table.
std::map<int, int> ExpectedWidths() {
  const std::pair<int, const char*> table[] = {
      {1, ":il"},
      {2, "!'(),;=[]fjr"},
      {3, "\"$%+-.0123456789<>?ABCDEFGHIKLPSTUVY^_bcdeghknopqstuvxyz"},
      {4, "&/JNOQRZ\\a"},
      {5, "#*MWXmw"},
      {7, "@"},
  };
  std::map<int, int> widths;
  for (int c = 0; c < 128; ++c) {
    if (IsBlankCode(c)) widths[c] = 2;
  }
  for (const auto& [width, chars] : table) {
    for (const char* p = chars; *p; ++p) widths[static_cast<unsigned char>(*p)] = width;
  }
  return widths;
}

// A glyph's rows 1 to 9, each cut to the glyph's width.
std::vector<std::string> GlyphRows(int c) {
  const char* entry = BitmapFont[c];
  int width = entry[0] - '0';
  std::vector<std::string> rows;
  for (int i = 1; i <= 9; ++i) rows.emplace_back(entry + 8 * i, width);
  return rows;
}

bool RowHasInk(int c, int row) {
  return GlyphRows(c)[row - 1].find_first_not_of('0') != std::string::npos;
}

TEST(GlyphTable, EveryEntryFollowsTheEntryFormat) {
  for (int c = 0; c < 128; ++c) {
    SCOPED_TRACE(c);
    ASSERT_NE(BitmapFont[c], nullptr);
    std::string entry = BitmapFont[c];
    ASSERT_EQ(entry.size(), IsBlankCode(c) ? 80u : 88u);
    EXPECT_GE(entry[0], '1');
    EXPECT_LE(entry[0], '7');
    EXPECT_EQ(entry[1], c == '_' ? '7' : '8');
    EXPECT_EQ(entry.substr(2, 6), "000000");
    EXPECT_EQ(entry.find_first_not_of("01", 2), std::string::npos);
    // Ink only within the first w columns of each row.
    int width = entry[0] - '0';
    for (int i = 1; i <= 9; ++i) {
      EXPECT_EQ(entry.substr(8 * i + width, 8 - width), std::string(8 - width, '0')) << "row " << i;
    }
  }
}

TEST(GlyphTable, WidthsFollowTheWidthTable) {
  std::map<int, int> widths = ExpectedWidths();
  ASSERT_EQ(widths.size(), 128u);
  for (int c = 0; c < 128; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(BitmapFont[c][0] - '0', widths[c]);
    EXPECT_EQ(GlyphWidth(static_cast<unsigned char>(c)), widths[c]);
  }
  // Codes past the table advance like the blank glyph.
  for (int c = 128; c < 256; ++c) EXPECT_EQ(GlyphWidth(static_cast<unsigned char>(c)), 2);
}

TEST(GlyphTable, BlankGlyphAndTheTwoFixedEntries) {
  const std::string blank = "28" + std::string(78, '0');
  for (int c = 0; c < 128; ++c) {
    if (IsBlankCode(c)) {
      EXPECT_EQ(BitmapFont[c], blank) << c;
    }
  }
  EXPECT_STREQ(BitmapFont[static_cast<int>('A')],
               "380000000000000000000000010000001010000011100000101000001010000000000000000000"
               "0000000000");
  EXPECT_STREQ(BitmapFont[static_cast<int>('g')],
               "380000000000000000000000000000000000000001000000101000000110000000100000010000"
               "0000000000");
}

TEST(GlyphTable, EveryDrawnCharacterHasItsOwnInk) {
  std::map<std::vector<std::string>, int> seen;
  for (int c = 33; c < 127; ++c) {
    if (IsBlankCode(c)) continue;
    SCOPED_TRACE(std::string(1, static_cast<char>(c)));
    std::vector<std::string> rows = GlyphRows(c);
    bool ink = false;
    for (const std::string& row : rows) ink = ink || row.find('1') != std::string::npos;
    EXPECT_TRUE(ink);
    // No two characters look alike.
    auto [at, fresh] = seen.emplace(rows, c);
    EXPECT_TRUE(fresh) << "same drawing as " << static_cast<char>(at->second);
  }
}

TEST(GlyphTable, LettersAndDigitsStayInTheirBands) {
  auto checkRows = [](int c, int firstRow, int lastRow) {
    for (int i = 1; i <= 9; ++i) {
      if (i < firstRow || i > lastRow) {
        EXPECT_FALSE(RowHasInk(c, i)) << "row " << i;
      }
    }
  };
  for (int c = 0; c < 128; ++c) {
    SCOPED_TRACE(std::string(1, static_cast<char>(c)));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      // Capitals and digits fill rows 3 to 7 exactly.
      checkRows(c, 3, 7);
      EXPECT_TRUE(RowHasInk(c, 3));
      EXPECT_TRUE(RowHasInk(c, 7));
    } else if (c >= 'a' && c <= 'z') {
      const bool ascends = std::strchr("bdfhijklt", c) != nullptr;
      const bool descends = std::strchr("gjpqy", c) != nullptr;
      checkRows(c, ascends ? 3 : 5, descends ? 9 : 7);
      for (int i = 5; i <= 7; ++i) EXPECT_TRUE(RowHasInk(c, i)) << "x-height row " << i;
      if (ascends) {
        EXPECT_TRUE(RowHasInk(c, 3) || RowHasInk(c, 4));
      }
      if (descends) {
        EXPECT_TRUE(RowHasInk(c, 8) || RowHasInk(c, 9));
      }
    }
  }
}

class TextTest : public CanvasTest {
 protected:
  void Render(const char* text, int x, int y) { RenderText(display, text, x, y, 255, 0, 0); }
  void RenderPick(const char* text, int x, int y, std::int32_t id) {
    RenderPickText(display, text, x, y, 255, 0, 0, id);
  }
};

// The canvas points of 'A' drawn with its pen at x and its glyph row 1 on row y + 1.
Points LetterA(int x, int y) {
  return {{x + 1, y - 1}, {x, y - 2}, {x + 2, y - 2}, {x, y - 3}, {x + 1, y - 3},
          {x + 2, y - 3}, {x, y - 4}, {x + 2, y - 4}, {x, y - 5}, {x + 2, y - 5}};
}

Points OnCanvas(const Points& points, int width, int height) {
  Points inside;
  for (Point p : points) {
    if (p.first >= 0 && p.first < width && p.second >= 0 && p.second < height) inside.insert(p);
  }
  return inside;
}

TEST_F(TextTest, LetterAAtTenTwenty) {
  UseCanvas(64, 40);
  Render("A", 10, 20);
  EXPECT_EQ(Drawn(), LetterA(10, 20));
  const std::uint8_t red[4] = {255, 0, 0, 255};
  for (Point p : Drawn()) EXPECT_EQ(std::memcmp(Pixel(p.first, p.second), red, 4), 0);
  EXPECT_EQ(Count(0), Pixels());  // RenderText marks no identifiers
}

TEST_F(TextTest, PickBoxOfLetterICoversTheGapColumn) {
  UseCanvas(64, 40);
  RenderPick("i", 0, 9, 12005);
  EXPECT_EQ(Marked(12005), Box(0, 0, 1, 8));
  EXPECT_EQ(Count(0), Pixels() - 18);
  // The ink is two rows higher than the box: dot on row 8, stem on rows 4 to 6.
  EXPECT_EQ(Drawn(), (Points{{0, 8}, {0, 6}, {0, 5}, {0, 4}}));
}

TEST_F(TextTest, EmptyTextDrawsAndMarksNothing) {
  UseCanvas(64, 40);
  RenderPick("", 10, 20, 12001);
  Render("", 0, 0);
  EXPECT_TRUE(Drawn().empty());
  EXPECT_EQ(Count(0), Pixels());
}

TEST_F(TextTest, PenAdvancesByWidthPlusOne) {
  UseCanvas(200, 40);
  // A space advances 3: the A lands at column 3.
  Render(" A", 0, 20);
  EXPECT_EQ(Drawn(), LetterA(3, 20));

  UseCanvas(200, 40);
  Render("AA", 10, 20);
  Points two = LetterA(10, 20);
  for (Point p : LetterA(14, 20)) two.insert(p);
  EXPECT_EQ(Drawn(), two);

  // The box spans the sum of the advances: M 6, i 2, space 3, l 2, @ 8, W 6, a 5.
  UseCanvas(200, 40);
  RenderPick("Mi l@Wa", 20, 20, 4007);
  EXPECT_EQ(Marked(4007), Box(20, 11, 20 + 32 - 1, 19));
}

TEST_F(TextTest, ClipsAtBothEdgesKeepingFullAdvances) {
  UseCanvas(20, 30);
  RenderPick("AAA", -2, 20, 12002);
  // Only the last column of the first A shows; the others sit at their full advances.
  Points expected = OnCanvas(LetterA(-2, 20), 20, 30);
  EXPECT_EQ(expected, (Points{{0, 18}, {0, 17}, {0, 16}, {0, 15}}));
  for (Point p : LetterA(2, 20)) expected.insert(p);
  for (Point p : LetterA(6, 20)) expected.insert(p);
  EXPECT_EQ(Drawn(), expected);
  EXPECT_EQ(Marked(12002), Box(0, 11, 9, 19));

  // Running past the right edge: the third A starts on column 18 and shows two columns.
  UseCanvas(20, 30);
  RenderPick("AAA", 10, 20, 12003);
  expected = LetterA(10, 20);
  for (Point p : LetterA(14, 20)) expected.insert(p);
  for (Point p : OnCanvas(LetterA(18, 20), 20, 30)) expected.insert(p);
  EXPECT_EQ(Drawn(), expected);
  EXPECT_EQ(Marked(12003), Box(10, 11, 19, 19));

  // Below the bottom and above the top rows.
  UseCanvas(20, 30);
  RenderPick("A", 0, 3, 12004);
  EXPECT_EQ(Drawn(), OnCanvas(LetterA(0, 3), 20, 30));
  EXPECT_EQ(Marked(12004), Box(0, 0, 3, 2));
  UseCanvas(20, 30);
  RenderPick("A", 0, 31, 12004);
  EXPECT_EQ(Drawn(), OnCanvas(LetterA(0, 31), 20, 30));
  EXPECT_EQ(Marked(12004), Box(0, 22, 3, 29));
}

// Text drawn cell by cell through the bounds-tested primitives, as a reference for the
// renderer, which clips each glyph in advance.
void ReferenceRender(Display& display, const char* text, int x, int y, std::int32_t id) {
  int pen = x;
  for (const char* p = text; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    const char* entry = c < 128 ? BitmapFont[c] : BitmapFont[static_cast<int>(' ')];
    int w = entry[0] - '0';
    for (int i = 1; i <= 9; ++i) {
      for (int j = 0; j < w; ++j) {
        if (entry[8 * i + j] != '0') PlotPixel(display, pen + j, y - i + 2, 0, 0, 255);
        SetPickId(display, pen + j, y - i, id);
        if (j == w - 1) SetPickId(display, pen + w, y - i, id);
      }
    }
    pen += w + 1;
  }
}

TEST_F(TextTest, ClippingWritesExactlyWhatPerPixelTestsWrite) {
  const char* text = "Holiday Photos 2024 @ C:\\Users\\ann\\My Videos\\ \xE9t\xE9 #WMm_gjpqy";
  for (int y = -12; y <= 28; y += 1) {
    for (int x = -200; x <= 26; x += 7) {
      UseCanvas(24, 16);
      RenderPickText(display, text, x, y, 0, 0, 255, 555);
      std::vector<std::uint8_t> frame = FrameCopy();
      std::vector<std::int32_t> ids = PickCopy();
      ClearCanvas(display);
      ReferenceRender(display, text, x, y, 555);
      ASSERT_EQ(frame, FrameCopy()) << "at " << x << ", " << y;
      ASSERT_EQ(ids, PickCopy()) << "at " << x << ", " << y;
    }
  }
}

TEST_F(TextTest, ExtremePositionsDrawNothing) {
  UseCanvas(20, 20);
  const Point positions[] = {{INT_MIN, 5}, {INT_MAX, 5},       {5, INT_MIN},
                             {5, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX - 3, INT_MAX}};
  for (Point p : positions) RenderPick("WWWW@@@@", p.first, p.second, 9);
  EXPECT_TRUE(Drawn().empty());
  EXPECT_TRUE(Marked(9).empty());
}

TEST_F(TextTest, CodesPastTheTableAreBlankAdvancesOfThree) {
  UseCanvas(64, 40);
  RenderPick(
      "\x80\xC9\xFF"
      "A",
      0, 20, 12009);
  EXPECT_EQ(Drawn(), LetterA(9, 20));
  EXPECT_EQ(Marked(12009), Box(0, 11, 12, 19));
}

TEST_F(TextTest, UnterminatedBufferStopsAtItsEnd) {
  UseCanvas(2000, 20);
  TextLine line;
  std::memset(line.text, 'i', sizeof line.text);
  RenderPickText(display, line.text, 0, 10, 1, 1, 1, 3);
  // 256 characters of advance 2.
  EXPECT_EQ(Marked(3), Box(0, 1, 511, 9));
}

// The Linux program's text, UTF-8 drawn a character at a time. The stand-in fonts draw a letter
// 4 columns wide (advance 5), a wide character 8 (advance 9) and a mark 3 with no advance; a
// character no font has is a box, a byte that is not UTF-8 a replacement mark (advance 6 each).
TEST_F(TextTest, Utf8TextWidthsCutsAndInk) {
  os().posixConventions = true;
  const struct {
    const char* text;
    int width;
    int keep;  // characters kept by a cut
    const char* cut;
  } rows[] = {
      {"Wm@ photo", 43, 3, "Wm@"},                                                  // ASCII
      {"caf\xC3\xA9.jpg", 32, 4, "caf\xC3\xA9"},                                    // Latin
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 27, 2, "\xE6\x97\xA5\xE6\x9C\xAC"},  // CJK
      {"e\xCC\x81x", 8, 1, "e\xCC\x81"},  // a combining mark stays with its letter
      {"a\xFF\xC3", 17, 2, "a\xFF"},      // bytes that are not UTF-8
      {"\xEE\x80\x80", 6, 0, ""},         // a character no font has
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(RenderedWidth(row.text), row.width);
    EXPECT_STREQ(ShownText(row.text, row.keep).text, row.cut);
    UseCanvas(80, 40);
    RenderPick(row.text, 2, 20, 77);
    // Ink within the text's advances and the glyph box's rows, every inked pixel clickable.
    const Points drawn = Drawn();
    EXPECT_FALSE(drawn.empty());
    for (Point p : drawn) {
      EXPECT_TRUE(p.first >= 2 && p.first < 2 + row.width && p.second >= 13 && p.second <= 21);
      EXPECT_EQ(Id(p.first, p.second), 77);
    }
  }
  // ASCII keeps every pixel and identifier of the bitmap font.
  UseCanvas(80, 40);
  RenderPick("Wm@ photo", 2, 20, 77);
  const std::vector<std::uint8_t> frame = FrameCopy();
  const std::vector<std::int32_t> ids = PickCopy();
  os().posixConventions = false;
  UseCanvas(80, 40);
  RenderPick("Wm@ photo", 2, 20, 77);
  EXPECT_EQ(FrameCopy(), frame);
  EXPECT_EQ(PickCopy(), ids);
  // A line holds whole characters only: 85 of three bytes, or a letter and 84.
  os().posixConventions = true;
  std::string wide;
  for (int i = 0; i < 100; ++i) wide += "\xE6\x97\xA5";
  EXPECT_EQ(std::strlen(ShownText(wide.c_str()).text), 255u);
  EXPECT_EQ(std::strlen(ShownText(("a" + wide).c_str()).text), 253u);
  // Without desktop fonts a letter beyond ASCII is a box, never a blank.
  os().desktopFonts = false;
  ForgetGlyphs();
  EXPECT_EQ(RenderedWidth("\xC3\xA9"), 6);
  UseCanvas(80, 40);
  Render("\xC3\xA9", 2, 20);
  EXPECT_EQ(Drawn().size(), 20u);  // the box's outline
}

TEST(FormatText, CutsOverlongTextAtTheDestination) {
  std::string longName(400, 'x');
  longName[254] = 'E';
  TextLine line;
  int n = FormatText(line.text, sizeof line.text, "%s", longName.c_str());
  EXPECT_EQ(n, 255);
  EXPECT_EQ(std::strlen(line.text), 255u);
  EXPECT_EQ(std::string(line.text), longName.substr(0, 255));

  // A small destination keeps its neighbours untouched.
  struct {
    char text[16];
    char guard[16];
  } area;
  std::memset(&area, '#', sizeof area);
  n = FormatText(area.text, sizeof area.text, "%s\\%s %d", "C:\\Users", "Holiday Photos", 2024);
  EXPECT_EQ(n, 15);
  EXPECT_STREQ(area.text, "C:\\Users\\Holida");
  EXPECT_EQ(std::string(area.guard, 16), std::string(16, '#'));

  // A text that fits is kept whole; no room at all writes nothing.
  EXPECT_EQ(FormatText(area.text, sizeof area.text, "%dx%d", 4000, 3000), 9);
  EXPECT_STREQ(area.text, "4000x3000");
  area.text[0] = 'k';
  EXPECT_EQ(FormatText(area.text, 0, "%s", "anything"), 0);
  EXPECT_EQ(area.text[0], 'k');
  // A '%' inside a value is text, not a format.
  FormatText(area.text, sizeof area.text, "%s", "100%d done");
  EXPECT_STREQ(area.text, "100%d done");
}

class OverlayButtonsTest : public TextTest {
 protected:
  void SetUp() override {
    TextTest::SetUp();
    UseCanvas(960, 540);
    displayState.scrollX = 5;
    displayState.scrollY = -3;
  }
  // Buttons sit at (scrollX + offset, scrollY + canvasHeight - 11): box rows 517 to 525.
  static Points ButtonBox(int offset, int advance) {
    return Box(5 + offset, 517, 5 + offset + advance - 1, 525);
  }
};

TEST_F(OverlayButtonsTest, BothGroupsShowAllFour) {
  DrawOverlayButtons(display, true, true);
  EXPECT_EQ(Marked(pick::thumbnailsButton), ButtonBox(268, 43));
  EXPECT_EQ(Marked(pick::bracketLeftButton), ButtonBox(320, 33));
  EXPECT_EQ(Marked(pick::bracketRightButton), ButtonBox(360, 34));
  EXPECT_EQ(Marked(pick::centerButton), ButtonBox(402, 52));
  // Yellow labels: the top of the T of "THUMBNAILS" is on row 525.
  const std::uint8_t yellow[4] = {255, 255, 0, 255};
  EXPECT_EQ(std::memcmp(Pixel(273, 525), yellow, 4), 0);
  for (Point p : Drawn()) EXPECT_EQ(std::memcmp(Pixel(p.first, p.second), yellow, 4), 0);
}

TEST_F(OverlayButtonsTest, PageButtonsAloneLeaveOutTheCentreButton) {
  DrawOverlayButtons(display, true, false);
  EXPECT_EQ(Marked(pick::thumbnailsButton), ButtonBox(268, 43));
  EXPECT_EQ(Marked(pick::bracketLeftButton), ButtonBox(320, 33));
  EXPECT_EQ(Marked(pick::bracketRightButton), ButtonBox(360, 34));
  EXPECT_TRUE(Marked(pick::centerButton).empty());
}

TEST_F(OverlayButtonsTest, NeitherGroupDrawsNothing) {
  DrawOverlayButtons(display, false, false);
  EXPECT_TRUE(Drawn().empty());
  EXPECT_EQ(Count(0), Pixels());

  // The two groups are separate: the centre button can show alone.
  DrawOverlayButtons(display, false, true);
  EXPECT_TRUE(Marked(pick::thumbnailsButton).empty());
  EXPECT_EQ(Marked(pick::centerButton), ButtonBox(402, 52));
}

}  // namespace
