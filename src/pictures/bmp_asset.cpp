// The minimal 24-bit BMP reader that fills the game's texture slots.
//
// Only three header bytes are checked; the pixel data are read from right after the 54 header
// bytes as width x height x 3 bytes with no row padding, then turned from B, G, R into R, G, B.
// A file whose pixels cannot be read leaves its slot empty, 0 x 0.
#include "pictures/bmp_asset.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

#include "base/little_endian.h"
#include "platform/platform.h"

namespace {

constexpr std::size_t headerSize = 54;

// The pixel array grows by doubling from this size, so a header that claims more than the
// file holds never makes the reader reserve more than this or twice the file's real data.
// Every asset of the game fits in the first chunk and is read with one call.
constexpr std::size_t firstChunk = std::size_t{1} << 20;

// Reads until size bytes have arrived or the file gives no more; returns how many arrived.
std::size_t ReadFully(platform::ReadFile* file, std::uint8_t* buffer, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    std::size_t got = platform::ReadBytes(file, buffer + total, size - total);
    if (got == 0) break;
    total += got;
  }
  return total;
}

// Reads exactly size bytes into a new array taken with std::malloc; null when the file holds
// fewer bytes or the memory cannot be had. The result is the same as one read of size bytes.
std::uint8_t* ReadPixelBlock(platform::ReadFile* file, std::size_t size) {
  std::size_t capacity = size < firstChunk ? size : firstChunk;
  auto* block = static_cast<std::uint8_t*>(std::malloc(capacity));
  if (block == nullptr) return nullptr;
  std::size_t filled = 0;
  for (;;) {
    filled += ReadFully(file, block + filled, capacity - filled);
    if (filled < capacity) break;  // the file ended early
    if (filled == size) return block;
    std::size_t grown = capacity > size / 2 ? size : capacity * 2;
    auto* larger = static_cast<std::uint8_t*>(std::realloc(block, grown));
    if (larger == nullptr) break;
    block = larger;
    capacity = grown;
  }
  std::free(block);
  return nullptr;
}

// The header, read and checked; false when the file is too short or not 24-bit BMP.
bool ReadHeader(platform::ReadFile* file, std::int32_t* width, std::int32_t* height) {
  std::uint8_t header[headerSize];
  if (ReadFully(file, header, headerSize) < headerSize) return false;
  if (header[0] != 'B' || header[1] != 'M' || header[28] != 24) return false;
  *width = static_cast<std::int32_t>(LittleEndian32(header + 18));
  *height = static_cast<std::int32_t>(LittleEndian32(header + 22));
  return true;
}

// The pixel block of a file whose header was read; null when it cannot be had.
std::uint8_t* ReadPixels(platform::ReadFile* file, std::int32_t width, std::int32_t height) {
  // Top-down and mirrored files, empty pictures and blocks beyond 32 bits are not read.
  if (width <= 0 || height <= 0) return nullptr;
  // Both sizes are positive 32-bit numbers, so their product fits in 64 bits; times 3 it
  // might not, hence the division.
  std::int64_t pixelCount = std::int64_t{width} * height;
  if (pixelCount > std::numeric_limits<std::int32_t>::max() / 3) return nullptr;
  std::int64_t size = pixelCount * 3;

  std::uint8_t* pixels = ReadPixelBlock(file, static_cast<std::size_t>(size));
  if (pixels == nullptr) return nullptr;
  for (std::size_t i = 0; i + 2 < static_cast<std::size_t>(size); i += 3) {
    std::swap(pixels[i], pixels[i + 2]);
  }
  return pixels;
}

bool ReadIntoSlot(platform::ReadFile* file, TextureSlot& slot) {
  std::int32_t width = 0;
  std::int32_t height = 0;
  if (!ReadHeader(file, &width, &height)) return false;

  // From here on the slot is the new file's: its earlier pixels are released.
  std::free(slot.pixels);
  slot.pixels = ReadPixels(file, width, height);
  slot.bytesPerPixel = 3;
  // A failed read leaves a 0 x 0 slot: a size only the header claimed would otherwise be
  // uploaded as an empty texture of that size (16384 x 16384 costs a gigabyte).
  slot.width = slot.pixels ? width : 0;
  slot.height = slot.pixels ? height : 0;
  return slot.pixels != nullptr;
}

}  // namespace

bool ReadBmpAsset(const char* path, TextureSlot& slot) {
  // Read-only: a missing asset is a failed read, never a new empty file.
  platform::ReadFile* file = platform::OpenForReading(path);
  if (file == nullptr) return false;
  bool read = ReadIntoSlot(file, slot);
  platform::CloseFile(file);
  return read;
}
