// The picture views against their references, each ratio from one run:
// (1) a main-loop pass of the picture view at 960 x 540 for a 4000 x 3000 picture at step 0.25
//     (32000 x 24000 canvas pixels, nearly all off the canvas) against the pass for a
//     1000 x 600 picture at step 2, which just covers the canvas: the cost should follow the
//     visible area, not the picture;
// (2) a thumbnail page of 18 JPEG files of 4000 x 3000 seen for the first time (decoded by the
//     workers) against decoding the same 18 files one after another on one core with the same
//     decoder and nothing else, and the same for a page of 18 PNG files (as the Linux program
//     shows them);
// (3) the same page revisited, its thumbnails kept in memory, against the first visit;
// (4) in the main loop's passes: the time until the page's first picture is drawn against the
//     time until the whole page is, and the longest pass meanwhile against one frame copy (the
//     loop never waits for a decode);
// (5) the next page after the program rested on a page (decoding it ahead) against the same
//     page seen cold.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "browser/directory.h"
#include "browser/browser.h"
#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_cache.h"
#include "canvas/canvas.h"
#include "display/display.h"
#include "input/input.h"
#include "input/input_events.h"
#include "input/keys.h"
#include "native/format_writers.h"
#include "native/photo_jpeg.h"
#include "pictures/texture_loader.h"
#include "backends/headless/headless.h"
#include "platform/platform.h"
#include "page_program.h"
#include "ratios.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/trove.h"

namespace {

// ---- Picture view -----------------------------------------------------------------------------

// The program at 960 x 540 (display mode 1, zoom 2) in the picture view, with a width x height
// picture in the PictureBuffer as a load leaves it and the cursor at the canvas centre.
void SetUpPictureView(Trove& trove, int width, int height, float step) {
  Browser& browser = trove.browser;
  Display& display = trove.display;
  Pictures& pictures = trove.pictures;
  headless::Reset();
  headless::state().windowRect = {0, 0, 1920, 1080};
  headless::state().cursor = {960, 540};
  UseHalfScreenDisplay(display);
  AllocateFileList(browser.fileList);
  browser.browserMode = BrowserMode{BrowserView::picture};
  browser.pictureViews.pictureEntry = 1;
  StoreEntry(browser.fileList, 1, "picture.jpg", entryFile);
  browser.fileList.count = 1;
  TextureLoader& textureLoader = pictures.textureLoader;
  PictureInfo& pictureInfo = pictures.pictureInfo;
  textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
  textureLoader.width = width;
  textureLoader.height = height;
  pictureInfo.width = width;
  pictureInfo.height = height;
  pictureInfo.bitsPerPixel = 32;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = textureLoader.pixels + static_cast<std::size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x) {
      row[x * 4] = static_cast<std::uint8_t>(x);
      row[x * 4 + 1] = static_cast<std::uint8_t>(y);
      row[x * 4 + 2] = static_cast<std::uint8_t>(x ^ y);
      row[x * 4 + 3] = 255;
    }
  }
  browser.pictureViews.sampleStep = step;
  browser.pictureViews.placementMode = PlacementMode::followByThree;
  browser.pictureViews.overlayShown = true;
}

void BM_PictureViewPassLarge(benchmark::State& state) {
  Trove trove;
  SetUpPictureView(trove, 4000, 3000, 0.25f);
  for (auto _ : state) {
    ForgetPresentedPass(trove.mainLoop);  // a drawn pass, not a resting one
    RunPass(trove);
    benchmark::DoNotOptimize(trove.display.canvas.frameBuffer[0]);
  }
}
BENCHMARK(BM_PictureViewPassLarge)->Unit(benchmark::kMicrosecond);

void BM_PictureViewPassSmall(benchmark::State& state) {
  Trove trove;
  SetUpPictureView(trove, 1000, 600, 2.0f);
  for (auto _ : state) {
    ForgetPresentedPass(trove.mainLoop);  // a drawn pass, not a resting one
    RunPass(trove);
    benchmark::DoNotOptimize(trove.display.canvas.frameBuffer[0]);
  }
}
BENCHMARK(BM_PictureViewPassSmall)->Unit(benchmark::kMicrosecond);

// ---- Thumbnail page ---------------------------------------------------------------------------

