// The game's picture assets, drawn by program: small procedural pixel art for every file of
// the asset catalogue (units, land and dungeon tiles, structures, items, the cursor cross, the
// intro screen and the cube textures), written as 24-bit BMP files. Shared by make_assets and
// the tests; the drawings themselves live in art/, one source file per family.
//
// Everything is deterministic: the variety comes from a hash of each file's stem, never from
// time or addresses, so the same sources always give byte-identical files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "asset_pixels.h"
#include "pictures/asset_catalogue.h"

namespace assetart {

// One asset file's picture, by directory and stem.
Layer DrawAsset(const std::string& dir, const std::string& stem);

// The program's icon: the open treasure chest of the dungeon tiles, 64 x 64, alone (its
// coverage is the icon's opacity).
Layer DrawIcon();

// Directory and stem of a catalogue path such as ".\bmp_unit\unit_dog.bmp".
bool SplitAssetPath(std::string_view path, std::string* dir, std::string* stem);

// Writes every distinct file of the catalogue under root (made if needed); false on the first
// file that cannot be written. Nothing is written outside root.
bool WriteAssetTree(const std::filesystem::path& root, int* filesWritten = nullptr);

}  // namespace assetart
