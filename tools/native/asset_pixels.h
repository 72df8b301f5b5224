// Pixel tools for the game's generated assets: colours, seeded randomness and noise, layers
// with coverage and simple shapes, and 24-bit BMP encoding.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace assetart {

// ---- Colours, randomness, noise ---------------------------------------------------------------

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

inline std::uint8_t Clamp8(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}
inline Rgb C(int r, int g, int b) { return Rgb{Clamp8(r), Clamp8(g), Clamp8(b)}; }
inline Rgb Mix(Rgb a, Rgb b, double t) {
  return Rgb{Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t),
             Clamp8(a.b + (b.b - a.b) * t)};
}
// Factor above 1 lightens, below 1 darkens.
inline Rgb Scale(Rgb c, double f) {
  if (f >= 1) return Mix(c, C(255, 255, 255), std::min(1.0, f - 1));
  return Rgb{Clamp8(c.r * f), Clamp8(c.g * f), Clamp8(c.b * f)};
}

inline std::uint64_t HashName(std::string_view s) {
  std::uint64_t h = 1469598103934665603ull;
  for (char ch : s) {
    h ^= static_cast<unsigned char>(ch);
    h *= 1099511628211ull;
  }
  return h;
}

struct Rng {
  std::uint64_t state;
  explicit Rng(std::uint64_t seed) : state(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  int Range(int lo, int hi) { return lo + static_cast<int>(Next() % (hi - lo + 1)); }
};

// Smooth value noise in [0, 1] with lattice spacing cell.
inline double ValueNoise(double x, double y, double cell, std::uint64_t seed) {
  auto lattice = [seed](long ix, long iy) {
    Rng r(seed ^ (static_cast<std::uint64_t>(ix) * 0x9E3779B1u) ^
          (static_cast<std::uint64_t>(iy) * 0x85EBCA77u << 20));
    return r.Unit();
  };
  double fx = x / cell, fy = y / cell;
  long ix = static_cast<long>(std::floor(fx)), iy = static_cast<long>(std::floor(fy));
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  double a = lattice(ix, iy), b = lattice(ix + 1, iy), c = lattice(ix, iy + 1),
         d = lattice(ix + 1, iy + 1);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

inline double Fractal(double x, double y, double cell, std::uint64_t seed) {
  return 0.55 * ValueNoise(x, y, cell, seed) + 0.3 * ValueNoise(x, y, cell / 2, seed + 1) +
         0.15 * ValueNoise(x, y, cell / 4, seed + 2);
}

// ---- Layers: pixels with coverage, drawn with y growing downwards ------------------------------

struct Layer {
  int w = 0, h = 0;
  std::vector<Rgb> c;
  std::vector<std::uint8_t> a;

  Layer() = default;
  Layer(int width, int height) : w(width), h(height), c(width * height), a(width * height, 0) {}

  bool Has(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && a[y * w + x]; }
  Rgb At(int x, int y) const { return c[y * w + x]; }
  void Put(int x, int y, Rgb col) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    c[y * w + x] = col;
    a[y * w + x] = 1;
  }
  void Erase(int x, int y) {
    if (x >= 0 && y >= 0 && x < w && y < h) a[y * w + x] = 0;
  }
  // Every pixel whose centre satisfies inside(x, y) takes colour(x, y).
  template <class Inside, class Colour>
  void Paint(Inside inside, Colour colour) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (inside(x + 0.5, y + 0.5)) Put(x, y, colour(x, y));
  }
  template <class Inside>
  void Paint(Inside inside, Rgb col) {
    Paint(inside, [col](int, int) { return col; });
  }
  void Rect(double x0, double y0, double x1, double y1, Rgb col) {
    Paint([=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, col);
  }
  void Ellipse(double cx, double cy, double rx, double ry, Rgb col) {
    Paint(
        [=](double x, double y) {
          double dx = (x - cx) / rx, dy = (y - cy) / ry;
          return dx * dx + dy * dy <= 1;
        },
        col);
  }
  void Disc(double cx, double cy, double r, Rgb col) { Ellipse(cx, cy, r, r, col); }
  // A line of the given thickness with round ends.
  void Line(double x0, double y0, double x1, double y1, double thick, Rgb col) {
    double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    Paint(
        [=](double x, double y) {
          double t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0;
          double px = x0 + t * dx - x, py = y0 + t * dy - y;
          return px * px + py * py <= thick * thick / 4;
        },
        col);
  }
  void Polygon(std::vector<std::pair<double, double>> pts, Rgb col) {
    Paint(
        [&pts](double x, double y) {
          bool in = false;
          for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            auto [xi, yi] = pts[i];
            auto [xj, yj] = pts[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
          }
          return in;
        },
        col);
  }
  // Light from the top left: edges facing it are lighter, the others darker.
  void Bevel(double light = 1.25, double dark = 0.7) {
    Layer copy = *this;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (!copy.Has(x, y)) continue;
        if (!copy.Has(x - 1, y) || !copy.Has(x, y - 1))
          c[y * w + x] = Scale(copy.At(x, y), light);
        else if (!copy.Has(x + 1, y) || !copy.Has(x, y + 1))
          c[y * w + x] = Scale(copy.At(x, y), dark);
      }
  }
  // A one-pixel dark rim around everything drawn.
  void Outline(Rgb col) {
    Layer copy = *this;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (!copy.Has(x, y) &&
            (copy.Has(x - 1, y) || copy.Has(x + 1, y) || copy.Has(x, y - 1) || copy.Has(x, y + 1)))
          Put(x, y, col);
  }
  void Over(const Layer& top, int ox = 0, int oy = 0) {
    for (int y = 0; y < top.h; ++y)
      for (int x = 0; x < top.w; ++x)
        if (top.Has(x, y)) Put(x + ox, y + oy, top.At(x, y));
  }
  Layer Enlarged(int k) const {
    Layer big(w * k, h * k);
    for (int y = 0; y < big.h; ++y)
      for (int x = 0; x < big.w; ++x)
        if (Has(x / k, y / k)) big.Put(x, y, At(x / k, y / k));
    return big;
  }
};

