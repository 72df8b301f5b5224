// Thumbnail pages drawn by the workers, from direct samples and from memory, against the page
// drawn the old way (each picture loaded into the PictureBuffer in turn and sampled there):
// frames, PickIds and the loader's state byte for byte, over the project's samples, the
// corpora and cells partly off the canvas; the thumbnail cache; the workers and their gate.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "browser/directory.h"
#include "browser/list_view.h"
#include "browser/page_decoder.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_cache.h"
#include "browser_fixture.h"
#include "canvas/text.h"
#include "input/input.h"
#include "input/input_events.h"
#include "input/keys.h"
#include "shell/main_loop.h"
#include "pictures/texture_loader.h"
#include "support/picture_corpora.h"

// Allocation failures injected on one thread: while failAfter is n >= 0, the allocation after
// n more succeed fails (once). Inert unless a test arms it.
namespace {
thread_local long failAfter = -1;
}  // namespace

void* operator new(std::size_t size) {
  if (failAfter == 0) {
    failAfter = -1;
    throw std::bad_alloc();
  }
  if (failAfter > 0) --failAfter;
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;

// Everything of the loader a later command can see.
struct LoaderState {
  PictureInfo info;
  int pictureLoaded = 0;
  int width = 0;
  int height = 0;
  int loadable = 0;
  PlacementMode placementMode = PlacementMode::centred;
  int overlayShown = 0;
  int selection = 0;

  bool operator==(const LoaderState&) const = default;
};

LoaderState CaptureLoader(const Browser& browser, const Pictures& pictures) {
  const TextureLoader& textureLoader = pictures.textureLoader;
  return {pictures.pictureInfo,
          browser.pictureViews.pictureLoaded,
          textureLoader.width,
          textureLoader.height,
          textureLoader.loadable,
          browser.pictureViews.placementMode,
          browser.pictureViews.overlayShown,
          browser.fileList.selection};
}

void RestoreLoader(Browser& browser, Pictures& pictures, const LoaderState& s) {
  TextureLoader& textureLoader = pictures.textureLoader;
  pictures.pictureInfo = s.info;
  browser.pictureViews.pictureLoaded = s.pictureLoaded;
  textureLoader.width = s.width;
  textureLoader.height = s.height;
  textureLoader.loadable = s.loadable;
  browser.pictureViews.placementMode = s.placementMode;
  browser.pictureViews.overlayShown = s.overlayShown;
  browser.fileList.selection = s.selection;
}

// The page as the program used to draw it: every entry loaded into the PictureBuffer one after
// another on this thread, and its thumbnail sampled from there.
void DrawSequentialPage(Browser& browser, Display& display, Pictures& pictures) {
  const TextureLoader& textureLoader = pictures.textureLoader;
  const DisplayState& displayState = display.displayState;
  PageRedrawn(browser.browserMode);
  browser.nameLimit = ThumbnailNameLimit(displayState.canvasWidth, browser.nameLimit);
  ClearCanvas(display);
  const ThumbnailGrid grid =
      ThumbnailGridSize(displayState.canvasWidth, displayState.canvasHeight,
                        browser.pictureViews.cellWidth, browser.pictureViews.cellHeight);
  RescanBrowsedDirectory(browser);
  if (browser.fileList.thumbFirst <= 0) browser.fileList.thumbFirst = 1;
  const int first = browser.fileList.thumbFirst;
  const int last = ThumbnailLastEntry(first, grid, browser.fileList.count);
  for (int k = first; k <= last; ++k) {
    const CellOrigin o =
        ThumbnailCellOrigin(k - first, grid, browser.pictureViews.cellWidth,
                            browser.pictureViews.cellHeight, displayState.canvasHeight);
    LoadEntryPicture(browser, pictures, k);
    if (browser.pictureViews.pictureLoaded == 1) {
      DrawSampledPicture(
          display, pictures, o.x, o.y,
          ThumbnailStep(textureLoader.width, textureLoader.height, browser.pictureViews.cellWidth),
          pick::thumbnailBase + k);
    }
    DrawRectOutline(display, o.x, o.y, o.x + browser.pictureViews.cellWidth + 1,
                    o.y + browser.pictureViews.cellHeight + 1, 255, 255, 255);
    DrawRectOutline(display, o.x + 1, o.y + 1, o.x + browser.pictureViews.cellWidth,
                    o.y + browser.pictureViews.cellHeight, 255, 255, 255);
    char cut[nameSlotSize];
    std::snprintf(cut, sizeof cut, "%.*s", browser.nameLimit + 1, browser.fileList.names[k]);
    RenderText(display, cut, o.x + 6, o.y + browser.pictureViews.cellHeight - 4, 255, 255, 255);
  }
  SaveView(display);
  browser.fileList.selection = browser.fileList.thumbFirst;
}

int PicturesOn(const Canvases& c) {
  std::vector<bool> seen(maxEntries + 1, false);
  int pictures = 0;
  for (std::int32_t id : c.pick) {
    if (pick::IsThumbnail(id) && !seen[id - pick::thumbnailBase]) {
      seen[id - pick::thumbnailBase] = true;
      ++pictures;
    }
  }
  return pictures;
}

class ThumbnailPagesTest : public PictureFolderTest {
 protected:
  void UseCells(int canvasWidth, int canvasHeight, int cell) {
    UseCanvas(canvasWidth, canvasHeight, 1, 2);
    browser.pictureViews.cellWidth = browser.pictureViews.cellHeight = cell;
  }

  Canvases DrawPage(int first, void (*draw)(Browser&, Display&, Pictures&)) {
    browser.fileList.thumbFirst = first;
    browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
    draw(browser, display, trove.pictures);
    return Snapshot(display);
  }

  // Every page of the browsed directory drawn the old way, then cold (nothing kept), then again
  // from memory, from the same state each time: equal canvases and loader state. Returns how
  // many thumbnails the pages showed.
  int ExpectEveryPageAsBefore() {
    RescanBrowsedDirectory(browser);
    const int cells = std::max(CellsPerPage(browser.pictureViews, displayState), 1);
    int shown = 0;
    for (int first = 1; first <= std::max(browser.fileList.count, 1); first += cells) {
      // The page must set these again, as every load does.
      browser.pictureViews.overlayShown = 0;
      browser.pictureViews.placementMode = PlacementMode::followByNine;
      const LoaderState start = CaptureLoader(browser, trove.pictures);
      const Canvases old = DrawPage(first, DrawSequentialPage);
      const LoaderState oldState = CaptureLoader(browser, trove.pictures);

      RestoreLoader(browser, trove.pictures, start);
      browser.thumbnailCache.Clear();
      EXPECT_EQ(DrawPage(first, DrawThumbnailPage), old) << "cold page at " << first;
      EXPECT_EQ(CaptureLoader(browser, trove.pictures), oldState) << "cold page at " << first;

      RestoreLoader(browser, trove.pictures, start);
      const std::size_t kept = browser.thumbnailCache.count();
      EXPECT_EQ(DrawPage(first, DrawThumbnailPage), old) << "page from memory at " << first;
      EXPECT_EQ(CaptureLoader(browser, trove.pictures), oldState)
          << "page from memory at " << first;
      EXPECT_EQ(browser.thumbnailCache.count(), kept);
      shown += PicturesOn(old);
    }
    return shown;
  }

  void CopyIn(const std::vector<CorpusPicture>& files, const std::string& prefix) {
    int n = 0;
    for (const CorpusPicture& f : files) {
      const std::string name =
          prefix + std::to_string(n++) + "_" + f.path.stem().string() + "." + f.extension;
      fs::copy_file(f.path, pictures + "/" + name, fs::copy_options::overwrite_existing);
    }
  }
};

TEST_F(ThumbnailPagesTest, ProjectSamplesAsBeforeOnEveryCanvas) {
  const std::vector<CorpusPicture> samples = ProjectSamples(pictures);
  ASSERT_GE(samples.size(), 8u);
  // Pictures in the subdirectory too, so that a page holds more pictures than workers.
  CopyIn(ProjectSamples(tree.Dir("more")), "again");
  struct Layout {
    int width, height, cell;
  };
  // Half screen, 1280 x 960, and canvases whose last column's thumbnails run off the right edge.
  for (const Layout& l : {Layout{960, 540, 140}, Layout{1280, 960, 200}, Layout{282, 300, 140},
                          Layout{402, 262, 200}}) {
    UseCells(l.width, l.height, l.cell);
    browser.thumbnailCache.Clear();
    EXPECT_GT(ExpectEveryPageAsBefore(), 0) << l.width << "x" << l.height;
  }
}

TEST_F(ThumbnailPagesTest, PictureViewAfterAPageAsBefore) {
  ProjectSamples(pictures);
  RescanBrowsedDirectory(browser);
  int entry = 0;
  for (int k = 1; k <= browser.fileList.count && entry == 0; ++k) {
    if (std::string(browser.fileList.names[k]).ends_with(".jpg")) entry = k;
  }
  ASSERT_GT(entry, 0);
  PointAt(300, 200);
  auto pictureViewAfter = [&](void (*draw)(Browser&, Display&, Pictures&)) {
    DrawPage(1, draw);
    Finish(OpenAndCollect(browser, displayState, trove.pictures, entry), trove.input.mouseLatches);
    EXPECT_EQ(browser.browserMode.pictureActive(), 1);
    DrawPictureView(browser, display, trove.pictures);
    return Snapshot(display);
  };
  const Canvases old = pictureViewAfter(DrawSequentialPage);
  EXPECT_EQ(pictureViewAfter(DrawThumbnailPage), old);
  EXPECT_EQ(pictureViewAfter(DrawThumbnailPage), old);  // the page from memory
}

TEST_F(ThumbnailPagesTest, BmpCorporaAsBefore) {
  CopyIn(CorpusFolder("bmpsuite/g"), "g");
  CopyIn(CorpusFolder("bmpsuite/q"), "q");
  CopyIn(CorpusFolder("bmpsuite/b"), "b");
  CopyIn(CorpusFolder("go-fuzz-corpus/bmp/corpus", "bmp"), "f");
  UseCells(1920, 1080, 140);
  EXPECT_GT(ExpectEveryPageAsBefore(), 40);
}

TEST_F(ThumbnailPagesTest, JpegCorporaAsBefore) {
  CopyIn(CorpusFolder("libjpeg-turbo-testimages"), "t");
  CopyIn(CorpusFolder("jpeg-decoder-tests/reftest"), "r");
  CopyIn(CorpusFolder("jpeg-decoder-tests/crashtest"), "c");
  CopyIn(CorpusFolder("jpeg-decoder-tests/icc"), "i");
  CopyIn(CorpusFolder("go-fuzz-corpus/jpeg/corpus", "jpg"), "f");
  UseCells(1920, 1080, 140);
  EXPECT_GT(ExpectEveryPageAsBefore(), 40);
}

// ---- Pages drawn by the main loop as their pictures arrive -------------------------------------

// The browser on a 640 x 400 canvas (half of a 1280 x 800 screen, a width that sets the
// captions' length) with 140-pixel cells: eight cells a page, over a folder of pages of
// pictures.
class PagesInPassesTest : public ThumbnailPagesTest {
 protected:
  void SetUp() override {
    ThumbnailPagesTest::SetUp();
    ProjectSamples(pictures);
    CopyIn(ProjectSamples(tree.Dir("more")), "again");
    os().screenWidth = 1280;
    os().screenHeight = 800;
    UseCells(640, 400, 140);
    RescanBrowsedDirectory(browser);
  }
  void TearDown() override {
    if (held) browser.thumbnailPages.decodeGate.Leave(decodePixelBudget);
    ThumbnailPagesTest::TearDown();
  }
  // Holds every decode at the gate, so that a page stays in progress until Release.
  void Hold() {
    ASSERT_TRUE(browser.thumbnailPages.decodeGate.TryEnter(decodePixelBudget));
    held = true;
  }
  void Release() {
    browser.thumbnailPages.decodeGate.Leave(decodePixelBudget);
    held = false;
  }
  // What the main loop left: the page without the overlay, and the PickIds below the overlay
  // strip, the top 30 rows (the buttons' own are drawn over the page every pass).
  Canvases PageLeft() {
    Canvases c = Snapshot(display);
    c.frame.assign(canvas.savedView, canvas.savedView + c.frame.size());
    return Trimmed(c);
  }
  Canvases Trimmed(Canvases c) const {
    c.pick.resize(c.pick.size() - static_cast<std::size_t>(displayState.canvasWidth) * 30);
    return c;
  }
  // Passes until the program rests and decodes ahead; then until that work has ended.
  void PassesUntilDecodingAhead() {
    for (int i = 0; i < 5 && !PageWorkPending(browser); ++i) RunPass(trove);
    ASSERT_TRUE(PageWorkPending(browser));
  }
  void UntilPageWorkEnds() {
    for (int i = 0; i < 60000 && CollectPageWork(browser); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  bool held = false;
};

TEST_F(PagesInPassesTest, APageLeftAndDrawnAgainEndsAsTheSequentialPage) {
  // A right click on the cell of the page's first picture, which waits for its decode: on its
  // thumbnail, or on a part of the cell the thumbnail leaves empty.
  enum Click { noClick, onThumbnail, onEmptyPart };
  enum Shows { unchecked, list, thumbnails, pictureView };
  struct Pass {
    std::vector<int> keys;  // latched for the pass
    Click click = noClick;
    Shows shows = unchecked;  // the view the pass leaves
    bool nextPage = false;    // the page it leaves is the next one
  };
  struct Case {
    const char* name;
    std::vector<Pass> passes;     // one after another while the page is held
    void (*after)(LoaderState&);  // what the keys change of the state after the page
  } cases[] = {{"uninterrupted", {}, nullptr},
               {"T and T again", {{{key::t}}, {{key::t}}}, nullptr},
               {"] and [", {{{key::rightBracket}}, {{key::leftBracket}}}, nullptr},
               {"a display mode", {{{key::f5}}}, nullptr},
               {"0 and 7 stay",
                {{{key::digit0}}, {{key::digit0 + 7}}},
                [](LoaderState& s) {
                  s.overlayShown = !s.overlayShown;
                  s.placementMode = PlacementMode::centred;
                }},
               {"a click opens its picture, a second closes it",
                {{{}, onThumbnail, pictureView}, {{}, onThumbnail, thumbnails}},
                nullptr},
               // The click comes first in its pass, as on the page drawn whole: it begins opening
               // the picture, and the keys of the pass leave the page, abandoning it.
               {"T with a click", {{{key::t}, onThumbnail, list}, {{key::t}}}, nullptr},
               {"[ with a click", {{{key::leftBracket}, onThumbnail, thumbnails}}, nullptr},
               {"] with a click",
                {{{key::rightBracket}, onThumbnail, thumbnails, true}, {{key::leftBracket}}},
                nullptr},
               // Where the drawn page has no thumbnail the click returns to the list, and loads
               // nothing: the overlay stays hidden.
               {"0, then a click beside the thumbnail",
                {{{key::digit0}}, {{}, onEmptyPart, list}, {{key::t}}},
                nullptr}};
  browser.pictureViews.placementMode = PlacementMode::followByNine;
  const LoaderState start = CaptureLoader(browser, trove.pictures);
  const Canvases old = Trimmed(DrawPage(1, DrawSequentialPage));
  const LoaderState oldState = CaptureLoader(browser, trove.pictures);
  ASSERT_GT(PicturesOn(old), 3);
  const int cells = CellsPerPage(browser.pictureViews, displayState);
  int picture = 1;
  while (picture < browser.fileList.count &&
         !std::string(browser.fileList.names[picture]).ends_with(".bmp")) {
    ++picture;
  }
  const CellOrigin pending = ThumbnailCellOrigin(picture - 1, ThumbnailGridSize(640, 400, 140, 140),
                                                 140, 140, displayState.canvasHeight);
  // A point of the cell where the page drawn whole has no thumbnail.
  int emptyX = -1;
  int emptyY = -1;
  for (int y = pending.y + 141; y >= pending.y && emptyX < 0; --y) {
    for (int x = pending.x + 141; x >= pending.x && emptyX < 0; --x) {
      const std::size_t at = static_cast<std::size_t>(y) * displayState.canvasWidth + x;
      if (y < displayState.canvasHeight - 30 && old.pick[at] == pick::none) {
        emptyX = x;
        emptyY = y;
      }
    }
  }
  ASSERT_GE(emptyX, 0);
  for (const Case& c : cases) {
    RestoreLoader(browser, trove.pictures, start);
    browser.thumbnailCache.Clear();
    browser.fileList.thumbFirst = 1;
    ShowThumbnails(browser.browserMode);
    Hold();
    RunPass(trove);
    ASSERT_TRUE(ThumbnailPageInProgress(browser)) << c.name;
    for (const Pass& pass : c.passes) {
      for (int k : pass.keys) KeyPressed(trove.input, k);
      if (pass.click == onThumbnail) PointAt(pending.x + 4, pending.y + 4);
      if (pass.click == onEmptyPart) PointAt(emptyX, emptyY);
      trove.input.mouseLatches.rightDown = pass.click != noClick;
      const LoaderState before = CaptureLoader(browser, trove.pictures);
      RunPass(trove);
      // A picture opened arrives from its own thread in a later pass.
      for (int i = 0; i < 60000 && PictureOpeningPending(browser); ++i) RunPass(trove);
      const BrowserMode& mode = browser.browserMode;
      if (pass.shows == list) {
        EXPECT_TRUE(mode.listActive()) << c.name;
      }
      if (pass.shows == thumbnails) {
        EXPECT_TRUE(ThumbnailsShown(mode)) << c.name;
      }
      if (pass.shows == pictureView) {
        EXPECT_TRUE(mode.pictureActive()) << c.name;
        EXPECT_EQ(browser.pictureViews.pictureEntry, picture) << c.name;
      }
      if (pass.shows != unchecked) {
        EXPECT_EQ(browser.fileList.thumbFirst, pass.nextPage ? 1 + cells : 1) << c.name;
      }
      if (pass.click == onEmptyPart) {
        EXPECT_EQ(CaptureLoader(browser, trove.pictures), before) << c.name;
      }
    }
    Release();
    PassesUntilPageDrawn();
    EXPECT_EQ(browser.fileList.thumbFirst, 1) << c.name;
    EXPECT_TRUE(PageLeft() == old) << c.name;
    LoaderState expected = oldState;
    if (c.after) c.after(expected);
    EXPECT_EQ(CaptureLoader(browser, trove.pictures), expected) << c.name;
    StopPageWork(browser);
  }
}

TEST_F(PagesInPassesTest, TheNextPageIsDecodedAheadWhileTheProgramRests) {
  browser.fileList.thumbFirst = 1;
  ShowThumbnails(browser.browserMode);
  PassesUntilPageDrawn();
  const std::size_t pageOne = browser.thumbnailCache.count();
  // Resting passes: the next page's pictures are decoded into the kept thumbnails, no further.
  PassesUntilDecodingAhead();
  UntilPageWorkEnds();
  EXPECT_GT(browser.thumbnailCache.count(), pageOne);
  EXPECT_LE(browser.thumbnailCache.count(), pageOne + 8);
  RunPass(trove);
  EXPECT_FALSE(PageWorkPending(browser));  // done once: resting costs nothing more
  // ] draws the next page in the pass that turns it, from memory.
  RestoreLoader(browser, trove.pictures, LoaderState{});
  const Canvases next = Trimmed(DrawPage(9, DrawSequentialPage));
  browser.fileList.thumbFirst = 1;
  KeyPressed(trove.input, key::rightBracket);
  RunPass(trove);
  RunPass(trove);
  EXPECT_FALSE(ThumbnailPageInProgress(browser));
  EXPECT_EQ(browser.fileList.thumbFirst, 9);
  EXPECT_EQ(PageLeft(), next);

  // Input stops the decoding ahead at once: the held pictures are abandoned, none is kept.
  browser.thumbnailCache.Clear();
  browser.fileList.thumbFirst = 1;
  ShowThumbnails(browser.browserMode);
  PassesUntilPageDrawn();
  const std::size_t kept = browser.thumbnailCache.count();
  Hold();
  PassesUntilDecodingAhead();
  KeyPressed(trove.input, key::digit0 + 7);
  RunPass(trove);
  Release();
  UntilPageWorkEnds();
  EXPECT_EQ(browser.thumbnailCache.count(), kept);
}

// ---- Kept thumbnails -------------------------------------------------------------------------

void SetWriteTime(const std::string& path, std::int64_t seconds) {
  struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(ThumbnailPagesTest, AChangedFileIsDecodedAgain) {
  const std::vector<CorpusPicture> samples = ProjectSamples(tree.Dir("source"));
  const std::string a = tree.root() + "/source/gradient_odd_width.bmp";
  const std::string b = tree.root() + "/source/checker_key.bmp";
  const std::string target = pictures + "/picture.bmp";
  ASSERT_NE(fs::file_size(a), fs::file_size(b));
  fs::copy_file(a, target);
  SetWriteTime(target, 1000000);
  const Canvases first = DrawPage(1, DrawThumbnailPage);
  ASSERT_EQ(PicturesOn(first), 1);

  // Other pixels of the same size under the same time: the page comes from memory.
  std::vector<char> bytes(fs::file_size(a));
  std::ifstream(a, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  for (std::size_t i = 200; i < bytes.size(); ++i) bytes[i] = static_cast<char>(~bytes[i]);
  std::ofstream(target, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  SetWriteTime(target, 1000000);
  EXPECT_EQ(DrawPage(1, DrawThumbnailPage), first);

  // A new write time: decoded again, as the old way draws it.
  SetWriteTime(target, 1000001);
  const Canvases changed = DrawPage(1, DrawSequentialPage);
  EXPECT_NE(changed, first);
  EXPECT_EQ(DrawPage(1, DrawThumbnailPage), changed);

  // Another picture of another size under the old time: decoded again too.
  fs::copy_file(b, target, fs::copy_options::overwrite_existing);
  SetWriteTime(target, 1000001);
  const Canvases other = DrawPage(1, DrawSequentialPage);
  EXPECT_EQ(DrawPage(1, DrawThumbnailPage), other);
  EXPECT_EQ(browser.thumbnailCache.count(), 1u);

  // Another cell size is another thumbnail; the first one stays.
  UseCells(1280, 960, 200);
  DrawPage(1, DrawThumbnailPage);
  EXPECT_EQ(browser.thumbnailCache.count(), 2u);
}

TEST_F(ThumbnailPagesTest, AHostileFileFailsAloneAmongGoodOnes) {
  ProjectSamples(pictures);
  tree.File("pictures/cut.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
  tree.File("pictures/noise.jpg", std::string(5000, 'x'));
  tree.File("pictures/huge.bmp", std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0"
                                             "\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F\x01\0\x18\0",
                                             30));
  fs::copy_file(fs::path(TROVE_CORPORA_DIR) / "bmpsuite/b/reallybig.bmp", pictures + "/big.bmp");
  fs::copy_file(fs::path(TROVE_CORPORA_DIR) / "bmpsuite/b/rletopdown.bmp", pictures + "/rle.bmp");
  UseCells(1920, 1080, 140);
  EXPECT_EQ(ExpectEveryPageAsBefore(), 7);  // the seven sample pictures, nothing else

  // The workers themselves: the failures in between change nothing for the others.
  const std::string good = pictures + "/Evening Lake.jpg";
  std::vector<PageJob> jobs;
  for (const std::string& name : {good, pictures + "/cut.jpg", pictures + "/huge.bmp", good,
                                  pictures + "/missing.jpg", good}) {
    PageJob job;
    job.path = name;
    job.cellWidth = 140;
    jobs.push_back(job);
  }
  DecodeGate gate;
  PageDecoder decoder(jobs, 2, gate);
  const bool expected[] = {true, false, false, true, false, true};
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const PageResult r = decoder.Result(i);
    EXPECT_EQ(r.decoded, expected[i]) << i;
    EXPECT_EQ(r.samples.rgba.empty(), !expected[i]) << i;
  }
}

TEST_F(ThumbnailPagesTest, MorePicturesThanWorkers) {
  ProjectSamples(pictures);
  std::vector<PageJob> jobs;
  for (const auto& entry : fs::directory_iterator(pictures)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".txt") continue;
    PageJob job;
    job.path = entry.path().string();
    job.cellWidth = 200;
    jobs.push_back(job);
  }
  ASSERT_GE(jobs.size(), 6u);
  // Each result as one decode on this thread gives it.
  std::vector<PageResult> alone;
  DecodeGate gate;
  for (const PageJob& job : jobs) alone.push_back(DecodePageJob(job, gate));
  for (int workers : {1, 2, 3}) {
    PageDecoder decoder(jobs, workers, gate);
    // Taken in reverse: a later result may be waited for first.
    for (std::size_t i = jobs.size(); i-- > 0;) {
      const PageResult r = decoder.Result(i);
      EXPECT_EQ(r.decoded, alone[i].decoded) << workers << " " << jobs[i].path;
      EXPECT_EQ(r.samples.rgba, alone[i].samples.rgba) << workers << " " << jobs[i].path;
    }
  }
  EXPECT_GE(PageWorkerCount(18), 2);
  EXPECT_EQ(PageWorkerCount(1), 1);
  EXPECT_EQ(PageWorkerCount(0), 0);
}

// Every allocation of a worker's decode fails in turn: each time the picture is either decoded
// as without failures or not decoded at all, and the gate is open again afterwards (whatever
// the decode held is given back: the leak checker of the test run sees the rest).
TEST_F(ThumbnailPagesTest, AnAllocationFailureAtAnyStepFailsThatPictureAlone) {
  ProjectSamples(pictures);
  for (const char* name : {"Evening Lake.jpg", "gradient_odd_width.bmp"}) {
    PageJob job;
    job.path = pictures + "/" + name;
    job.cellWidth = 140;
    DecodeGate gate;
    const PageResult whole = DecodePageJob(job, gate);
    ASSERT_TRUE(whole.decoded) << name;
    int failures = 0;
    for (long n = 0; n < 10000; ++n) {
      failAfter = n;
      const PageResult r = DecodePageJob(job, gate);
      const bool failed = failAfter == -1;
      failAfter = -1;
      if (!failed) break;  // no allocation was left to fail
      ++failures;
      EXPECT_TRUE(!r.decoded || r.samples.rgba == whole.samples.rgba) << name << " " << n;
      ASSERT_TRUE(gate.TryEnter(decodePixelBudget)) << name << " " << n;
      gate.Leave(decodePixelBudget);
    }
    EXPECT_GT(failures, 2) << name;
  }
}

TEST_F(ThumbnailPagesTest, WithoutAPictureBufferNothingIsDecoded) {
  ProjectSamples(pictures);
  std::free(textureLoader.pixels);
  textureLoader.pixels = nullptr;
  const Canvases old = DrawPage(1, DrawSequentialPage);
  const LoaderState state = CaptureLoader(browser, trove.pictures);
  EXPECT_EQ(PicturesOn(old), 0);
  EXPECT_EQ(DrawPage(1, DrawThumbnailPage), old);
  EXPECT_EQ(CaptureLoader(browser, trove.pictures), state);
}

// ---- The cache and the gate ------------------------------------------------------------------

PictureSamples SamplesOf(std::size_t bytes, std::uint8_t fill) {
  PictureSamples s;
  s.columns = static_cast<int>(bytes / 4);
  s.rows = 1;
  s.rgba.assign(bytes, fill);
  return s;
}

ThumbnailKey KeyOf(const std::string& path, std::int64_t time = 1, int cell = 140) {
  ThumbnailKey key;
  key.path = path;
  key.stamp.size = 100;
  key.stamp.writeTime = time;
  key.cellWidth = key.cellHeight = cell;
  return key;
}

TEST(ThumbnailCache, LeastRecentlyUsedGoFirstWithinTheLimit) {
  ThumbnailCache cache(3 * 1400);
  cache.Insert(KeyOf("a"), SamplesOf(1000, 1));
  cache.Insert(KeyOf("b"), SamplesOf(1000, 2));
  cache.Insert(KeyOf("c"), SamplesOf(1000, 3));
  ASSERT_EQ(cache.count(), 3u);
  ASSERT_NE(cache.Find(KeyOf("a")), nullptr);  // a is now the most recent
  cache.Insert(KeyOf("d"), SamplesOf(1000, 4));
  EXPECT_EQ(cache.count(), 3u);
  EXPECT_EQ(cache.Find(KeyOf("b")), nullptr);
  ASSERT_NE(cache.Find(KeyOf("a")), nullptr);
  EXPECT_EQ(cache.Find(KeyOf("a"))->rgba[0], 1);
  EXPECT_LE(cache.bytes(), 3u * 1400u);
  // Larger than the whole limit: not kept, and nothing dropped for it.
  cache.Insert(KeyOf("e"), SamplesOf(5000, 5));
  EXPECT_EQ(cache.Find(KeyOf("e")), nullptr);
  EXPECT_EQ(cache.count(), 3u);
  cache.Clear();
  EXPECT_EQ(cache.count(), 0u);
  EXPECT_EQ(cache.bytes(), 0u);
}

TEST(ThumbnailCache, OutOfDateEntriesAreDroppedAndReplaced) {
  ThumbnailCache cache;
  cache.Insert(KeyOf("a", 1), SamplesOf(400, 1));
  EXPECT_EQ(cache.Find(KeyOf("a", 2)), nullptr);
  EXPECT_EQ(cache.count(), 0u);  // the stale one is gone
  cache.Insert(KeyOf("a", 2), SamplesOf(400, 2));
  cache.Insert(KeyOf("a", 3), SamplesOf(400, 3));
  EXPECT_EQ(cache.count(), 1u);
  ASSERT_NE(cache.Find(KeyOf("a", 3)), nullptr);
  EXPECT_EQ(cache.Find(KeyOf("a", 3))->rgba[0], 3);
  ThumbnailKey bigger = KeyOf("a", 3);
  bigger.stamp.size = 101;
  EXPECT_EQ(cache.Find(bigger), nullptr);
  // The same file for another cell size is a separate thumbnail.
  cache.Insert(KeyOf("a", 3, 140), SamplesOf(400, 4));
  cache.Insert(KeyOf("a", 3, 200), SamplesOf(400, 5));
  EXPECT_EQ(cache.count(), 2u);
  EXPECT_EQ(cache.Find(KeyOf("a", 3, 200))->rgba[0], 5);
  // The full program-wide bound.
  EXPECT_EQ(thumbnailCacheBytes, 64u * 1024u * 1024u);
}

TEST(DecodeGateTest, LargePicturesAreDecodedAlone) {
  EXPECT_EQ(DecodeCost(12000000), 12000000);
  EXPECT_EQ(DecodeCost(decodeAloneAbovePixels + 1), decodePixelBudget);
  EXPECT_EQ(DecodeCost(0), decodePixelBudget);  // size unknown
  DecodeGate gate;
  gate.Enter(DecodeCost(12000000));
  EXPECT_TRUE(gate.TryEnter(DecodeCost(12000000)));
  EXPECT_FALSE(gate.TryEnter(DecodeCost(30000000)));
  gate.Leave(DecodeCost(12000000));
  gate.Leave(DecodeCost(12000000));
  EXPECT_TRUE(gate.TryEnter(DecodeCost(30000000)));
  EXPECT_FALSE(gate.TryEnter(DecodeCost(1)));

  // A waiting decode is admitted once the large one leaves, and one that asks later waits
  // behind it.
  std::atomic<int> admitted{0};
  std::thread waiter([&] {
    gate.Enter(DecodeCost(1000));
    admitted = 1;
    gate.Leave(DecodeCost(1000));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(admitted.load(), 0);
  gate.Leave(DecodeCost(30000000));
  waiter.join();
  EXPECT_EQ(admitted.load(), 1);
  EXPECT_TRUE(gate.TryEnter(decodePixelBudget));
}

}  // namespace
