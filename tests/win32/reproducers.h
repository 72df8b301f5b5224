// Small files that once brought the platform's picture loader down, written to a folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace reproducer {

inline std::string Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// 11 bytes named ".jpg" that start with a zero word: the platform takes them for an icon
// directory and its icon parser reads past the end.
inline std::string IconAsJpeg(const std::string& folder) {
  return Write(folder + "\\.jpg", {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1});
}

// A 1 KB 8-bit run-length BMP whose pixel data are said to start at 0x7FFFFF00.
inline std::string FarRunLengthBmp(const std::string& folder) {
  std::vector<std::uint8_t> b(1024, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, 1024);
  Put32(b, 10, 0x7FFFFF00u);
  Put32(b, 14, 40);
  Put32(b, 18, 32);
  Put32(b, 22, 32);
  b[26] = 1;
  b[28] = 8;
  Put32(b, 30, 1);  // BI_RLE8
  Put32(b, 34, 512);
  for (std::size_t i = 54 + 1024 / 4; i + 1 < b.size(); i += 2) {
    b[i] = 32;
    b[i + 1] = 1;
  }
  return Write(folder + "\\far-rle.bmp", b);
}

// The start of a 12000 x 9000 JPEG: its frame header and nothing after it.
inline std::string HugeJpegHeader(const std::string& folder) {
  return Write(
      folder + "\\huge.jpg",
      {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F',  'I',  'F',  0,    1, 1, 0,    0, 1,    0,   1,
       0,    0,    0xFF, 0xC0, 0, 11, 8,   0x23, 0x28, 0x2E, 0xE0, 1, 1, 0x11, 0, 0xFF, 0xD9});
}

}  // namespace reproducer
