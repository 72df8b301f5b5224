// Fuzzing the picture loader with both views' sampling: every input is decoded into the
// PictureBuffer through the loader, then drawn as a thumbnail and as the single-picture view
// (with a step, placement and cursor taken from the input's last bytes) into a small canvas.
// Both drawings must equal a plain per-pixel reference that plots every sample's 2 x 2 block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "browser/picture_sampling.h"
#include "browser/picture_view.h"
#include "browser/thumbnail_page.h"
#include "canvas/canvas.h"
#include "display/display.h"
#include "fuzz_input.h"
#include "pictures/texture_loader.h"
#include "backends/posix/picture_decoder.h"

namespace {

constexpr int canvasWidth = 96;
constexpr int canvasHeight = 64;
// Pictures larger than this are left alone: the reference visits every sample.
constexpr std::uint64_t pixelLimit = 1u << 16;

bool Affordable(int width, int height) {
  return width > 0 && height > 0 &&
         static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= pixelLimit;
}

// The loader every input goes through, with its PictureBuffer obtained once for the run.
Pictures& LoaderForRun() {
  static Pictures pictures;
  if (!pictures.textureLoader.pixels) {
    pictures.textureLoader.pixels = static_cast<std::uint8_t*>(std::calloc(pictureBufferBytes, 1));
    if (!pictures.textureLoader.pixels) std::abort();
  }
  return pictures;
}

// The sampling loops written out plainly: positions accumulated in single precision, every
// sample plotted as its 2 x 2 block through the clipping primitives. The loops stop once the
// blocks lie beyond the canvas's right or top edge, where later samples cannot return.
void Reference(Display& display, const Pictures& pictures, int ox, int oy, float step,
               std::int32_t pickId) {
  const PictureInfo& pictureInfo = pictures.pictureInfo;
  const float w = static_cast<float>(pictureInfo.width);
  const float h = static_cast<float>(pictureInfo.height);
  int row = 0;
  for (float fy = 0.0f; fy < h && oy + 2LL * row < canvasHeight; fy = fy + step, ++row) {
    int col = 0;
    for (float fx = 0.0f; fx < w && ox + 2LL * col < canvasWidth; fx = fx + step, ++col) {
      const std::size_t at =
          (static_cast<std::size_t>(fy) * pictureInfo.width + static_cast<std::size_t>(fx)) * 4;
      const std::uint8_t* p = pictures.textureLoader.pixels + at;
      for (int i = 0; i < 4; ++i) {
        const long long x = ox + 2LL * col + (i & 1);
        const long long y = oy + 2LL * row + (i >> 1);
        if (x < 0 || y < 0 || x >= canvasWidth || y >= canvasHeight) continue;
        PlotPixel(display, static_cast<int>(x), static_cast<int>(y), p[0], p[1], p[2]);
        if (pickId != 0) SetPickId(display, static_cast<int>(x), static_cast<int>(y), pickId);
      }
    }
  }
}

struct Canvases {
  std::vector<std::uint8_t> frame;
  std::vector<std::int32_t> pick;
  bool operator==(const Canvases&) const = default;
};

Canvases Snapshot(const Display& display) {
  const std::size_t n = static_cast<std::size_t>(canvasWidth) * canvasHeight;
  const CanvasImages& canvas = display.canvas;
  return {std::vector<std::uint8_t>(canvas.frameBuffer, canvas.frameBuffer + n * 4),
          std::vector<std::int32_t>(canvas.pickBuffer, canvas.pickBuffer + n)};
}

void Clear(Display& display) {
  const std::size_t n = static_cast<std::size_t>(canvasWidth) * canvasHeight;
  const CanvasImages& canvas = display.canvas;
  std::memset(canvas.frameBuffer, 0, n * 4);
  std::memset(canvas.pickBuffer, 0, n * sizeof(std::int32_t));
}

// Draws with the views' code and with the reference from the same origin; any difference ends
// the run.
void Compare(Display& display, const Pictures& pictures, int ox, int oy, float step,
             std::int32_t pickId) {
  Clear(display);
  DrawSampledPicture(display, pictures, ox, oy, step, pickId);
  const Canvases drawn = Snapshot(display);
  Clear(display);
  Reference(display, pictures, ox, oy, step, pickId);
  if (!(drawn == Snapshot(display))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  Pictures& pictures = LoaderForRun();
  TextureLoader& textureLoader = pictures.textureLoader;
  PictureInfo& pictureInfo = pictures.pictureInfo;
  const char* path = fuzz::InputAsFile(data, size);
  // Only pictures the reference can afford go on to the loader.
  platform::DecodedPicture probe;
  if (!native::DecodePictureFile(path, Affordable, &probe)) return 0;
  native::ReleaseDecodedPicture(&probe);

  if (textureLoader.LoadPictureFromPath(path, &pictureInfo) != 1) std::abort();
  if (pictureInfo.width != textureLoader.width || pictureInfo.height != textureLoader.height) {
    std::abort();
  }

  // View parameters from the last bytes, which the decoders rarely look at.
  const std::uint8_t* tail = data + size - 4;
  const float steps[] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, 0.25f};
  const PlacementMode placements[] = {PlacementMode::centred, PlacementMode::followByThree,
                                      PlacementMode::followByNine};
  const float step = steps[tail[0] % 6];
  const PlacementMode placement = placements[tail[1] % 3];
  const int cursorX = tail[2] % canvasWidth;
  const int cursorY = tail[3] % canvasHeight;

  Display display;
  SetCanvasSize(display, canvasWidth, canvasHeight);
  // The thumbnail: 140-pixel cells, the cell's corner somewhere around the canvas.
  Compare(display, pictures, cursorX - 48, cursorY - 32,
          ThumbnailStep(pictureInfo.width, pictureInfo.height, 140), pick::thumbnailBase + 7);
  // The single-picture view.
  const PictureOrigin o = PictureViewOrigin(pictureInfo.width, pictureInfo.height, step, placement,
                                            cursorX, cursorY, canvasWidth, canvasHeight);
  if (o.valid) Compare(display, pictures, o.x, o.y, step, pick::none);
  return 0;
}
