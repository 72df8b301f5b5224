// The asset tree: every file of the catalogue drawn by its family and written as a BMP.
#include <fstream>
#include <set>
#include <string_view>

#include "../asset_art.h"
#include "families.h"

namespace assetart {

namespace {

// The drawing of each asset directory; any other directory holds cube pictures.
struct DirectoryArt {
  std::string_view dir;
  Layer (*draw)(const std::string& stem);
};
constexpr DirectoryArt Directories[] = {
    {"bmp_cross", [](const std::string&) { return DrawCross(); }},
    {"bmp_unit", DrawUnit},
    {"bmp_land", DrawLand},
    {"bmp_dungeon", DrawDungeon},
    {"bmp_structure", DrawStructure},
    {"bmp_item", DrawItem},
    {"bmp_scr", [](const std::string&) { return DrawIntro(); }},
};

}  // namespace

Layer DrawAsset(const std::string& dir, const std::string& stem) {
  for (const DirectoryArt& d : Directories)
    if (d.dir == dir) return d.draw(stem);
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
