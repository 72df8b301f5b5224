// Thumbnail pages and the single-picture view: layout, sampling, placement, the operations
// around them, and the equality of the clipped drawing with plain per-pixel sampling.
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_page.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "browser/directory.h"
#include "browser/list_view.h"
#include "browser_fixture.h"
#include "canvas/text.h"
#include "input/pauses.h"
#include "pictures/texture_loader.h"
#include "shell/commands.h"
#include "shell/main_loop.h"
#include "shell/views.h"

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

// A bottom-up 24-bit BMP whose pixel (x, y), y from the bottom, is colour(x, y).
void WriteBmp(const std::string& path, int width, int height,
              const std::function<Rgb(int, int)>& colour) {
  const int stride = (width * 3 + 3) / 4 * 4;
  const std::uint32_t dataSize = static_cast<std::uint32_t>(stride) * height;
  std::vector<std::uint8_t> file(54 + dataSize, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      std::uint8_t* p = file.data() + 54 + static_cast<std::size_t>(y) * stride + x * 3;
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// Colours that tell the source pixel apart; never the black of an empty canvas.
Rgb Pattern(int x, int y) {
  return {static_cast<std::uint8_t>(x * 7 + 1), static_cast<std::uint8_t>(y * 13 + 2),
          static_cast<std::uint8_t>((x ^ y) | 0x80)};
}

// Plain per-pixel sampling: every sample of the picture through PlotPixel and SetPickId, the
// positions accumulated in single precision.
void ReferenceDraw(Display& display, const Pictures& pictures, int ox, int oy, float step,
                   std::int32_t pickId) {
  const PictureInfo& pictureInfo = pictures.pictureInfo;
  const float w = static_cast<float>(pictureInfo.width);
  const float h = static_cast<float>(pictureInfo.height);
  int row = 0;
  for (float fy = 0.0f; fy < h; fy = fy + step, ++row) {
    int col = 0;
    for (float fx = 0.0f; fx < w; fx = fx + step, ++col) {
      const std::size_t at =
          (static_cast<std::size_t>(fy) * pictureInfo.width + static_cast<std::size_t>(fx)) * 4;
      const std::uint8_t* p = pictures.textureLoader.pixels + at;
      const int dx[4] = {0, 1, 0, 1};
      const int dy[4] = {0, 0, 1, 1};
      for (int i = 0; i < 4; ++i) {
        PlotPixel(display, ox + 2 * col + dx[i], oy + 2 * row + dy[i], p[0], p[1], p[2]);
        if (pickId != 0) SetPickId(display, ox + 2 * col + dx[i], oy + 2 * row + dy[i], pickId);
      }
    }
  }
}

class PictureViewsTest : public PictureFolderTest {
 protected:
  void SetUp() override {
    PictureFolderTest::SetUp();
    browser.pictureViews.sampleStep = 4.0f;
  }

  // A picture of width x height put straight into the PictureBuffer, as a load leaves it.
  void StorePicture(int width, int height, const std::function<Rgb(int, int)>& colour = Pattern) {
    textureLoader.width = width;
    textureLoader.height = height;
    pictureInfo.width = width;
    pictureInfo.height = height;
    pictureInfo.bitsPerPixel = 32;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        std::uint8_t* p = textureLoader.pixels + (static_cast<std::size_t>(y) * width + x) * 4;
        const Rgb c = colour(x, y);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = 255;
      }
    }
  }

  void Picture(const std::string& name, int width, int height) {
    WriteBmp(pictures + "/" + name, width, height, Pattern);
  }

  // Entry index of name in the current scan, 0 when it is not listed.
  int EntryOf(const std::string& name) {
    for (int k = 1; k <= browser.fileList.count; ++k) {
      if (name == browser.fileList.names[k]) return k;
    }
    return 0;
  }

  // Bounding box and pixel count of a PickId on the canvas.
  struct Extent {
    int count = 0, left = 1 << 30, bottom = 1 << 30, right = -1, top = -1;
  };
  Extent ExtentOf(std::int32_t id) {
    Extent e;
    for (int y = 0; y < displayState.canvasHeight; ++y) {
      for (int x = 0; x < displayState.canvasWidth; ++x) {
        if (canvas.pickBuffer[static_cast<std::size_t>(y) * displayState.canvasWidth + x] != id) {
          continue;
        }
        ++e.count;
        e.left = std::min(e.left, x);
        e.right = std::max(e.right, x);
        e.bottom = std::min(e.bottom, y);
        e.top = std::max(e.top, y);
      }
    }
    return e;
  }

  bool PickBufferEmpty() {
    const std::size_t n =
        static_cast<std::size_t>(displayState.canvasWidth) * displayState.canvasHeight;
    for (std::size_t i = 0; i < n; ++i) {
      if (canvas.pickBuffer[i] != 0) return false;
    }
    return true;
  }

  Rgb PixelAt(int x, int y) {
    const std::uint8_t* p =
        canvas.frameBuffer + (static_cast<std::size_t>(y) * displayState.canvasWidth + x) * 4;
    return {p[0], p[1], p[2]};
  }

  void ExpectPixel(int x, int y, Rgb expected) {
    const Rgb got = PixelAt(x, y);
    EXPECT_EQ(got.r, expected.r) << x << ", " << y;
    EXPECT_EQ(got.g, expected.g) << x << ", " << y;
    EXPECT_EQ(got.b, expected.b) << x << ", " << y;
  }
};

