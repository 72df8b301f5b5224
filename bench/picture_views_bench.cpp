// The picture views against their references, each ratio from one run:
// (1) a main-loop pass of the picture view at 960 x 540 for a 4000 x 3000 picture at step 0.25
//     (32000 x 24000 canvas pixels, nearly all off the canvas) against the pass for a
//     1000 x 600 picture at step 2, which just covers the canvas: the cost should follow the
//     visible area, not the picture;
// (2) a thumbnail page of 18 JPEG files of 4000 x 3000 against decoding the same 18 files with
//     the same decoder and nothing else.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "browser/directory.h"
#include "browser/file_list.h"
#include "browser/picture_views.h"
#include "display/display.h"
#include "pictures/texture_loader.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
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
    RunPass();
    benchmark::DoNotOptimize(canvas.frameBuffer[0]);
  }
  ResetProgram();
}
BENCHMARK(BM_PictureViewPassLarge)->Unit(benchmark::kMicrosecond);

void BM_PictureViewPassSmall(benchmark::State& state) {
  SetUpPictureView(1000, 600, 2.0f);
  for (auto _ : state) {
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

// A photograph-like picture: broad gradients and shapes with a grain, so that the JPEG carries
// as much detail as a camera's would. Different for every index.
void WriteSampleJpeg(const std::string& path, int index) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = pictureWidth;
  info.image_height = pictureHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(pictureWidth * 3);
  std::uint32_t seed = 2166136261u ^ static_cast<std::uint32_t>(index);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < pictureWidth; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 27) - 16;
      const int band = ((x + index * 97) / 350 + y / 280) % 3;
      const int r = x * 200 / pictureWidth + band * 20 + grain;
      const int g = y * 180 / pictureHeight + (index * 13) % 60 + grain;
      const int b = 255 - (x + y) * 200 / (pictureWidth + pictureHeight) + grain;
      row[x * 3] = static_cast<std::uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
      row[x * 3 + 1] = static_cast<std::uint8_t>(g < 0 ? 0 : g > 255 ? 255 : g);
      row[x * 3 + 2] = static_cast<std::uint8_t>(b < 0 ? 0 : b > 255 ? 255 : b);
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

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
      WriteSampleJpeg(path_ + "/" + name, i);
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

// The program as start-up leaves it at 1280 x 960 (display mode 0, 200-pixel cells: 24 cells,
// so ".", ".." and the 18 pictures share one page), browsing the page directory.
void SetUpThumbnailPage() {
  ResetProgram();
  headless::Reset();
  headless::state().windowRect = {0, 0, 1280, 960};
  SetCanvasSize(1280, 960);
  displayState.displayMode = 0;
  displayState.zoom = 1;
  cellWidth = cellHeight = 200;
  AllocateFileList();
  textureLoader.pixels = static_cast<std::uint8_t*>(std::malloc(pictureBufferBytes));
  std::snprintf(browsedPath, pathBufferSize, "%s", Page().path().c_str());
  std::filesystem::path here = std::filesystem::current_path();
  std::snprintf(workingDirectory, pathBufferSize, "%s", here.c_str());
  fileList.thumbFirst = 1;
}

void BM_ThumbnailPage(benchmark::State& state) {
  SetUpThumbnailPage();
  // The buffer's pages are touched once, as the running program's are after its first picture.
  browserMode = BrowserMode{0, 0, 1};
  DrawThumbnailPage();
  for (auto _ : state) {
    browserMode = BrowserMode{0, 0, 1};
    DrawThumbnailPage();
    benchmark::DoNotOptimize(canvas.frameBuffer[0]);
  }
  // Every picture of the page must have been decoded and drawn for the figure to mean anything.
  std::set<std::int32_t> pictures(canvas.pickBuffer, canvas.pickBuffer + 1280 * 960);
  pictures.erase(0);
  state.counters["pictures_on_page"] = static_cast<double>(pictures.size());
  ResetProgram();
}
BENCHMARK(BM_ThumbnailPage)->Unit(benchmark::kMillisecond);

void BM_DecodeSamePictures(benchmark::State& state) {
  const PageDirectory& page = Page();
  std::vector<std::string> paths;
  for (const std::string& name : page.names()) paths.push_back(page.path() + "\\" + name);
  std::int64_t pixels = 0;
  for (auto _ : state) {
    for (const std::string& path : paths) {
      platform::DecodedPicture picture;
      if (platform::DecodePicture(path.c_str(), FitsBuffer, &picture)) {
        pixels += static_cast<std::int64_t>(picture.width) * picture.height;
        benchmark::DoNotOptimize(picture.bits[0]);
        platform::ReleasePicture(&picture);
      }
    }
  }
  state.counters["decode_megapixels_per_s"] =
      benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeSamePictures)->Unit(benchmark::kMillisecond);

const bool registeredView =
    RegisterRatio("picture view pass: 4000x3000 at step 0.25 / 1000x600 at step 2",
                  "BM_PictureViewPassLarge", "BM_PictureViewPassSmall", 1.5);
const bool registeredPage =
    RegisterRatio("thumbnail page of 18 JPEGs 4000x3000 / decoding them alone", "BM_ThumbnailPage",
                  "BM_DecodeSamePictures", 1.3);

}  // namespace
