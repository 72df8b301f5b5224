// Sampling decoded pictures for thumbnails, and reading a picture file's declared size.
#include "pictures/picture_samples.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/picture_header.h"
#include "pictures/area_average.h"
#include "pictures/texture_loader.h"

std::vector<int> SamplePositions(int size, float step) {
  std::vector<int> positions;
  if (size <= 0 || !(step > 0.0f)) return positions;
  const float end = static_cast<float>(size);
  for (float position = 0.0f; position < end;) {
    positions.push_back(std::min(static_cast<int>(position), size - 1));
    const float next = position + step;
    // A step lost in the rounding of a large position would repeat that sample forever.
    if (!(next > position)) break;
    position = next;
  }
  return positions;
}

float ThumbnailStep(int width, int height, int cellWidth) {
  const float larger = static_cast<float>(std::max(width, height));
  const float perCell = larger / static_cast<float>(cellWidth);
  return 1.0f / (0.5f / perCell);
}

bool SampleDecodedPicture(const platform::DecodedPicture& picture, float step, bool keyed,
                          const std::uint8_t key[3], PictureSamples* samples) {
  *samples = PictureSamples{};
  if (!picture.bits || picture.width <= 0 || picture.height <= 0) return false;
  const std::vector<int> columns = SamplePositions(picture.width, step);
  const std::vector<int> rows = SamplePositions(picture.height, step);
  if (columns.empty() || rows.empty()) return false;
  samples->pictureWidth = picture.width;
  samples->pictureHeight = picture.height;
  samples->columns = static_cast<int>(columns.size());
  samples->rows = static_cast<int>(rows.size());
  samples->rgba.resize(columns.size() * rows.size() * 4u);
  std::uint8_t* out = samples->rgba.data();
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4u;
  for (int y : rows) {
    const std::uint8_t* row = picture.bits + static_cast<std::size_t>(y) * rowBytes;
    for (int x : columns) {
      std::memcpy(out, row + static_cast<std::size_t>(x) * 4u, 4);
      out += 4;
    }
  }
  ConvertPicturePixels(samples->rgba.data(), columns.size() * rows.size(), keyed, key);
  return true;
}

void ShowOverChecks(std::uint8_t* bits, int width, int height, int square) {
  constexpr unsigned greys[2] = {0x66, 0x99};
  if (square < 1) square = 1;
  for (int row = 0; row < height; ++row) {
    const int fromTop = height - 1 - row;
    for (int x = 0; x < width; ++x, bits += 4) {
      const unsigned through = 255u - bits[3];
      if (through == 0) continue;
      const unsigned grey = greys[(x / square + fromTop / square) & 1];
      const unsigned behind = (grey * through + 127u) / 255u;
      for (int c = 0; c < 3; ++c)
        bits[c] = static_cast<std::uint8_t>(std::min(255u, bits[c] + behind));
      bits[3] = 255;
    }
  }
}

bool AverageDecodedPicture(platform::DecodedPicture& picture, int cellWidth, bool keyed,
                           const std::uint8_t key[3], PictureSamples* samples) {
  *samples = PictureSamples{};
  if (!picture.bits || picture.width <= 0 || picture.height <= 0) return false;
  const int width = picture.fullWidth > 0 ? picture.fullWidth : picture.width;
  const int height = picture.fullHeight > 0 ? picture.fullHeight : picture.height;
  const float step = ThumbnailStep(width, height, cellWidth);
  const auto columns = static_cast<int>(SamplePositions(width, step).size());
  const auto rows = static_cast<int>(SamplePositions(height, step).size());
  if (columns == 0 || rows == 0) return false;
  // Squares of 4 samples, 8 canvas pixels once drawn.
  const double perSample = static_cast<double>(step) * picture.width / width;
  ShowOverChecks(picture.bits, picture.width, picture.height,
                 static_cast<int>(std::max(1.0, 4.0 * perSample)));
  if (columns > picture.width || rows > picture.height) {
    if (picture.width != width || picture.height != height) return false;
    return SampleDecodedPicture(picture, step, keyed, key, samples);
  }
  const std::size_t pixels = static_cast<std::size_t>(picture.width) * picture.height;
  ConvertPicturePixels(picture.bits, pixels, keyed, key);
  if (!ReduceByAreaAverage(picture.bits, picture.width, picture.height, 4, columns, rows,
                           &samples->rgba)) {
    return false;
  }
  samples->pictureWidth = width;
  samples->pictureHeight = height;
  samples->columns = columns;
  samples->rows = rows;
  return true;
}

namespace {

// The first read takes the usual segments in front of a JPEG's frame header (EXIF with its
// preview); more is read, doubling, while the header lies further in (long colour profiles),
// up to the last limit.
constexpr std::size_t firstProbeBytes = 64 * 1024;
constexpr std::size_t lastProbeBytes = 4 * 1024 * 1024;

}  // namespace

bool PictureSizeFromHeader(const std::uint8_t* bytes, std::size_t size, int* width, int* height) {
  if (!bytes || size < 4) return false;
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) return ReadJpegFrameSize(bytes, size, width, height);
  const PictureFormat format = SniffPictureFormat(bytes, size);
  if (format != PictureFormat::unknown && format != PictureFormat::bmp) {
    return ReadFormatSize(format, bytes, size, width, height);
  }
  BmpFields bmp;
  if (!ReadBmpFields(bytes, size, &bmp)) return false;
  // Top-down pictures count their rows as a negative height.
  const std::int64_t h = bmp.height < 0 ? -bmp.height : bmp.height;
  if (bmp.width <= 0 || h <= 0 || bmp.width > INT32_MAX || h > INT32_MAX) return false;
  *width = static_cast<int>(bmp.width);
  *height = static_cast<int>(h);
  return true;
}

bool ProbePictureSize(const char* path, int* width, int* height) {
  // Closed however the probe ends, a failed allocation included.
  const std::unique_ptr<platform::ReadFile, void (*)(platform::ReadFile*)> held(
      platform::OpenForReading(path), platform::CloseFile);
  platform::ReadFile* file = held.get();
  if (!file) return false;
  std::vector<std::uint8_t> bytes;
  std::size_t got = 0;
  bool found = false;
  for (std::size_t room = firstProbeBytes; !found && room <= lastProbeBytes; room *= 2) {
    bytes.resize(room);
    while (got < room) {
      const std::size_t n = platform::ReadBytes(file, bytes.data() + got, room - got);
      if (n == 0) break;
      got += n;
    }
    found = PictureSizeFromHeader(bytes.data(), got, width, height);
    if (got < room) break;  // the whole file has been read
  }
  return found;
}
