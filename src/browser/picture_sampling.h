// Sampling a decoded picture into 2 x 2 blocks of canvas pixels: the picture view and the
// thumbnail page draw through these, the page also marking the blocks with the entry's PickId.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "pictures/picture_samples.h"
#include "pictures/texture_loader.h"

// The samples of one axis whose 2-pixel block starting at origin + 2 i meets canvas pixels
// 0 .. limit - 1: samples first .. first + source.size() - 1, with the source pixel of each.
// Positions are accumulated as the sampling loops accumulate them: 0, step, step + step, ...
// in single precision, while below size as a float.
struct AxisSamples {
  std::int64_t first = 0;
  std::vector<int> source;
};
AxisSamples ReachableSamples(int size, float step, std::int64_t origin, int limit);

// Draws a width x height picture (rows bottom first, bytesPerPixel bytes per pixel, red, green,
// blue first) in 2 x 2 blocks, its bottom-left corner at (originX, originY), one sample every
// step source pixels; marks every pixel with pickId unless pickId is 0. Only the blocks that
// meet the canvas are visited.
void DrawPictureBlocks(Display& display, const std::uint8_t* picture, int width, int height,
                       int bytesPerPixel, int originX, int originY, float step,
                       std::int32_t pickId);

// Bytes per pixel of the picture in the PictureBuffer when it can be read: its size as
// pictureInfo gives it lies within what the loader stored. 0 otherwise.
int SampledBytesPerPixel(const Pictures& pictures);

// Draws the picture of pictureInfo from the PictureBuffer in 2 x 2 blocks, its bottom-left
// corner at (originX, originY), one sample every step source pixels; marks every pixel with
// pickId unless pickId is 0. Only reads within the picture the loader stored.
void DrawSampledPicture(Display& display, const Pictures& pictures, int originX, int originY,
                        float step, std::int32_t pickId);

// Draws a thumbnail's samples as the sampling of its whole picture would: one 2 x 2 block per
// sample from (originX, originY), marked with pickId.
void DrawThumbnailSamples(Display& display, const PictureSamples& samples, int originX, int originY,
                          std::int32_t pickId);
