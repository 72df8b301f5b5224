// Items: 32 x 32 icons of weapons, potions, garments and bags, shown at 64 x 64 in an
// inventory cell, and the cell pictures around them.

#include <cmath>
#include <functional>
#include <string_view>

#include "families.h"

namespace assetart {

namespace {

// Draws a long object lying diagonally from the lower left to the upper right. shape(u, v)
// gives the colour at distance u along the object (0 to length) and v across it, or false.
template <class Shape>
Layer Diagonal(double length, Shape shape) {
  Layer s(32, 32);
  double x0 = 16 - length / (2 * std::sqrt(2.0)), y0 = 16 + length / (2 * std::sqrt(2.0));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      double dx = x + 0.5 - x0, dy = y0 - (y + 0.5);
      double u = (dx + dy) / std::sqrt(2.0), v = (dy - dx) / std::sqrt(2.0);
      Rgb col;
      if (shape(u, v, &col)) s.Put(x, y, col);
    }
  return s;
}

struct Blade {
  double length = 24;  // whole weapon
  double width = 2.2;  // blade half width
  double curve = 0;    // sideways bend of the blade towards its tip
  Rgb steel{200, 205, 220};
  Rgb hilt{110, 70, 40};
  Rgb guard{200, 170, 60};
  double guardWidth = 4;
  double grip = 5;
  bool twoBlades = false;
  bool serrated = false;
  bool glow = false;
};

Layer DrawBlade(const Blade& b) {
  return Diagonal(b.length, [&b](double u, double v, Rgb* col) {
    double bladeStart = b.grip + 1.5;
    if (u < 0 || u > b.length) return false;
    if (u < 1.5) {
      if (std::abs(v) < 1.5) return *col = b.guard, true;
      return false;
    }
    if (u < b.grip) {
      if (std::abs(v) < 0.9)
        return *col = (static_cast<int>(u) % 2 ? b.hilt : Scale(b.hilt, 0.7)), true;
      return false;
    }
    if (u < bladeStart) {
      if (std::abs(v) < b.guardWidth) return *col = b.guard, true;
      return false;
    }
    double t = (u - bladeStart) / (b.length - bladeStart);
    double centre = b.curve * t * t;
    double half = b.width * (t > 0.8 ? (1 - t) / 0.2 : 1);
    if (b.serrated && static_cast<int>(u) % 3 == 0) half += 0.6;
    auto edge = [&](double c) {
      double d = v - c;
      if (std::abs(d) > half) return false;
      Rgb base = b.glow ? Mix(b.steel, C(120, 220, 255), 0.4) : b.steel;
      *col = d < -half * 0.2 ? Scale(base, 0.75) : (std::abs(d) < 0.5 ? Scale(base, 1.2) : base);
      return true;
    };
    if (b.twoBlades) return edge(centre + b.width * 1.1) || edge(centre - b.width * 1.1);
    return edge(centre);
  });
}

Layer DrawHafted(double length, Rgb shaft, const std::function<bool(double, double, Rgb*)>& head) {
  return Diagonal(length, [&](double u, double v, Rgb* col) {
    if (head(u, v, col)) return true;
    if (u >= 0 && u <= length && std::abs(v) < 0.9) {
      *col = static_cast<int>(u / 2) % 3 == 0 ? Scale(shaft, 0.8) : shaft;
      return true;
    }
    return false;
  });
}

Layer DrawPotion(Rgb liquid) {
  Layer s(32, 32);
  Rgb glass = C(200, 220, 230);
  s.Rect(13, 6, 19, 13, glass);
  s.Rect(12, 4, 20, 7, C(140, 100, 60));  // cork
  s.Disc(16, 20, 9, glass);
  s.Paint(
      [](double x, double y) {
        double dx = x - 16, dy = y - 20;
        return dx * dx + dy * dy <= 64 && y > 16;
      },
      [liquid](int, int y) { return Scale(liquid, 1.2 - (y - 16) * 0.04); });
  s.Line(16 - 6.5, 16.5, 16 + 6.5, 16.5, 0.8, Scale(liquid, 1.35));
  s.Ellipse(12, 17, 1.2, 3, C(255, 255, 255));
  return s;
}

Layer DrawGarment(Rgb cloth, bool robe, int pattern, Rgb trim) {
  Layer s(32, 32);
  double bottom = robe ? 30 : 24;
  s.Polygon({{10, 5},
             {22, 5},
             {29, 9},
             {27, 15},
             {23, 13},
             {23 + (robe ? 3 : 0), bottom},
             {9 - (robe ? 3 : 0), bottom},
             {9, 13},
             {5, 15},
             {3, 9}},
            cloth);
  s.Ellipse(16, 5, 3.5, 2, C(0, 0, 0));
  s.Erase(15, 5);
  s.Erase(16, 5);
  s.Erase(17, 5);
  s.Erase(14, 5);
  Layer copy = s;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (!copy.Has(x, y)) continue;
      Rgb c = copy.At(x, y);
      switch (pattern) {
        case 1:  // studs
          if (x % 4 == 1 && y % 4 == 1 && y > 6) s.Put(x, y, C(220, 210, 160));
          break;
        case 2:  // rings
          if ((x + y) % 2 == 0) s.Put(x, y, Scale(c, 0.75));
          break;
        case 3:  // scales
          if ((y % 3 == 0) || ((x + (y / 3) % 2 * 2) % 4 == 0)) s.Put(x, y, Scale(c, 0.7));
          break;
        case 4:  // plates
          if (y % 5 == 0 || x == 16)
            s.Put(x, y, Scale(c, 0.65));
          else if (x < 16)
            s.Put(x, y, Scale(c, 1.2));
          break;
        case 5:  // runes
          if ((x * 7 + y * 3) % 11 == 0 && y > 7) s.Put(x, y, C(120, 255, 240));
          break;
        default:
          break;
      }
    }
  if (robe)
    s.Rect(8, 16, 24, 18, trim);
  else
    s.Rect(9, bottom - 2, 23, bottom, trim);
  if (pattern >= 4) {  // shoulder plates
    s.Ellipse(6, 9, 4, 3, Scale(cloth, 1.15));
    s.Ellipse(26, 9, 4, 3, Scale(cloth, 1.15));
  }
  return s;
}

