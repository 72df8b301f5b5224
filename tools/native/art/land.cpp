// Land tiles: 64 x 64 terrain, with features drawn at half resolution.

#include <algorithm>
#include <cmath>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "families.h"

namespace assetart {

namespace {

Layer Grass(std::uint64_t seed, Rgb base = C(86, 150, 62)) {
  Layer g = Noisy(64, 64, base, 0.45, 12, seed);
  Rng r(seed);
  for (int i = 0; i < 40; ++i) {
    int x = r.Range(0, 63), y = r.Range(1, 63);
    g.Put(x, y, Scale(base, 1.3));
    g.Put(x, y - 1, Scale(base, 1.15));
  }
  return g;
}

void Tree(Layer& s, double x, double y, double r, Rgb leaves, int kind, Rng& rng) {
  Rgb trunk = C(100, 70, 40);
  if (kind == 1) {  // pine
    s.Rect(x - 0.5, y - 1, x + 0.5, y + 1.5, trunk);
    s.Polygon({{x - r, y}, {x + r, y}, {x, y - r * 2.6}}, leaves);
    return;
  }
  s.Rect(x - 0.6, y - r * 0.5, x + 0.6, y + 1.5, kind == 2 ? C(120, 115, 105) : trunk);
  if (kind == 2) {  // bare grey tree
    s.Line(x, y - r * 0.5, x - r, y - r * 1.6, 0.8, C(120, 115, 105));
    s.Line(x, y - r * 0.5, x + r, y - r * 1.8, 0.8, C(120, 115, 105));
    s.Disc(x, y - r * 1.2, r * 0.7, leaves);
    return;
  }
  s.Disc(x, y - r, r, leaves);
  if (kind == 3)
    for (int i = 0; i < 3; ++i)
      s.Disc(x + (rng.Unit() - 0.5) * r * 1.2, y - r + (rng.Unit() - 0.5) * r, 0.7, C(220, 40, 40));
}

Layer Forest(std::uint64_t seed, Rgb leaves, int kind, int count) {
  Layer tile = Grass(seed, kind == 2 ? C(105, 120, 80) : C(76, 130, 55));
  Layer s(32, 32);
  Rng r(seed);
  std::vector<std::pair<double, double>> spots;
  for (int i = 0; i < count; ++i) spots.push_back({3 + r.Unit() * 26, 8 + r.Unit() * 22});
  std::sort(spots.begin(), spots.end(), [](auto a, auto b) { return a.second < b.second; });
  for (auto [x, y] : spots) {
    Rgb tint = Scale(leaves, 0.85 + r.Unit() * 0.3);
    Tree(s, x, y, 3 + r.Unit() * 1.5, tint, kind, r);
  }
  s.Bevel(1.2, 0.75);
  s.Outline(C(30, 45, 25));
  tile.Over(s.Enlarged(2));
  return tile;
}

Layer Water(std::uint64_t seed, Rgb base) {
  Layer w = Noisy(64, 64, base, 0.35, 16, seed);
  Rng r(seed);
  for (int i = 0; i < 12; ++i) {
    double x = r.Unit() * 56, y = r.Unit() * 60;
    w.Paint(
        [=](double px, double py) {
          return px > x && px < x + 8 && std::abs(py - y - std::sin((px - x) * 0.8)) < 0.5;
        },
        Scale(base, 1.45));
  }
  return w;
}

void House(Layer& s, double x, double y, Rgb roof) {
  s.Rect(x - 4, y - 5, x + 4, y, C(215, 195, 160));
  s.Polygon({{x - 5.5, y - 5}, {x + 5.5, y - 5}, {x, y - 10}}, roof);
  s.Rect(x - 1, y - 3, x + 1, y, C(90, 60, 35));
  s.Rect(x + 2, y - 4, x + 3.5, y - 2.5, C(90, 140, 190));
}

// ---- Tiles drawn whole ------------------------------------------------------------------------

Layer Plain(std::uint64_t seed) {
  Rng r(seed);
  Layer g = Grass(seed);
  for (int i = 0; i < 6; ++i)
    g.Disc(r.Unit() * 64, r.Unit() * 64, 1, i % 2 ? C(250, 240, 120) : C(240, 240, 250));
  return g;
}

Layer Swamp(std::uint64_t seed) {
  Rng r(seed);
  Layer t = Noisy(64, 64, C(90, 100, 55), 0.5, 10, seed);
  for (int i = 0; i < 6; ++i)
    t.Ellipse(r.Unit() * 64, r.Unit() * 64, 5 + r.Unit() * 6, 3 + r.Unit() * 3, C(60, 80, 70));
  for (int i = 0; i < 14; ++i) {
    double x = r.Unit() * 64, y = r.Unit() * 64;
    t.Line(x, y, x + 1, y - 5, 1, C(130, 120, 60));
  }
  return t;
}

Layer Desert(std::uint64_t seed) {
  Rng r(seed);
  Layer t = Noisy(64, 64, C(220, 190, 120), 0.2, 16, seed);
  for (int i = 0; i < 5; ++i) {
    double y0 = 8 + i * 12 + r.Unit() * 4;
    t.Paint([=](double x, double y) { return std::abs(y - y0 - 3 * std::sin(x / 9 + i)) < 0.7; },
            C(190, 155, 90));
  }
  return t;
}

Layer Road(std::uint64_t seed) {
  Rng r(seed);
  Layer t = Grass(seed);
  t.Paint([](double x, double y) { return std::abs(y - 32 - 6 * std::sin(x / 12)) < 7; },
          [&t](int x, int y) { return Mix(t.At(x, y), C(170, 140, 95), 0.85); });
  for (int i = 0; i < 20; ++i) {
    double x = r.Unit() * 64;
    t.Put(static_cast<int>(x), static_cast<int>(32 + 6 * std::sin(x / 12) + (r.Unit() - 0.5) * 10),
          C(130, 110, 80));
  }
  return t;
}

// ---- Features on grass, drawn at half resolution ----------------------------------------------

void Hills(Layer& s) {
  for (auto hill : {std::tuple{9.0, 14.0, 8.0}, {23.0, 20.0, 9.0}, {11.0, 28.0, 7.0}}) {
    double x = std::get<0>(hill), y = std::get<1>(hill), w = std::get<2>(hill);
    s.Paint(
        [=](double px, double py) {
          double dx = (px - x) / w, dy = (py - y) / (w * 0.7);
          return py < y && dx * dx + dy * dy <= 1;
        },
        [=](int px, int) { return px < x ? C(120, 170, 80) : C(90, 135, 60); });
  }
}

// Two peaks; high ones are steeper and capped with snow.
void Mountains(Layer& s, bool high) {
  for (auto [x, y, w] : {std::tuple{10.0, 26.0, 9.0}, {21.0, 30.0, 11.0}}) {
    double peak = y - w * (high ? 2.2 : 1.6);
    s.Polygon({{x - w, y}, {x, peak}, {x, y}}, C(150, 140, 130));
    s.Polygon({{x, peak}, {x + w, y}, {x, y}}, C(105, 98, 92));
    if (high)
      s.Polygon({{x - w * 0.3, peak + w * 0.65}, {x, peak}, {x + w * 0.3, peak + w * 0.65}},
                C(245, 248, 255));
  }
}

void Village(Layer& s, Rgb roof) {
  s.Line(0, 26, 32, 22, 3, C(170, 140, 95));
  House(s, 9, 15, roof);
  House(s, 23, 13, roof);
  House(s, 15, 28, roof);
}

void Ruin(Layer& s) {
  Rgb stone = C(150, 145, 135);
  s.Rect(5, 12, 8, 26, stone);
  s.Rect(5, 23, 20, 26, stone);
  s.Rect(17, 18, 20, 26, stone);
  s.Rect(24, 8, 27, 26, stone);
  s.Rect(11, 27, 14, 29, Scale(stone, 0.8));
  s.Rect(21, 27, 23, 29, Scale(stone, 0.8));
}

void Castle(Layer& s) {
  Rgb stone = C(170, 165, 155);
  s.Rect(6, 12, 26, 27, stone);
  for (double x : {4.0, 22.0}) s.Rect(x, 7, x + 6, 27, Scale(stone, 1.08));
  for (double x = 4; x < 28; x += 2)
    s.Rect(x, 5 + (x > 9 && x < 22 ? 5 : 0), x + 1, 7 + (x > 9 && x < 22 ? 5 : 0), stone);
  s.Rect(13.5, 19, 18.5, 27, C(70, 50, 30));
  s.Rect(15.5, 1, 16.5, 12, C(90, 70, 50));
  s.Rect(16.5, 1, 21, 4, C(200, 40, 40));
}

// A cave mouth; a mine has a timber frame and rails, an iron mine ore beside them.
void Cave(Layer& s, bool timbered, bool ore) {
  Rgb rock = C(130, 120, 110);
  s.Ellipse(16, 22, 14, 12, rock);
  s.Ellipse(16, 25, 6, 7, C(20, 15, 15));
  if (timbered) {
    s.Rect(9, 17, 11, 30, C(130, 90, 50));
    s.Rect(21, 17, 23, 30, C(130, 90, 50));
    s.Rect(8, 16, 24, 18, C(130, 90, 50));
    s.Line(16, 30, 16, 32, 3, C(90, 90, 95));
  }
  if (ore)
    for (int i = 0; i < 5; ++i) s.Disc(4 + i * 6, 29, 1.5, C(160, 90, 70));
}

void Well(Layer& s) {
  s.Ellipse(16, 21, 8, 4, C(150, 150, 155));
  s.Ellipse(16, 20, 5.5, 2.5, C(30, 50, 90));
  s.Rect(8, 21, 24, 25, C(150, 150, 155));
  s.Rect(8.5, 8, 10, 21, C(110, 75, 40));
  s.Rect(22, 8, 23.5, 21, C(110, 75, 40));
  s.Polygon({{5, 9}, {27, 9}, {16, 3}}, C(170, 60, 40));
  s.Line(16, 9, 16, 16, 0.6, C(200, 190, 150));
  s.Rect(14.5, 15, 17.5, 17, C(120, 85, 50));
}

// ---- Which tile is drawn how ------------------------------------------------------------------

struct ForestArt {
  std::string_view stem;
  Rgb leaves;
  int kind;  // of tree: 0 leafy, 1 pine, 2 bare and grey, 3 in fruit
  int count;
};
constexpr ForestArt Forests[] = {
    {"forest", {40, 110, 40}, 0, 9},        {"forest_fruit", {50, 125, 45}, 3, 7},
    {"forest_gray", {110, 125, 100}, 2, 8}, {"forest_leaf", {110, 170, 50}, 0, 8},
    {"forest_b", {30, 90, 50}, 1, 10},      {"forest_c", {60, 120, 40}, 1, 14},
};

struct WaterArt {
  std::string_view stem;
  Rgb base;
};
constexpr WaterArt Waters[] = {{"water", {50, 110, 200}}, {"water_deep", {25, 55, 140}}};

struct VillageArt {
  std::string_view stem;
  Rgb roof;
};
constexpr VillageArt Villages[] = {
    {"village_b", {150, 90, 50}},      {"village_b_yellow", {230, 200, 50}},
    {"village_b_blue", {60, 90, 200}}, {"village_b_green", {60, 160, 60}},
    {"village_b_red", {200, 50, 40}},
};

struct TileArt {
  std::string_view stem;
  Layer (*draw)(std::uint64_t seed);
};
constexpr TileArt Tiles[] = {
    {"plain", Plain}, {"swamp_a", Swamp}, {"desert_a", Desert}, {"road_b", Road}};

struct FeatureArt {
  std::string_view stem;
  void (*draw)(Layer& s);
};
constexpr FeatureArt Features[] = {
    {"hills_a", Hills},
    {"mountain", [](Layer& s) { Mountains(s, false); }},
    {"mountain_high_a", [](Layer& s) { Mountains(s, true); }},
    {"ruin_a", Ruin},
    {"castle_a", Castle},
    {"grottus", [](Layer& s) { Cave(s, false, false); }},
    {"mine", [](Layer& s) { Cave(s, true, false); }},
    {"iron_mine", [](Layer& s) { Cave(s, true, true); }},
    {"well", Well},
};

}  // namespace

Layer DrawLand(const std::string& n) {
  std::uint64_t seed = HashName(n);
  if (const TileArt* a = FindStem(Tiles, n)) return a->draw(seed);
  if (const ForestArt* a = FindStem(Forests, n)) return Forest(seed, a->leaves, a->kind, a->count);
  if (const WaterArt* a = FindStem(Waters, n)) return Water(seed, a->base);
  Layer tile = Grass(seed);
  Layer s(32, 32);
  if (const VillageArt* a = FindStem(Villages, n)) Village(s, a->roof);
  if (const FeatureArt* a = FindStem(Features, n)) a->draw(s);
  s.Bevel(1.2, 0.75);
  s.Outline(C(35, 40, 30));
  tile.Over(s.Enlarged(2));
  return tile;
}

}  // namespace assetart
