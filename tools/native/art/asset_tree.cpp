// The asset tree: every file of the catalogue drawn by its family and written as a BMP.
#include <fstream>
#include <set>

#include "../asset_art.h"
#include "families.h"

namespace assetart {

// One asset file's picture, by directory and stem.
Layer DrawAsset(const std::string& dir, const std::string& stem) {
  if (dir == "bmp_cross") return DrawCross();
  if (dir == "bmp_unit") return DrawUnit(stem);
  if (dir == "bmp_land") return DrawLand(stem);
  if (dir == "bmp_dungeon") return DrawDungeon(stem);
  if (dir == "bmp_structure") return DrawStructure(stem);
  if (dir == "bmp_item") return DrawItem(stem);
  if (dir == "bmp_scr") return DrawIntro();
  return DrawCube(stem);
}

// Directory and stem of a catalogue path such as ".\bmp_unit\unit_dog.bmp".
bool SplitAssetPath(std::string_view path, std::string* dir, std::string* stem) {
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
bool WriteAssetTree(const std::filesystem::path& root, int* filesWritten) {
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
