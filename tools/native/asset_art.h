// The game's picture assets, drawn by program: small procedural pixel art for every file of
// the asset catalogue (units, land and dungeon tiles, structures, items, the cursor cross, the
// intro screen and the cube textures), written as 24-bit BMP files. Shared by make_assets and
// the tests.
//
// Everything is deterministic: the variety comes from a hash of each file's stem, never from
// time or addresses, so the same sources always give byte-identical files.
#pragma once

#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "asset_pixels.h"
#include "pictures/asset_catalogue.h"

namespace assetart {

constexpr double pi = 3.14159265358979323846;

// ---- Units: 32 x 32 sprites shown at 64 x 64 on a dark floor ---------------------------------

struct Figure {
  Rgb skin = C(222, 180, 140);
  Rgb shirt = C(120, 80, 50);
  Rgb pants = C(80, 60, 40);
  Rgb hair = C(70, 45, 25);
  double height = 22;  // pixels from the feet up
  double girth = 1;    // torso width factor
  enum Head { bare, hairy, pointedHat, helmet, hood, horns, crown, snakes, bigHead, bullHead };
  Head head = hairy;
  enum Weapon { none, sword, staff, axe, dagger, club, mace, bow };
  Weapon weapon = none;
  Rgb weaponColour = C(200, 200, 215);
  bool shield = false;
  bool robe = false;
  bool beard = false;
  bool ears = false;
  bool tusks = false;
  bool tail = false;  // a serpent's tail instead of legs
  Rgb eyes = C(20, 20, 20);
};

inline void DrawWeapon(Layer& s, Figure::Weapon weapon, double hx, double hy, double height,
                       Rgb metal) {
  Rgb wood = C(120, 80, 40);
  double top = hy - height * 0.55;
  switch (weapon) {
    case Figure::none:
      break;
    case Figure::sword:
      s.Line(hx, hy + 1, hx, hy - 2, 1.2, C(90, 60, 30));
      s.Line(hx - 2, hy - 2, hx + 2, hy - 2, 1.2, C(200, 170, 60));
      s.Line(hx, hy - 3, hx, top, 1.8, metal);
      break;
    case Figure::staff:
      s.Line(hx, hy + 5, hx, top - 2, 1.3, wood);
      s.Disc(hx, top - 3, 1.8, metal);
      break;
    case Figure::axe:
      s.Line(hx, hy + 3, hx, top, 1.3, wood);
      s.Polygon({{hx, top}, {hx + 5, top - 2}, {hx + 5, top + 5}, {hx, top + 3}}, metal);
      break;
    case Figure::dagger:
      s.Line(hx, hy, hx + 3, hy - 5, 1.3, metal);
      break;
    case Figure::club:
      s.Line(hx, hy + 2, hx + 2, top, 2.2, wood);
      s.Disc(hx + 2, top, 2.6, Scale(wood, 0.8));
      break;
    case Figure::mace:
      s.Line(hx, hy + 2, hx, top + 2, 1.3, wood);
      s.Disc(hx, top + 1, 2.2, metal);
      break;
    case Figure::bow:
      for (int i = -6; i <= 6; ++i) {
        double y = hy - 3 + i;
        s.Put(static_cast<int>(hx + 2 - 0.08 * i * i), static_cast<int>(y), wood);
      }
      s.Line(hx + 2, hy - 9, hx + 2, hy + 3, 0.6, C(230, 230, 230));
      break;
  }
}

inline Layer DrawFigure(const Figure& f) {
  Layer s(32, 32);
  double feet = 29.5, top = feet - f.height, cx = 16;
  double headR = f.height * (f.head == Figure::bigHead ? 0.22 : 0.15);
  double neck = top + headR * 2;
  double hip = neck + f.height * 0.36;
  double half = f.height * 0.16 * f.girth;
  // Legs or tail.
  if (f.tail) {
    s.Polygon({{cx - half, hip - 1},
               {cx + half, hip - 1},
               {cx + 3, feet},
               {cx + 10, feet - 1},
               {cx + 12, feet - 3},
               {cx + 4, feet - 3}},
              f.skin);
  } else if (f.robe) {
    s.Polygon({{cx - half, neck + 1},
               {cx + half, neck + 1},
               {cx + half + 3, feet},
               {cx - half - 3, feet}},
              f.shirt);
  } else {
    s.Rect(cx - half, hip - 1, cx - 0.5, feet, f.pants);
    s.Rect(cx + 0.5, hip - 1, cx + half, feet, f.pants);
    s.Rect(cx - half - 1, feet - 1.5, cx - 0.5, feet, C(60, 40, 25));
    s.Rect(cx + 0.5, feet - 1.5, cx + half + 1, feet, C(60, 40, 25));
  }
  // Torso and arms.
  s.Polygon({{cx - half - 1, neck + 0.5},
             {cx + half + 1, neck + 0.5},
             {cx + half, hip},
             {cx - half, hip}},
            f.shirt);
  s.Line(cx - half - 1.5, neck + 1.5, cx - half - 2.5, hip - 1, 2, f.shirt);
  s.Line(cx + half + 1.5, neck + 1.5, cx + half + 2.5, hip - 1, 2, f.shirt);
  s.Disc(cx - half - 2.5, hip - 0.5, 1.2, f.skin);
  s.Disc(cx + half + 2.5, hip - 0.5, 1.2, f.skin);
  if (!f.robe) s.Rect(cx - half, hip - 2, cx + half, hip - 1, C(50, 35, 20));  // belt
  // Head.
  double hy = top + headR;
  if (f.head == Figure::bullHead) {
    s.Ellipse(cx, hy + 1, headR * 1.1, headR * 1.3, f.skin);
    s.Ellipse(cx, hy + headR * 0.9, headR * 0.7, headR * 0.45, Scale(f.skin, 1.2));
    s.Line(cx - headR, hy - 1, cx - headR - 3, hy - 4, 1.4, C(235, 225, 200));
    s.Line(cx + headR, hy - 1, cx + headR + 3, hy - 4, 1.4, C(235, 225, 200));
  } else {
    s.Disc(cx, hy, headR, f.skin);
  }
  if (f.ears) {
    s.Polygon({{cx - headR, hy - 1}, {cx - headR - 3, hy - 3}, {cx - headR, hy + 1}}, f.skin);
    s.Polygon({{cx + headR, hy - 1}, {cx + headR + 3, hy - 3}, {cx + headR, hy + 1}}, f.skin);
  }
  switch (f.head) {
    case Figure::hairy:
      s.Ellipse(cx, hy - headR * 0.5, headR * 1.05, headR * 0.6, f.hair);
      break;
    case Figure::pointedHat:
      s.Polygon({{cx - headR - 2, hy - headR * 0.3},
                 {cx + headR + 2, hy - headR * 0.3},
                 {cx + 1, hy - headR - 7}},
                f.hair);
      break;
    case Figure::helmet:
      s.Ellipse(cx, hy - headR * 0.35, headR * 1.1, headR * 0.75, f.hair);
      s.Rect(cx - 0.5, hy - headR * 0.4, cx + 0.5, hy + headR * 0.5, f.hair);
      break;
    case Figure::hood:
      s.Ellipse(cx, hy - headR * 0.2, headR * 1.25, headR * 1.1, f.hair);
      s.Ellipse(cx, hy + headR * 0.2, headR * 0.7, headR * 0.6, C(25, 20, 20));
      break;
    case Figure::horns:
      s.Line(cx - headR + 0.5, hy - headR * 0.6, cx - headR - 1, hy - headR - 3, 1.3, f.hair);
      s.Line(cx + headR - 0.5, hy - headR * 0.6, cx + headR + 1, hy - headR - 3, 1.3, f.hair);
      break;
    case Figure::crown:
      s.Polygon({{cx - headR, hy - headR * 0.5},
                 {cx - headR, hy - headR - 2},
                 {cx - headR / 2, hy - headR},
                 {cx, hy - headR - 3},
                 {cx + headR / 2, hy - headR},
                 {cx + headR, hy - headR - 2},
                 {cx + headR, hy - headR * 0.5}},
                C(230, 190, 40));
      break;
    case Figure::snakes:
      for (int i = -2; i <= 2; ++i)
        s.Line(cx + i * 1.4, hy - headR * 0.6, cx + i * 2.6, hy - headR - 3 + (i & 1), 1.1, f.hair);
      break;
    default:
      break;
  }
  if (f.beard) {
    s.Polygon({{cx - headR, hy}, {cx + headR, hy}, {cx, hy + headR + 5}}, f.hair);
  }
  if (f.head != Figure::hood) {
    double ey = f.head == Figure::bullHead ? hy : hy + headR * 0.1;
    s.Put(static_cast<int>(cx - headR * 0.45), static_cast<int>(ey), f.eyes);
    s.Put(static_cast<int>(cx + headR * 0.45), static_cast<int>(ey), f.eyes);
  }
  if (f.tusks) {
    s.Put(static_cast<int>(cx - 1.5), static_cast<int>(hy + headR * 0.7), C(250, 250, 230));
    s.Put(static_cast<int>(cx + 1.5), static_cast<int>(hy + headR * 0.7), C(250, 250, 230));
  }
  DrawWeapon(s, f.weapon, cx + half + 2.5, hip - 0.5, f.height, f.weaponColour);
  if (f.shield) {
    s.Ellipse(cx - half - 3, hip - 3, 3, 4, C(150, 40, 40));
    s.Line(cx - half - 3, hip - 6, cx - half - 3, hip, 1, C(220, 190, 60));
  }
  return s;
}

struct Bones {
  Rgb bone = C(225, 220, 200);
  double height = 22;
  double girth = 1;
  bool floating = false;
  bool flames = false;
  bool flesh = false;   // rotting flesh on the bones
  bool wounds = false;  // blood
  bool armour = false;
  bool shield = false;
  Figure::Weapon weapon = Figure::none;
  Rgb eyes = C(20, 10, 10);
};

inline Layer DrawBones(const Bones& b) {
  Layer s(32, 32);
  double feet = b.floating ? 25.5 : 29.5, top = feet - b.height, cx = 16;
  double headR = b.height * 0.15;
  double neck = top + headR * 2, hip = neck + b.height * 0.36;
  double half = b.height * 0.14 * b.girth, t = 1.1 * b.girth;
  Rgb bone = b.bone;
  if (b.flames) {
    Rng r(99);
    for (int i = 0; i < 14; ++i) {
      double x = cx + (r.Unit() - 0.5) * half * 4, y = neck + r.Unit() * (feet - neck);
      s.Polygon({{x - 1.5, y}, {x + 1.5, y}, {x + (r.Unit() - 0.5) * 2, y - 4 - r.Unit() * 3}},
                r.Unit() < 0.5 ? C(250, 120, 20) : C(255, 210, 60));
    }
  }
  // Legs (or a fading wisp), pelvis, spine, ribs, arms.
  if (b.floating) {
    s.Polygon({{cx - half, hip}, {cx + half, hip}, {cx + 1, feet + 3}, {cx - 2, feet}},
              Scale(bone, 0.75));
  } else {
    s.Line(cx - half * 0.6, hip, cx - half * 0.8, feet - 0.5, t, bone);
    s.Line(cx + half * 0.6, hip, cx + half * 0.8, feet - 0.5, t, bone);
    s.Rect(cx - half * 0.8 - 2, feet - 1, cx - half * 0.8 + 0.5, feet, bone);
    s.Rect(cx + half * 0.8 - 0.5, feet - 1, cx + half * 0.8 + 2, feet, bone);
  }
  s.Ellipse(cx, hip, half * 0.9, 1.4, bone);
  s.Line(cx, neck, cx, hip, t, bone);
  for (double y = neck + 1.5; y < hip - 2; y += 2)
    s.Line(cx - half, y, cx + half, y, 0.9 * b.girth, bone);
  s.Line(cx - half, neck + 0.5, cx + half, neck + 0.5, t, bone);
  s.Line(cx - half - 0.5, neck + 1, cx - half - 2, hip, t * 0.9, bone);
  s.Line(cx + half + 0.5, neck + 1, cx + half + 2, hip, t * 0.9, bone);
  if (b.armour) {
    s.Rect(cx - half - 1, neck + 0.5, cx + half + 1, hip - 1, C(130, 135, 150));
    for (double y = neck + 2; y < hip - 1; y += 2)
      s.Line(cx - half, y, cx + half, y, 0.5, C(95, 100, 115));
  }
  // Skull.
  s.Disc(cx, top + headR, headR, bone);
  s.Rect(cx - headR * 0.6, top + headR * 1.6, cx + headR * 0.6, top + headR * 2.2, bone);
  s.Put(static_cast<int>(cx - headR * 0.4), static_cast<int>(top + headR), b.eyes);
  s.Put(static_cast<int>(cx + headR * 0.4), static_cast<int>(top + headR), b.eyes);
  if (b.flesh) {
    s.Ellipse(cx - half * 0.5, neck + 3, 1.6, 2.4, C(100, 130, 70));
    s.Ellipse(cx + half * 0.6, hip + 3, 1.4, 2.5, C(90, 120, 60));
    s.Ellipse(cx + headR * 0.4, top + headR * 0.5, 1.5, 1.2, C(100, 130, 70));
  }
  if (b.wounds) {
    s.Put(static_cast<int>(cx + 1), static_cast<int>(neck + 3), C(170, 20, 20));
    s.Put(static_cast<int>(cx - 2), static_cast<int>(neck + 5), C(150, 10, 10));
    s.Line(cx - half, hip + 4, cx - half + 1, hip + 6, 1, C(160, 20, 20));
  }
  DrawWeapon(s, b.weapon, cx + half + 2, hip, b.height, C(190, 190, 200));
  if (b.shield) {
    s.Ellipse(cx - half - 3, hip - 3, 3, 4, C(110, 80, 50));
    s.Disc(cx - half - 3, hip - 3, 1, C(180, 180, 190));
  }
  return s;
}

inline Layer DrawBeast(Rgb fur, double size, double tail, bool spikes, double snout, bool horns) {
  Layer s(32, 32);
  double cy = 24 - 4 * size, rx = 8 * size, ry = 4.5 * size, cx = 14;
  double legTop = cy + ry * 0.4, feet = 29.5;
  for (double lx : {cx - rx * 0.7, cx - rx * 0.35, cx + rx * 0.4, cx + rx * 0.75})
    s.Rect(lx - 1, legTop, lx + 1, feet, Scale(fur, 0.8));
  s.Line(cx - rx, cy, cx - rx - tail * 0.6, cy - tail * 0.5, 1.2, Scale(fur, 0.9));
  s.Ellipse(cx, cy, rx, ry, fur);
  double hx = cx + rx + 1, hy = cy - ry * 0.6, hr = 3.2 * size;
  s.Disc(hx, hy, hr, fur);
  s.Ellipse(hx + hr * 0.8, hy + hr * 0.3, snout * size, hr * 0.5, Scale(fur, 1.15));
  s.Polygon({{hx - hr * 0.6, hy - hr * 0.5}, {hx - hr * 0.2, hy - hr - 2}, {hx, hy - hr * 0.6}},
            Scale(fur, 0.8));
  s.Put(static_cast<int>(hx + hr * 0.3), static_cast<int>(hy - hr * 0.3), C(10, 10, 10));
  s.Put(static_cast<int>(hx + hr * 0.8 + snout * size), static_cast<int>(hy + hr * 0.2),
        C(20, 10, 10));
  if (spikes)
    for (double x = cx - rx * 0.7; x < cx + rx * 0.7; x += 2.5)
      s.Polygon({{x - 1, cy - ry + 1}, {x + 1, cy - ry + 1}, {x, cy - ry - 2.5}}, C(230, 220, 200));
  if (horns) {
    s.Line(hx, hy - hr * 0.7, hx + 2, hy - hr - 3, 1.2, C(235, 230, 210));
  }
  return s;
}

inline Layer DrawSnake(Rgb body, Rgb belly, double thick, bool worm) {
  Layer s(32, 32);
  double px = 0, py = 0;
  for (int i = 0; i <= 40; ++i) {
    double t = i / 40.0;
    double x = 3 + 22 * t, y = 23 + 4.5 * std::sin(t * 2 * pi * 1.1);
    double w = worm ? thick : thick * (0.35 + 0.65 * t);
    Rgb col = (i / 4) % 2 ? body : Scale(body, worm ? 0.8 : 0.7);
    if (i > 0) s.Line(px, py, x, y, w, col);
    px = x;
    py = y;
  }
  double hx = px + 1, hy = py - 3;
  s.Line(px - 1, py, hx, hy, thick, body);
  s.Ellipse(hx + 1, hy - 1, thick * 0.75 + 0.5, thick * 0.55 + 0.5, body);
  s.Line(hx + 2, hy, hx + 3, hy + thick * 0.2, 0.8, belly);
  if (worm) {
    s.Disc(hx + 2, hy - 1, thick * 0.35, C(60, 10, 20));
    for (int i = 0; i < 6; ++i) {
      double a = i * pi / 3;
      s.Put(static_cast<int>(hx + 2 + std::cos(a) * thick * 0.35),
            static_cast<int>(hy - 1 + std::sin(a) * thick * 0.35), C(250, 250, 230));
    }
  } else {
    s.Put(static_cast<int>(hx + 1), static_cast<int>(hy - 2), C(250, 220, 40));
    s.Line(hx + thick * 0.7 + 1, hy - 0.5, hx + thick * 0.7 + 3, hy + 0.5, 0.7, C(220, 30, 40));
  }
  return s;
}

inline Layer DrawInsect(Rgb shell, int legs, bool upright, bool spider, bool feelers) {
  Layer s(32, 32);
  Rgb leg = Scale(shell, 0.6);
  if (upright) {  // a mantis
    s.Line(16, 27, 12, 30, 1, leg);
    s.Line(16, 27, 20, 30, 1, leg);
    s.Ellipse(16, 22, 2.5, 6, shell);
    s.Line(16, 16, 17, 9, 2, shell);
    s.Polygon({{15, 6}, {20, 6}, {17.5, 10}}, shell);
    s.Put(15, 7, C(240, 240, 80));
    s.Put(19, 7, C(240, 240, 80));
    s.Line(16, 12, 12, 9, 1.2, shell);
    s.Line(12, 9, 10, 14, 1, Scale(shell, 1.3));
    s.Line(17, 12, 22, 9, 1.2, shell);
    s.Line(22, 9, 24, 14, 1, Scale(shell, 1.3));
    s.Line(16, 6, 13, 2, 0.6, leg);
    s.Line(19, 6, 22, 2, 0.6, leg);
    s.Polygon({{14, 16}, {6, 22}, {14, 22}}, Mix(shell, C(255, 255, 255), 0.4));
    return s;
  }
  double cx = 15, cy = 21, rx = spider ? 5.5 : 8, ry = spider ? 5 : 6;
  for (int i = 0; i < legs / 2; ++i) {
    double ly = cy - 3 + i * (7.0 / std::max(1, legs / 2 - 1));
    double spread = spider ? 12 : 10;
    s.Line(cx, ly, cx - spread, ly + 3 + (spider ? -3 + i : 0), 1, leg);
    s.Line(cx - spread, ly + 3 + (spider ? -3 + i : 0), cx - spread - 1, ly + 7, 1, leg);
    s.Line(cx, ly, cx + spread, ly + 3 + (spider ? -3 + i : 0), 1, leg);
    s.Line(cx + spread, ly + 3 + (spider ? -3 + i : 0), cx + spread + 1, ly + 7, 1, leg);
  }
  if (spider) {
    s.Disc(cx, cy + 2, 6.5, shell);
    s.Disc(cx, cy - 5, 3.5, Scale(shell, 0.85));
    for (int i = 0; i < 4; ++i)
      s.Put(static_cast<int>(cx - 2 + i * 1.3), static_cast<int>(cy - 6), C(230, 30, 30));
    s.Polygon({{cx - 1.5, cy + 1}, {cx + 1.5, cy + 1}, {cx, cy + 4}}, C(200, 30, 30));
  } else {
    s.Ellipse(cx, cy, rx, ry, shell);
    s.Line(cx - rx + 1, cy, cx + rx - 1, cy, 0.8, Scale(shell, 0.5));
    s.Disc(cx + rx + 1, cy - 1, 3, Scale(shell, 0.7));
    s.Put(static_cast<int>(cx + rx + 2), static_cast<int>(cy - 2), C(240, 240, 240));
    s.Line(cx + rx + 3, cy - 3, cx + rx + 5, cy - 6, 0.8, leg);
    if (feelers) {
      s.Line(cx + rx + 3, cy - 2, cx + rx + 8, cy - 9, 1, shell);
      s.Line(cx + rx + 2, cy - 3, cx + rx + 3, cy - 11, 1, shell);
    }
  }
  return s;
}

inline Layer DrawEye(Rgb ball, Rgb iris, bool hat) {
  Layer s(32, 32);
  for (int i = 0; i < 5; ++i) {
    double a = pi * (0.15 + 0.175 * i);
    s.Line(16 + std::cos(a) * 8, 14 - std::sin(a) * 8, 16 + std::cos(a) * 13, 14 - std::sin(a) * 13,
           1.1, Scale(ball, 0.8));
    s.Disc(16 + std::cos(a) * 13, 14 - std::sin(a) * 13, 1.3, iris);
  }
  s.Line(13, 22, 11, 29, 1.3, Scale(ball, 0.7));
  s.Line(19, 22, 21, 29, 1.3, Scale(ball, 0.7));
  s.Disc(16, 16, 9, ball);
  s.Disc(17, 16, 5, iris);
  s.Ellipse(17, 16, 1.5, 3.5, C(10, 10, 10));
  s.Put(15, 13, C(255, 255, 255));
  if (hat) {
    s.Polygon({{7, 9}, {25, 9}, {17, -1}}, C(60, 40, 140));
    s.Disc(17, 3, 1, C(240, 220, 60));
  }
  return s;
}

inline Layer DrawDragon(Rgb scales, int heads, bool wings, double size) {
  Layer s(32, 32);
  Rgb wing = Scale(scales, 0.7);
  double cy = 22, cx = 14;
  if (wings) {
    s.Polygon({{cx - 2, cy - 4},
               {cx - 10, cy - 15},
               {cx - 6, cy - 8},
               {cx - 13, cy - 9},
               {cx - 5, cy - 3}},
              wing);
    s.Polygon({{cx + 1, cy - 4},
               {cx + 3, cy - 17},
               {cx + 5, cy - 9},
               {cx + 9, cy - 12},
               {cx + 5, cy - 3}},
              Scale(wing, 1.1));
  }
  s.Line(cx - 6 * size, cy + 1, cx - 13, cy + 6, 2.5, scales);
  s.Line(cx - 13, cy + 6, cx - 15, cy + 2, 1.2, scales);
  for (double lx : {cx - 5 * size, cx - 2, cx + 3, cx + 5 * size})
    s.Rect(lx - 1, cy + 2, lx + 1, 29.5, Scale(scales, 0.8));
  s.Ellipse(cx, cy, 8 * size, 4.5 * size, scales);
  s.Ellipse(cx, cy + 2, 6 * size, 2, Mix(scales, C(240, 220, 150), 0.5));
  for (int h = 0; h < heads; ++h) {
    double off = heads == 1 ? 0 : (h - (heads - 1) / 2.0) * 5;
    double nx = cx + 9 + off * 0.4, ny = cy - 10 + off;
    s.Line(cx + 5, cy - 1, nx, ny, 2.4, scales);
    s.Ellipse(nx + 2, ny - 1, 3, 2, scales);
    s.Put(static_cast<int>(nx + 2), static_cast<int>(ny - 2), C(255, 230, 40));
    s.Line(nx, ny - 2, nx - 2, ny - 5, 0.9, C(230, 220, 200));
  }
  return s;
}

inline Layer DrawElemental(char kind, int level) {
  Layer s(32, 32);
  double size = 0.65 + 0.22 * level;
  Rng r(HashName(std::string(1, kind)) + level);
  switch (kind) {
    case 'f':
      for (int i = 0; i < 3 + level * 2; ++i) {
        double x = 16 + (r.Unit() - 0.5) * 12 * size, base = 29 - r.Unit() * 4;
        double hgt = (8 + r.Unit() * 10) * size, w = 2.5 + r.Unit() * 2 * size;
        s.Polygon({{x - w, base}, {x + w, base}, {x + (r.Unit() - 0.5) * 4, base - hgt}},
                  i % 2 ? C(240, 90, 20) : C(255, 170, 30));
      }
      s.Ellipse(16, 24, 5 * size, 4 * size, C(255, 230, 90));
      s.Put(14, 22, C(120, 20, 0));
      s.Put(18, 22, C(120, 20, 0));
      break;
    case 'w':
      s.Polygon(
          {{16, 28 - 24 * size}, {16 + 9 * size, 26 - 6 * size}, {16 - 9 * size, 26 - 6 * size}},
          C(60, 120, 220));
      s.Ellipse(16, 26 - 6 * size, 9 * size, 7 * size, C(60, 120, 220));
      for (int i = 0; i < level; ++i)
        s.Line(16 - 5 * size, 24 - i * 3, 16 + 5 * size, 23 - i * 3, 0.8, C(170, 210, 255));
      for (int i = 1; i < level; ++i) s.Disc(5 + i * 18, 10 + i * 3, 2, C(80, 150, 240));
      s.Put(14, static_cast<int>(22 - 5 * size), C(10, 30, 80));
      s.Put(18, static_cast<int>(22 - 5 * size), C(10, 30, 80));
      break;
    case 'e': {
      Rgb rock = C(130, 105, 75);
      double top = 30 - 26 * size;
      s.Ellipse(16, top + 4 * size, 4 * size, 3.5 * size, Scale(rock, 1.1));
      s.Polygon({{16 - 7 * size, top + 8 * size},
                 {16 + 7 * size, top + 8 * size},
                 {16 + 5 * size, top + 18 * size},
                 {16 - 5 * size, top + 18 * size}},
                rock);
      s.Ellipse(16 - 9 * size, top + 12 * size, 2.5 * size, 4 * size, Scale(rock, 0.9));
      s.Ellipse(16 + 9 * size, top + 12 * size, 2.5 * size, 4 * size, Scale(rock, 0.9));
      s.Rect(16 - 5 * size, top + 18 * size, 16 - 1.5 * size, 29.5, Scale(rock, 0.85));
      s.Rect(16 + 1.5 * size, top + 18 * size, 16 + 5 * size, 29.5, Scale(rock, 0.85));
      for (int i = 0; i < level * 2; ++i)
        s.Disc(16 + (r.Unit() - 0.5) * 10 * size, top + (9 + r.Unit() * 8) * size, 0.8,
               C(90, 200, 90));
      s.Put(15, static_cast<int>(top + 4 * size), C(255, 200, 40));
      s.Put(17, static_cast<int>(top + 4 * size), C(255, 200, 40));
      break;
    }
    default:
      for (int arm = 0; arm < level + 1; ++arm)
        for (double t = 0; t < 3.5 * pi; t += 0.15) {
          double rad = t * 1.1 * size, a = t + arm * 2 * pi / (level + 1);
          s.Disc(16 + std::cos(a) * rad, 18 + std::sin(a) * rad * 0.6 - t * 0.4, 1 + t * 0.12,
                 Mix(C(200, 235, 250), C(120, 170, 210), t / (3.5 * pi)));
        }
      s.Put(14, 15, C(20, 40, 80));
      s.Put(18, 15, C(20, 40, 80));
      break;
  }
  return s;
}

inline Layer DrawUnitSprite(const std::string& n) {
  auto figure = [](Figure f) { return DrawFigure(f); };
  auto bones = [](Bones b) { return DrawBones(b); };
  Figure f;
  Bones b;
  if (n == "unit_giant_rat") return DrawBeast(C(130, 120, 110), 0.75, 10, false, 2.2, false);
  if (n == "unit_dog") return DrawBeast(C(160, 110, 60), 0.9, 5, false, 2, false);
  if (n == "unit_gor_dog") return DrawBeast(C(120, 40, 35), 1.05, 6, true, 2.4, false);
  if (n == "unit_polar_geer") return DrawBeast(C(235, 235, 240), 1.2, 2, false, 1.6, false);
  if (n == "unit_green_slime" || n == "unit_gelatinous_cube") {
    Layer s(32, 32);
    if (n == "unit_green_slime") {
      s.Paint(
          [](double x, double y) {
            double dx = (x - 16) / 11, dy = (y - 29) / 13;
            return y < 29.5 && dx * dx + dy * dy <= 1 + 0.08 * std::sin(x * 1.3);
          },
          C(80, 200, 70));
      s.Ellipse(12, 21, 2, 1.5, C(190, 255, 170));
      s.Disc(13, 24, 1.5, C(20, 50, 20));
      s.Disc(19, 24, 1.5, C(20, 50, 20));
    } else {
      s.Paint([](double x, double y) { return x > 5 && x < 27 && y > 7 && y < 29.5; },
              [](int x, int y) { return Mix(C(110, 210, 140), C(60, 160, 100), (x + y) / 60.0); });
      s.Polygon({{5, 7}, {10, 3}, {31, 3}, {27, 7}}, C(150, 235, 170));
      s.Polygon({{27, 7}, {31, 3}, {31, 25}, {27, 29.5}}, C(70, 150, 100));
      s.Disc(13, 19, 2.5, C(230, 225, 205));  // a swallowed skull
      s.Put(12, 19, C(40, 40, 40));
      s.Put(14, 19, C(40, 40, 40));
      s.Line(19, 24, 24, 21, 1, C(180, 180, 190));
    }
    return s;
  }
  if (n == "unit_fungus") {
    Layer s(32, 32);
    s.Rect(13, 16, 19, 29.5, C(230, 220, 190));
    s.Paint(
        [](double x, double y) {
          double dx = (x - 16) / 12, dy = (y - 17) / 11;
          return y < 17 && dx * dx + dy * dy <= 1;
        },
        C(190, 50, 60));
    for (auto [x, y] : {std::pair{10.0, 13.0}, {16.0, 9.0}, {21.0, 12.0}, {13.0, 8.0}})
      s.Disc(x, y, 1.4, C(250, 245, 235));
    s.Put(14, 21, C(30, 20, 20));
    s.Put(18, 21, C(30, 20, 20));
    return s;
  }
  if (n == "unit_serpent") return DrawSnake(C(70, 150, 60), C(200, 210, 120), 3.5, false);
  if (n == "unit_serpent_fire") return DrawSnake(C(220, 80, 30), C(255, 210, 70), 3.5, false);
  if (n == "unit_giant_worm") return DrawSnake(C(200, 130, 140), C(230, 170, 170), 6, true);
  if (n == "unit_beatle") return DrawInsect(C(60, 90, 160), 6, false, false, false);
  if (n == "unit_beatle_fire") return DrawInsect(C(210, 70, 30), 6, false, false, false);
  if (n == "unit_giant_spider") return DrawInsect(C(60, 50, 55), 8, false, true, false);
  if (n == "unit_rust_monster") return DrawInsect(C(190, 110, 50), 4, false, false, true);
  if (n == "unit_mantis") return DrawInsect(C(100, 190, 70), 6, true, false, false);
  if (n == "unit_floating_eye") return DrawEye(C(230, 200, 190), C(60, 140, 60), false);
  if (n == "unit_mage_eye") return DrawEye(C(200, 170, 220), C(150, 30, 120), true);
  if (n == "unit_dragon") return DrawDragon(C(190, 40, 30), 1, true, 1.1);
  if (n == "unit_dragon_hydra") return DrawDragon(C(40, 140, 120), 3, false, 1.0);
  if (n == "unit_dragon_basilic") return DrawDragon(C(150, 160, 50), 1, false, 0.85);
  if (n.rfind("unit_fire", 0) == 0 || n.rfind("unit_water", 0) == 0 ||
      n.rfind("unit_earth", 0) == 0 || n.rfind("unit_air", 0) == 0) {
    char kind = n[5] == 'e' ? 'e' : n[5];
    int level = 1 + static_cast<int>(std::count(n.begin(), n.end(), '_')) - 1;
    return DrawElemental(kind, level);
  }
  if (Is(n, "squeletton")) {
    if (Is(n, "zombi")) b.flesh = true, b.bone = C(200, 195, 160);
    if (Is(n, "wounded")) b.wounds = true;
    if (Is(n, "sturdy")) b.girth = 1.5, b.weapon = Figure::club;
    if (Is(n, "monster")) b.height = 27, b.girth = 1.3, b.eyes = C(230, 40, 40);
    if (Is(n, "brave")) b.shield = true, b.weapon = Figure::sword;
    if (Is(n, "floating")) b.floating = true, b.bone = C(190, 210, 230);
    if (Is(n, "fire")) b.flames = true, b.eyes = C(255, 200, 0);
    if (Is(n, "ogre")) b.height = 28, b.girth = 1.8, b.weapon = Figure::club;
    if (Is(n, "armored")) b.armour = true, b.weapon = Figure::axe;
    if (Is(n, "warrior")) b.weapon = Figure::sword, b.armour = true, b.shield = true;
    if (Is(n, "evil")) b.bone = C(120, 100, 110), b.eyes = C(255, 30, 30), b.weapon = Figure::staff;
    return bones(b);
  }
  if (n == "unit_goblin") {
    f.skin = C(110, 160, 70), f.shirt = C(110, 80, 50), f.height = 17, f.ears = true;
    f.head = Figure::bare, f.weapon = Figure::dagger, f.eyes = C(230, 40, 20);
  } else if (n == "unit_nabos") {
    f.skin = C(150, 110, 170), f.shirt = C(60, 110, 90), f.head = Figure::bigHead;
    f.height = 19, f.weapon = Figure::staff, f.weaponColour = C(120, 240, 240), f.robe = true;
  } else if (n == "unit_orc_b") {
    f.skin = C(80, 120, 60), f.shirt = C(100, 100, 110), f.height = 24, f.girth = 1.3;
    f.head = Figure::bare, f.tusks = true, f.weapon = Figure::axe, f.pants = C(70, 50, 40);
  } else if (n == "unit_drius") {
    f.skin = C(90, 90, 150), f.hair = C(235, 235, 245), f.shirt = C(40, 40, 70);
    f.ears = true, f.weapon = Figure::bow, f.pants = C(30, 30, 50);
  } else if (n == "unit_mage") {
    f.shirt = C(50, 70, 170), f.hair = C(50, 70, 170), f.head = Figure::pointedHat;
    f.robe = true, f.beard = false, f.weapon = Figure::staff, f.weaponColour = C(250, 80, 60);
  } else if (n == "unit_dwarf") {
    f.height = 17, f.girth = 1.5, f.hair = C(200, 100, 40), f.beard = true;
    f.head = Figure::helmet, f.shirt = C(150, 60, 40), f.weapon = Figure::axe;
  } else if (n == "unit_minotor") {
    f.skin = C(130, 80, 50), f.height = 27, f.girth = 1.4, f.head = Figure::bullHead;
    f.shirt = C(130, 80, 50), f.pants = C(90, 60, 40), f.weapon = Figure::axe;
  } else if (n == "unit_medusa") {
    f.skin = C(120, 170, 110), f.hair = C(60, 120, 50), f.head = Figure::snakes;
    f.shirt = C(170, 140, 60), f.tail = true, f.weapon = Figure::bow;
    f.eyes = C(250, 220, 30);
  } else if (n == "unit_lich") {
    f.skin = C(215, 210, 190), f.shirt = C(90, 30, 110), f.robe = true, f.head = Figure::crown;
    f.weapon = Figure::staff, f.weaponColour = C(120, 255, 150), f.eyes = C(80, 255, 120);
  } else if (n == "unit_ogre") {
    f.skin = C(190, 160, 110), f.height = 28, f.girth = 1.7, f.head = Figure::bare;
    f.shirt = C(120, 100, 70), f.weapon = Figure::club, f.tusks = true;
  } else if (n == "unit_fighter") {
    f.shirt = C(160, 165, 180), f.hair = C(150, 155, 170), f.head = Figure::helmet;
    f.weapon = Figure::sword, f.shield = true, f.pants = C(90, 90, 100);
  } else if (n == "unit_cleric") {
    f.shirt = C(235, 230, 215), f.robe = true, f.hair = C(200, 170, 80);
    f.weapon = Figure::mace, f.weaponColour = C(220, 200, 90);
  } else if (n == "unit_bandit") {
    f.shirt = C(60, 60, 55), f.hair = C(40, 50, 40), f.head = Figure::hood;
    f.weapon = Figure::dagger, f.pants = C(50, 45, 40);
  } else if (n == "unit_pleidian") {
    f.skin = C(170, 210, 240), f.head = Figure::bigHead, f.shirt = C(200, 205, 215);
    f.pants = C(170, 175, 190), f.eyes = C(10, 10, 60), f.height = 21;
  } else {
    Rng r(HashName(n));
    f.shirt = C(r.Range(60, 200), r.Range(60, 200), r.Range(60, 200));
    f.weapon = Figure::sword;
  }
  return figure(f);
}

inline Layer UnitBackground(std::uint64_t seed) {
  Layer bg = Noisy(64, 64, C(62, 58, 54), 0.35, 10, seed);
  bg.Paint(
      [](double x, double y) {
        double dx = (x - 32) / 20, dy = (y - 59) / 4.5;
        return dx * dx + dy * dy <= 1;
      },
      [&bg](int x, int y) { return Scale(bg.At(x, y), 0.7); });
  return bg;
}

inline Layer Sprite(Layer s, Rgb outline) {
  s.Bevel();
  s.Outline(outline);
  return s.Enlarged(2);
}

inline Layer DrawUnit(const std::string& stem) {
  Layer bg = UnitBackground(HashName(stem));
  bg.Over(Sprite(DrawUnitSprite(stem), C(20, 16, 14)));
  return bg;
}

// ---- Items: 32 x 32 icons shown at 64 x 64 in an inventory cell -------------------------------

// Draws a long object lying diagonally from the lower left to the upper right. shape(u, v)
// gives the colour at distance u along the object (0 to length) and v across it, or false.
template <class Shape>
inline Layer Diagonal(double length, Shape shape) {
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
  Rgb steel = C(200, 205, 220);
  Rgb hilt = C(110, 70, 40);
  Rgb guard = C(200, 170, 60);
  double guardWidth = 4;
  double grip = 5;
  bool twoBlades = false;
  bool serrated = false;
  bool glow = false;
};

inline Layer DrawBlade(const Blade& b) {
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

inline Layer DrawHafted(double length, Rgb shaft,
                        const std::function<bool(double, double, Rgb*)>& head) {
  return Diagonal(length, [&](double u, double v, Rgb* col) {
    if (head(u, v, col)) return true;
    if (u >= 0 && u <= length && std::abs(v) < 0.9) {
      *col = static_cast<int>(u / 2) % 3 == 0 ? Scale(shaft, 0.8) : shaft;
      return true;
    }
    return false;
  });
}

inline Layer DrawPotion(Rgb liquid) {
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

inline Layer DrawGarment(Rgb cloth, bool robe, int pattern, Rgb trim) {
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

inline Layer DrawBag(Rgb cloth) {
  Layer s(32, 32);
  s.Ellipse(16, 21, 10, 9, cloth);
  s.Polygon({{12, 12}, {20, 12}, {22, 5}, {18, 8}, {16, 4}, {14, 8}, {10, 5}}, cloth);
  s.Rect(11, 11, 21, 13, C(200, 170, 80));
  s.Line(11, 22, 21, 22, 0.6, Scale(cloth, 0.75));
  s.Disc(16, 22, 2, C(230, 200, 70));
  return s;
}

inline Layer ItemBackground(std::uint64_t seed) {
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

inline Layer DrawItemSprite(const std::string& n, bool* found) {
  *found = true;
  Blade b;
  auto blade = [&b](double length, double width) {
    b.length = length;
    b.width = width;
    return DrawBlade(b);
  };
  if (n == "item_knife") return b.guardWidth = 1.2, b.grip = 4, blade(14, 1.4);
  if (n == "item_dagger") return b.guardWidth = 3, blade(17, 1.6);
  if (n == "item_short_sword") return blade(22, 2);
  if (n == "item_gauche") return b.guardWidth = 5, b.guard = C(200, 200, 210), blade(19, 1.4);
  if (n == "item_long_sword") return blade(30, 2);
  if (n == "item_bastard_sword") return b.grip = 7, b.hilt = C(60, 40, 30), blade(33, 2.3);
  if (n == "item_kopesh") return b.curve = -5, b.guardWidth = 2, blade(24, 2.4);
  if (n == "item_blade") return b.curve = 1.5, blade(26, 2.6);
  if (n == "item_blade_ameliorated")
    return b.curve = 1.5, b.glow = true, b.guard = C(240, 210, 80), blade(27, 2.6);
  if (n == "item_behead") return b.width = 4, b.steel = C(170, 170, 180), blade(28, 4);
  if (n == "item_broad_sword") return blade(28, 3.2);
  if (n == "item_horner") return b.serrated = true, b.steel = C(210, 200, 170), blade(26, 2);
  if (n == "item_glaive") {
    return DrawHafted(36, C(120, 80, 45), [](double u, double v, Rgb* c) {
      if (u > 24 && u < 36 && v > -1 && v < 2.5 + (u - 24) * 0.15 - (u > 33 ? (u - 33) : 0))
        return *c = C(210, 210, 225), true;
      return false;
    });
  }
  if (n == "item_saber") return b.curve = 3.5, b.guard = C(220, 200, 90), blade(27, 1.8);
  if (n == "item_saber_ameliorated")
    return b.curve = 3.5, b.glow = true, b.guard = C(240, 90, 90), blade(28, 1.8);
  if (n == "item_whale_blade")
    return b.steel = C(225, 225, 235), b.hilt = C(40, 60, 110), b.curve = 2, blade(31, 3.5);
  if (n == "item_whale_blade_ameliorated")
    return b.steel = C(225, 225, 235), b.hilt = C(40, 60, 110), b.curve = 2, b.glow = true,
           blade(32, 3.5);
  if (n == "item_two_handed_sword") return b.grip = 9, b.guardWidth = 6, blade(36, 2.4);
  if (n == "item_two_bladed_sword") return b.twoBlades = true, b.grip = 7, blade(32, 1.5);
  if (n == "item_two_bladed_sword_ameliorated")
    return b.twoBlades = true, b.grip = 7, b.glow = true, b.guard = C(90, 200, 240), blade(33, 1.5);
  if (n == "item_bag") return DrawBag(C(150, 110, 60));
  if (n == "item_blue_bag") return DrawBag(C(60, 90, 170));
  Rgb wood = C(125, 85, 45), iron = C(150, 150, 160), steel = C(200, 205, 220);
  if (n == "item_maul")
    return DrawHafted(28, wood, [iron](double u, double v, Rgb* c) {
      return u > 20 && u < 28 && std::abs(v) < 5 ? (*c = iron, true) : false;
    });
  if (n == "item_morningstar" || n == "item_mace" || n == "item_war_mace") {
    double r = n == "item_war_mace" ? 5 : 4;
    bool spikes = n != "item_mace";
    Rgb head = n == "item_war_mace" ? C(120, 120, 130) : iron;
    return DrawHafted(26, wood, [=](double u, double v, Rgb* c) {
      double du = u - (26 - r), d2 = du * du + v * v;
      if (d2 <= r * r) return *c = (du < 0 && v < 0 ? Scale(head, 0.8) : head), true;
      if (spikes) {
        double a = std::atan2(v, du), d = std::sqrt(d2);
        if (d < r + 2.5 && std::abs(std::remainder(a, pi / 4)) < 0.18) return *c = steel, true;
      }
      return false;
    });
  }
  if (n == "item_staff" || n == "item_rod" || n == "item_wand") {
    double len = n == "item_staff" ? 36 : n == "item_rod" ? 26 : 18;
    Rgb gem = n == "item_staff" ? C(80, 200, 255)
              : n == "item_rod" ? C(230, 60, 60)
                                : C(250, 230, 90);
    Rgb shaft = n == "item_wand" ? C(235, 225, 200) : wood;
    return DrawHafted(len, shaft, [=](double u, double v, Rgb* c) {
      double du = u - (len - 2.5);
      if (du * du + v * v <= 6) return *c = (du + v < 0 ? gem : Scale(gem, 1.4)), true;
      return false;
    });
  }
  if (Is(n, "axe")) {
    double len = n == "item_hand_axe" ? 20 : n == "item_axe" ? 25 : 32;
    bool doubleHead = Is(n, "battle");
    Rgb head = Is(n, "rubioux")   ? C(200, 80, 70)
               : Is(n, "ordered") ? C(220, 200, 120)
               : Is(n, "iron")    ? C(120, 125, 140)
                                  : steel;
    double size = doubleHead ? 6 : 5;
    return DrawHafted(len, wood, [=](double u, double v, Rgb* c) {
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
  if (n == "item_potion_red") return DrawPotion(C(210, 30, 40));
  if (n == "item_potion_green") return DrawPotion(C(50, 190, 60));
  if (n == "item_potion_blue") return DrawPotion(C(40, 80, 220));
  if (n == "item_potion_yellow") return DrawPotion(C(240, 210, 40));
  if (n == "item_potion_white") return DrawPotion(C(235, 235, 240));
  if (n == "item_blue_robe") return DrawGarment(C(50, 70, 170), true, 0, C(230, 200, 80));
  if (n == "item_red_robe") return DrawGarment(C(170, 40, 40), true, 0, C(40, 30, 30));
  if (n == "item_gray_robe") return DrawGarment(C(130, 130, 130), true, 0, C(90, 60, 40));
  if (n == "item_leather_armor") return DrawGarment(C(140, 95, 55), false, 0, C(90, 60, 35));
  if (n == "item_studded_leather_armor")
    return DrawGarment(C(120, 80, 45), false, 1, C(90, 60, 35));
  if (n == "item_chain_mail") return DrawGarment(C(170, 175, 185), false, 2, C(120, 120, 130));
  if (n == "item_scale_armor_b") return DrawGarment(C(150, 160, 120), false, 3, C(110, 90, 50));
  if (n == "item_plate_armor") return DrawGarment(C(185, 190, 205), false, 4, C(150, 150, 165));
  if (n == "item_full_plate_armor") {
    Layer s = DrawGarment(C(200, 200, 215), true, 4, C(200, 170, 70));
    return s;
  }
  if (n == "item_magic_armor") return DrawGarment(C(90, 50, 150), false, 5, C(230, 200, 80));
  *found = false;
  return Layer(32, 32);
}

inline Layer DrawItem(const std::string& stem) {
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
  bool found = false;
  Layer s = DrawItemSprite(stem, &found);
  bg.Over(Sprite(s, C(25, 18, 12)));
  return bg;
}

// ---- Land tiles: 64 x 64 terrain with features drawn at half resolution -----------------------

inline Layer Grass(std::uint64_t seed, Rgb base = C(86, 150, 62)) {
  Layer g = Noisy(64, 64, base, 0.45, 12, seed);
  Rng r(seed);
  for (int i = 0; i < 40; ++i) {
    int x = r.Range(0, 63), y = r.Range(1, 63);
    g.Put(x, y, Scale(base, 1.3));
    g.Put(x, y - 1, Scale(base, 1.15));
  }
  return g;
}

inline void Tree(Layer& s, double x, double y, double r, Rgb leaves, int kind, Rng& rng) {
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

inline Layer Forest(std::uint64_t seed, Rgb leaves, int kind, int count) {
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

inline Layer Water(std::uint64_t seed, Rgb base) {
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

inline void House(Layer& s, double x, double y, Rgb roof) {
  s.Rect(x - 4, y - 5, x + 4, y, C(215, 195, 160));
  s.Polygon({{x - 5.5, y - 5}, {x + 5.5, y - 5}, {x, y - 10}}, roof);
  s.Rect(x - 1, y - 3, x + 1, y, C(90, 60, 35));
  s.Rect(x + 2, y - 4, x + 3.5, y - 2.5, C(90, 140, 190));
}

inline Layer DrawLand(const std::string& n) {
  std::uint64_t seed = HashName(n);
  Rng r(seed);
  if (n == "plain") {
    Layer g = Grass(seed);
    for (int i = 0; i < 6; ++i)
      g.Disc(r.Unit() * 64, r.Unit() * 64, 1, i % 2 ? C(250, 240, 120) : C(240, 240, 250));
    return g;
  }
  if (n == "forest") return Forest(seed, C(40, 110, 40), 0, 9);
  if (n == "forest_fruit") return Forest(seed, C(50, 125, 45), 3, 7);
  if (n == "forest_gray") return Forest(seed, C(110, 125, 100), 2, 8);
  if (n == "forest_leaf") return Forest(seed, C(110, 170, 50), 0, 8);
  if (n == "forest_b") return Forest(seed, C(30, 90, 50), 1, 10);
  if (n == "forest_c") return Forest(seed, C(60, 120, 40), 1, 14);
  if (n == "water") return Water(seed, C(50, 110, 200));
  if (n == "water_deep") return Water(seed, C(25, 55, 140));
  if (n == "swamp_a") {
    Layer t = Noisy(64, 64, C(90, 100, 55), 0.5, 10, seed);
    for (int i = 0; i < 6; ++i)
      t.Ellipse(r.Unit() * 64, r.Unit() * 64, 5 + r.Unit() * 6, 3 + r.Unit() * 3, C(60, 80, 70));
    for (int i = 0; i < 14; ++i) {
      double x = r.Unit() * 64, y = r.Unit() * 64;
      t.Line(x, y, x + 1, y - 5, 1, C(130, 120, 60));
    }
    return t;
  }
  if (n == "desert_a") {
    Layer t = Noisy(64, 64, C(220, 190, 120), 0.2, 16, seed);
    for (int i = 0; i < 5; ++i) {
      double y0 = 8 + i * 12 + r.Unit() * 4;
      t.Paint([=](double x, double y) { return std::abs(y - y0 - 3 * std::sin(x / 9 + i)) < 0.7; },
              C(190, 155, 90));
    }
    return t;
  }
  Layer tile = Grass(seed);
  Layer s(32, 32);
  if (n == "hills_a") {
    for (auto hill : {std::tuple{9.0, 14.0, 8.0}, {23.0, 20.0, 9.0}, {11.0, 28.0, 7.0}}) {
      double x = std::get<0>(hill), y = std::get<1>(hill), w = std::get<2>(hill);
      s.Paint(
          [=](double px, double py) {
            double dx = (px - x) / w, dy = (py - y) / (w * 0.7);
            return py < y && dx * dx + dy * dy <= 1;
          },
          [=](int px, int) { return px < x ? C(120, 170, 80) : C(90, 135, 60); });
    }
  } else if (n == "mountain" || n == "mountain_high_a") {
    bool high = n == "mountain_high_a";
    for (auto [x, y, w] : {std::tuple{10.0, 26.0, 9.0}, {21.0, 30.0, 11.0}}) {
      double peak = y - w * (high ? 2.2 : 1.6);
      s.Polygon({{x - w, y}, {x, peak}, {x, y}}, C(150, 140, 130));
      s.Polygon({{x, peak}, {x + w, y}, {x, y}}, C(105, 98, 92));
      if (high)
        s.Polygon({{x - w * 0.3, peak + w * 0.65}, {x, peak}, {x + w * 0.3, peak + w * 0.65}},
                  C(245, 248, 255));
    }
  } else if (n == "road_b") {
    Layer t = tile;
    t.Paint([](double x, double y) { return std::abs(y - 32 - 6 * std::sin(x / 12)) < 7; },
            [&t](int x, int y) { return Mix(t.At(x, y), C(170, 140, 95), 0.85); });
    for (int i = 0; i < 20; ++i) {
      double x = r.Unit() * 64;
      t.Put(static_cast<int>(x),
            static_cast<int>(32 + 6 * std::sin(x / 12) + (r.Unit() - 0.5) * 10), C(130, 110, 80));
    }
    return t;
  } else if (n.rfind("village_b", 0) == 0) {
    Rgb roof = Is(n, "yellow")  ? C(230, 200, 50)
               : Is(n, "blue")  ? C(60, 90, 200)
               : Is(n, "green") ? C(60, 160, 60)
               : Is(n, "red")   ? C(200, 50, 40)
                                : C(150, 90, 50);
    s.Line(0, 26, 32, 22, 3, C(170, 140, 95));
    House(s, 9, 15, roof);
    House(s, 23, 13, roof);
    House(s, 15, 28, roof);
  } else if (n == "ruin_a") {
    Rgb stone = C(150, 145, 135);
    s.Rect(5, 12, 8, 26, stone);
    s.Rect(5, 23, 20, 26, stone);
    s.Rect(17, 18, 20, 26, stone);
    s.Rect(24, 8, 27, 26, stone);
    s.Rect(11, 27, 14, 29, Scale(stone, 0.8));
    s.Rect(21, 27, 23, 29, Scale(stone, 0.8));
  } else if (n == "castle_a") {
    Rgb stone = C(170, 165, 155);
    s.Rect(6, 12, 26, 27, stone);
    for (double x : {4.0, 22.0}) s.Rect(x, 7, x + 6, 27, Scale(stone, 1.08));
    for (double x = 4; x < 28; x += 2)
      s.Rect(x, 5 + (x > 9 && x < 22 ? 5 : 0), x + 1, 7 + (x > 9 && x < 22 ? 5 : 0), stone);
    s.Rect(13.5, 19, 18.5, 27, C(70, 50, 30));
    s.Rect(15.5, 1, 16.5, 12, C(90, 70, 50));
    s.Rect(16.5, 1, 21, 4, C(200, 40, 40));
  } else if (n == "grottus" || n == "mine" || n == "iron_mine") {
    Rgb rock = C(130, 120, 110);
    s.Ellipse(16, 22, 14, 12, rock);
    s.Ellipse(16, 25, 6, 7, C(20, 15, 15));
    if (n != "grottus") {
      s.Rect(9, 17, 11, 30, C(130, 90, 50));
      s.Rect(21, 17, 23, 30, C(130, 90, 50));
      s.Rect(8, 16, 24, 18, C(130, 90, 50));
      s.Line(16, 30, 16, 32, 3, C(90, 90, 95));
    }
    if (n == "iron_mine")
      for (int i = 0; i < 5; ++i) s.Disc(4 + i * 6, 29, 1.5, C(160, 90, 70));
  } else if (n == "well") {
    s.Ellipse(16, 21, 8, 4, C(150, 150, 155));
    s.Ellipse(16, 20, 5.5, 2.5, C(30, 50, 90));
    s.Rect(8, 21, 24, 25, C(150, 150, 155));
    s.Rect(8.5, 8, 10, 21, C(110, 75, 40));
    s.Rect(22, 8, 23.5, 21, C(110, 75, 40));
    s.Polygon({{5, 9}, {27, 9}, {16, 3}}, C(170, 60, 40));
    s.Line(16, 9, 16, 16, 0.6, C(200, 190, 150));
    s.Rect(14.5, 15, 17.5, 17, C(120, 85, 50));
  }
  s.Bevel(1.2, 0.75);
  s.Outline(C(35, 40, 30));
  tile.Over(s.Enlarged(2));
  return tile;
}

// ---- Dungeon tiles: 64 x 64 stone with objects at half resolution -----------------------------

inline Layer StoneFloor(std::uint64_t seed, Rgb base, int slab) {
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

inline Layer Bricks(int w, int h, std::uint64_t seed, Rgb brick, Rgb mortar, int bw, int bh,
                    double moss) {
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

inline Layer MagicCircle(Rgb ring, bool flames) {
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

inline Layer Pool(Rgb water, bool full) {
  Layer s(32, 32);
  s.Ellipse(16, 18, 12, 8, C(140, 135, 130));
  s.Ellipse(16, 18, 9.5, 5.8, water);
  s.Ellipse(13, 16, 3, 1, Scale(water, 1.4));
  if (full)
    for (int i = 0; i < 4; ++i) s.Disc(10 + i * 4, 8 - (i % 2) * 2, 0.9, Scale(water, 1.5));
  return s;
}

inline Layer DrawDungeonObject(const std::string& n) {
  Layer s(32, 32);
  Rgb wood = C(120, 78, 40), gold = C(230, 190, 60), iron = C(100, 100, 110);
  if (n == "chest" || n == "chest_open") {
    bool open = n == "chest_open";
    s.Rect(6, 14, 26, 26, wood);
    if (open) {
      s.Polygon({{6, 14}, {26, 14}, {24, 6}, {8, 6}}, Scale(wood, 0.75));
      s.Rect(8, 13, 24, 16, C(40, 25, 15));
      for (int i = 0; i < 6; ++i) s.Disc(10 + i * 2.5, 13.5 - (i % 2), 1.4, gold);
    } else {
      s.Ellipse(16, 14, 10, 4, Scale(wood, 1.1));
      s.Rect(14.5, 14, 17.5, 18, gold);
    }
    for (double x : {8.0, 23.0}) s.Rect(x, 12, x + 1.5, 26, iron);
  } else if (n.rfind("candelabrum", 0) == 0) {
    s.Rect(15, 10, 17, 28, gold);
    s.Rect(11, 27, 21, 29, gold);
    s.Line(8, 12, 24, 12, 1.2, gold);
    for (double x : {8.0, 16.0, 24.0}) {
      s.Rect(x - 1, 6, x + 1, 12, C(240, 235, 215));
      if (n == "candelabrum") s.Polygon({{x - 1, 6}, {x + 1, 6}, {x, 2}}, C(255, 200, 50));
    }
  } else if (n.rfind("coffin", 0) == 0) {
    std::vector<std::pair<double, double>> shape = {{12, 3},  {20, 3},  {24, 10},
                                                    {21, 29}, {11, 29}, {8, 10}};
    s.Polygon(shape, Scale(wood, 0.7));
    if (n == "coffin_open") {
      s.Polygon({{13, 5}, {19, 5}, {22, 10}, {19.5, 27}, {12.5, 27}, {10, 10}}, C(40, 20, 25));
      s.Disc(16, 9, 2.5, C(225, 220, 200));
      s.Line(16, 12, 16, 22, 1, C(225, 220, 200));
    } else {
      s.Line(16, 7, 16, 19, 1.2, gold);
      s.Line(13, 11, 19, 11, 1.2, gold);
    }
  } else if (n.rfind("floor_bones", 0) == 0) {
    Rng r(HashName(n));
    int count = n == "floor_bones" ? 7 : 2;
    for (int i = 0; i < count; ++i) {
      double x = 5 + r.Unit() * 22, y = 5 + r.Unit() * 22, a = r.Unit() * pi;
      s.Line(x, y, x + 5 * std::cos(a), y + 5 * std::sin(a), 1, C(225, 220, 200));
    }
    if (count > 2) s.Disc(20, 22, 2.5, C(225, 220, 200));
  } else if (n.rfind("door", 0) == 0) {
    s.Rect(6, 2, 26, 30, C(90, 88, 85));
    if (n == "door") {
      s.Rect(8, 4, 24, 30, wood);
      for (double x = 11; x < 24; x += 4) s.Line(x, 4, x, 30, 0.6, Scale(wood, 0.7));
      s.Disc(21, 17, 1.2, gold);
    } else {
      s.Rect(8, 4, 24, 30, C(25, 20, 20));
      s.Polygon({{8, 4}, {12, 6}, {12, 30}, {8, 30}}, wood);
    }
  } else if (n == "source" || n == "source_complete") {
    return Pool(C(60, 130, 220), n == "source_complete");
  } else if (n.rfind("source_", 0) == 0) {
    Rgb c = Is(n, "red")      ? C(200, 40, 40)
            : Is(n, "green")  ? C(50, 180, 60)
            : Is(n, "blue")   ? C(40, 70, 220)
            : Is(n, "yellow") ? C(240, 210, 40)
                              : C(130, 85, 45);
    return Pool(c, true);
  } else if (n.rfind("spawn", 0) == 0) {
    return MagicCircle(n == "spawn" ? C(170, 30, 30) : C(80, 30, 30), false);
  } else if (n.rfind("circle", 0) == 0) {
    return MagicCircle(n == "circle_golden" ? gold : C(120, 160, 230), n == "circle_aflamed");
  } else if (n.rfind("fountain", 0) == 0) {
    s.Ellipse(16, 24, 12, 5, C(160, 160, 165));
    s.Ellipse(16, 23, 9, 3, n == "fountain" ? C(70, 140, 220) : C(60, 55, 50));
    s.Rect(14.5, 8, 17.5, 23, C(170, 170, 175));
    s.Ellipse(16, 9, 5, 2, C(170, 170, 175));
    if (n == "fountain") {
      s.Line(16, 8, 11, 19, 0.8, C(150, 200, 255));
      s.Line(16, 8, 21, 19, 0.8, C(150, 200, 255));
      s.Disc(16, 5, 1.5, C(150, 200, 255));
    }
  } else if (n == "stairsd" || n == "stairsu") {
    bool down = n == "stairsd";
    for (int i = 0; i < 6; ++i) {
      double shade = down ? 1.1 - i * 0.14 : 0.5 + i * 0.12;
      s.Rect(5, 4 + i * 4, 27, 8 + i * 4, Scale(C(150, 145, 140), shade));
    }
    s.Polygon(down ? std::vector<std::pair<double, double>>{{13, 12}, {19, 12}, {16, 18}}
                   : std::vector<std::pair<double, double>>{{13, 18}, {19, 18}, {16, 12}},
              C(240, 220, 80));
  } else if (n.rfind("altar", 0) == 0) {
    Rgb stone = n == "altar_dark" ? C(60, 50, 65) : C(190, 185, 175);
    s.Rect(5, 12, 27, 16, stone);
    s.Rect(8, 16, 24, 28, Scale(stone, 0.85));
    s.Rect(5, 27, 27, 29, stone);
    if (n == "altar_jeweled")
      for (int i = 0; i < 4; ++i)
        s.Disc(10 + i * 4, 21, 1.3, i % 2 ? C(220, 30, 60) : C(40, 200, 230));
    if (n == "altar_dark") s.Disc(16, 21, 2.5, C(150, 20, 20));
    s.Rect(13, 9, 19, 12, gold);
  } else if (n.rfind("trap", 0) == 0) {
    s.Rect(5, 5, 27, 27, C(80, 78, 75));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        double px = 8.5 + x * 5, py = 8.5 + y * 5;
        if (n == "trap")
          s.Polygon({{px - 1.5, py + 1.5}, {px + 1.5, py + 1.5}, {px, py - 2.5}}, C(200, 200, 210));
        else
          s.Disc(px, py, 1, C(40, 40, 40));
      }
  } else if (n.rfind("torch", 0) == 0) {
    s.Rect(12, 20, 20, 22, iron);
    s.Line(16, 28, 16, 12, 2.5, wood);
    s.Rect(13.5, 10, 18.5, 14, iron);
    if (n == "torch") {
      s.Polygon({{12, 10}, {20, 10}, {17, 1}}, C(250, 130, 30));
      s.Polygon({{14, 10}, {18, 10}, {16, 4}}, C(255, 230, 90));
    } else {
      s.Line(16, 8, 15, 3, 1, C(120, 120, 120));
    }
  } else if (n == "geer_mecanism") {
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
  } else if (n == "lever") {
    s.Rect(10, 22, 22, 28, iron);
    s.Line(16, 24, 23, 8, 1.6, C(150, 150, 160));
    s.Disc(23, 7, 2.5, C(200, 40, 40));
  } else if (n == "scrolls") {
    Rng r(7);
    for (int i = 0; i < 5; ++i) {
      double x = 7 + r.Unit() * 14, y = 10 + i * 3.5;
      s.Line(x, y, x + 10, y + 2, 4, C(235, 220, 180));
      s.Disc(x, y, 2, C(210, 190, 140));
      s.Rect(x + 4, y - 1, x + 5, y + 2.5, C(180, 40, 40));
    }
  }
  return s;
}

inline Layer DrawDungeon(const std::string& n) {
  std::uint64_t seed = HashName(n);
  if (n == "wall") return Bricks(64, 64, seed, C(120, 110, 100), C(55, 50, 48), 16, 8, 0.1);
  if (n == "floor_marble") {
    Layer f = StoneFloor(seed, C(225, 222, 215), 32);
    f.Paint([seed](double x, double y) { return std::abs(Fractal(x, y, 20, seed) - 0.5) < 0.02; },
            C(150, 150, 160));
    return f;
  }
  Layer floor = StoneFloor(seed, C(105, 100, 95), 16);
  if (n == "floor") return floor;
  if (n == "wall" || n.rfind("torch", 0) == 0 || n == "lever" || n.rfind("door", 0) == 0)
    floor = Bricks(64, 64, seed, C(120, 110, 100), C(55, 50, 48), 16, 8, 0.1);
  Layer s = DrawDungeonObject(n);
  floor.Over(Sprite(s, C(25, 22, 20)));
  return floor;
}

// ---- Structures: 128 x 128, drawn at 64 x 64 ---------------------------------------------------

inline void Building(Layer& s, double x0, double x1, double ground, double wallTop, Rgb wall,
                     Rgb roof, double roofRise) {
  s.Rect(x0, wallTop, x1, ground, wall);
  s.Polygon({{x0 - 3, wallTop}, {x1 + 3, wallTop}, {(x0 + x1) / 2, wallTop - roofRise}}, roof);
  for (double x = x0 + 3; x + 3 < x1; x += 8)
    s.Rect(x, wallTop + 4, x + 3, wallTop + 8, C(70, 110, 160));
}

// The building alone, 64 x 64, shaded and outlined.
inline Layer StructureSprite(const std::string& n) {
  Layer s(64, 64);
  Rgb stone = C(165, 160, 150), wood = C(140, 95, 55), plaster = C(225, 210, 175);
  double g = 56;
  if (n == "hart") {
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
  } else if (n == "structure_farm") {
    for (int r = 0; r < 5; ++r) s.Rect(4, 44 + r * 3, 28, 45.5 + r * 3, C(200, 180, 70));
    Building(s, 32, 58, g, 34, C(170, 50, 40), C(90, 50, 40), 14);
    s.Rect(41, 44, 49, g, C(240, 230, 220));
    s.Line(41, 44, 49, g, 0.8, C(170, 50, 40));
    s.Line(49, 44, 41, g, 0.8, C(170, 50, 40));
  } else if (n == "structure_merchant") {
    Building(s, 10, 54, g, 30, plaster, C(120, 70, 40), 12);
    s.Rect(8, 36, 56, 40, C(230, 230, 220));
    for (double x = 8; x < 56; x += 6) s.Rect(x, 36, x + 3, 40, C(40, 120, 200));
    s.Rect(12, 46, 52, 49, wood);
    for (int i = 0; i < 6; ++i)
      s.Disc(16 + i * 6, 45, 1.8, i % 2 ? C(220, 60, 50) : C(240, 200, 60));
  } else if (n == "structure_quary") {
    s.Ellipse(32, 46, 28, 13, C(120, 110, 100));
    s.Ellipse(32, 48, 20, 8, C(80, 72, 66));
    for (int i = 0; i < 5; ++i)
      s.Rect(12 + i * 9, 30 - (i % 2) * 3, 18 + i * 9, 35 - (i % 2) * 3, stone);
    s.Line(52, 20, 52, 46, 1.5, wood);
    s.Line(52, 20, 40, 38, 1, wood);
  } else if (n == "structure_stable") {
    Building(s, 6, 58, g, 32, wood, C(170, 130, 60), 10);
    for (double x : {12.0, 28.0, 44.0}) s.Rect(x, 42, x + 10, g, C(70, 45, 25));
    s.Ellipse(18, 44, 2.5, 2, C(150, 100, 60));
    s.Rect(17, 44, 19.5, 49, C(150, 100, 60));
  } else if (n == "structure_tower") {
    s.Rect(22, 14, 42, g, stone);
    for (double x = 20; x < 44; x += 4) s.Rect(x, 8, x + 2, 14, stone);
    s.Rect(20, 12, 44, 15, Scale(stone, 1.1));
    s.Rect(29, 44, 35, g, C(80, 55, 30));
    for (double y : {22.0, 33.0}) s.Rect(30.5, y, 33.5, y + 5, C(30, 30, 40));
  } else if (n == "structure_barrack") {
    Building(s, 4, 60, g, 36, C(150, 120, 90), C(110, 60, 40), 9);
    for (double x : {12.0, 50.0}) {
      s.Line(x, 27, x, 12, 0.9, C(90, 70, 50));
      s.Rect(x, 12, x + 7, 17, C(200, 40, 40));
    }
    s.Rect(28, 46, 36, g, C(80, 55, 30));
  } else if (n == "structure_blacksmith") {
    Building(s, 8, 50, g, 32, stone, C(80, 75, 80), 12);
    s.Rect(40, 12, 46, 26, C(120, 70, 60));
    s.Disc(44, 9, 3, C(180, 180, 180));
    s.Disc(47, 5, 2.3, C(200, 200, 200));
    s.Polygon({{50, 50}, {62, 50}, {60, 47}, {52, 47}}, C(60, 60, 65));
    s.Rect(54, 50, 58, g, C(60, 60, 65));
    s.Rect(18, 42, 26, g, C(240, 140, 40));
  } else if (n == "structure_castle") {
    s.Rect(8, 26, 56, g, stone);
    for (double x : {4.0, 46.0}) {
      s.Rect(x, 14, x + 14, g, Scale(stone, 1.08));
      for (double cx = x; cx < x + 14; cx += 4) s.Rect(cx, 10, cx + 2, 14, Scale(stone, 1.08));
      s.Rect(x + 5.5, 22, x + 8.5, 28, C(30, 30, 40));
    }
    for (double x = 18; x < 46; x += 4) s.Rect(x, 22, x + 2, 26, stone);
    s.Paint(
        [](double x, double y) {
          return x > 26 && x < 38 && y < 56 && (y > 44 || std::hypot(x - 32, y - 44) < 6);
        },
        C(70, 50, 30));
    s.Line(32, 22, 32, 4, 1.3, C(90, 70, 50));
    s.Rect(32, 4, 42, 9, C(40, 70, 190));
  } else if (n == "structure_church") {
    Building(s, 8, 44, g, 30, plaster, C(150, 60, 50), 12);
    s.Rect(44, 18, 58, g, plaster);
    s.Polygon({{42, 18}, {60, 18}, {51, 2}}, C(150, 60, 50));
    s.Line(51, 2, 51, -4, 1, C(230, 190, 60));
    s.Paint(
        [](double x, double y) {
          return x > 47 && x < 55 && y < 56 && (y > 44 || std::hypot(x - 51, y - 44) < 4);
        },
        C(90, 60, 35));
    s.Disc(51, 28, 3, C(200, 90, 160));
  }
  s.Bevel(1.2, 0.72);
  s.Outline(C(35, 35, 30));
  return s;
}

inline Layer DrawStructure(const std::string& n) {
  Layer big = Noisy(128, 128, C(96, 150, 70), 0.4, 18, HashName(n));
  big.Over(StructureSprite(n).Enlarged(2));
  return big;
}

// ---- The cursor cross, the intro screen and the cube textures ---------------------------------

inline Layer DrawCross() {
  Layer img = Filled(32, 32, [](int, int) { return C(0, 0, 0); });
  Layer s(32, 32);
  s.Rect(15, 2, 17, 13, C(255, 240, 120));
  s.Rect(15, 19, 17, 30, C(255, 240, 120));
  s.Rect(2, 15, 13, 17, C(255, 240, 120));
  s.Rect(19, 15, 30, 17, C(255, 240, 120));
  s.Rect(15, 15, 17, 17, C(255, 60, 40));
  s.Outline(C(120, 70, 20));
  img.Over(s);
  return img;
}

inline Layer DrawIntro() {
  const int w = 320, h = 240;
  std::uint64_t seed = HashName("intro1");
  Layer img = Filled(w, h, [](int, int y) {
    double t = y / 150.0;
    return t < 1 ? Mix(C(40, 30, 90), C(250, 140, 70), t * t) : C(40, 30, 40);
  });
  Rng r(seed);
  for (int i = 0; i < 60; ++i) img.Put(r.Range(0, w - 1), r.Range(0, 60), C(255, 250, 220));
  img.Disc(240, 70, 22, C(255, 220, 140));
  // Far mountains, near hills, then the castle on its rock.
  img.Paint([seed](double x, double y) { return y > 120 - 40 * Fractal(x, 0, 40, seed); },
            [](int, int y) { return Mix(C(90, 70, 120), C(60, 50, 80), (y - 80) / 80.0); });
  img.Paint([seed](double x, double y) { return y > 165 - 25 * Fractal(x, 3, 60, seed + 5); },
            [](int, int y) { return Mix(C(50, 70, 50), C(25, 35, 30), (y - 140) / 100.0); });
  Rgb castle = C(30, 25, 35);
  img.Rect(90, 110, 170, 160, castle);
  for (double x : {80.0, 160.0}) {
    img.Rect(x, 90, x + 20, 160, castle);
    for (double cx = x; cx < x + 20; cx += 6) img.Rect(cx, 84, cx + 3, 90, castle);
    img.Rect(x + 8, 100, x + 11, 108, C(255, 200, 90));
  }
  img.Rect(120, 70, 140, 110, castle);
  img.Polygon({{116, 70}, {144, 70}, {130, 44}}, castle);
  img.Rect(127, 80, 132, 88, C(255, 200, 90));
  for (double cx = 90; cx < 170; cx += 6) img.Rect(cx, 105, cx + 3, 110, castle);
  // A banner for the title, left empty for the game's own lettering.
  img.Rect(60, 190, 260, 226, C(120, 30, 30));
  img.Rect(64, 194, 256, 222, C(170, 50, 40));
  img.Rect(64, 194, 256, 196, C(230, 190, 80));
  img.Rect(64, 220, 256, 222, C(230, 190, 80));
  return img;
}

inline Layer DrawPhoto() {
  // A photograph of a lakeside: soft gradients and grain rather than pixel art.
  const int n = 128;
  std::uint64_t seed = HashName("DSC3");
  Rng grain(seed);
  return Filled(n, n, [&](int x, int y) {
    double hill = 60 - 18 * Fractal(x, 0, 50, seed), shore = 84 + 3 * std::sin(x / 11.0);
    Rgb c;
    if (y < hill)
      c = Mix(C(110, 160, 230), C(225, 235, 245), y / 60.0);
    else if (y < shore)
      c = Mix(C(60, 100, 50), C(40, 70, 35), Fractal(x, y, 6, seed + 1));
    else
      c = Mix(C(70, 110, 150), C(40, 70, 110), (y - shore) / 44.0 + 0.3 * std::sin(x * 0.7 + y));
    if (std::hypot(x - 96, y - 22) < 9) c = C(255, 250, 225);
    return Scale(c, 1 + (grain.Unit() - 0.5) * 0.12);
  });
}

inline Layer DrawCube(const std::string& n) {
  std::uint64_t seed = HashName(n);
  if (n == "brickold2") return Bricks(128, 128, seed, C(150, 80, 60), C(90, 85, 75), 32, 16, 0.25);
  if (n == "brickold3") return Bricks(128, 128, seed, C(95, 90, 95), C(45, 42, 40), 24, 12, 0.35);
  if (n == "grass3") {
    Layer g = Noisy(128, 128, C(80, 145, 55), 0.55, 9, seed);
    Rng r(seed);
    for (int i = 0; i < 260; ++i) {
      double x = r.Unit() * 128, y = r.Unit() * 128;
      g.Line(x, y, x + (r.Unit() - 0.5) * 3, y - 3 - r.Unit() * 3, 0.8,
             Scale(C(80, 145, 55), 0.8 + r.Unit() * 0.6));
    }
    return g;
  }
  if (n == "dirt1") {
    Layer d = Noisy(128, 128, C(130, 95, 60), 0.45, 14, seed);
    Rng r(seed);
    for (int i = 0; i < 40; ++i) {
      double x = r.Unit() * 128, y = r.Unit() * 128, rad = 1 + r.Unit() * 2.5;
      Layer p(128, 128);
      p.Ellipse(x, y, rad * 1.3, rad, Scale(C(150, 140, 125), 0.8 + r.Unit() * 0.4));
      p.Bevel();
      d.Over(p);
    }
    return d;
  }
  if (n == "structure_castle") {
    // The castle as a cube face: against the sky on a strip of meadow.
    Layer face = Filled(128, 128, [seed](int x, int y) {
      if (y >= 112) return Scale(C(90, 140, 60), 0.8 + 0.4 * Fractal(x, y, 6, seed));
      return Mix(C(120, 170, 235), C(215, 230, 245), y / 112.0);
    });
    face.Over(StructureSprite(n).Enlarged(2));
    return face;
  }
  if (n == "item_whale_blade") {
    Layer bg = Noisy(128, 128, C(70, 52, 38), 0.25, 16, seed);
    bool found = false;
    Layer s = DrawItemSprite(n, &found);
    s.Bevel();
    s.Outline(C(25, 18, 12));
    bg.Over(s.Enlarged(4));
    return bg;
  }
  return DrawPhoto();
}

// One asset file's picture, by directory and stem.
inline Layer DrawAsset(const std::string& dir, const std::string& stem) {
  if (dir == "bmp_cross") return DrawCross();
  if (dir == "bmp_unit") return DrawUnit(stem);
  if (dir == "bmp_land") return DrawLand(stem);
  if (dir == "bmp_dungeon") return DrawDungeon(stem);
  if (dir == "bmp_structure") return DrawStructure(stem);
  if (dir == "bmp_item") return DrawItem(stem);
  if (dir == "bmp_scr") return DrawIntro();
  return DrawCube(stem);
}
// ---- The asset tree ----------------------------------------------------------------------------

// Directory and stem of a catalogue path such as ".\bmp_unit\unit_dog.bmp".
inline bool SplitAssetPath(std::string_view path, std::string* dir, std::string* stem) {
  if (path.substr(0, 2) != ".\\") return false;
  path.remove_prefix(2);
  std::size_t slash = path.find('\\');
  if (slash == std::string_view::npos || path.size() < slash + 5) return false;
  std::string_view file = path.substr(slash + 1);
  if (file.substr(file.size() - 4) != ".bmp") return false;
  *dir = std::string(path.substr(0, slash));
  *stem = std::string(file.substr(0, file.size() - 4));
  auto plain = [](const std::string& s) {
    return !s.empty() && s.find_first_of("/\\.") == std::string::npos;
  };
  return plain(*dir) && plain(*stem);
}

// Writes every distinct file of the catalogue under root (made if needed); false on the first
// file that cannot be written. Nothing is written outside root.
inline bool WriteAssetTree(const std::filesystem::path& root, int* filesWritten = nullptr) {
  std::set<std::string> done;
  int written = 0;
  for (const AssetEntry& entry : AssetCatalogue) {
    std::string dir, stem;
    if (!SplitAssetPath(entry.path, &dir, &stem)) return false;
    if (!done.insert(dir + "/" + stem).second) continue;
    std::error_code ec;
    std::filesystem::create_directories(root / dir, ec);
    if (ec) return false;
    std::vector<std::uint8_t> bytes = EncodeBmp(DrawAsset(dir, stem));
    std::ofstream file(root / dir / (stem + ".bmp"), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) return false;
    ++written;
  }
  if (filesWritten) *filesWritten = written;
  return true;
}

}  // namespace assetart