constexpr int pagePictures = 18;
constexpr int pictureWidth = 4000;
constexpr int pictureHeight = 3000;

// The photograph-like picture of that index as a PNG file (opaque, at zlib level 1).
void WritePhotoPng(const std::string& path, int index, int width, int height) {
  formatwriter::RgbaPicture picture{width, height, {}};
  picture.bytes.reserve(static_cast<std::size_t>(width) * height * 4u);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3u);
  std::uint32_t seed = PhotoSeed(index);
  for (int y = 0; y < height; ++y) {
    PhotoRow(index, y, width, height, &seed, row.data());
    for (int x = 0; x < width; ++x) {
      picture.bytes.insert(picture.bytes.end(), row.begin() + x * 3, row.begin() + x * 3 + 3);
      picture.bytes.push_back(255);
    }
  }
  const std::vector<std::uint8_t> png = formatwriter::Png(picture, 1);
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(png.data(), 1, png.size(), file);
    std::fclose(file);
  }
}

// The 18 files of one format, written once per run into a directory that is removed at exit.
class PageDirectory {
 public:
  PageDirectory(const char* extension, void (*write)(const std::string&, int, int, int))
      : posix_(std::string(extension) != "jpg") {
    char pattern[] = "/tmp/trove-bench-page-XXXXXX";
    if (!mkdtemp(pattern)) return;
    path_ = pattern;
    for (int i = 0; i < pagePictures; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "photo_%02d.%s", i + 1, extension);
      names_.push_back(name);
      write(path_ + "/" + name, i, pictureWidth, pictureHeight);
    }
  }
  ~PageDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  const std::vector<std::string>& names() const { return names_; }
  // Only the Linux program shows the format: the page is browsed with its conventions.
  bool posix() const { return posix_; }

 private:
  std::string path_;
  std::vector<std::string> names_;
  bool posix_;
};

const PageDirectory& Page() {
  static PageDirectory page("jpg", WritePhotoJpeg);
  return page;
}

const PageDirectory& PngPage() {
  static PageDirectory page("png", WritePhotoPng);
  return page;
}

bool FitsBuffer(int width, int height) {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
         pictureBufferPixels;
}

// The program at 1280 x 960 browsing a page directory.
void SetUpThumbnailPage(Trove& trove, const PageDirectory& page = Page()) {
  headless::Reset();
  headless::state().windowRect = {0, 0, 1280, 960};
  headless::state().posixConventions = page.posix();
  SetUpPageProgram(trove, page.path().c_str());
}

// Every picture of the page must have been decoded and drawn for a figure to mean anything.
void CountPicturesOnPage(benchmark::State& state, const Display& display) {
  const CanvasImages& canvas = display.canvas;
  std::set<std::int32_t> pictures;
  for (const std::int32_t* id = canvas.pickBuffer; id != canvas.pickBuffer + 1280 * 960; ++id) {
    if (pick::IsThumbnail(*id)) pictures.insert(*id);
  }
  state.counters["pictures_on_page"] = static_cast<double>(pictures.size());
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The reference: the page's 18 files decoded one after another on this thread, with the same
// decoder and nothing else.
double DecodeSamePictures(const PageDirectory& page, std::int64_t* pixels) {
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& name : page.names()) {
    const std::string path = page.path() + platform::PlatformConventions().pathSeparator + name;
    platform::DecodedPicture picture;
    if (platform::DecodePicture(path.c_str(), FitsBuffer, &picture)) {
      *pixels += static_cast<std::int64_t>(picture.width) * picture.height;
      benchmark::DoNotOptimize(picture.bits[0]);
      platform::ReleasePicture(&picture);
    }
  }
  return Seconds(start);
}

double DrawPage(Trove& trove) {
  const auto start = std::chrono::steady_clock::now();
  trove.browser.browserMode = BrowserMode{BrowserView::thumbnailsToDraw};
  DrawThumbnailPage(trove.browser, trove.display, trove.pictures);
  benchmark::DoNotOptimize(trove.display.canvas.frameBuffer[0]);
  return Seconds(start);
}

