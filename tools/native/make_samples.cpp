// make_samples <output dir>: writes Trove's own sample pictures for the tour and the tests: BMP
// files of several layouts, baseline, progressive and greyscale JPEG files, a text file and a
// subdirectory. Every picture is computed, so the set is the same on every run.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

// A picture as rows from the top, R, G, B per pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  Image(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {}
  void Set(int x, int y, Rgb c) {
    std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
  }
  Rgb Get(int x, int y) const {
    const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

Image Paint(int width, int height, const std::function<Rgb(int, int)>& colour) {
  Image image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.Set(x, y, colour(x, y));
  }
  return image;
}

std::uint8_t Clamp(double v) {
  if (v <= 0.0) return 0;
  if (v >= 255.0) return 255;
  return static_cast<std::uint8_t>(v + 0.5);
}

Rgb Mix(Rgb a, Rgb b, double t) {
  return {Clamp(a.r + (b.r - a.r) * t), Clamp(a.g + (b.g - a.g) * t), Clamp(a.b + (b.b - a.b) * t)};
}

// ---- Pictures ---------------------------------------------------------------------------------

// An evening sky over two mountain ridges, a lake that mirrors them and a grassy shore.
Image Landscape(int width, int height) {
  const double w = width;
  const double h = height;
  const double horizon = h * 0.62;
  const double sunX = w * 0.68;
  const double sunY = h * 0.42;
  const double sunRadius = h * 0.06;
  auto sky = [&](double x, double y) {
    const double t = y / horizon;
    Rgb c = Mix(Rgb{28, 40, 110}, Rgb{250, 150, 70}, t * t);
    const double d = std::hypot(x - sunX, y - sunY);
    if (d < sunRadius) return Rgb{255, 236, 170};
    const double glow = std::exp(-(d - sunRadius) / (h * 0.12));
    return Mix(c, Rgb{255, 210, 130}, glow * 0.7);
  };
  auto farRidge = [&](double x) {
    return horizon -
           h * (0.16 + 0.05 * std::sin(x / w * 9.0) + 0.03 * std::sin(x / w * 23.0 + 1.0));
  };
  auto nearRidge = [&](double x) {
    return horizon -
           h * (0.07 + 0.06 * std::sin(x / w * 5.0 + 2.0) + 0.02 * std::sin(x / w * 31.0));
  };
  auto above = [&](double x, double y) {
    if (y >= nearRidge(x)) return Mix(Rgb{40, 70, 50}, Rgb{20, 40, 30}, (y - nearRidge(x)) / h * 4);
    if (y >= farRidge(x)) return Mix(Rgb{90, 80, 120}, Rgb{60, 60, 95}, (y - farRidge(x)) / h * 5);
    return sky(x, y);
  };
  const double shore = h * 0.86;
  return Paint(width, height, [&](int xi, int yi) {
    const double x = xi;
    const double y = yi;
    if (y < horizon) return above(x, y);
    if (y < shore) {
      // The mirror image, rippled and darkened.
      const double ripple = 3.0 * std::sin(y * 0.9 + x * 0.02);
      double mirrored = 2.0 * horizon - y + ripple;
      if (mirrored < 0.0) mirrored = 0.0;
      double mx = x + ripple;
      if (mx < 0.0) mx = 0.0;
      if (mx > w - 1.0) mx = w - 1.0;
      return Mix(above(mx, mirrored), Rgb{10, 30, 60}, 0.35);
    }
    const double blade = 0.5 + 0.5 * std::sin(x * 0.7) * std::sin(y * 1.3);
    return Mix(Rgb{60, 110, 40}, Rgb{110, 150, 60}, blade);
  });
}

// A diagonal colour gradient.
Image Gradient(int width, int height) {
  return Paint(width, height, [&](int x, int y) {
    const double u = static_cast<double>(x) / (width - 1);
    const double v = static_cast<double>(y) / (height - 1);
    return Rgb{Clamp(255 * u), Clamp(255 * v), Clamp(255 * (1 - u) * (1 - v) + 60 * u * v)};
  });
}

