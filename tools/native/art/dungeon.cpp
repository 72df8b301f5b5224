// Dungeon tiles: 64 x 64 stone floors and walls, with objects drawn at half resolution.

#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "families.h"

namespace assetart {

namespace {

Layer StoneFloor(std::uint64_t seed, Rgb base, int slab) {
  Layer f = Noisy(64, 64, base, 0.3, 8, seed);
  Rng r(seed);
  for (int by = 0; by < 64; by += slab)
    for (int bx = 0; bx < 64; bx += slab) {
      double tint = 0.88 + r.Unit() * 0.22;
      for (int y = by; y < by + slab && y < 64; ++y)
        for (int x = bx; x < bx + slab && x < 64; ++x) {
          Rgb c = Scale(f.At(x, y), tint);
          if (x == bx || y == by) c = Scale(c, 0.6);
          f.Put(x, y, c);
        }
    }
  return f;
}

}  // namespace

Layer Bricks(int w, int h, std::uint64_t seed, Rgb brick, Rgb mortar, int bw, int bh, double moss) {
  Layer t = Noisy(w, h, brick, 0.3, 6, seed);
  Rng r(seed);
  std::vector<double> tints(static_cast<std::size_t>((w / bw + 2) * (h / bh + 1)));
  for (double& v : tints) v = 0.8 + r.Unit() * 0.35;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int row = y / bh, sx = x + (row % 2) * (bw / 2);
      int col = sx / bw;
      bool joint = y % bh == 0 || sx % bw == 0;
      Rgb c = joint ? mortar
                    : Scale(t.At(x, y), tints[static_cast<std::size_t>(row * (w / bw + 2) + col)]);
      if (!joint && (sx % bw == 1 || y % bh == 1)) c = Scale(c, 1.15);
      if (Fractal(x, y, 14, seed + 9) > 1 - moss) c = Mix(c, C(70, 110, 50), 0.6);
      t.Put(x, y, c);
    }
  return t;
}

