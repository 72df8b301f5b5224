// Photograph-like JPEG files of any size, written with libjpeg at quality 90: for the benchmarks
// and the measurements of thumbnail pages. Their pixels (PhotoRow) serve other formats too.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

// One row of a photograph-like picture, as red, green, blue bytes: broad gradients and shapes
// with a grain, so that a file carries as much detail as a camera's would. Different for every
// index; seed carries the grain from row to row, starting from PhotoSeed(index).
inline std::uint32_t PhotoSeed(int index) {
  return 2166136261u ^ static_cast<std::uint32_t>(index);
}

inline void PhotoRow(int index, int y, int pictureWidth, int pictureHeight, std::uint32_t* seed,
                     std::uint8_t* row) {
  for (int x = 0; x < pictureWidth; ++x) {
    *seed = *seed * 1664525u + 1013904223u;
    const int grain = static_cast<int>(*seed >> 27) - 16;
    const int band = ((x + index * 97) / 350 + y / 280) % 3;
    const int r = x * 200 / pictureWidth + band * 20 + grain;
    const int g = y * 180 / pictureHeight + (index * 13) % 60 + grain;
    const int b = 255 - (x + y) * 200 / (pictureWidth + pictureHeight) + grain;
    row[x * 3] = static_cast<std::uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
    row[x * 3 + 1] = static_cast<std::uint8_t>(g < 0 ? 0 : g > 255 ? 255 : g);
    row[x * 3 + 2] = static_cast<std::uint8_t>(b < 0 ? 0 : b > 255 ? 255 : b);
  }
}

// The photograph-like picture of that index as a JPEG file.
inline void WritePhotoJpeg(const std::string& path, int index, int pictureWidth,
                           int pictureHeight) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(pictureWidth);
  info.image_height = static_cast<JDIMENSION>(pictureHeight);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(pictureWidth) * 3);
  std::uint32_t seed = PhotoSeed(index);
  while (info.next_scanline < info.image_height) {
    PhotoRow(index, static_cast<int>(info.next_scanline), pictureWidth, pictureHeight, &seed,
             row.data());
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}
