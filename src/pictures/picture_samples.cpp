// Sampling decoded pictures for thumbnails, and reading a picture file's declared size.
#include "pictures/picture_samples.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

namespace {

// The first read takes the usual segments in front of a JPEG's frame header (EXIF with its
// preview); more is read, doubling, while the header lies further in (long colour profiles),
// up to the last limit.
constexpr std::size_t firstProbeBytes = 64 * 1024;
constexpr std::size_t lastProbeBytes = 4 * 1024 * 1024;

std::uint32_t Little16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t Little32(const std::uint8_t* p) { return Little16(p) | (Little16(p + 2) << 16); }
std::uint32_t Big16(const std::uint8_t* p) { return (p[0] << 8) | p[1]; }

bool BmpSize(const std::uint8_t* b, std::size_t size, int* width, int* height) {
  if (size < 26) return false;
  std::int64_t w = 0;
  std::int64_t h = 0;
  if (Little32(b + 14) == 12) {
    w = Little16(b + 18);
    h = static_cast<std::int16_t>(Little16(b + 20));
  } else {
    w = static_cast<std::int32_t>(Little32(b + 18));
    h = static_cast<std::int32_t>(Little32(b + 22));
  }
  if (h < 0) h = -h;
  if (w <= 0 || h <= 0 || w > INT32_MAX || h > INT32_MAX) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

bool IsFrameMarker(std::uint8_t m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

bool JpegSize(const std::uint8_t* b, std::size_t size, int* width, int* height) {
  std::size_t i = 2;
  while (i + 4 <= size) {
    if (b[i] != 0xFF) return false;
    const std::uint8_t marker = b[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      i += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame before the data
    const std::size_t length = Big16(b + i + 2);
    if (length < 2) return false;
    if (IsFrameMarker(marker)) {
      if (i + 9 > size || length < 7) return false;
      const int h = static_cast<int>(Big16(b + i + 5));
      const int w = static_cast<int>(Big16(b + i + 7));
      if (w <= 0 || h <= 0) return false;
      *width = w;
      *height = h;
      return true;
    }
    i += 2 + length;
  }
  return false;
}

}  // namespace

bool PictureSizeFromHeader(const std::uint8_t* bytes, std::size_t size, int* width, int* height) {
  if (!bytes || size < 4) return false;
  if (bytes[0] == 'B' && bytes[1] == 'M') return BmpSize(bytes, size, width, height);
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) return JpegSize(bytes, size, width, height);
  return false;
}

bool ProbePictureSize(const char* path, int* width, int* height) {
  platform::ReadFile* file = platform::OpenForReading(path);
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
  platform::CloseFile(file);
  return found;
}