// The three figures in turn in every iteration, so that the machine's other work weighs on
// each alike: the decodes alone, the page seen for the first time (nothing kept: every picture
// decoded by the workers) and the same page revisited a moment later (every cell kept). Each
// figure is the best of the iterations: other programs on the machine only ever add time.
void BM_ThumbnailPage(benchmark::State& state, const PageDirectory& (*page)()) {
  Trove trove;
  SetUpThumbnailPage(trove, page());
  DrawPage(
      trove);  // the files in the file cache and the buffers touched, as in the running program
  double decode = 1e9;
  double cold = 1e9;
  double revisit = 1e9;
  std::int64_t pixels = 0;
  for (auto _ : state) {
    decode = std::min(decode, DecodeSamePictures(page(), &pixels));
    trove.browser.thumbnailCache.Clear();
    cold = std::min(cold, DrawPage(trove));
    for (int i = 0; i < 10; ++i) revisit = std::min(revisit, DrawPage(trove));
  }
  state.counters["decode_ms"] = decode * 1e3;
  state.counters["cold_ms"] = cold * 1e3;
  state.counters["revisit_ms"] = revisit * 1e3;
  state.counters["decoded_megapixels"] =
      static_cast<double>(pixels) / static_cast<double>(state.iterations()) / 1e6;
  CountPicturesOnPage(state, trove.display);
}
BENCHMARK_CAPTURE(BM_ThumbnailPage, jpeg, Page)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_ThumbnailPage, png, PngPage)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---- The page in the main loop ----------------------------------------------------------------

// One pass as the program runs it: a resting pass waits for its timeout, as a backend does when
// no input arrives. Returns the pass's own time, without that wait.
double Pass(Trove& trove) {
  std::vector<int>& waits = headless::state().inputWaits;
  waits.clear();
  const auto start = std::chrono::steady_clock::now();
  RunPass(trove);
  const double seconds = Seconds(start);
  if (!waits.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(waits.back()));
  return seconds;
}

// Passes from the request of the page at first (nothing kept) until it is whole. Returns the
// time until then; sets the time until the picture of the page's cell `cell` is drawn and the
// longest pass.
double PagePasses(Trove& trove, int first, int cell, double* cellSeconds, double* longestPass) {
  Browser& browser = trove.browser;
  browser.fileList.thumbFirst = first;
  ShowThumbnails(browser.browserMode);
  const DisplayState& displayState = trove.display.displayState;
  const ThumbnailGrid grid =
      ThumbnailGridSize(displayState.canvasWidth, displayState.canvasHeight,
                        browser.pictureViews.cellWidth, browser.pictureViews.cellHeight);
  const CellOrigin o =
      ThumbnailCellOrigin(cell, grid, browser.pictureViews.cellWidth,
                          browser.pictureViews.cellHeight, displayState.canvasHeight);
  const std::size_t cellPixel = static_cast<std::size_t>(o.y) * displayState.canvasWidth + o.x;
  const auto start = std::chrono::steady_clock::now();
  *cellSeconds = 0;
  do {
    *longestPass = std::max(*longestPass, Pass(trove));
    if (*cellSeconds == 0 &&
        trove.display.canvas.pickBuffer[cellPixel] == pick::thumbnailBase + first + cell) {
      *cellSeconds = Seconds(start);
    }
  } while (ThumbnailPageInProgress(browser) && Seconds(start) < 60);
  return Seconds(start);
}

// Nothing decoded or kept: the next page is seen cold.
void ForgetPages(Browser& browser) {
  StopPageWork(browser);
  browser.thumbnailCache.Clear();
}

double FrameCopy(Display& display) {
  const auto start = std::chrono::steady_clock::now();
  RestoreView(display);
  benchmark::DoNotOptimize(display.canvas.frameBuffer[0]);
  return Seconds(start);
}

// The 18 pictures after "." and ".." on one page at 1280 x 960: the first picture is cell 3.
void BM_PageInPasses(benchmark::State& state) {
  Trove trove;
  Browser& browser = trove.browser;
  SetUpThumbnailPage(trove);
  double firstPicture = 1e9;
  double whole = 1e9;
  double longest = 0;
  double copy = 1e9;
  for (auto _ : state) {
    ForgetPages(browser);
    double cell = 0;
    double pass = 0;
    whole = std::min(whole, PagePasses(trove, 1, 2, &cell, &pass));
    firstPicture = std::min(firstPicture, cell);
    longest = std::max(longest, pass);
    for (int i = 0; i < 10; ++i) copy = std::min(copy, FrameCopy(trove.display));
  }
  StopPageWork(browser);
  state.counters["first_picture_ms"] = firstPicture * 1e3;
  state.counters["whole_page_ms"] = whole * 1e3;
  state.counters["longest_pass_ms"] = longest * 1e3;
  state.counters["frame_copy_ms"] = copy * 1e3;
  CountPicturesOnPage(state, trove.display);
}
BENCHMARK(BM_PageInPasses)->Unit(benchmark::kMillisecond)->Iterations(5);

