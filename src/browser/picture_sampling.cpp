// Sampling a decoded picture into 2 x 2 blocks of canvas pixels, visiting only the blocks that
// meet the canvas.
#include "browser/picture_sampling.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "canvas/canvas.h"
#include "display/display.h"
#include "pictures/texture_loader.h"

namespace {

// The bytes of one canvas row of the FrameBuffer and the PickBuffer.
std::uint8_t* FrameRow(const Display& display, int y) {
  return display.canvas.frameBuffer +
         static_cast<std::size_t>(y) * display.displayState.canvasWidth * 4u;
}
std::int32_t* PickRow(const Display& display, int y) {
  return display.canvas.pickBuffer + static_cast<std::size_t>(y) * display.displayState.canvasWidth;
}

}  // namespace

int SampledBytesPerPixel(const Pictures& pictures) {
  const TextureLoader& textureLoader = pictures.textureLoader;
  const PictureInfo& info = pictures.pictureInfo;
  const int bytesPerPixel = info.bitsPerPixel / 8;
  if (!textureLoader.pixels || info.width <= 0 || info.height <= 0 || bytesPerPixel < 3) return 0;
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height);
  const std::uint64_t stored = textureLoader.width > 0 && textureLoader.height > 0
                                   ? static_cast<std::uint64_t>(textureLoader.width) *
                                         static_cast<std::uint64_t>(textureLoader.height) * 4u
                                   : 0u;
  const std::uint64_t bytes = pixels * static_cast<std::uint64_t>(bytesPerPixel);
  if (bytes > stored || bytes > pictureBufferBytes) return 0;
  return bytesPerPixel;
}

AxisSamples ReachableSamples(int size, float step, std::int64_t origin, int limit) {
  AxisSamples samples;
  if (size <= 0 || limit <= 0 || !(step > 0.0f)) return samples;
  const float end = static_cast<float>(size);
  float position = 0.0f;
  for (std::int64_t i = 0; position < end; ++i) {
    const std::int64_t start = origin + 2 * i;
    // Later samples lie further right (or up), beyond the canvas as well.
    if (start >= limit) break;
    if (start + 1 >= 0) {
      if (samples.source.empty()) samples.first = i;
      // A size that is not exact as a float can let a position reach it; the last pixel then
      // stands in for it.
      samples.source.push_back(std::min(static_cast<int>(position), size - 1));
    }
    const float next = position + step;
    // A step lost in the rounding of a large position would repeat that sample forever.
    if (!(next > position)) break;
    position = next;
  }
  return samples;
}

void DrawPictureBlocks(Display& display, const std::uint8_t* picture, int width, int height,
                       int bytesPerPixel, int originX, int originY, float step,
                       std::int32_t pickId) {
  const int canvasWidth = display.displayState.canvasWidth;
  const int canvasHeight = display.displayState.canvasHeight;
  if (!picture || bytesPerPixel < 3 || !display.canvas.frameBuffer || !display.canvas.pickBuffer) {
    return;
  }
  const AxisSamples columns = ReachableSamples(width, step, originX, canvasWidth);
  if (columns.source.empty()) return;
  const AxisSamples rows = ReachableSamples(height, step, originY, canvasHeight);
  if (rows.source.empty()) return;

  // Canvas pixels covered by the kept columns: every one of them is written in each row.
  const std::int64_t left = originX + 2 * columns.first;
  const std::int64_t right = left + 2 * static_cast<std::int64_t>(columns.source.size());
  const int spanStart = static_cast<int>(std::max<std::int64_t>(left, 0));
  const int spanEnd = static_cast<int>(std::min<std::int64_t>(right, canvasWidth));
  const std::size_t spanPixels = static_cast<std::size_t>(spanEnd - spanStart);

  for (std::size_t r = 0; r < rows.source.size(); ++r) {
    const std::int64_t bottom = originY + 2 * (rows.first + static_cast<std::int64_t>(r));
    const std::uint8_t* sourceRow = picture + static_cast<std::size_t>(rows.source[r]) *
                                                  static_cast<std::size_t>(width) *
                                                  static_cast<std::size_t>(bytesPerPixel);
    // Fill the lower of the block's two rows that lies on the canvas, then copy it to the other.
    const int y = static_cast<int>(bottom >= 0 ? bottom : bottom + 1);
    std::uint8_t* out = FrameRow(display, y) + static_cast<std::size_t>(spanStart) * 4u;
    for (std::size_t c = 0; c < columns.source.size(); ++c) {
      const std::int64_t x = left + 2 * static_cast<std::int64_t>(c);
      const std::uint8_t* p =
          sourceRow + static_cast<std::size_t>(columns.source[c]) * bytesPerPixel;
      for (std::int64_t px = x; px < x + 2; ++px) {
        if (px < spanStart || px >= spanEnd) continue;
        std::uint8_t* q = out + static_cast<std::size_t>(px - spanStart) * 4u;
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
        q[3] = 255;
      }
    }
    if (pickId != 0) std::fill_n(PickRow(display, y) + spanStart, spanPixels, pickId);
    const std::int64_t other = bottom >= 0 ? bottom + 1 : -1;
    if (other >= 0 && other < canvasHeight) {
      const int y2 = static_cast<int>(other);
      std::memcpy(FrameRow(display, y2) + static_cast<std::size_t>(spanStart) * 4u, out,
                  spanPixels * 4u);
      if (pickId != 0) std::fill_n(PickRow(display, y2) + spanStart, spanPixels, pickId);
    }
  }
}

void DrawSampledPicture(Display& display, const Pictures& pictures, int originX, int originY,
                        float step, std::int32_t pickId) {
  const int bytesPerPixel = SampledBytesPerPixel(pictures);
  if (bytesPerPixel == 0) return;
  const PictureInfo& pictureInfo = pictures.pictureInfo;
  DrawPictureBlocks(display, pictures.textureLoader.pixels, pictureInfo.width, pictureInfo.height,
                    bytesPerPixel, originX, originY, step, pickId);
}

void DrawThumbnailSamples(Display& display, const PictureSamples& samples, int originX, int originY,
                          std::int32_t pickId) {
  if (samples.columns <= 0 || samples.rows <= 0 ||
      samples.rgba.size() != static_cast<std::size_t>(samples.columns) * samples.rows * 4u) {
    return;
  }
  // One sample per position: the same blocks the picture's own sampling would draw.
  DrawPictureBlocks(display, samples.rgba.data(), samples.columns, samples.rows, 4, originX,
                    originY, 1.0f, pickId);
}
