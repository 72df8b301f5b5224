// Writes the game's asset files: make_assets <output directory> creates the eight asset
// directories inside the output directory and draws every file of the catalogue into them.
// With --sheet <file.ppm> it also writes one contact sheet of all the pictures.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "asset_art.h"

namespace {

bool WriteSheet(const char* path) {
  const int cell = 72, columns = 18;
  std::vector<std::pair<std::string, std::string>> assets;
  std::set<std::string> seen;
  for (const AssetEntry& entry : AssetCatalogue) {
    std::string dir, stem;
    if (assetart::SplitAssetPath(entry.path, &dir, &stem) && seen.insert(dir + stem).second)
      assets.push_back({dir, stem});
  }
  int rows = static_cast<int>((assets.size() + columns - 1) / columns);
  int width = cell * columns, height = cell * rows;
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3, 40);
  for (std::size_t i = 0; i < assets.size(); ++i) {
    assetart::Layer img = assetart::DrawAsset(assets[i].first, assets[i].second);
    int ox = static_cast<int>(i % columns) * cell + 4,
        oy = static_cast<int>(i / columns) * cell + 4;
    int step = std::max(1, std::max(img.w, img.h) / 64);
    for (int y = 0; y < 64 && y * step < img.h; ++y)
      for (int x = 0; x < 64 && x * step < img.w; ++x) {
        assetart::Rgb c = img.At(x * step, y * step);
        unsigned char* p = &rgb[(static_cast<std::size_t>(oy + y) * width + ox + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
  }
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[2], "--sheet") == 0) {
    if (!WriteSheet(argv[3])) {
      std::fprintf(stderr, "make_assets: cannot write %s\n", argv[3]);
      return 1;
    }
  } else if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets <output directory> [--sheet <file.ppm>]\n");
    return 2;
  }
  int written = 0;
  if (!assetart::WriteAssetTree(argv[1], &written)) {
    std::fprintf(stderr, "make_assets: cannot write the assets under %s\n", argv[1]);
    return 1;
  }
  std::printf("make_assets: %d files under %s\n", written, argv[1]);
  return 0;
}
