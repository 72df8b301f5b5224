// The picture views against their references, each ratio from one run:
// (1) a main-loop pass of the picture view at 960 x 540 for a 4000 x 3000 picture at step 0.25
//     (32000 x 24000 canvas pixels, nearly all off the canvas) against the pass for a
//     1000 x 600 picture at step 2, which just covers the canvas: the cost should follow the
//     visible area, not the picture;
// (2) a thumbnail page of 18 JPEG files of 4000 x 3000 seen for the first time (decoded by the
//     workers) against decoding the same 18 files one after another on one core with the same
//     decoder and nothing else;
// (3) the same page revisited, its thumbnails kept in memory, against the first visit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "browser/thumbnail_page.h"
#include "browser/thumbnail_cache.h"
#include "display/display.h"
#include "native/photo_jpeg.h"
#include "pictures/texture_loader.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "page_program.h"
#include "ratios.h"
#include "shell/main_loop.h"
#include "shell/reset.h"

namespace {

// ---- Picture view -----------------------------------------------------------------------------

// The program at 960 x 540 (display mode 1, zoom 2) in the picture view, with a width x height
// picture in the PictureBuffer as a load leaves it and the cursor at the canvas centre.
void SetUpPictureView(int width, int height, float step) {
  ResetProgram();
  headless::Reset();
  headless::state().windowRect = {0, 0, 1920, 1080};
  headless::state().cursor = {960, 540};
  SetCanvasSize(960, 540);
  displayState.displayMode = 1;
  displayState.zoom = 2;
  displayState.screenWidth = 1920;
  displayState.screenHeight = 1080;
  AllocateFileList();
  browserMode = BrowserMode{0, 1, 0};
  pictureEntry = 1;
  std::snprintf(fileList.names[1], nameSlotSize, "picture.jpg");
  fileList.count = 1;
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
  textureLoader.sampleStep = step;
  textureLoader.placementMode = 3;
  textureLoader.overlayShown = 1;
}

void BM_PictureViewPassLarge(benchmark::State& state) {
  SetUpPictureView(4000, 3000, 0.25f);
  for (auto _ : state) {
    ForgetPresentedPass();  // a drawn pass, not a resting one
    RunPass();
    benchmark::DoNotOptimize(canvas.frameBuffer[0]);
  }
  ResetProgram();
}
BENCHMARK(BM_PictureViewPassLarge)->Unit(benchmark::kMicrosecond);

void BM_PictureViewPassSmall(benchmark::State& state) {
  SetUpPictureView(1000, 600, 2.0f);
  for (auto _ : state) {
    ForgetPresentedPass();  // a drawn pass, not a resting one
    RunPass();
    benchmark::DoNotOptimize(canvas.frameBuffer[0]);
  }
  ResetProgram();
}
BENCHMARK(BM_PictureViewPassSmall)->Unit(benchmark::kMicrosecond);

// ---- Thumbnail page ---------------------------------------------------------------------------

constexpr int pagePictures = 18;
constexpr int pictureWidth = 4000;
constexpr int pictureHeight = 3000;

// The 18 files, written once per run into a directory that is removed at exit.
class PageDirectory {
 public:
  PageDirectory() {
    char pattern[] = "/tmp/trove-bench-page-XXXXXX";
    if (!mkdtemp(pattern)) return;
    path_ = pattern;
    for (int i = 0; i < pagePictures; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "photo_%02d.jpg", i + 1);
      names_.push_back(name);
      WritePhotoJpeg(path_ + "/" + name, i, pictureWidth, pictureHeight);
    }
  }
  ~PageDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  const std::vector<std::string>& names() const { return names_; }

 private:
  std::string path_;
  std::vector<std::string> names_;
};

const PageDirectory& Page() {
  static PageDirectory page;
  return page;
}

bool FitsBuffer(int width, int height) {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
         pictureBufferPixels;
}

// The program at 1280 x 960 browsing the page directory.
void SetUpThumbnailPage() {
  headless::Reset();
  headless::state().windowRect = {0, 0, 1280, 960};
  SetUpPageProgram(Page().path().c_str());
}

// Every picture of the page must have been decoded and drawn for a figure to mean anything.
void CountPicturesOnPage(benchmark::State& state) {
  std::set<std::int32_t> pictures(canvas.pickBuffer, canvas.pickBuffer + 1280 * 960);
  pictures.erase(0);
  state.counters["pictures_on_page"] = static_cast<double>(pictures.size());
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The reference: the page's 18 files decoded one after another on this thread, with the same
// decoder and nothing else.
double DecodeSamePictures(std::int64_t* pixels) {
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& name : Page().names()) {
    const std::string path = Page().path() + "\\" + name;
    platform::DecodedPicture picture;
    if (platform::DecodePicture(path.c_str(), FitsBuffer, &picture)) {
      *pixels += static_cast<std::int64_t>(picture.width) * picture.height;
      benchmark::DoNotOptimize(picture.bits[0]);
      platform::ReleasePicture(&picture);
    }
  }
  return Seconds(start);
}

double DrawPage() {
  const auto start = std::chrono::steady_clock::now();
  browserMode = BrowserMode{0, 0, 1};
  DrawThumbnailPage();
  benchmark::DoNotOptimize(canvas.frameBuffer[0]);
  return Seconds(start);
}

// The three figures in turn in every iteration, so that the machine's other work weighs on
// each alike: the decodes alone, the page seen for the first time (nothing kept: every picture
// decoded by the workers) and the same page revisited a moment later (every cell kept). Each
// figure is the best of the iterations: other programs on the machine only ever add time.
void BM_ThumbnailPage(benchmark::State& state) {
  SetUpThumbnailPage();
  DrawPage();  // the files in the file cache and the buffers touched, as in the running program
  double decode = 1e9;
  double cold = 1e9;
  double revisit = 1e9;
  std::int64_t pixels = 0;
  for (auto _ : state) {
    decode = std::min(decode, DecodeSamePictures(&pixels));
    thumbnailCache.Clear();
    cold = std::min(cold, DrawPage());
    for (int i = 0; i < 10; ++i) revisit = std::min(revisit, DrawPage());
  }
  state.counters["decode_ms"] = decode * 1e3;
  state.counters["cold_ms"] = cold * 1e3;
  state.counters["revisit_ms"] = revisit * 1e3;
  state.counters["decoded_megapixels"] =
      static_cast<double>(pixels) / static_cast<double>(state.iterations()) / 1e6;
  CountPicturesOnPage(state);
  ResetProgram();
}
BENCHMARK(BM_ThumbnailPage)->Unit(benchmark::kMillisecond)->Iterations(5);

const bool registeredView =
    RegisterRatio("picture view pass: 4000x3000 at step 0.25 / 1000x600 at step 2",
                  "BM_PictureViewPassLarge", "BM_PictureViewPassSmall", 1.5);
const bool registeredPage = RegisterRatio(
    "page of 18 JPEGs 4000x3000, cold / decoding them one after another",
    "BM_ThumbnailPage/iterations:5:cold_ms", "BM_ThumbnailPage/iterations:5:decode_ms", 0.70);
const bool registeredRevisit =
    RegisterRatio("the same page revisited / cold", "BM_ThumbnailPage/iterations:5:revisit_ms",
                  "BM_ThumbnailPage/iterations:5:cold_ms", 0.05);

}  // namespace