// ---- Arithmetic -------------------------------------------------------------------------------

TEST(ThumbnailLayout, GridAndCellsOn960By540) {
  const ThumbnailGrid grid = ThumbnailGridSize(960, 540, 140, 140);
  EXPECT_EQ(grid.columns, 6);
  EXPECT_EQ(grid.rows, 3);
  EXPECT_EQ(ThumbnailLastEntry(1, grid, 100), 18);
  const CellOrigin first = ThumbnailCellOrigin(0, grid, 140, 140, 540);
  EXPECT_EQ(first.x, 10);
  EXPECT_EQ(first.y, 369);
  // Rows fill left to right, then the next row down.
  const CellOrigin sixth = ThumbnailCellOrigin(5, grid, 140, 140, 540);
  EXPECT_EQ(sixth.x, 710);
  EXPECT_EQ(sixth.y, 369);
  const CellOrigin seventh = ThumbnailCellOrigin(6, grid, 140, 140, 540);
  EXPECT_EQ(seventh.x, 10);
  EXPECT_EQ(seventh.y, 229);
  const CellOrigin last = ThumbnailCellOrigin(17, grid, 140, 140, 540);
  EXPECT_EQ(last.x, 710);
  EXPECT_EQ(last.y, 89);

  const ThumbnailGrid big = ThumbnailGridSize(1280, 960, 200, 200);
  EXPECT_EQ(big.columns, 6);
  EXPECT_EQ(big.rows, 4);
}

TEST(ThumbnailLayout, LastEntryIsBoundedByCountAndTheLastSlot) {
  const ThumbnailGrid grid{6, 3};
  EXPECT_EQ(ThumbnailLastEntry(10, grid, 20), 20);
  EXPECT_EQ(ThumbnailLastEntry(2990, grid, 2999), 2999);
  EXPECT_EQ(ThumbnailLastEntry(1, grid, 0), 0);
  // No cell on the page (a cell larger than the canvas, or an empty cell size): no entry.
  EXPECT_EQ(ThumbnailLastEntry(5, ThumbnailGridSize(100, 100, 140, 140), 20), 4);
  EXPECT_EQ(ThumbnailLastEntry(5, ThumbnailGridSize(960, 540, 0, 0), 20), 4);
}

TEST(ThumbnailSampling, StepsAndSampleCounts) {
  const float big = ThumbnailStep(4000, 3000, 200);
  EXPECT_EQ(ReachableSamples(4000, big, 0, 100000).source.size(), 100u);
  EXPECT_EQ(ReachableSamples(3000, big, 0, 100000).source.size(), 75u);

  // 1000 / 140 in single precision; the accumulated positions give one sample more across.
  const float wide = ThumbnailStep(1000, 500, 140);
  EXPECT_EQ(ReachableSamples(1000, wide, 0, 100000).source.size(), 71u);
  EXPECT_EQ(ReachableSamples(500, wide, 0, 100000).source.size(), 36u);

  // A small picture is enlarged: source pixels repeat.
  const float small = ThumbnailStep(10, 10, 140);
  const AxisSamples tenAcross = ReachableSamples(10, small, 0, 100000);
  EXPECT_EQ(tenAcross.source.size(), 70u);
  EXPECT_EQ(tenAcross.source.front(), 0);
  EXPECT_EQ(tenAcross.source.back(), 9);
}

TEST(ThumbnailSampling, OnlySamplesThatReachTheCanvasAreKept) {
  // Samples at 0, 2, 4, ... from origin -5: sample 2 (pixels -1 and 0) is the first on the
  // canvas, sample 7 (pixels 9 and 10) the last of a 10-pixel-wide canvas.
  const AxisSamples s = ReachableSamples(100, 3.0f, -5, 10);
  EXPECT_EQ(s.first, 2);
  EXPECT_EQ(s.source, (std::vector<int>{6, 9, 12, 15, 18, 21}));
  EXPECT_TRUE(ReachableSamples(100, 3.0f, -1000, 10).source.empty());
  EXPECT_TRUE(ReachableSamples(100, 3.0f, 10, 10).source.empty());
}