namespace {

Layer MagicCircle(Rgb ring, bool flames) {
  Layer s(32, 32);
  s.Paint(
      [](double x, double y) {
        double d = std::hypot(x - 16, y - 16);
        return (d > 11 && d < 13) || (d > 7.5 && d < 8.5);
      },
      ring);
  for (int i = 0; i < 5; ++i) {
    double a = -pi / 2 + i * 4 * pi / 5, b = -pi / 2 + (i + 1) * 4 * pi / 5;
    s.Line(16 + 12 * std::cos(a), 16 + 12 * std::sin(a), 16 + 12 * std::cos(b),
           16 + 12 * std::sin(b), 0.9, ring);
  }
  if (flames)
    for (int i = 0; i < 8; ++i) {
      double a = i * pi / 4, x = 16 + 12 * std::cos(a), y = 16 + 12 * std::sin(a);
      s.Polygon({{x - 1.5, y + 1}, {x + 1.5, y + 1}, {x, y - 4}}, C(255, 140, 30));
    }
  return s;
}

Layer Pool(Rgb water, bool full) {
  Layer s(32, 32);
  s.Ellipse(16, 18, 12, 8, C(140, 135, 130));
  s.Ellipse(16, 18, 9.5, 5.8, water);
  s.Ellipse(13, 16, 3, 1, Scale(water, 1.4));
  if (full)
    for (int i = 0; i < 4; ++i) s.Disc(10 + i * 4, 8 - (i % 2) * 2, 0.9, Scale(water, 1.5));
  return s;
}

constexpr Rgb Wood{120, 78, 40}, Gold{230, 190, 60}, Iron{100, 100, 110};

Layer Chest(bool open) {
  Layer s(32, 32);
  s.Rect(6, 14, 26, 26, Wood);
  if (open) {
    s.Polygon({{6, 14}, {26, 14}, {24, 6}, {8, 6}}, Scale(Wood, 0.75));
    s.Rect(8, 13, 24, 16, C(40, 25, 15));
    for (int i = 0; i < 6; ++i) s.Disc(10 + i * 2.5, 13.5 - (i % 2), 1.4, Gold);
  } else {
    s.Ellipse(16, 14, 10, 4, Scale(Wood, 1.1));
    s.Rect(14.5, 14, 17.5, 18, Gold);
  }
  for (double x : {8.0, 23.0}) s.Rect(x, 12, x + 1.5, 26, Iron);
  return s;
}

Layer Candelabrum(bool lit) {
  Layer s(32, 32);
  s.Rect(15, 10, 17, 28, Gold);
  s.Rect(11, 27, 21, 29, Gold);
  s.Line(8, 12, 24, 12, 1.2, Gold);
  for (double x : {8.0, 16.0, 24.0}) {
    s.Rect(x - 1, 6, x + 1, 12, C(240, 235, 215));
    if (lit) s.Polygon({{x - 1, 6}, {x + 1, 6}, {x, 2}}, C(255, 200, 50));
  }
  return s;
}

Layer Coffin(bool open) {
  Layer s(32, 32);
  std::vector<std::pair<double, double>> shape = {{12, 3},  {20, 3},  {24, 10},
                                                  {21, 29}, {11, 29}, {8, 10}};
  s.Polygon(shape, Scale(Wood, 0.7));
  if (open) {
    s.Polygon({{13, 5}, {19, 5}, {22, 10}, {19.5, 27}, {12.5, 27}, {10, 10}}, C(40, 20, 25));
    s.Disc(16, 9, 2.5, C(225, 220, 200));
    s.Line(16, 12, 16, 22, 1, C(225, 220, 200));
  } else {
    s.Line(16, 7, 16, 19, 1.2, Gold);
    s.Line(13, 11, 19, 11, 1.2, Gold);
  }
  return s;
}

// Scattered bones, and a skull when there are more than two.
Layer FloorBones(std::uint64_t seed, int count) {
  Layer s(32, 32);
  Rng r(seed);
  for (int i = 0; i < count; ++i) {
    double x = 5 + r.Unit() * 22, y = 5 + r.Unit() * 22, a = r.Unit() * pi;
    s.Line(x, y, x + 5 * std::cos(a), y + 5 * std::sin(a), 1, C(225, 220, 200));
  }
  if (count > 2) s.Disc(20, 22, 2.5, C(225, 220, 200));
  return s;
}

Layer Door(bool closed) {
  Layer s(32, 32);
  s.Rect(6, 2, 26, 30, C(90, 88, 85));
  if (closed) {
    s.Rect(8, 4, 24, 30, Wood);
    for (double x = 11; x < 24; x += 4) s.Line(x, 4, x, 30, 0.6, Scale(Wood, 0.7));
    s.Disc(21, 17, 1.2, Gold);
  } else {
    s.Rect(8, 4, 24, 30, C(25, 20, 20));
    s.Polygon({{8, 4}, {12, 6}, {12, 30}, {8, 30}}, Wood);
  }
  return s;
}

Layer Fountain(bool flowing) {
  Layer s(32, 32);
  s.Ellipse(16, 24, 12, 5, C(160, 160, 165));
  s.Ellipse(16, 23, 9, 3, flowing ? C(70, 140, 220) : C(60, 55, 50));
  s.Rect(14.5, 8, 17.5, 23, C(170, 170, 175));
  s.Ellipse(16, 9, 5, 2, C(170, 170, 175));
  if (flowing) {
    s.Line(16, 8, 11, 19, 0.8, C(150, 200, 255));
    s.Line(16, 8, 21, 19, 0.8, C(150, 200, 255));
    s.Disc(16, 5, 1.5, C(150, 200, 255));
  }
  return s;
}

Layer Stairs(bool down) {
  Layer s(32, 32);
  for (int i = 0; i < 6; ++i) {
    double shade = down ? 1.1 - i * 0.14 : 0.5 + i * 0.12;
    s.Rect(5, 4 + i * 4, 27, 8 + i * 4, Scale(C(150, 145, 140), shade));
  }
  s.Polygon(down ? std::vector<std::pair<double, double>>{{13, 12}, {19, 12}, {16, 18}}
                 : std::vector<std::pair<double, double>>{{13, 18}, {19, 18}, {16, 12}},
            C(240, 220, 80));
  return s;
}

// A dark altar carries a bloodstain, a jewelled one a row of gems.
Layer Altar(bool dark, bool jewels) {
  Layer s(32, 32);
  Rgb stone = dark ? C(60, 50, 65) : C(190, 185, 175);
  s.Rect(5, 12, 27, 16, stone);
  s.Rect(8, 16, 24, 28, Scale(stone, 0.85));
  s.Rect(5, 27, 27, 29, stone);
  if (jewels)
    for (int i = 0; i < 4; ++i)
      s.Disc(10 + i * 4, 21, 1.3, i % 2 ? C(220, 30, 60) : C(40, 200, 230));
  if (dark) s.Disc(16, 21, 2.5, C(150, 20, 20));
  s.Rect(13, 9, 19, 12, Gold);
  return s;
}

// Spikes when armed, empty holes when not.
Layer Trap(bool armed) {
  Layer s(32, 32);
  s.Rect(5, 5, 27, 27, C(80, 78, 75));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      double px = 8.5 + x * 5, py = 8.5 + y * 5;
      if (armed)
        s.Polygon({{px - 1.5, py + 1.5}, {px + 1.5, py + 1.5}, {px, py - 2.5}}, C(200, 200, 210));
      else
        s.Disc(px, py, 1, C(40, 40, 40));
    }
  return s;
}

