// make_format_samples <output dir> [<hostile dir>]: writes one small picture in each format the
// Linux program shows beside BMP and JPEG (sample.png, .gif, .webp, .avif, .heic and .jxl), each
// with its format's own library, and with a second folder the hostile files of
// native/hostile_files.h there (without their sparse tails): the pictures of the end-to-end
// tests and the seeds of the decoder's fuzzing. Every file is computed, so the set is the same
// on every run.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "native/format_writers.h"
#include "native/hostile_files.h"

namespace {

// 96 x 64: red over green and blue ramps, with a transparent square in the top-left corner.
formatwriter::RgbaPicture SamplePicture() {
  formatwriter::RgbaPicture p{96, 64, {}};
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const bool clear = x < 16 && y < 16;
      p.bytes.insert(p.bytes.end(),
                     {220, static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 3),
                      static_cast<std::uint8_t>(clear ? 0 : 255)});
    }
  }
  return p;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok =
      !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_format_samples <output dir> [<hostile dir>]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const formatwriter::RgbaPicture p = SamplePicture();
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } files[] = {
      {"sample.png", formatwriter::Png(p)},   {"sample.gif", formatwriter::Gif(p)},
      {"sample.webp", formatwriter::Webp(p)}, {"sample.avif", formatwriter::Avif(p, 1)},
      {"sample.heic", formatwriter::Heif(p)}, {"sample.jxl", formatwriter::Jxl(p)},
  };
  for (const auto& file : files) {
    if (!WriteFile(dir / file.name, file.bytes)) {
      std::fprintf(stderr, "make_format_samples: cannot write %s\n", (dir / file.name).c_str());
      return 1;
    }
  }
  if (argc < 3) return 0;
  const std::filesystem::path hostileDir = argv[2];
  std::filesystem::create_directories(hostileDir, error);
  for (const hostile::File& file : hostile::Files()) {
    if (!WriteFile(hostileDir / file.name, file.bytes)) {
      std::fprintf(stderr, "make_format_samples: cannot write %s\n",
                   (hostileDir / file.name).c_str());
      return 1;
    }
  }
  return 0;
}