Layer DrawBag(Rgb cloth) {
  Layer s(32, 32);
  s.Ellipse(16, 21, 10, 9, cloth);
  s.Polygon({{12, 12}, {20, 12}, {22, 5}, {18, 8}, {16, 4}, {14, 8}, {10, 5}}, cloth);
  s.Rect(11, 11, 21, 13, C(200, 170, 80));
  s.Line(11, 22, 21, 22, 0.6, Scale(cloth, 0.75));
  s.Disc(16, 22, 2, C(230, 200, 70));
  return s;
}

Layer ItemBackground(std::uint64_t seed) {
  Layer bg = Noisy(64, 64, C(70, 52, 38), 0.25, 8, seed);
  for (int i = 0; i < 64; ++i)
    for (int k = 0; k < 3; ++k) {
      bg.Put(i, k, Scale(bg.At(i, k), 0.55));
      bg.Put(k, i, Scale(bg.At(k, i), 0.55));
      bg.Put(i, 63 - k, Scale(bg.At(i, 63 - k), 1.3));
      bg.Put(63 - k, i, Scale(bg.At(63 - k, i), 1.3));
    }
  return bg;
}

// ---- Which item is drawn how ------------------------------------------------------------------

constexpr Rgb Wood{125, 85, 45}, Iron{150, 150, 160}, Steel{200, 205, 220};

struct BladeArt {
  std::string_view stem;
  Blade blade;
};
constexpr BladeArt Blades[] = {
    {"item_knife", {.length = 14, .width = 1.4, .guardWidth = 1.2, .grip = 4}},
    {"item_dagger", {.length = 17, .width = 1.6, .guardWidth = 3}},
    {"item_short_sword", {.length = 22, .width = 2}},
    {"item_gauche", {.length = 19, .width = 1.4, .guard = {200, 200, 210}, .guardWidth = 5}},
    {"item_long_sword", {.length = 30, .width = 2}},
    {"item_bastard_sword", {.length = 33, .width = 2.3, .hilt = {60, 40, 30}, .grip = 7}},
    {"item_kopesh", {.length = 24, .width = 2.4, .curve = -5, .guardWidth = 2}},
    {"item_blade", {.length = 26, .width = 2.6, .curve = 1.5}},
    {"item_blade_ameliorated",
     {.length = 27, .width = 2.6, .curve = 1.5, .guard = {240, 210, 80}, .glow = true}},
    {"item_behead", {.length = 28, .width = 4, .steel = {170, 170, 180}}},
    {"item_broad_sword", {.length = 28, .width = 3.2}},
    {"item_horner", {.length = 26, .width = 2, .steel = {210, 200, 170}, .serrated = true}},
    {"item_saber", {.length = 27, .width = 1.8, .curve = 3.5, .guard = {220, 200, 90}}},
    {"item_saber_ameliorated",
     {.length = 28, .width = 1.8, .curve = 3.5, .guard = {240, 90, 90}, .glow = true}},
    {"item_whale_blade",
     {.length = 31, .width = 3.5, .curve = 2, .steel = {225, 225, 235}, .hilt = {40, 60, 110}}},
    {"item_whale_blade_ameliorated",
     {.length = 32,
      .width = 3.5,
      .curve = 2,
      .steel = {225, 225, 235},
      .hilt = {40, 60, 110},
      .glow = true}},
    {"item_two_handed_sword", {.length = 36, .width = 2.4, .guardWidth = 6, .grip = 9}},
    {"item_two_bladed_sword", {.length = 32, .width = 1.5, .grip = 7, .twoBlades = true}},
    {"item_two_bladed_sword_ameliorated",
     {.length = 33,
      .width = 1.5,
      .guard = {90, 200, 240},
      .grip = 7,
      .twoBlades = true,
      .glow = true}},
};

