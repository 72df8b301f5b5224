// make_photos <output dir> [count] [width] [height]: writes count photograph-like JPEG files
// (18 of 4000 x 3000 unless told otherwise), photo_01.jpg and on, for timing thumbnail pages.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "photo_jpeg.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 5) {
    std::fprintf(stderr, "usage: make_photos <output dir> [count] [width] [height]\n");
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 18;
  const int width = argc > 3 ? std::atoi(argv[3]) : 4000;
  const int height = argc > 4 ? std::atoi(argv[4]) : 3000;
  if (count <= 0 || width <= 0 || height <= 0 || width > 65500 || height > 65500) {
    std::fprintf(stderr, "make_photos: count and size must be positive (size up to 65500)\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "photo_%02d.jpg", i + 1);
    WritePhotoJpeg((std::filesystem::path(argv[1]) / name).string(), i, width, height);
  }
  return 0;
}