// Concentric rings around the centre.
Image Rings(int width, int height) {
  return Paint(width, height, [&](int x, int y) {
    const double d = std::hypot(x - width / 2.0, y - height / 2.0);
    const double a = std::atan2(y - height / 2.0, x - width / 2.0);
    return Rgb{Clamp(128 + 127 * std::sin(d * 0.08)), Clamp(128 + 127 * std::sin(d * 0.05 + a)),
               Clamp(128 + 127 * std::cos(d * 0.03))};
  });
}

// Grey interference waves.
Image Waves(int width, int height) {
  return Paint(width, height, [&](int x, int y) {
    const double v = std::sin(x * 0.05) + std::sin(y * 0.07) + std::sin((x + y) * 0.03);
    const std::uint8_t g = Clamp(128 + 42 * v);
    return Rgb{g, g, g};
  });
}

// A checkerboard with a black square in the middle: black is the loader's key colour.
Image Checkerboard(int width, int height) {
  return Paint(width, height, [&](int x, int y) {
    if (x > width / 3 && x < width * 2 / 3 && y > height / 3 && y < height * 2 / 3) {
      return Rgb{0, 0, 0};
    }
    return ((x / 40 + y / 40) % 2 == 0) ? Rgb{230, 230, 220} : Rgb{180, 40, 50};
  });
}

// Palette shapes: a field of circles and bars in the 16 colours of the palette below.
const Rgb shapePalette[16] = {{20, 24, 40},    {240, 240, 235}, {200, 50, 50},   {240, 150, 40},
                              {240, 220, 60},  {80, 180, 70},   {40, 140, 160},  {60, 90, 200},
                              {130, 70, 180},  {220, 120, 170}, {120, 80, 50},   {90, 90, 90},
                              {160, 160, 160}, {30, 90, 40},    {150, 200, 240}, {250, 200, 180}};

std::vector<std::uint8_t> ShapeIndices(int width, int height) {
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t index = static_cast<std::uint8_t>(((y / 24) % 2) ? 12 : 0);
      for (int i = 0; i < 9; ++i) {
        const int cx = 30 + (i % 3) * 75;
        const int cy = 40 + (i / 3) * 70;
        const int r = 18 + 4 * (i % 4);
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) {
          index = static_cast<std::uint8_t>(2 + i);
        }
      }
      if (x > width - 30 && (y / 10) % 2 == 0) index = 1;
      indices[static_cast<std::size_t>(y) * width + x] = index;
    }
  }
  return indices;
}

// ---- Writers ----------------------------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

// A bottom-up BMP with a 40-byte header; rows padded to four bytes.
std::vector<std::uint8_t> BmpFile(int width, int height, int bits, const std::vector<Rgb>& palette,
                                  const std::function<void(int, int, std::uint8_t*)>& pixel) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const std::size_t offset = 54 + palette.size() * 4;
  std::vector<std::uint8_t> out(offset + stride * height, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<std::uint32_t>(out.size()));
  Put32(out, 10, static_cast<std::uint32_t>(offset));
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<std::uint32_t>(width));
  Put32(out, 22, static_cast<std::uint32_t>(height));
  Put16(out, 26, 1);
  Put16(out, 28, static_cast<std::uint32_t>(bits));
  Put32(out, 34, static_cast<std::uint32_t>(stride * height));
  Put32(out, 38, 2835);  // 72 dots per inch
  Put32(out, 42, 2835);
  Put32(out, 46, static_cast<std::uint32_t>(palette.size()));
  for (std::size_t i = 0; i < palette.size(); ++i) {
    out[54 + i * 4] = palette[i].b;
    out[54 + i * 4 + 1] = palette[i].g;
    out[54 + i * 4 + 2] = palette[i].r;
  }
  const int bytes = bits / 8;
  for (int row = 0; row < height; ++row) {
    std::uint8_t* line = out.data() + offset + stride * row;
    for (int x = 0; x < width; ++x) pixel(x, height - 1 - row, line + x * bytes);
  }
  return out;
}

