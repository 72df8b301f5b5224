// Reading the game's picture catalogue into texture slots and uploading the cube pictures.
#include "pictures/asset_catalogue.h"

#include <cstring>

#include "pictures/bmp_asset.h"
#include "platform/platform.h"

unsigned CubeTextureNames[CubeNameCount] = {};

namespace {

// Reads the entries of one group from the asset folder; a missing or rejected file leaves its
// slot as the reader leaves it and the group goes on.
void ReadGroup(int group) {
  static char folder[platform::longestPath + 1];
  if (!platform::DataFolder(platform::DataFolderKind::assets, folder, sizeof folder)) return;
  const char separator = platform::PlatformConventions().pathSeparator;
  int first = 0;
  for (int g = 0; g < group; ++g) {
    first += AssetGroupSizes[g];
  }
  for (int i = first; i < first + AssetGroupSizes[group]; ++i) {
    static char path[platform::longestPath + 1];
    if (AssetFilePath(folder, AssetCatalogue[i].path, separator, path, sizeof path)) {
      ReadBmpAsset(path, AssetCatalogue[i].slot);
    }
  }
}

}  // namespace

bool AssetFilePath(const char* folder, const char* relative, char separator, char* path,
                   std::size_t size) {
  if (size == 0) return false;
  path[0] = '\0';
  if (relative[0] == '.' && relative[1] == '\\') relative += 2;
  const std::size_t folderLength = std::strlen(folder);
  // A path longer than the buffer would name some other file once cut: it is refused.
  if (folderLength + 1 + std::strlen(relative) + 1 > size) return false;
  std::memcpy(path, folder, folderLength);
  char* out = path + folderLength;
  *out++ = separator;
  for (const char* c = relative; *c != '\0'; ++c) *out++ = *c == '\\' ? separator : *c;
  *out = '\0';
  return true;
}

void LoadCrossAssets() { ReadGroup(0); }
void LoadUnitAssets() { ReadGroup(1); }
void LoadLandAssets() { ReadGroup(2); }
void LoadDungeonAssets() { ReadGroup(3); }
void LoadStructureAssets() { ReadGroup(4); }
void LoadItemAssets() { ReadGroup(5); }
void LoadScreenAssets() { ReadGroup(6); }
void LoadCubeAssets() { ReadGroup(7); }

void LoadAssetCatalogue() {
  LoadCrossAssets();
  LoadUnitAssets();
  LoadLandAssets();
  LoadDungeonAssets();
  LoadStructureAssets();
  LoadItemAssets();
  LoadScreenAssets();
  LoadCubeAssets();
}

int UploadCubeTextures() {
  // A slot without pixels, read or not, goes up as an empty 0 x 0 texture: never a size
  // without the data to fill it.
  platform::TextureImage images[CubeTextureCount];
  if (TextureSlotTable != nullptr) {
    for (int i = 0; i < CubeTextureCount; ++i) {
      const TextureSlot& slot = TextureSlotTable[CubeFirstSlot + i];
      if (slot.pixels) images[i] = {slot.pixels, slot.width, slot.height};
    }
  }
  platform::GlUploadTextures(images, CubeTextureCount, CubeTextureNames, CubeNameCount);
  return 1;
}
