// Structures: 128 x 128 buildings on a meadow, drawn at 64 x 64.

#include <cmath>
#include <string_view>

#include "families.h"

namespace assetart {

namespace {

void Building(Layer& s, double x0, double x1, double ground, double wallTop, Rgb wall, Rgb roof,
              double roofRise) {
  s.Rect(x0, wallTop, x1, ground, wall);
  s.Polygon({{x0 - 3, wallTop}, {x1 + 3, wallTop}, {(x0 + x1) / 2, wallTop - roofRise}}, roof);
  for (double x = x0 + 3; x + 3 < x1; x += 8)
    s.Rect(x, wallTop + 4, x + 3, wallTop + 8, C(70, 110, 160));
}

constexpr Rgb Stone{165, 160, 150}, Wood{140, 95, 55}, Plaster{225, 210, 175};
constexpr double Ground = 56;  // the foot of the walls

void Hearth(Layer& s) {
  for (int i = 0; i < 10; ++i) {
    double a = i * pi / 5;
    s.Disc(32 + 11 * std::cos(a), 44 + 5 * std::sin(a), 2.6, C(140, 135, 130));
  }
  s.Ellipse(32, 44, 8, 3.5, C(60, 40, 30));
  s.Polygon({{25, 45}, {39, 45}, {36, 30}, {32, 35}, {29, 27}}, C(240, 110, 30));
  s.Polygon({{28, 45}, {36, 45}, {32, 34}}, C(255, 210, 70));
  s.Line(20, 48, 28, 22, 1.5, C(80, 60, 40));
  s.Line(44, 48, 36, 22, 1.5, C(80, 60, 40));
  s.Line(28, 22, 36, 22, 1.5, C(80, 60, 40));
  s.Ellipse(32, 28, 4, 3.5, C(60, 60, 65));
}

void Farm(Layer& s) {
  for (int r = 0; r < 5; ++r) s.Rect(4, 44 + r * 3, 28, 45.5 + r * 3, C(200, 180, 70));
  Building(s, 32, 58, Ground, 34, C(170, 50, 40), C(90, 50, 40), 14);
  s.Rect(41, 44, 49, Ground, C(240, 230, 220));
  s.Line(41, 44, 49, Ground, 0.8, C(170, 50, 40));
  s.Line(49, 44, 41, Ground, 0.8, C(170, 50, 40));
}

void Merchant(Layer& s) {
  Building(s, 10, 54, Ground, 30, Plaster, C(120, 70, 40), 12);
  s.Rect(8, 36, 56, 40, C(230, 230, 220));
  for (double x = 8; x < 56; x += 6) s.Rect(x, 36, x + 3, 40, C(40, 120, 200));
  s.Rect(12, 46, 52, 49, Wood);
  for (int i = 0; i < 6; ++i) s.Disc(16 + i * 6, 45, 1.8, i % 2 ? C(220, 60, 50) : C(240, 200, 60));
}

void Quarry(Layer& s) {
  s.Ellipse(32, 46, 28, 13, C(120, 110, 100));
  s.Ellipse(32, 48, 20, 8, C(80, 72, 66));
  for (int i = 0; i < 5; ++i)
    s.Rect(12 + i * 9, 30 - (i % 2) * 3, 18 + i * 9, 35 - (i % 2) * 3, Stone);
  s.Line(52, 20, 52, 46, 1.5, Wood);
  s.Line(52, 20, 40, 38, 1, Wood);
}

void Stable(Layer& s) {
  Building(s, 6, 58, Ground, 32, Wood, C(170, 130, 60), 10);
  for (double x : {12.0, 28.0, 44.0}) s.Rect(x, 42, x + 10, Ground, C(70, 45, 25));
  s.Ellipse(18, 44, 2.5, 2, C(150, 100, 60));
  s.Rect(17, 44, 19.5, 49, C(150, 100, 60));
}

void Tower(Layer& s) {
  s.Rect(22, 14, 42, Ground, Stone);
  for (double x = 20; x < 44; x += 4) s.Rect(x, 8, x + 2, 14, Stone);
  s.Rect(20, 12, 44, 15, Scale(Stone, 1.1));
  s.Rect(29, 44, 35, Ground, C(80, 55, 30));
  for (double y : {22.0, 33.0}) s.Rect(30.5, y, 33.5, y + 5, C(30, 30, 40));
}

void Barrack(Layer& s) {
  Building(s, 4, 60, Ground, 36, C(150, 120, 90), C(110, 60, 40), 9);
  for (double x : {12.0, 50.0}) {
    s.Line(x, 27, x, 12, 0.9, C(90, 70, 50));
    s.Rect(x, 12, x + 7, 17, C(200, 40, 40));
  }
  s.Rect(28, 46, 36, Ground, C(80, 55, 30));
}

void Blacksmith(Layer& s) {
  Building(s, 8, 50, Ground, 32, Stone, C(80, 75, 80), 12);
  s.Rect(40, 12, 46, 26, C(120, 70, 60));
  s.Disc(44, 9, 3, C(180, 180, 180));
  s.Disc(47, 5, 2.3, C(200, 200, 200));
  s.Polygon({{50, 50}, {62, 50}, {60, 47}, {52, 47}}, C(60, 60, 65));
  s.Rect(54, 50, 58, Ground, C(60, 60, 65));
  s.Rect(18, 42, 26, Ground, C(240, 140, 40));
}

void Castle(Layer& s) {
  s.Rect(8, 26, 56, Ground, Stone);
  for (double x : {4.0, 46.0}) {
    s.Rect(x, 14, x + 14, Ground, Scale(Stone, 1.08));
    for (double cx = x; cx < x + 14; cx += 4) s.Rect(cx, 10, cx + 2, 14, Scale(Stone, 1.08));
    s.Rect(x + 5.5, 22, x + 8.5, 28, C(30, 30, 40));
  }
  for (double x = 18; x < 46; x += 4) s.Rect(x, 22, x + 2, 26, Stone);
  s.Paint(
      [](double x, double y) {
        return x > 26 && x < 38 && y < 56 && (y > 44 || std::hypot(x - 32, y - 44) < 6);
      },
      C(70, 50, 30));
  s.Line(32, 22, 32, 4, 1.3, C(90, 70, 50));
  s.Rect(32, 4, 42, 9, C(40, 70, 190));
}

void Church(Layer& s) {
  Building(s, 8, 44, Ground, 30, Plaster, C(150, 60, 50), 12);
  s.Rect(44, 18, 58, Ground, Plaster);
  s.Polygon({{42, 18}, {60, 18}, {51, 2}}, C(150, 60, 50));
  s.Line(51, 2, 51, -4, 1, C(230, 190, 60));
  s.Paint(
      [](double x, double y) {
        return x > 47 && x < 55 && y < 56 && (y > 44 || std::hypot(x - 51, y - 44) < 4);
      },
      C(90, 60, 35));
  s.Disc(51, 28, 3, C(200, 90, 160));
}

struct StructureArt {
  std::string_view stem;
  void (*draw)(Layer& s);
};
constexpr StructureArt Structures[] = {
    {"hart", Hearth},
    {"structure_farm", Farm},
    {"structure_merchant", Merchant},
    {"structure_quary", Quarry},
    {"structure_stable", Stable},
    {"structure_tower", Tower},
    {"structure_barrack", Barrack},
    {"structure_blacksmith", Blacksmith},
    {"structure_castle", Castle},
    {"structure_church", Church},
};

}  // namespace

// The building alone, 64 x 64, shaded and outlined.
Layer StructureSprite(std::string_view n) {
  Layer s(64, 64);
  if (const StructureArt* a = FindStem(Structures, n)) a->draw(s);
  s.Bevel(1.2, 0.72);
  s.Outline(C(35, 35, 30));
  return s;
}

Layer DrawStructure(const std::string& n) {
  Layer big = Noisy(128, 128, C(96, 150, 70), 0.4, 18, HashName(n));
  big.Over(StructureSprite(n).Enlarged(2));
  return big;
}

}  // namespace assetart