Layer Torch(bool lit) {
  Layer s(32, 32);
  s.Rect(12, 20, 20, 22, Iron);
  s.Line(16, 28, 16, 12, 2.5, Wood);
  s.Rect(13.5, 10, 18.5, 14, Iron);
  if (lit) {
    s.Polygon({{12, 10}, {20, 10}, {17, 1}}, C(250, 130, 30));
    s.Polygon({{14, 10}, {18, 10}, {16, 4}}, C(255, 230, 90));
  } else {
    s.Line(16, 8, 15, 3, 1, C(120, 120, 120));
  }
  return s;
}

Layer Gears() {
  Layer s(32, 32);
  auto gear = [&s](double cx, double cy, double r, Rgb c) {
    s.Paint(
        [=](double x, double y) {
          double d = std::hypot(x - cx, y - cy), a = std::atan2(y - cy, x - cx);
          double teeth = std::cos(a * 8) > 0.3 ? 2 : 0;
          return d < r - 2 + teeth && d > r * 0.3;
        },
        c);
  };
  gear(12, 13, 9, C(190, 160, 70));
  gear(22, 22, 7, C(150, 150, 160));
  return s;
}

Layer Lever() {
  Layer s(32, 32);
  s.Rect(10, 22, 22, 28, Iron);
  s.Line(16, 24, 23, 8, 1.6, C(150, 150, 160));
  s.Disc(23, 7, 2.5, C(200, 40, 40));
  return s;
}

Layer Scrolls() {
  Layer s(32, 32);
  Rng r(7);
  for (int i = 0; i < 5; ++i) {
    double x = 7 + r.Unit() * 14, y = 10 + i * 3.5;
    s.Line(x, y, x + 10, y + 2, 4, C(235, 220, 180));
    s.Disc(x, y, 2, C(210, 190, 140));
    s.Rect(x + 4, y - 1, x + 5, y + 2.5, C(180, 40, 40));
  }
  return s;
}

// ---- Which tile is drawn how ------------------------------------------------------------------

Layer Wall(std::uint64_t seed) {
  return Bricks(64, 64, seed, C(120, 110, 100), C(55, 50, 48), 16, 8, 0.1);
}

Layer Floor(std::uint64_t seed) { return StoneFloor(seed, C(105, 100, 95), 16); }

Layer Marble(std::uint64_t seed) {
  Layer f = StoneFloor(seed, C(225, 222, 215), 32);
  f.Paint([seed](double x, double y) { return std::abs(Fractal(x, y, 20, seed) - 0.5) < 0.02; },
          C(150, 150, 160));
  return f;
}

using Seed = std::uint64_t;

struct TileArt {
  std::string_view stem;
  Layer (*draw)(Seed seed);
};
constexpr TileArt Tiles[] = {{"wall", Wall}, {"floor", Floor}, {"floor_marble", Marble}};

// An object stands on the stone floor, or on the wall when it is fixed to one.
enum class Ground { floor, wall };

