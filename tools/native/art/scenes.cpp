// The cursor cross, the intro screen and the cube pictures.

#include <cmath>
#include <string_view>

#include "families.h"

namespace assetart {

Layer DrawCross() {
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

Layer DrawIntro() {
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

namespace {

Layer DrawPhoto() {
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

Layer GrassFace(std::uint64_t seed) {
  Layer g = Noisy(128, 128, C(80, 145, 55), 0.55, 9, seed);
  Rng r(seed);
  for (int i = 0; i < 260; ++i) {
    double x = r.Unit() * 128, y = r.Unit() * 128;
    g.Line(x, y, x + (r.Unit() - 0.5) * 3, y - 3 - r.Unit() * 3, 0.8,
           Scale(C(80, 145, 55), 0.8 + r.Unit() * 0.6));
  }
  return g;
}

Layer DirtFace(std::uint64_t seed) {
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

// The castle as a cube face: against the sky on a strip of meadow.
Layer CastleFace(std::uint64_t seed) {
  Layer face = Filled(128, 128, [seed](int x, int y) {
    if (y >= 112) return Scale(C(90, 140, 60), 0.8 + 0.4 * Fractal(x, y, 6, seed));
    return Mix(C(120, 170, 235), C(215, 230, 245), y / 112.0);
  });
  face.Over(StructureSprite("structure_castle").Enlarged(2));
  return face;
}

// The whale blade, four times its inventory size, on the inventory's leather.
Layer BladeFace(std::uint64_t seed) {
  Layer bg = Noisy(128, 128, C(70, 52, 38), 0.25, 16, seed);
  Layer s = DrawItemSprite("item_whale_blade");
  s.Bevel();
  s.Outline(C(25, 18, 12));
  bg.Over(s.Enlarged(4));
  return bg;
}

struct BrickFaceArt {
  std::string_view stem;
  Rgb brick, mortar;
  int brickWidth, brickHeight;
  double moss;
};
constexpr BrickFaceArt BrickFaces[] = {
    {"brickold2", {150, 80, 60}, {90, 85, 75}, 32, 16, 0.25},
    {"brickold3", {95, 90, 95}, {45, 42, 40}, 24, 12, 0.35},
};

struct FaceArt {
  std::string_view stem;
  Layer (*draw)(std::uint64_t seed);
};
constexpr FaceArt Faces[] = {
    {"grass3", GrassFace},
    {"dirt1", DirtFace},
    {"structure_castle", CastleFace},
    {"item_whale_blade", BladeFace},
};

}  // namespace

// A cube picture; any other stem is the photograph.
Layer DrawCube(const std::string& n) {
  std::uint64_t seed = HashName(n);
  if (const BrickFaceArt* a = FindStem(BrickFaces, n))
    return Bricks(128, 128, seed, a->brick, a->mortar, a->brickWidth, a->brickHeight, a->moss);
  if (const FaceArt* a = FindStem(Faces, n)) return a->draw(seed);
  return DrawPhoto();
}

}  // namespace assetart