// Pages of eight cells (640 x 480, 140-pixel cells): the second page, entries 9 to 16, seen
// cold, and turned to with ] after the program rested on the first.
void BM_NextPageAhead(benchmark::State& state) {
  Trove trove;
  Browser& browser = trove.browser;
  // The ] below reaches the program through the key entry point, as a hook's would.
  SetUpThumbnailPage(trove);
  SetCanvasSize(trove.display, 640, 480);
  browser.pictureViews.cellWidth = browser.pictureViews.cellHeight = 140;
  double cold = 1e9;
  double ahead = 1e9;
  double unused = 0;
  for (auto _ : state) {
    ForgetPages(browser);
    cold = std::min(cold, PagePasses(trove, 9, 0, &unused, &unused));
    ForgetPages(browser);
    PagePasses(trove, 1, 0, &unused, &unused);
    // Resting on the first page until the second is decoded ahead.
    const auto rest = std::chrono::steady_clock::now();
    bool begun = false;
    do {
      Pass(trove);
      begun = begun || PageWorkPending(browser);
    } while ((!begun || PageWorkPending(browser)) && Seconds(rest) < 60);
    const auto start = std::chrono::steady_clock::now();
    KeyPressed(trove.input, key::rightBracket);
    do {
      Pass(trove);
    } while ((ThumbnailPageInProgress(browser) || browser.browserMode.thumbRedraw() ||
              browser.fileList.thumbFirst != 9) &&
             Seconds(start) < 60);
    ahead = std::min(ahead, Seconds(start));
  }
  StopPageWork(browser);
  state.counters["cold_ms"] = cold * 1e3;
  state.counters["after_rest_ms"] = ahead * 1e3;
}
BENCHMARK(BM_NextPageAhead)->Unit(benchmark::kMillisecond)->Iterations(3);

const bool registeredView =
    RegisterRatio("picture view pass: 4000x3000 at step 0.25 / 1000x600 at step 2",
                  "BM_PictureViewPassLarge", "BM_PictureViewPassSmall", 1.5);
const bool registeredPage =
    RegisterRatio("page of 18 JPEGs 4000x3000, cold / decoding them one after another",
                  "BM_ThumbnailPage/jpeg/iterations:5:cold_ms",
                  "BM_ThumbnailPage/jpeg/iterations:5:decode_ms", 0.70);
const bool registeredRevisit =
    RegisterRatio("the same page revisited / cold", "BM_ThumbnailPage/jpeg/iterations:5:revisit_ms",
                  "BM_ThumbnailPage/jpeg/iterations:5:cold_ms", 0.05);
const bool registeredPngPage =
    RegisterRatio("page of 18 PNGs 4000x3000, cold / decoding them one after another",
                  "BM_ThumbnailPage/png/iterations:5:cold_ms",
                  "BM_ThumbnailPage/png/iterations:5:decode_ms", 0.70);
const bool registeredFirstCell = RegisterRatio("main loop: first picture drawn / whole page drawn",
                                               "BM_PageInPasses/iterations:5:first_picture_ms",
                                               "BM_PageInPasses/iterations:5:whole_page_ms", 0.5);
const bool registeredLongestPass =
    RegisterRatio("main loop: longest pass while the page decodes / one frame copy",
                  "BM_PageInPasses/iterations:5:longest_pass_ms",
                  "BM_PageInPasses/iterations:5:frame_copy_ms", 0);
const bool registeredAhead = RegisterRatio("next page after resting on a page / the same page cold",
                                           "BM_NextPageAhead/iterations:3:after_rest_ms",
                                           "BM_NextPageAhead/iterations:3:cold_ms", 0.1);

}  // namespace
