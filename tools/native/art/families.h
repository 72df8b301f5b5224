// The asset families' entry points, one source file each, and the little they share: the
// sprite finish, the brick pattern and the lookup of a picture's row in a table of parameters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "../asset_pixels.h"

namespace assetart {

constexpr double pi = 3.14159265358979323846;

// The row of a table whose stem is the given one, or null.
template <class Row, std::size_t N>
const Row* FindStem(const Row (&table)[N], std::string_view stem) {
  for (const Row& row : table)
    if (row.stem == stem) return &row;
  return nullptr;
}

// A half-resolution sprite shaded, outlined and doubled for its 64 x 64 cell.
inline Layer Sprite(Layer s, Rgb outline) {
  s.Bevel();
  s.Outline(outline);
  return s.Enlarged(2);
}

// Units: 64 x 64, a 32 x 32 sprite on a dark floor (units.cpp).
Layer DrawUnit(const std::string& stem);

// Items: 64 x 64 inventory cells (items.cpp). The sprite alone is 32 x 32, empty when the
// stem has no drawing.
Layer DrawItem(const std::string& stem);
Layer DrawItemSprite(std::string_view stem);

// Land tiles: 64 x 64 terrain (land.cpp).
Layer DrawLand(const std::string& stem);

// Dungeon tiles: 64 x 64 stone with objects (dungeon.cpp), and the brick pattern they share
// with the cube pictures: bricks of bw x bh with mortar joints, moss covering about that part.
Layer DrawDungeon(const std::string& stem);
Layer Bricks(int w, int h, std::uint64_t seed, Rgb brick, Rgb mortar, int bw, int bh, double moss);

// Structures: 128 x 128 on a meadow (structures.cpp); the building alone is 64 x 64.
Layer DrawStructure(const std::string& stem);
Layer StructureSprite(std::string_view stem);

// The cursor cross, the intro screen and the cube pictures (scenes.cpp).
Layer DrawCross();
Layer DrawIntro();
Layer DrawCube(const std::string& stem);

}  // namespace assetart
