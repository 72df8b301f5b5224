// Writes the program's icon: make_icon <file.png> draws the open treasure chest of the game's
// dungeon tiles (assetart::DrawIcon) into a 64 x 64 RGBA PNG, transparent around the chest.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "asset_art.h"
#include "png_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon <file.png>\n");
    return 2;
  }
  const assetart::Layer icon = assetart::DrawIcon();
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < icon.h; ++y) {
    for (int x = 0; x < icon.w; ++x) {
      const assetart::Rgb c = icon.Has(x, y) ? icon.At(x, y) : assetart::Rgb{};
      rgba.insert(rgba.end(), {c.r, c.g, c.b, std::uint8_t(icon.Has(x, y) ? 255 : 0)});
    }
  }
  const std::vector<std::uint8_t> png = pngwriter::EncodePng(rgba, icon.w, icon.h, 4);
  std::FILE* f = std::fopen(argv[1], "wb");
  const bool written = f && std::fwrite(png.data(), 1, png.size(), f) == png.size();
  if (!f || std::fclose(f) != 0 || !written) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