TEST(ThumbnailSampling, AbsurdStepsEndTheWalk) {
  EXPECT_TRUE(ReachableSamples(100, 0.0f, 0, 10).source.empty());
  EXPECT_TRUE(ReachableSamples(100, -1.0f, 0, 10).source.empty());
  EXPECT_TRUE(ReachableSamples(100, std::numeric_limits<float>::quiet_NaN(), 0, 10).source.empty());
  // A step of infinity takes the first sample only.
  EXPECT_EQ(ReachableSamples(100, std::numeric_limits<float>::infinity(), 0, 10).source.size(), 1u);
  // A step too small to move a large position any more would repeat that sample forever; the
  // walk ends at the first position that no longer moves.
  const AxisSamples stalled = ReachableSamples(50000000, 0.25f, -40000000, 10);
  EXPECT_TRUE(stalled.source.empty());
}

TEST(PicturePlacement, ModesAndTruncation) {
  // Step 2: a 200 x 100 picture is shown 200 x 100; with mode 0 its centre is at the cursor.
  PictureOrigin o = PictureViewOrigin(200, 100, 2.0f, PlacementMode::centred, 300, 200, 960, 540);
  EXPECT_TRUE(o.valid);
  EXPECT_EQ(o.x, 200);
  EXPECT_EQ(o.y, 150);
  // Mode 3: the centre at (3 cx - width, 3 cy - height).
  o = PictureViewOrigin(200, 100, 2.0f, PlacementMode::followByThree, 400, 250, 960, 540);
  EXPECT_EQ(o.x, 140);
  EXPECT_EQ(o.y, 160);
  o = PictureViewOrigin(200, 100, 2.0f, PlacementMode::followByThree, 320, 180, 960, 540);
  EXPECT_EQ(o.x, -100);  // the canvas centre maps to itself
  EXPECT_EQ(o.y, -50);
  o = PictureViewOrigin(200, 100, 2.0f, PlacementMode::followByNine, 120, 70, 960, 540);
  EXPECT_EQ(o.x, 20);
  EXPECT_EQ(o.y, 40);
  // Truncated towards zero: 10 - 66.67 gives -56, 10 - 33.33 gives -23.
  o = PictureViewOrigin(200, 100, 3.0f, PlacementMode::centred, 10, 10, 960, 540);
  EXPECT_EQ(o.x, -56);
  EXPECT_EQ(o.y, -23);
  // Eight times enlarged.
  o = PictureViewOrigin(4000, 3000, 0.25f, PlacementMode::followByThree, 320, 180, 960, 540);
  EXPECT_EQ(o.x, -16000);
  EXPECT_EQ(o.y, -12000);

  EXPECT_FALSE(PictureViewOrigin(200, 100, 0.0f, PlacementMode::centred, 10, 10, 960, 540).valid);
  EXPECT_FALSE(PictureViewOrigin(200, 100, -2.0f, PlacementMode::centred, 10, 10, 960, 540).valid);
  EXPECT_FALSE(PictureViewOrigin(200, 100, std::numeric_limits<float>::quiet_NaN(),
                                 PlacementMode::centred, 10, 10, 960, 540)
                   .valid);
  EXPECT_FALSE(
      PictureViewOrigin(1000000, 100, 1e-4f, PlacementMode::centred, 10, 10, 960, 540).valid);
}

// ---- The thumbnail page -----------------------------------------------------------------------

TEST_F(PictureViewsTest, PageDrawsFramesCaptionsAndPictures) {
  Picture("tiny.bmp", 10, 10);
  Picture("other.bmp", 35, 21);
  tree.File("pictures/notes.txt", "not a picture");
  tree.Dir("pictures/folder");
  RescanBrowsedDirectory(browser);
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  browser.fileList.thumbFirst = 0;
  DrawThumbnailPage(browser, display, trove.pictures);
  ASSERT_EQ(browser.fileList.count, 6);
  const int other = EntryOf("other.bmp");
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 0);
  EXPECT_EQ(browser.fileList.thumbFirst, 1);
  EXPECT_EQ(browser.fileList.selection, 1);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(work));

  const ThumbnailGrid grid = ThumbnailGridSize(960, 540, 140, 140);
  for (int k = 1; k <= 6; ++k) {
    const CellOrigin o = ThumbnailCellOrigin(k - 1, grid, 140, 140, 540);
    // Both frame lines, white, on every side.
    for (int i : {0, 1}) {
      ExpectPixel(o.x + i, o.y + 70, {255, 255, 255});
      ExpectPixel(o.x + 141 - i, o.y + 70, {255, 255, 255});
      ExpectPixel(o.x + 70, o.y + i, {255, 255, 255});
      ExpectPixel(o.x + 70, o.y + 141 - i, {255, 255, 255});
    }
    const std::string name = browser.fileList.names[k];
    const Extent e = ExtentOf(pick::thumbnailBase + k);
    if (name == "tiny.bmp") {
      EXPECT_EQ(e.count, 140 * 140);
      EXPECT_EQ(e.left, o.x);
      EXPECT_EQ(e.bottom, o.y);
      EXPECT_EQ(e.right, o.x + 139);
      EXPECT_EQ(e.top, o.y + 139);
      // The picture's bottom row is the thumbnail's bottom row; the frame covers the rest.
      ExpectPixel(o.x + 2, o.y + 2, Pattern(0, 0));
      ExpectPixel(o.x + 139, o.y + 2, Pattern(9, 0));
      ExpectPixel(o.x + 72, o.y + 102, Pattern(5, 7));
      ExpectPixel(o.x + 138, o.y + 120, Pattern(9, 8));
    } else if (k == other) {
      EXPECT_EQ(e.count, 140 * 84);  // step 0.5: 70 x 42 samples
    } else {
      // A directory, the text file, "." and "..": no picture, nothing to click.
      EXPECT_EQ(e.count, 0) << name;
      ExpectPixel(o.x + 70, o.y + 70, {0, 0, 0});
    }
  }
  // Nothing but thumbnails carries an identifier, and the page is what the saved view holds.
  EXPECT_TRUE(std::all_of(canvas.pickBuffer, canvas.pickBuffer + 960 * 540,
                          [](std::int32_t id) { return id == 0 || pick::IsThumbnail(id); }));
  EXPECT_EQ(std::memcmp(canvas.frameBuffer, canvas.savedView, 960u * 540u * 4u), 0);
}

