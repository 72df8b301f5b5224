// Units: 32 x 32 sprites of people, beasts and monsters, shown at 64 x 64 on a dark floor.

#include <algorithm>
#include <cmath>

#include "families.h"

namespace assetart {

namespace {

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

Layer DrawUnitSprite(const std::string& n) {
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