// A ball on a stick, with or without spikes.
struct MaceArt {
  std::string_view stem;
  double radius;
  bool spikes;
  Rgb head;
};
constexpr MaceArt Maces[] = {
    {"item_morningstar", 4, true, Iron},
    {"item_mace", 4, false, Iron},
    {"item_war_mace", 5, true, {120, 120, 130}},
};

// A shaft with a gem at its end.
struct RodArt {
  std::string_view stem;
  double length;
  Rgb gem, shaft;
};
constexpr RodArt Rods[] = {
    {"item_staff", 36, {80, 200, 255}, Wood},
    {"item_rod", 26, {230, 60, 60}, Wood},
    {"item_wand", 18, {250, 230, 90}, {235, 225, 200}},
};

struct AxeArt {
  std::string_view stem;
  double length;
  bool doubleHead;
  Rgb head;
};
constexpr AxeArt Axes[] = {
    {"item_hand_axe", 20, false, Steel},
    {"item_axe", 25, false, Steel},
    {"item_battle_axe", 32, true, Steel},
    {"item_iron_battle_axe", 32, true, {120, 125, 140}},
    {"item_iron_ordered_battle_axe", 32, true, {220, 200, 120}},
    {"item_iron_rubioux_battle_axe", 32, true, {200, 80, 70}},
};

struct PotionArt {
  std::string_view stem;
  Rgb liquid;
};
constexpr PotionArt Potions[] = {
    {"item_potion_red", {210, 30, 40}},     {"item_potion_green", {50, 190, 60}},
    {"item_potion_blue", {40, 80, 220}},    {"item_potion_yellow", {240, 210, 40}},
    {"item_potion_white", {235, 235, 240}},
};

// Robes and armour; the pattern is one of DrawGarment's.
struct GarmentArt {
  std::string_view stem;
  Rgb cloth;
  bool robe;
  int pattern;
  Rgb trim;
};
constexpr GarmentArt Garments[] = {
    {"item_blue_robe", {50, 70, 170}, true, 0, {230, 200, 80}},
    {"item_red_robe", {170, 40, 40}, true, 0, {40, 30, 30}},
    {"item_gray_robe", {130, 130, 130}, true, 0, {90, 60, 40}},
    {"item_leather_armor", {140, 95, 55}, false, 0, {90, 60, 35}},
    {"item_studded_leather_armor", {120, 80, 45}, false, 1, {90, 60, 35}},
    {"item_chain_mail", {170, 175, 185}, false, 2, {120, 120, 130}},
    {"item_scale_armor_b", {150, 160, 120}, false, 3, {110, 90, 50}},
    {"item_plate_armor", {185, 190, 205}, false, 4, {150, 150, 165}},
    {"item_full_plate_armor", {200, 200, 215}, true, 4, {200, 170, 70}},
    {"item_magic_armor", {90, 50, 150}, false, 5, {230, 200, 80}},
};

struct BagArt {
  std::string_view stem;
  Rgb cloth;
};
constexpr BagArt Bags[] = {{"item_bag", {150, 110, 60}}, {"item_blue_bag", {60, 90, 170}}};

Layer DrawMace(const MaceArt& m) {
  double r = m.radius;
  bool spikes = m.spikes;
  Rgb head = m.head;
  return DrawHafted(26, Wood, [=](double u, double v, Rgb* c) {
    double du = u - (26 - r), d2 = du * du + v * v;
    if (d2 <= r * r) return *c = (du < 0 && v < 0 ? Scale(head, 0.8) : head), true;
    if (spikes) {
      double a = std::atan2(v, du), d = std::sqrt(d2);
      if (d < r + 2.5 && std::abs(std::remainder(a, pi / 4)) < 0.18) return *c = Steel, true;
    }
    return false;
  });
}