struct ObjectArt {
  std::string_view stem;
  Ground ground;
  Layer (*draw)(Seed seed);
};
constexpr Rgb SourceBlue{60, 130, 220}, CircleBlue{120, 160, 230};
constexpr ObjectArt Objects[] = {
    {"chest", Ground::floor, [](Seed) { return Chest(false); }},
    {"chest_open", Ground::floor, [](Seed) { return Chest(true); }},
    {"candelabrum", Ground::floor, [](Seed) { return Candelabrum(true); }},
    {"candelabrum_extinct", Ground::floor, [](Seed) { return Candelabrum(false); }},
    {"coffin", Ground::floor, [](Seed) { return Coffin(false); }},
    {"coffin_open", Ground::floor, [](Seed) { return Coffin(true); }},
    {"floor_bones", Ground::floor, [](Seed seed) { return FloorBones(seed, 7); }},
    {"floor_bones_cleaned", Ground::floor, [](Seed seed) { return FloorBones(seed, 2); }},
    {"door", Ground::wall, [](Seed) { return Door(true); }},
    {"door_opened", Ground::wall, [](Seed) { return Door(false); }},
    {"source", Ground::floor, [](Seed) { return Pool(SourceBlue, false); }},
    {"source_complete", Ground::floor, [](Seed) { return Pool(SourceBlue, true); }},
    {"source_red", Ground::floor, [](Seed) { return Pool(C(200, 40, 40), true); }},
    {"source_green", Ground::floor, [](Seed) { return Pool(C(50, 180, 60), true); }},
    {"source_blue", Ground::floor, [](Seed) { return Pool(C(40, 70, 220), true); }},
    {"source_yellow", Ground::floor, [](Seed) { return Pool(C(240, 210, 40), true); }},
    {"source_brown", Ground::floor, [](Seed) { return Pool(C(130, 85, 45), true); }},
    {"spawn", Ground::floor, [](Seed) { return MagicCircle(C(170, 30, 30), false); }},
    {"spawn_complete", Ground::floor, [](Seed) { return MagicCircle(C(80, 30, 30), false); }},
    {"circle", Ground::floor, [](Seed) { return MagicCircle(CircleBlue, false); }},
    {"circle_golden", Ground::floor, [](Seed) { return MagicCircle(Gold, false); }},
    {"circle_aflamed", Ground::floor, [](Seed) { return MagicCircle(CircleBlue, true); }},
    {"fountain", Ground::floor, [](Seed) { return Fountain(true); }},
    {"fountain_drank", Ground::floor, [](Seed) { return Fountain(false); }},
    {"stairsd", Ground::floor, [](Seed) { return Stairs(true); }},
    {"stairsu", Ground::floor, [](Seed) { return Stairs(false); }},
    {"altar", Ground::floor, [](Seed) { return Altar(false, false); }},
    {"altar_dark", Ground::floor, [](Seed) { return Altar(true, false); }},
    {"altar_jeweled", Ground::floor, [](Seed) { return Altar(false, true); }},
    {"trap", Ground::floor, [](Seed) { return Trap(true); }},
    {"trap_disabled", Ground::floor, [](Seed) { return Trap(false); }},
    {"torch", Ground::wall, [](Seed) { return Torch(true); }},
    {"torch_extinct", Ground::wall, [](Seed) { return Torch(false); }},
    {"geer_mecanism", Ground::floor, [](Seed) { return Gears(); }},
    {"lever", Ground::wall, [](Seed) { return Lever(); }},
    {"scrolls", Ground::floor, [](Seed) { return Scrolls(); }},
};

}  // namespace

Layer DrawIcon() { return Sprite(Chest(true), C(25, 22, 20)); }

Layer DrawDungeon(const std::string& n) {
  std::uint64_t seed = HashName(n);
  if (const TileArt* a = FindStem(Tiles, n)) return a->draw(seed);
  const ObjectArt* object = FindStem(Objects, n);
  Layer ground = object && object->ground == Ground::wall ? Wall(seed) : Floor(seed);
  Layer s = object ? object->draw(seed) : Layer(32, 32);
  ground.Over(Sprite(s, C(25, 22, 20)));
  return ground;
}

}  // namespace assetart