// Cells lie 140 pixels apart and their frames are 142 wide: a picture in the next cell would
// cover the last two columns, so this one has the page to itself.
TEST_F(PictureViewsTest, A1000By500PictureReachesBeyondTheInnerFrame) {
  Picture("wide.bmp", 1000, 500);
  RescanBrowsedDirectory(browser);
  const int k = EntryOf("wide.bmp");
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  DrawThumbnailPage(browser, display, trove.pictures);
  const CellOrigin o =
      ThumbnailCellOrigin(k - 1, ThumbnailGridSize(960, 540, 140, 140), 140, 140, 540);
  // 71 x 36 samples: one column beyond the inner frame line, under the outer one.
  const Extent e = ExtentOf(pick::thumbnailBase + k);
  EXPECT_EQ(e.count, 142 * 72);
  EXPECT_EQ(e.left, o.x);
  EXPECT_EQ(e.bottom, o.y);
  EXPECT_EQ(e.right, o.x + 141);
  EXPECT_EQ(e.top, o.y + 71);
  ExpectPixel(o.x + 2, o.y + 2, Pattern(14, 14));
  ExpectPixel(o.x + 5, o.y + 3, Pattern(28, 14));
  ExpectPixel(o.x + 141, o.y + 50, {255, 255, 255});
}

TEST_F(PictureViewsTest, PageIsDrawnOnlyOnRequest) {
  Picture("a.bmp", 4, 4);
  RescanBrowsedDirectory(browser);
  browser.browserMode = BrowserMode{BrowserView::thumbnails};
  browser.fileList.selection = 3;
  std::memset(canvas.frameBuffer, 7, 960u * 540u * 4u);
  DrawThumbnailPage(browser, display, trove.pictures);
  EXPECT_EQ(canvas.frameBuffer[0], 7);
  EXPECT_EQ(browser.fileList.selection, 3);
  EXPECT_EQ(os().glClears, 0);
}

TEST_F(PictureViewsTest, A4000By3000PictureFillsA200Cell) {
  UseCanvas(1280, 960, 0, 1);
  browser.pictureViews.cellWidth = browser.pictureViews.cellHeight = 200;
  StorePicture(4000, 3000);
  ClearCanvas(display);
  const CellOrigin o =
      ThumbnailCellOrigin(7, ThumbnailGridSize(1280, 960, 200, 200), 200, 200, 960);
  DrawSampledPicture(display, trove.pictures, o.x, o.y, ThumbnailStep(4000, 3000, 200),
                     pick::thumbnailBase + 8);
  const Extent e = ExtentOf(pick::thumbnailBase + 8);
  EXPECT_EQ(e.count, 200 * 150);
  EXPECT_EQ(e.left, o.x);
  EXPECT_EQ(e.right, o.x + 199);
  EXPECT_EQ(e.bottom, o.y);
  EXPECT_EQ(e.top, o.y + 149);
  ExpectPixel(o.x + 199, o.y + 149, Pattern(99 * 40, 74 * 40));
}