Layer DrawRod(const RodArt& rod) {
  double len = rod.length;
  Rgb gem = rod.gem;
  return DrawHafted(len, rod.shaft, [=](double u, double v, Rgb* c) {
    double du = u - (len - 2.5);
    if (du * du + v * v <= 6) return *c = (du + v < 0 ? gem : Scale(gem, 1.4)), true;
    return false;
  });
}

Layer DrawAxe(const AxeArt& axe) {
  double len = axe.length;
  bool doubleHead = axe.doubleHead;
  Rgb head = axe.head;
  double size = doubleHead ? 6 : 5;
  return DrawHafted(len, Wood, [=](double u, double v, Rgb* c) {
    double du = u - (len - 5);
    bool right = v > 0 && v < size && std::abs(du) < 2 + v * 0.6;
    bool left = doubleHead && v < 0 && v > -size && std::abs(du) < 2 - v * 0.6;
    if (right || left) {
      *c = std::abs(v) > size - 1.3 ? Scale(head, 1.3) : head;
      return true;
    }
    return false;
  });
}

Layer Glaive() {
  return DrawHafted(36, C(120, 80, 45), [](double u, double v, Rgb* c) {
    if (u > 24 && u < 36 && v > -1 && v < 2.5 + (u - 24) * 0.15 - (u > 33 ? (u - 33) : 0))
      return *c = C(210, 210, 225), true;
    return false;
  });
}

Layer Maul() {
  return DrawHafted(28, Wood, [](double u, double v, Rgb* c) {
    return u > 20 && u < 28 && std::abs(v) < 5 ? (*c = Iron, true) : false;
  });
}

// Drawings of their own, for the items that fit none of the kinds above.
struct SpecialArt {
  std::string_view stem;
  Layer (*draw)();
};
constexpr SpecialArt Specials[] = {{"item_glaive", Glaive}, {"item_maul", Maul}};

}  // namespace

Layer DrawItemSprite(std::string_view n) {
  if (const BladeArt* a = FindStem(Blades, n)) return DrawBlade(a->blade);
  if (const MaceArt* a = FindStem(Maces, n)) return DrawMace(*a);
  if (const RodArt* a = FindStem(Rods, n)) return DrawRod(*a);
  if (const AxeArt* a = FindStem(Axes, n)) return DrawAxe(*a);
  if (const PotionArt* a = FindStem(Potions, n)) return DrawPotion(a->liquid);
  if (const GarmentArt* a = FindStem(Garments, n))
    return DrawGarment(a->cloth, a->robe, a->pattern, a->trim);
  if (const BagArt* a = FindStem(Bags, n)) return DrawBag(a->cloth);
  if (const SpecialArt* a = FindStem(Specials, n)) return a->draw();
  return Layer(32, 32);
}

Layer DrawItem(const std::string& stem) {
  Layer bg = ItemBackground(HashName(stem));
  if (stem == "blank") return bg;
  if (stem == "socket") {
    Layer s(32, 32);
    s.Disc(16, 16, 10, C(60, 60, 70));
    s.Disc(16, 16, 7, C(15, 15, 20));
    s.Bevel(0.6, 1.4);
    s.Disc(14, 14, 1.2, C(70, 70, 90));
    bg.Over(s.Enlarged(2));
    return bg;
  }
  if (stem.rfind("alleviated_corner", 0) == 0) {
    // A gilded corner ornament; the digit says which corner.
    int corner = stem.back() - '1';
    Layer s(32, 32);
    s.Rect(2, 2, 30, 6, C(210, 170, 60));
    s.Rect(2, 2, 6, 30, C(210, 170, 60));
    s.Line(8, 8, 18, 8, 1, C(240, 210, 110));
    s.Line(8, 8, 8, 18, 1, C(240, 210, 110));
    s.Disc(4, 4, 3, C(250, 225, 120));
    s.Disc(18, 10, 1.5, C(180, 30, 40));
    s.Disc(10, 18, 1.5, C(180, 30, 40));
    s.Bevel();
    Layer turned(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        int tx = (corner == 1 || corner == 2) ? 31 - x : x;
        int ty = (corner == 2 || corner == 3) ? 31 - y : y;
        if (s.Has(x, y)) turned.Put(tx, ty, s.At(x, y));
      }
    bg.Over(turned.Enlarged(2));
    return bg;
  }
  Layer s = DrawItemSprite(stem);
  bg.Over(Sprite(s, C(25, 18, 12)));
  return bg;
}

}  // namespace assetart
