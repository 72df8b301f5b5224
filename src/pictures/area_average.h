// Reducing a picture by area averaging: every source pixel counts towards the output pixels it
// covers, by the part of it each one covers, so that fine patterns become their mean instead
// of aliasing as point samples do.
#pragma once

#include <cstdint>
#include <vector>

struct FittedSize {
  int width = 0;
  int height = 0;

  bool operator==(const FittedSize&) const = default;
};

// The size a width x height picture takes fitted into a box of boxWidth x boxHeight: reduced
// with its aspect kept until it fits whole, never enlarged, at least 1 x 1. An empty picture or
// box gives 0 x 0.
FittedSize FitWithin(int width, int height, int boxWidth, int boxHeight);

// Reduces a width x height picture of bytesPerPixel (3 or 4) bytes per pixel, rows in either
// order, to outWidth x outHeight pixels of 4 bytes in the same channel order and row order:
// each channel the area average of the source pixels under the output pixel (the fourth 255
// for a 3-byte source). False, with out untouched, for sizes that cannot be reduced (an empty
// picture, an output larger than the source in either direction).
bool ReduceByAreaAverage(const std::uint8_t* pixels, int width, int height, int bytesPerPixel,
                         int outWidth, int outHeight, std::vector<std::uint8_t>* out);