TEST_F(PictureViewsTest, CaptionsAreCutToOneMoreThanTheNameLimit) {
  UseCanvas(640, 480, 1, 2);
  const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";  // 30 characters
  ASSERT_EQ(name.size(), 30u);
  tree.File("pictures/" + name, "");
  RescanBrowsedDirectory(browser);
  const int k = EntryOf(name);
  ASSERT_GT(k, 0);
  browser.fileList.thumbFirst = k;
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  browser.nameLimit = 36;
  DrawThumbnailPage(browser, display, trove.pictures);
  EXPECT_EQ(browser.nameLimit, 18);
  const CellOrigin o = ThumbnailCellOrigin(0, ThumbnailGridSize(640, 480, 140, 140), 140, 140, 480);
  // The first cell's pixels (the later cells hold other entries).
  auto cell = [&]() {
    std::vector<std::uint8_t> pixels;
    for (int y = o.y; y <= o.y + 141; ++y) {
      const std::uint8_t* row = canvas.frameBuffer + (static_cast<std::size_t>(y) * 640 + o.x) * 4;
      pixels.insert(pixels.end(), row, row + 142 * 4);
    }
    return pixels;
  };
  const std::vector<std::uint8_t> page = cell();

  // The same cell drawn by hand with the first 19 characters, and with 20.
  auto drawCell = [&](const std::string& caption) {
    ClearCanvas(display);
    DrawRectOutline(display, o.x, o.y, o.x + 141, o.y + 141, 255, 255, 255);
    DrawRectOutline(display, o.x + 1, o.y + 1, o.x + 140, o.y + 140, 255, 255, 255);
    RenderText(display, caption.c_str(), o.x + 6, o.y + 136, 255, 255, 255);
    return cell();
  };
  EXPECT_EQ(drawCell(name.substr(0, 19)), page);
  EXPECT_NE(drawCell(name.substr(0, 20)), page);
}

TEST_F(PictureViewsTest, APageOfDirectoriesHasNothingToClickAndReturnsToTheList) {
  for (const char* d : {"one", "two", "three"}) tree.Dir(std::string("pictures/") + d);
  RescanBrowsedDirectory(browser);
  ASSERT_EQ(browser.fileList.count, 5);
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  browser.pictureViews.overlayShown = 0;
  browser.pictureViews.placementMode = PlacementMode::followByNine;
  DrawThumbnailPage(browser, display, trove.pictures);
  EXPECT_TRUE(PickBufferEmpty());
  // No picture was loaded: the overlay and the placement stay as they were.
  EXPECT_EQ(browser.pictureViews.overlayShown, 0);
  EXPECT_EQ(browser.pictureViews.placementMode, PlacementMode::followByNine);
  ExpectPixel(10, 400, {255, 255, 255});

  // A right click inside the first frame finds no identifier and goes back to the list.
  PointAt(80, 430);
  trove.input.mouseLatches.rightDown = 1;
  RunPass(trove);
  EXPECT_EQ(browser.browserMode.listActive(), 1);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
}

TEST_F(PictureViewsTest, LoadingAPictureShowsTheOverlayAndResetsThePlacement) {
  Picture("a.bmp", 8, 6);
  tree.File("pictures/b.txt", "text");
  tree.File("pictures/broken.jpg", "not a jpeg at all");
  RescanBrowsedDirectory(browser);
  const int text = EntryOf("b.txt");
  const int broken = EntryOf("broken.jpg");
  const int good = EntryOf("a.bmp");

  browser.pictureViews.overlayShown = 0;
  browser.pictureViews.placementMode = PlacementMode::centred;
  LoadEntryPicture(browser, trove.pictures, text);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
  EXPECT_EQ(browser.pictureViews.overlayShown, 0);
  EXPECT_EQ(browser.pictureViews.placementMode, PlacementMode::centred);

  // A name the loader takes counts, whether or not it decodes.
  LoadEntryPicture(browser, trove.pictures, broken);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
  EXPECT_EQ(browser.pictureViews.overlayShown, 1);
  EXPECT_EQ(browser.pictureViews.placementMode, PlacementMode::followByThree);

  browser.pictureViews.overlayShown = 0;
  LoadEntryPicture(browser, trove.pictures, good);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 1);
  EXPECT_EQ(pictureInfo.width, 8);
  EXPECT_EQ(pictureInfo.height, 6);
  EXPECT_EQ(browser.pictureViews.overlayShown, 1);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(work));

  // A failed load after it keeps its picture, size and bytes.
  LoadEntryPicture(browser, trove.pictures, broken);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
  EXPECT_EQ(pictureInfo.width, 8);
  EXPECT_EQ(textureLoader.pixels[0], Pattern(0, 0).r);

  // Out-of-range entries load nothing.
  LoadEntryPicture(browser, trove.pictures, -1);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
  LoadEntryPicture(browser, trove.pictures, maxEntries + 1);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
}

TEST_F(PictureViewsTest, AnUndecodablePictureGetsAFrameOnly) {
  Picture("a.bmp", 35, 21);
  tree.File("pictures/z.bmp", "BM but nothing else");
  RescanBrowsedDirectory(browser);
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  DrawThumbnailPage(browser, display, trove.pictures);
  const ThumbnailGrid grid = ThumbnailGridSize(960, 540, 140, 140);
  const int good = EntryOf("a.bmp");
  const int bad = EntryOf("z.bmp");
  EXPECT_EQ(ExtentOf(pick::thumbnailBase + good).count, 140 * 84);  // step 0.5
  EXPECT_EQ(ExtentOf(pick::thumbnailBase + bad).count, 0);
  const CellOrigin o = ThumbnailCellOrigin(bad - 1, grid, 140, 140, 540);
  ExpectPixel(o.x + 20, o.y + 20, {0, 0, 0});
}

