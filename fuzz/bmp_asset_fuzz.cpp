// Fuzzing the BMP asset reader: every input is handed to it as a file and read into a slot.
#include <cstdint>
#include <cstdlib>

#include "base/little_endian.h"
#include "fuzz_input.h"
#include "pictures/bmp_asset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* path = fuzz::InputAsFile(data, size);

  TextureSlot table[3] = {};
  table[1] = TextureSlot{nullptr, -7, -9, -1};
  bool read = ReadBmpAsset(path, table[1]);

  // The outcome must be the one the header predicts, and the neighbours stay empty.
  bool headerOk = size >= 54 && data[0] == 'B' && data[1] == 'M' && data[28] == 24;
  TextureSlot& slot = table[1];
  if (!headerOk && (read || slot.width != -7 || slot.height != -9 || slot.pixels)) std::abort();
  if (headerOk) {
    std::int64_t w = static_cast<std::int32_t>(LittleEndian32(data + 18));
    std::int64_t h = static_cast<std::int32_t>(LittleEndian32(data + 22));
    bool fits = w > 0 && h > 0 && w * h <= INT32_MAX / 3 &&
                static_cast<std::uint64_t>(w * h * 3) <= size - 54;
    if (read != fits || (read != (slot.pixels != nullptr))) std::abort();
    // A read slot has the header's size; a failed one is 0 x 0.
    if (slot.width != (read ? w : 0) || slot.height != (read ? h : 0)) std::abort();
    if (slot.bytesPerPixel != 3) std::abort();
    if (read) {
      std::size_t n = static_cast<std::size_t>(w * h * 3);
      for (std::size_t i = 0; i < n; ++i)
        if (slot.pixels[i] != data[54 + i - i % 3 + 2 - i % 3]) std::abort();
    }
  }
  if (table[0].pixels || table[2].pixels || table[0].width || table[2].width) std::abort();
  std::free(slot.pixels);
  return 0;
}
