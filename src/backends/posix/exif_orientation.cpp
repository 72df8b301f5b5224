// Reading the one Exif tag the decoders need, with every offset checked against the block.
#include "backends/posix/exif_orientation.h"

#include <cstring>

namespace native {

namespace {

constexpr std::uint8_t exifSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr unsigned orientationTag = 0x0112;
constexpr unsigned shortType = 3;
constexpr std::size_t entryBytes = 12;

// The TIFF header's byte order applied to the bytes at an offset already checked to fit.
struct TiffBytes {
  const std::uint8_t* data;
  bool bigEndian;

  unsigned U16(std::size_t at) const {
    return bigEndian ? (data[at] << 8 | data[at + 1]) : (data[at + 1] << 8 | data[at]);
  }
  std::uint32_t U32(std::size_t at) const {
    const std::uint32_t high = U16(bigEndian ? at : at + 2);
    const std::uint32_t low = U16(bigEndian ? at + 2 : at);
    return high << 16 | low;
  }
};

}  // namespace

int ExifOrientation(const std::uint8_t* block, std::size_t size) {
  if (!block || size < sizeof exifSignature + 8 ||
      std::memcmp(block, exifSignature, sizeof exifSignature) != 0) {
    return 1;
  }
  const std::uint8_t* tiff = block + sizeof exifSignature;
  const std::size_t length = size - sizeof exifSignature;
  if (!(tiff[0] == 'I' && tiff[1] == 'I') && !(tiff[0] == 'M' && tiff[1] == 'M')) return 1;
  const TiffBytes bytes{tiff, tiff[0] == 'M'};
  if (bytes.U16(2) != 42) return 1;
  const std::uint32_t directory = bytes.U32(4);
  if (directory < 8 || directory > length - 2) return 1;
  const unsigned entries = bytes.U16(directory);
  const std::size_t first = directory + std::size_t{2};
  for (unsigned i = 0; i < entries; ++i) {
    const std::size_t at = first + i * entryBytes;
    if (at + entryBytes > length) return 1;
    if (bytes.U16(at) != orientationTag) continue;
    if (bytes.U16(at + 2) != shortType || bytes.U32(at + 4) != 1) return 1;
    const unsigned orientation = bytes.U16(at + 8);
    return orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
  }
  return 1;
}

bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

void OrientPixels(const std::uint8_t* pixels, int width, int height, int orientation,
                  std::uint8_t* out) {
  const bool swaps = OrientationSwapsSides(orientation);
  const int shownWidth = swaps ? height : width;
  const int shownHeight = swaps ? width : height;
  // Orientations 2 to 4 mirror as stored, 5 to 8 after swapping the sides (5 none, 7 both).
  const bool mirrorX = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
  const bool mirrorY = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
  // Positions counted from the top, as the orientation describes them; rows are stored from
  // the bottom.
  for (int shownY = 0; shownY < shownHeight; ++shownY) {
    std::uint8_t* to = out + static_cast<std::size_t>(shownHeight - 1 - shownY) * shownWidth * 4u;
    for (int shownX = 0; shownX < shownWidth; ++shownX, to += 4) {
      const int along = swaps ? shownY : shownX;
      const int down = swaps ? shownX : shownY;
      const int x = mirrorX ? width - 1 - along : along;
      const int y = mirrorY ? height - 1 - down : down;
      std::memcpy(to, pixels + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4u, 4);
    }
  }
}

}  // namespace native