TEST_F(PictureViewsTest, ThePageStartsAtThumbFirst) {
  for (int i = 0; i < 20; ++i) tree.File("pictures/f" + std::to_string(i) + ".txt", "x");
  RescanBrowsedDirectory(browser);
  ASSERT_EQ(browser.fileList.count, 22);
  browser.fileList.thumbFirst = 19;
  browser.fileList.selection = 2;
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  DrawThumbnailPage(browser, display, trove.pictures);
  EXPECT_EQ(browser.fileList.selection, 19);
  // Entries 19 to 22 fill the first four cells of the first row; the fifth cell is empty.
  ExpectPixel(3 * 140 + 70, 510, {255, 255, 255});
  ExpectPixel(4 * 140 + 70, 510, {0, 0, 0});
  ExpectPixel(10, 300, {0, 0, 0});
}

TEST_F(PictureViewsTest, SampledPicturesNeverReadBeyondTheStoredPicture) {
  StorePicture(20, 10);
  // A record that claims more than the loader stored is not sampled at all.
  pictureInfo.width = 40;
  ClearCanvas(display);
  DrawSampledPicture(display, trove.pictures, 0, 0, 1.0f, 4001);
  EXPECT_TRUE(PickBufferEmpty());
  pictureInfo.width = 20;
  pictureInfo.bitsPerPixel = 16;
  DrawSampledPicture(display, trove.pictures, 0, 0, 1.0f, 4001);
  EXPECT_TRUE(PickBufferEmpty());
  pictureInfo.bitsPerPixel = 32;
  DrawSampledPicture(display, trove.pictures, 0, 0, 1.0f, 4001);
  EXPECT_EQ(ExtentOf(4001).count, 40 * 20);
}

// ---- The picture view -------------------------------------------------------------------------

TEST_F(PictureViewsTest, PictureViewPlacesThePictureByMode) {
  StorePicture(200, 100);
  browser.pictureViews.sampleStep = 2.0f;
  struct Case {
    int mode, cx, cy, left, bottom;
  };
  for (const Case& c :
       {Case{0, 300, 200, 200, 150}, Case{3, 400, 250, 140, 160}, Case{9, 120, 70, 20, 40}}) {
    browser.pictureViews.placementMode = static_cast<PlacementMode>(c.mode);
    PointAt(c.cx, c.cy);
    DrawPictureView(browser, display, trove.pictures);
    ExpectPixel(c.left, c.bottom, Pattern(0, 0));
    ExpectPixel(c.left + 199, c.bottom + 99, Pattern(198, 98));
    ExpectPixel(c.left - 1, c.bottom, {0, 0, 0});
    ExpectPixel(c.left + 200, c.bottom + 99, {0, 0, 0});
    ExpectPixel(c.left, c.bottom + 100, {0, 0, 0});
    ExpectPixel(c.left, c.bottom - 1, {0, 0, 0});
    EXPECT_TRUE(PickBufferEmpty());
    EXPECT_EQ(std::memcmp(canvas.frameBuffer, canvas.savedView, 960u * 540u * 4u), 0);
  }
  // Centred on the cursor in mode 0.
  browser.pictureViews.placementMode = PlacementMode::centred;
  PointAt(300, 200);
  DrawPictureView(browser, display, trove.pictures);
  ExpectPixel(300, 200, Pattern(100, 50));
  ExpectPixel(299, 199, Pattern(98, 48));
}

TEST_F(PictureViewsTest, PictureViewWithAnUnusableStepDrawsNothing) {
  StorePicture(50, 50);
  PointAt(100, 100);
  browser.pictureViews.placementMode = PlacementMode::centred;
  for (float step : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 1e-30f}) {
    browser.pictureViews.sampleStep = step;
    std::memset(canvas.frameBuffer, 9, 960u * 540u * 4u);
    DrawPictureView(browser, display, trove.pictures);
    for (std::size_t i = 0; i < 960u * 540u * 4u; i += 4096) ASSERT_EQ(canvas.frameBuffer[i], 0);
  }
}