bool WriteBmp24(const std::filesystem::path& path, const Image& image) {
  return WriteFile(path,
                   BmpFile(image.width, image.height, 24, {}, [&](int x, int y, std::uint8_t* p) {
                     const Rgb c = image.Get(x, y);
                     p[0] = c.b;
                     p[1] = c.g;
                     p[2] = c.r;
                   }));
}

bool WriteBmp32(const std::filesystem::path& path, const Image& image) {
  return WriteFile(path,
                   BmpFile(image.width, image.height, 32, {}, [&](int x, int y, std::uint8_t* p) {
                     const Rgb c = image.Get(x, y);
                     p[0] = c.b;
                     p[1] = c.g;
                     p[2] = c.r;
                     p[3] = 0;
                   }));
}

bool WriteBmp8(const std::filesystem::path& path, int width, int height) {
  const std::vector<std::uint8_t> indices = ShapeIndices(width, height);
  const std::vector<Rgb> palette(std::begin(shapePalette), std::end(shapePalette));
  return WriteFile(path, BmpFile(width, height, 8, palette, [&](int x, int y, std::uint8_t* p) {
                     *p = indices[static_cast<std::size_t>(y) * width + x];
                   }));
}

enum class JpegKind { baseline, progressive, greyscale };

bool WriteJpeg(const std::filesystem::path& path, const Image& image, JpegKind kind) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);  // errors here are the tool's own faults: libjpeg exits
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  const bool grey = kind == JpegKind::greyscale;
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 88, TRUE);
  if (kind == JpegKind::progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 3);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    const std::uint8_t* source = &image.rgb[static_cast<std::size_t>(y) * image.width * 3];
    if (grey) {
      for (int x = 0; x < image.width; ++x) row[x] = source[x * 3];
    } else {
      std::copy(source, source + row.size(), row.begin());
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples <output dir>\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(dir / "more pictures", error);
  if (error) {
    std::fprintf(stderr, "make_samples: cannot make %s: %s\n", dir.c_str(),
                 error.message().c_str());
    return 1;
  }

  bool ok = true;
  auto check = [&](bool written, const char* name) {
    if (!written) std::fprintf(stderr, "make_samples: cannot write %s\n", name);
    ok = ok && written;
  };
  check(WriteJpeg(dir / "Evening Lake.jpg", Landscape(1600, 1200), JpegKind::baseline),
        "Evening Lake.jpg");
  check(WriteJpeg(dir / "rings_progressive.jpeg", Rings(800, 600), JpegKind::progressive),
        "rings_progressive.jpeg");
  check(WriteJpeg(dir / "WAVES_GREY.JPG", Waves(500, 375), JpegKind::greyscale), "WAVES_GREY.JPG");
  check(WriteBmp24(dir / "gradient_odd_width.bmp", Gradient(301, 201)), "gradient_odd_width.bmp");
  check(WriteBmp8(dir / "shapes_palette.bmp", 256, 220), "shapes_palette.bmp");
  check(WriteBmp32(dir / "checker_key.bmp", Checkerboard(640, 480)), "checker_key.bmp");
  check(WriteBmp24(dir / "tiny_10x10.bmp", Gradient(10, 10)), "tiny_10x10.bmp");
  check(
      WriteJpeg(dir / "more pictures" / "lake_small.jpg", Landscape(320, 240), JpegKind::baseline),
      "more pictures/lake_small.jpg");
  const std::string notes =
      "Trove sample pictures, made by make_samples.\r\n"
      "Press T for the thumbnail page, right-click a picture to open it,\r\n"
      "keys 1 to 6 change its scale and 7 to 9 how it follows the pointer.\r\n";
  check(WriteFile(dir / "about these samples.txt",
                  std::vector<std::uint8_t>(notes.begin(), notes.end())),
        "about these samples.txt");
  return ok ? 0 : 1;
}
