// Point samples of a decoded picture, taken straight from the platform's bitmap: what a
// thumbnail draws, without converting or storing the whole picture first.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// Source pixels of one axis of size pixels sampled every step: positions 0, step,
// step + step, ... accumulated in single precision while below size as a float, each
// truncated (a position that reaches size through rounding takes the last pixel).
std::vector<int> SamplePositions(int size, float step);

// Source pixels between thumbnail samples: 1 / (0.5 / (larger side / cell width)) in single
// precision, so that the larger side becomes cellWidth canvas pixels.
float ThumbnailStep(int width, int height, int cellWidth);

// The samples of a width x height picture: columns x rows pixels of red, green, blue, alpha,
// converted as the loader converts pictures, the bottom row first.
struct PictureSamples {
  int pictureWidth = 0;
  int pictureHeight = 0;
  int columns = 0;
  int rows = 0;
  std::vector<std::uint8_t> rgba;
};

// Samples picture (blue, green, red, unused, bottom row first) every step source pixels in
// both directions and converts the samples with the colour key. False when the picture or
// step cannot be sampled.
bool SampleDecodedPicture(const platform::DecodedPicture& picture, float step, bool keyed,
                          const std::uint8_t key[3], PictureSamples* samples);

// The same number of samples as SampleDecodedPicture takes at the thumbnail step of a cellWidth
// cell, each the area average of the pixels it stands for, so that fine detail becomes its mean
// instead of aliasing. The picture may be handed over reduced (fullWidth x fullHeight giving its
// own size) as long as it still has a pixel for every sample; one smaller than its samples (a
// picture enlarged into its cell) is point-sampled. Transparent parts are shown over checks of
// 4 samples (ShowOverChecks). Converts picture's pixels in place.
bool AverageDecodedPicture(platform::DecodedPicture& picture, int cellWidth, bool keyed,
                           const std::uint8_t key[3], PictureSamples* samples);

// Shows a width x height picture of blue, green, red over black and a fourth byte of opacity
// (platform::DecodedPicture) over a checkerboard of two neutral greys in squares of square
// pixels, as the desktop's picture viewers show transparency: every pixel then opaque.
void ShowOverChecks(std::uint8_t* bits, int width, int height, int square);

// The pixel size a picture file declares in its header (BMP, JPEG, and the formats of
// ReadFormatSize), read from its first bytes; false when the file is none of them or its
// header cannot be found. Decides nothing about safety: it
// only tells how much memory a decode of the file is likely to take.
bool ProbePictureSize(const char* path, int* width, int* height);
// The same from bytes already read: the first size bytes of a file.
bool PictureSizeFromHeader(const std::uint8_t* bytes, std::size_t size, int* width, int* height);