TEST_F(PictureViewsTest, ClippedDrawingEqualsPerPixelSampling) {
  std::mt19937 random(12345);
  auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const float steps[] = {0.25f,
                         0.5f,
                         1.0f,
                         2.0f,
                         3.0f,
                         4.0f,
                         0.3f,
                         1.7f,
                         ThumbnailStep(1000, 500, 140),
                         ThumbnailStep(10, 10, 140)};
  const int sizes[][2] = {{1, 1}, {7, 3}, {37, 53}, {200, 100}, {333, 71}, {10, 10}};
  int compared = 0;
  for (const auto& canvasSize : {std::pair{97, 61}, std::pair{320, 200}}) {
    UseCanvas(canvasSize.first, canvasSize.second, 1, 2);
    for (const auto& size : sizes) {
      StorePicture(size[0], size[1]);
      for (float step : steps) {
        const int spanX = static_cast<int>(2.0f * size[0] / step) + 4;
        const int spanY = static_cast<int>(2.0f * size[1] / step) + 4;
        for (int trial = 0; trial < 6; ++trial) {
          // Origins that put the picture partly or wholly off every edge, or inside.
          const int ox = uniform(-spanX, canvasSize.first + 2);
          const int oy = uniform(-spanY, canvasSize.second + 2);
          const std::int32_t id = trial % 2 == 0 ? 4000 + trial : 0;
          ClearCanvas(display);
          ReferenceDraw(display, trove.pictures, ox, oy, step, id);
          const Canvases expected = Snapshot(display);
          ClearCanvas(display);
          DrawSampledPicture(display, trove.pictures, ox, oy, step, id);
          const Canvases got = Snapshot(display);
          ASSERT_EQ(got.frame, expected.frame)
              << size[0] << "x" << size[1] << " step " << step << " at " << ox << ", " << oy;
          ASSERT_EQ(got.pick, expected.pick)
              << size[0] << "x" << size[1] << " step " << step << " at " << ox << ", " << oy;
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(compared, 2 * 6 * 10 * 6);
}

TEST_F(PictureViewsTest, PictureViewEqualsPerPixelSamplingForEveryPlacement) {
  UseCanvas(320, 200, 1, 2);
  StorePicture(123, 77);
  for (int mode : {0, 3, 9}) {
    for (float step : {0.25f, 0.5f, 1.0f, 2.0f, 3.0f, 4.0f}) {
      for (auto [cx, cy] : {std::pair{0, 0}, std::pair{160, 100}, std::pair{319, 199},
                            std::pair{37, 150}, std::pair{250, 20}}) {
        browser.pictureViews.placementMode = static_cast<PlacementMode>(mode);
        browser.pictureViews.sampleStep = step;
        PointAt(cx, cy);
        DrawPictureView(browser, display, trove.pictures);
        const Canvases got = Snapshot(display);
        ClearCanvas(display);
        const float w = 123.0f / step;
        const float h = 77.0f / step;
        const float ox = mode == 0 ? cx - w : static_cast<float>(mode) * cx - 320.0f - w;
        const float oy = mode == 0 ? cy - h : static_cast<float>(mode) * cy - 200.0f - h;
        ReferenceDraw(display, trove.pictures, static_cast<int>(ox), static_cast<int>(oy), step, 0);
        ASSERT_EQ(got.frame, Snapshot(display).frame)
            << mode << " " << step << " " << cx << "," << cy;
      }
    }
  }
}

// ---- Opening and closing ----------------------------------------------------------------------

TEST_F(PictureViewsTest, OpenPictureSwitchesToThePictureView) {
  Picture("a.bmp", 16, 12);
  RescanBrowsedDirectory(browser);
  const int k = EntryOf("a.bmp");
  browser.browserMode = BrowserMode{BrowserView::thumbnails};
  displayState.scrollX = 5;
  displayState.scrollY = -7;
  trove.input.mouseLatches.rightDown = 1;
  Finish(OpenAndCollect(browser, displayState, trove.pictures, k), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.pictureActive(), 1);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.pictureViews.pictureEntry, k);
  EXPECT_EQ(displayState.scrollX, 0);
  EXPECT_EQ(displayState.scrollY, 0);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::pictureOpen});
}

TEST_F(PictureViewsTest, AFailedOpenStaysInTheThumbnails) {
  tree.File("pictures/broken.bmp", "BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx");
  RescanBrowsedDirectory(browser);
  const int k = EntryOf("broken.bmp");
  browser.browserMode = BrowserMode{BrowserView::thumbnails};
  displayState.scrollX = 5;
  browser.pictureViews.pictureEntry = 0;
  trove.input.mouseLatches.rightDown = 1;
  Finish(OpenAndCollect(browser, displayState, trove.pictures, k), trove.input.mouseLatches);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.pictureViews.pictureEntry, 0);
  EXPECT_EQ(displayState.scrollX, 5);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 1);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::pictureOpen});
}

