// Units: 32 x 32 sprites of people, beasts and monsters, shown at 64 x 64 on a dark floor.

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "families.h"

namespace assetart {

namespace {

struct Figure {
  Rgb skin{222, 180, 140};
  Rgb shirt{120, 80, 50};
  Rgb pants{80, 60, 40};
  Rgb hair{70, 45, 25};
  double height = 22;  // pixels from the feet up
  double girth = 1;    // torso width factor
  enum Head { bare, hairy, pointedHat, helmet, hood, horns, crown, snakes, bigHead, bullHead };
  Head head = hairy;
  enum Weapon { none, sword, staff, axe, dagger, club, mace, bow };
  Weapon weapon = none;
  Rgb weaponColour{200, 200, 215};
  bool shield = false;
  bool robe = false;
  bool beard = false;
  bool ears = false;
  bool tusks = false;
  bool tail = false;  // a serpent's tail instead of legs
  Rgb eyes{20, 20, 20};
};

void DrawWeapon(Layer& s, Figure::Weapon weapon, double hx, double hy, double height, Rgb metal) {
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

Layer DrawFigure(const Figure& f) {
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
  Rgb bone{225, 220, 200};
  double height = 22;
  double girth = 1;
  bool floating = false;
  bool flames = false;
  bool flesh = false;   // rotting flesh on the bones
  bool wounds = false;  // blood
  bool armour = false;
  bool shield = false;
  Figure::Weapon weapon = Figure::none;
  Rgb eyes{20, 10, 10};
};

Layer DrawBones(const Bones& b) {
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

Layer DrawBeast(Rgb fur, double size, double tail, bool spikes, double snout, bool horns) {
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

Layer DrawSnake(Rgb body, Rgb belly, double thick, bool worm) {
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

Layer DrawInsect(Rgb shell, int legs, bool upright, bool spider, bool feelers) {
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

Layer DrawEye(Rgb ball, Rgb iris, bool hat) {
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

Layer DrawDragon(Rgb scales, int heads, bool wings, double size) {
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

Layer DrawElemental(char kind, int level) {
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

Layer GreenSlime() {
  Layer s(32, 32);
  s.Paint(
      [](double x, double y) {
        double dx = (x - 16) / 11, dy = (y - 29) / 13;
        return y < 29.5 && dx * dx + dy * dy <= 1 + 0.08 * std::sin(x * 1.3);
      },
      C(80, 200, 70));
  s.Ellipse(12, 21, 2, 1.5, C(190, 255, 170));
  s.Disc(13, 24, 1.5, C(20, 50, 20));
  s.Disc(19, 24, 1.5, C(20, 50, 20));
  return s;
}

Layer GelatinousCube() {
  Layer s(32, 32);
  s.Paint([](double x, double y) { return x > 5 && x < 27 && y > 7 && y < 29.5; },
          [](int x, int y) { return Mix(C(110, 210, 140), C(60, 160, 100), (x + y) / 60.0); });
  s.Polygon({{5, 7}, {10, 3}, {31, 3}, {27, 7}}, C(150, 235, 170));
  s.Polygon({{27, 7}, {31, 3}, {31, 25}, {27, 29.5}}, C(70, 150, 100));
  s.Disc(13, 19, 2.5, C(230, 225, 205));  // a swallowed skull
  s.Put(12, 19, C(40, 40, 40));
  s.Put(14, 19, C(40, 40, 40));
  s.Line(19, 24, 24, 21, 1, C(180, 180, 190));
  return s;
}

Layer Fungus() {
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

// ---- Which unit is drawn how ------------------------------------------------------------------

struct BeastArt {
  std::string_view stem;
  Rgb fur;
  double size, tail;
  bool spikes;
  double snout;
  bool horns;
};
constexpr BeastArt Beasts[] = {
    {"unit_giant_rat", {130, 120, 110}, 0.75, 10, false, 2.2, false},
    {"unit_dog", {160, 110, 60}, 0.9, 5, false, 2, false},
    {"unit_gor_dog", {120, 40, 35}, 1.05, 6, true, 2.4, false},
    {"unit_polar_geer", {235, 235, 240}, 1.2, 2, false, 1.6, false},
};

struct SnakeArt {
  std::string_view stem;
  Rgb body, belly;
  double thick;
  bool worm;
};
constexpr SnakeArt Snakes[] = {
    {"unit_serpent", {70, 150, 60}, {200, 210, 120}, 3.5, false},
    {"unit_serpent_fire", {220, 80, 30}, {255, 210, 70}, 3.5, false},
    {"unit_giant_worm", {200, 130, 140}, {230, 170, 170}, 6, true},
};

struct InsectArt {
  std::string_view stem;
  Rgb shell;
  int legs;
  bool upright, spider, feelers;
};
constexpr InsectArt Insects[] = {
    {"unit_beatle", {60, 90, 160}, 6, false, false, false},
    {"unit_beatle_fire", {210, 70, 30}, 6, false, false, false},
    {"unit_giant_spider", {60, 50, 55}, 8, false, true, false},
    {"unit_rust_monster", {190, 110, 50}, 4, false, false, true},
    {"unit_mantis", {100, 190, 70}, 6, true, false, false},
};

struct EyeArt {
  std::string_view stem;
  Rgb ball, iris;
  bool hat;
};
constexpr EyeArt Eyes[] = {
    {"unit_floating_eye", {230, 200, 190}, {60, 140, 60}, false},
    {"unit_mage_eye", {200, 170, 220}, {150, 30, 120}, true},
};

struct DragonArt {
  std::string_view stem;
  Rgb scales;
  int heads;
  bool wings;
  double size;
};
constexpr DragonArt Dragons[] = {
    {"unit_dragon", {190, 40, 30}, 1, true, 1.1},
    {"unit_dragon_hydra", {40, 140, 120}, 3, false, 1.0},
    {"unit_dragon_basilic", {150, 160, 50}, 1, false, 0.85},
};

// Elementals of fire, water, earth and air grow with each repetition of the element's name.
struct ElementalArt {
  std::string_view stem;
  char kind;
  int level;
};
constexpr ElementalArt Elementals[] = {
    {"unit_fire", 'f', 1},  {"unit_fire_fire", 'f', 2},   {"unit_fire_fire_fire", 'f', 3},
    {"unit_water", 'w', 1}, {"unit_water_water", 'w', 2}, {"unit_water_water_water", 'w', 3},
    {"unit_earth", 'e', 1}, {"unit_earth_earth", 'e', 2}, {"unit_earth_earth_earth", 'e', 3},
    {"unit_air", 'a', 1},   {"unit_air_air", 'a', 2},     {"unit_air_air_air", 'a', 3},
};

struct SkeletonArt {
  std::string_view stem;
  Bones bones;
};
constexpr SkeletonArt Skeletons[] = {
    {"unit_squeletton", {}},
    {"unit_squeletton_zombi", {.bone = {200, 195, 160}, .flesh = true}},
    {"unit_squeletton_zombi_wounded", {.bone = {200, 195, 160}, .flesh = true, .wounds = true}},
    {"unit_squeletton_sturdy", {.girth = 1.5, .weapon = Figure::club}},
    {"unit_squeletton_monster", {.height = 27, .girth = 1.3, .eyes = {230, 40, 40}}},
    {"unit_squeletton_brave", {.shield = true, .weapon = Figure::sword}},
    {"unit_squeletton_floating", {.bone = {190, 210, 230}, .floating = true}},
    {"unit_squeletton_fire", {.flames = true, .eyes = {255, 200, 0}}},
    {"unit_squeletton_ogre", {.height = 28, .girth = 1.8, .weapon = Figure::club}},
    {"unit_squeletton_armored", {.armour = true, .weapon = Figure::axe}},
    {"unit_squeletton_warrior", {.armour = true, .shield = true, .weapon = Figure::sword}},
    {"unit_squeletton_evil",
     {.bone = {120, 100, 110}, .weapon = Figure::staff, .eyes = {255, 30, 30}}},
};

struct FigureArt {
  std::string_view stem;
  Figure figure;
};
constexpr FigureArt Figures[] = {
    {"unit_goblin",
     {.skin = {110, 160, 70},
      .shirt = {110, 80, 50},
      .height = 17,
      .head = Figure::bare,
      .weapon = Figure::dagger,
      .ears = true,
      .eyes = {230, 40, 20}}},
    {"unit_nabos",
     {.skin = {150, 110, 170},
      .shirt = {60, 110, 90},
      .height = 19,
      .head = Figure::bigHead,
      .weapon = Figure::staff,
      .weaponColour = {120, 240, 240},
      .robe = true}},
    {"unit_orc_b",
     {.skin = {80, 120, 60},
      .shirt = {100, 100, 110},
      .pants = {70, 50, 40},
      .height = 24,
      .girth = 1.3,
      .head = Figure::bare,
      .weapon = Figure::axe,
      .tusks = true}},
    {"unit_drius",
     {.skin = {90, 90, 150},
      .shirt = {40, 40, 70},
      .pants = {30, 30, 50},
      .hair = {235, 235, 245},
      .weapon = Figure::bow,
      .ears = true}},
    {"unit_mage",
     {.shirt = {50, 70, 170},
      .hair = {50, 70, 170},
      .head = Figure::pointedHat,
      .weapon = Figure::staff,
      .weaponColour = {250, 80, 60},
      .robe = true}},
    {"unit_dwarf",
     {.shirt = {150, 60, 40},
      .hair = {200, 100, 40},
      .height = 17,
      .girth = 1.5,
      .head = Figure::helmet,
      .weapon = Figure::axe,
      .beard = true}},
    {"unit_minotor",
     {.skin = {130, 80, 50},
      .shirt = {130, 80, 50},
      .pants = {90, 60, 40},
      .height = 27,
      .girth = 1.4,
      .head = Figure::bullHead,
      .weapon = Figure::axe}},
    {"unit_medusa",
     {.skin = {120, 170, 110},
      .shirt = {170, 140, 60},
      .hair = {60, 120, 50},
      .head = Figure::snakes,
      .weapon = Figure::bow,
      .tail = true,
      .eyes = {250, 220, 30}}},
    {"unit_lich",
     {.skin = {215, 210, 190},
      .shirt = {90, 30, 110},
      .head = Figure::crown,
      .weapon = Figure::staff,
      .weaponColour = {120, 255, 150},
      .robe = true,
      .eyes = {80, 255, 120}}},
    {"unit_ogre",
     {.skin = {190, 160, 110},
      .shirt = {120, 100, 70},
      .height = 28,
      .girth = 1.7,
      .head = Figure::bare,
      .weapon = Figure::club,
      .tusks = true}},
    {"unit_fighter",
     {.shirt = {160, 165, 180},
      .pants = {90, 90, 100},
      .hair = {150, 155, 170},
      .head = Figure::helmet,
      .weapon = Figure::sword,
      .shield = true}},
    {"unit_cleric",
     {.shirt = {235, 230, 215},
      .hair = {200, 170, 80},
      .weapon = Figure::mace,
      .weaponColour = {220, 200, 90},
      .robe = true}},
    {"unit_bandit",
     {.shirt = {60, 60, 55},
      .pants = {50, 45, 40},
      .hair = {40, 50, 40},
      .head = Figure::hood,
      .weapon = Figure::dagger}},
    {"unit_pleidian",
     {.skin = {170, 210, 240},
      .shirt = {200, 205, 215},
      .pants = {170, 175, 190},
      .height = 21,
      .head = Figure::bigHead,
      .eyes = {10, 10, 60}}},
};

// Drawings of their own, for the units that fit none of the kinds above.
struct SpecialArt {
  std::string_view stem;
  Layer (*draw)();
};
constexpr SpecialArt Specials[] = {
    {"unit_green_slime", GreenSlime},
    {"unit_gelatinous_cube", GelatinousCube},
    {"unit_fungus", Fungus},
};

Layer DrawUnitSprite(const std::string& n) {
  if (const BeastArt* a = FindStem(Beasts, n))
    return DrawBeast(a->fur, a->size, a->tail, a->spikes, a->snout, a->horns);
  if (const SnakeArt* a = FindStem(Snakes, n))
    return DrawSnake(a->body, a->belly, a->thick, a->worm);
  if (const InsectArt* a = FindStem(Insects, n))
    return DrawInsect(a->shell, a->legs, a->upright, a->spider, a->feelers);
  if (const EyeArt* a = FindStem(Eyes, n)) return DrawEye(a->ball, a->iris, a->hat);
  if (const DragonArt* a = FindStem(Dragons, n))
    return DrawDragon(a->scales, a->heads, a->wings, a->size);
  if (const ElementalArt* a = FindStem(Elementals, n)) return DrawElemental(a->kind, a->level);
  if (const SkeletonArt* a = FindStem(Skeletons, n)) return DrawBones(a->bones);
  if (const FigureArt* a = FindStem(Figures, n)) return DrawFigure(a->figure);
  if (const SpecialArt* a = FindStem(Specials, n)) return a->draw();
  // Anyone else: a swordsman in a shirt of his own colour.
  Figure f;
  Rng r(HashName(n));
  f.shirt = C(r.Range(60, 200), r.Range(60, 200), r.Range(60, 200));
  f.weapon = Figure::sword;
  return DrawFigure(f);
}

Layer UnitBackground(std::uint64_t seed) {
  Layer bg = Noisy(64, 64, C(62, 58, 54), 0.35, 10, seed);
  bg.Paint(
      [](double x, double y) {
        double dx = (x - 32) / 20, dy = (y - 59) / 4.5;
        return dx * dx + dy * dy <= 1;
      },
      [&bg](int x, int y) { return Scale(bg.At(x, y), 0.7); });
  return bg;
}

}  // namespace

Layer DrawUnit(const std::string& stem) {
  Layer bg = UnitBackground(HashName(stem));
  bg.Over(Sprite(DrawUnitSprite(stem), C(20, 16, 14)));
  return bg;
}

}  // namespace assetart
