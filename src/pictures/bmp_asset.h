// The game's BMP assets: texture slots and the minimal 24-bit BMP reader that fills them.
#pragma once

#include <cstdint>

// One loaded picture: width x height pixels of R, G, B, rows unpadded, in file order.
struct TextureSlot {
  std::uint8_t* pixels = nullptr;  // owned by the slot; null while empty
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bytesPerPixel = 0;
};

// Reads a 24-bit BMP file into slot; true when the slot now holds the file's pixels.
bool ReadBmpAsset(const char* path, TextureSlot& slot);