// A page drawn before a rescan that shortened the list keeps its PickIds: a click on such a
// thumbnail names a slot the current scan does not hold, and opens nothing.
TEST_F(PictureViewsTest, AThumbnailLeftFromALongerListOpensNothing) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) Picture(name, 8, 6);
  RescanBrowsedDirectory(browser);
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  DrawThumbnailPage(browser, display, trove.pictures);
  const int last = browser.fileList.count;
  ASSERT_EQ(last, 5);
  // Another picture goes: the last cell's picture is now listed under a smaller index.
  const std::string stale = browser.fileList.names[last];
  const std::string victim = stale == "a.bmp" ? "b.bmp" : "a.bmp";
  std::filesystem::remove(pictures + "/" + victim);
  RescanBrowsedDirectory(browser);
  ASSERT_EQ(browser.fileList.count, last - 1);
  const CellOrigin o =
      ThumbnailCellOrigin(last - 1, ThumbnailGridSize(960, 540, 140, 140), 140, 140, 540);
  ClickOn(pick::thumbnailBase + last, o.x + 2, o.y + 2);
  FinishCommand(trove, ShownView(trove).click(trove));
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
}

// When the browsed directory vanished, a load must not decode the start directory's file of
// the same name in its place.
TEST_F(PictureViewsTest, APictureOfAVanishedDirectoryIsNotTakenFromTheStartDirectory) {
  Picture("a.bmp", 8, 6);
  RescanBrowsedDirectory(browser);
  const int k = EntryOf("a.bmp");
  WriteBmp(work + "/a.bmp", 8, 6, Pattern);
  std::filesystem::remove_all(pictures);
  ASSERT_EQ(browser.fileList.count, 3);  // the scan before the directory vanished
  browser.browserMode = BrowserMode{BrowserView::thumbnails};
  Finish(OpenAndCollect(browser, displayState, trove.pictures, k), trove.input.mouseLatches);
  EXPECT_EQ(browser.pictureViews.pictureLoaded, 0);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(work));
}

TEST_F(PictureViewsTest, ClosePictureRequestsThePageAgain) {
  tree.File("pictures/new.txt", "x");
  browser.browserMode = BrowserMode{BrowserView::picture};
  browser.fileList.count = 0;
  browser.fileList.thumbFirst = 4;
  trove.input.mouseLatches.rightDown = 1;
  Finish(ClosePicture(browser), trove.input.mouseLatches);
  EXPECT_EQ(trove.input.mouseLatches.rightDown, 0);
  EXPECT_EQ(browser.browserMode.listActive(), 0);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);
  EXPECT_EQ(browser.fileList.count, 3);  // rescanned
  EXPECT_EQ(browser.fileList.thumbFirst, 4);
  EXPECT_EQ(os().pauses, std::vector<int>{pauseAfter::click});
}

// Page, click on a thumbnail, the picture following the cursor, a click back to the page, as
// the main loop runs them.
TEST_F(PictureViewsTest, MainLoopOpensAndClosesThePicture) {
  Picture("a.bmp", 100, 60);
  RescanBrowsedDirectory(browser);
  const int k = EntryOf("a.bmp");
  browser.fileList.thumbFirst = k;
  browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  browser.pictureViews.overlayShown = 0;
  PassesUntilPageDrawn();
  EXPECT_EQ(browser.pictureViews.overlayShown, 1);
  EXPECT_EQ(browser.pictureViews.placementMode, PlacementMode::followByThree);

  // A right click on the thumbnail opens the picture.
  PointAt(40, 380);
  ASSERT_EQ(PickIdUnderCursor(display), pick::thumbnailBase + k);
  trove.input.mouseLatches.rightDown = 1;
  RunPass(trove);
  // It is decoded on a thread of its own; the passes go on meanwhile.
  while (PictureOpeningPending(browser)) RunPass(trove);
  EXPECT_EQ(browser.browserMode.pictureActive(), 1);
  EXPECT_EQ(browser.pictureViews.pictureEntry, k);

  // Next pass: the picture at step 2, placement 3, centred at 3 cursor - canvas size.
  browser.pictureViews.sampleStep = 2.0f;
  PointAt(340, 200);
  RunPass(trove);
  const Canvases view = Snapshot(display);
  ClearCanvas(display);
  ReferenceDraw(display, trove.pictures, 3 * 340 - 960 - 50, 3 * 200 - 540 - 30, 2.0f, 0);
  std::vector<std::uint8_t> saved(canvas.savedView, canvas.savedView + 960u * 540u * 4u);
  EXPECT_EQ(saved, Snapshot(display).frame);
  EXPECT_TRUE(std::all_of(view.pick.begin(), view.pick.end(), [](int id) { return id == 0; }));

  // Any click goes back to the page, drawn again in the next pass.
  trove.input.mouseLatches.rightDown = 1;
  RunPass(trove);
  EXPECT_EQ(browser.browserMode.pictureActive(), 0);
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 1);
  PassesUntilPageDrawn();
  EXPECT_EQ(browser.browserMode.thumbRedraw(), 0);
  EXPECT_EQ(PickIdUnderCursor(display), 0);
  PointAt(40, 380);
  EXPECT_EQ(PickIdUnderCursor(display), pick::thumbnailBase + k);
}

}  // namespace