// A full picture: a layer whose every pixel is set.
inline Layer Filled(int w, int h, const std::function<Rgb(int, int)>& colour) {
  Layer l(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) l.Put(x, y, colour(x, y));
  return l;
}

inline Layer Noisy(int w, int h, Rgb base, double amount, double cell, std::uint64_t seed) {
  Rng grain(seed * 31 + 7);
  return Filled(w, h, [&](int x, int y) {
    double n = Fractal(x, y, cell, seed) - 0.5;
    return Scale(base, 1 + n * amount + (grain.Unit() - 0.5) * amount * 0.3);
  });
}

// ---- BMP encoding ------------------------------------------------------------------------------

// A 24-bit BMP with the standard 54-byte header; rows bottom-up, padded to 4 bytes (widths
// here are multiples of 4, so there is no padding).
inline std::vector<std::uint8_t> EncodeBmp(const Layer& img) {
  std::size_t row = (static_cast<std::size_t>(img.w) * 3 + 3) & ~std::size_t{3};
  std::size_t dataSize = row * img.h;
  std::vector<std::uint8_t> out(54 + dataSize, 0);
  auto put16 = [&out](std::size_t at, std::uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, img.w);
  put32(22, img.h);
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<std::uint32_t>(dataSize));
  put32(38, 2835);  // 72 dots per inch
  put32(42, 2835);
  for (int y = 0; y < img.h; ++y) {
    std::uint8_t* dst = out.data() + 54 + row * (img.h - 1 - y);
    for (int x = 0; x < img.w; ++x) {
      Rgb p = img.Has(x, y) ? img.At(x, y) : Rgb{};
      dst[x * 3] = p.b;
      dst[x * 3 + 1] = p.g;
      dst[x * 3 + 2] = p.r;
    }
  }
  return out;
}

inline bool Is(std::string_view s, std::string_view part) {
  return s.find(part) != std::string_view::npos;
}

}  // namespace assetart
