// What an AVIF or HEIF file's 'meta' box says of its primary picture, read here before either
// library sees the file: how the picture is coded (which decides between libavif and libheif,
// whatever the brands say), the size it declares, and how many items and tiles make it. The
// libraries are then held to those numbers from the start of their parsing.
#pragma once

#include <cstdint>
#include <cstdio>

namespace native {

// Items a file may hold, and coded pictures (tiles of a grid, layers of an overlay) its primary
// picture may be made of. libavif keeps an AV1 decoder of its own for every tile at once.
constexpr std::uint32_t heifItemLimit = 1024;
constexpr std::uint32_t heifTileLimit = 256;
// The 'meta' box is read whole; a larger one is refused.
constexpr std::uint32_t heifMetaLimit = 1u << 20;

struct HeifItems {
  bool av1 = false;         // coded in AV1 (libavif); otherwise HEVC or another codec (libheif)
  int width = 0;            // the primary picture's 'ispe', before any turn; 0 for a file without
  int height = 0;           // 'meta' (an image sequence alone, whose track says its size)
  std::uint32_t tiles = 0;  // the coded pictures it is made of
  std::uint64_t codedPixels = 0;  // their sizes, by their own 'ispe' properties
};

// Reads the file's boxes up to and through 'meta' (the file is left at an unspecified place).
// A file without 'meta' gives a width of 0 and nothing else. False for a file that is to be
// refused: no 'meta' or no primary picture with a size, more than heifItemLimit items or
// heifTileLimit tiles, a grid or overlay whose canvas is larger than its declared size or whose
// tiles together are more than twice its pixels, tiles of different codecs, or a HEVC picture coded
// larger than its declared size.
bool ScanHeifItems(std::FILE* file, std::uint64_t fileSize, HeifItems* items);

}  // namespace native
