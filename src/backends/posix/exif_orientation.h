// The orientation a camera records in a picture's Exif block (the TIFF tag 0x0112 of its first
// directory), and the turning and mirroring it asks for before the picture is shown.
#pragma once

#include <cstddef>
#include <cstdint>

namespace native {

// The orientation, 1 to 8, an Exif block gives: block is the content of a JPEG's APP1 segment
// (after its length), starting "Exif" and two zero bytes, then the TIFF header. 1 (as stored)
// when the block is no Exif block, has no orientation, gives one outside 1 to 8 or is damaged
// anywhere on the way to it. Reads nothing outside the size bytes given.
int ExifOrientation(const std::uint8_t* block, std::size_t size);

// Whether an orientation swaps the picture's width and height (5 to 8 turn it a quarter).
bool OrientationSwapsSides(int orientation);

// The pixels of a width x height picture of 4 bytes each, bottom row first, shown as the
// orientation asks: into out, which holds the shown picture (height x width when the sides
// swap), in the same layout. out must not overlap pixels.
void OrientPixels(const std::uint8_t* pixels, int width, int height, int orientation,
                  std::uint8_t* out);

}  // namespace native
