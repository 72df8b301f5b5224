// Reading the game's picture catalogue into texture slots and uploading the cube pictures.
#include "pictures/asset_catalogue.h"

#include <cstdlib>
#include <cstring>

#include "pictures/bmp_asset.h"
#include "platform/platform.h"

namespace {

// Reads the entries of one group from the asset folder; a missing or rejected file leaves its
// slot as the reader leaves it and the group goes on.
void ReadGroup(TextureSlot* slots, int group) {
  char folder[platform::longestPath + 1];
  if (!platform::DataFolder(platform::DataFolderKind::assets, folder, sizeof folder)) return;
  const char separator = platform::PlatformConventions().pathSeparator;
  int first = 0;
  for (int g = 0; g < group; ++g) {
    first += AssetGroupSizes[g];
  }
  for (int i = first; i < first + AssetGroupSizes[group]; ++i) {
    char path[platform::longestPath + 1];
    if (AssetFilePath(folder, AssetCatalogue[i].path, separator, path, sizeof path)) {
      ReadBmpAsset(path, slots[AssetCatalogue[i].slot]);
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

void LoadCrossAssets(TextureSlot* slots) { ReadGroup(slots, 0); }
void LoadUnitAssets(TextureSlot* slots) { ReadGroup(slots, 1); }
void LoadLandAssets(TextureSlot* slots) { ReadGroup(slots, 2); }
void LoadDungeonAssets(TextureSlot* slots) { ReadGroup(slots, 3); }
void LoadStructureAssets(TextureSlot* slots) { ReadGroup(slots, 4); }
void LoadItemAssets(TextureSlot* slots) { ReadGroup(slots, 5); }
void LoadScreenAssets(TextureSlot* slots) { ReadGroup(slots, 6); }
void LoadCubeAssets(TextureSlot* slots) { ReadGroup(slots, 7); }

void LoadAssetCatalogue(TextureSlot* slots) {
  LoadCrossAssets(slots);
  LoadUnitAssets(slots);
  LoadLandAssets(slots);
  LoadDungeonAssets(slots);
  LoadStructureAssets(slots);
  LoadItemAssets(slots);
  LoadScreenAssets(slots);
  LoadCubeAssets(slots);
}

int UploadCubeTextures(GameTextures& textures) {
  // A slot without pixels, read or not, goes up as an empty 0 x 0 texture: never a size
  // without the data to fill it.
  platform::TextureImage images[CubeTextureCount];
  if (textures.TextureSlotTable != nullptr) {
    for (int i = 0; i < CubeTextureCount; ++i) {
      const TextureSlot& slot = textures.TextureSlotTable[CubeFirstSlot + i];
      if (slot.pixels) images[i] = {slot.pixels, slot.width, slot.height};
    }
  }
  platform::GlUploadTextures(images, CubeTextureCount, textures.CubeTextureNames, CubeNameCount);
  return 1;
}

void ReleaseTextureSlots(GameTextures& textures) {
  if (textures.TextureSlotTable) {
    for (int slot = 0; slot < textures.slotCount; ++slot) {
      std::free(textures.TextureSlotTable[slot].pixels);
    }
  }
  std::free(textures.TextureSlotTable);
  textures.TextureSlotTable = nullptr;
  textures.slotCount = 0;
}

GameTextures::~GameTextures() { ReleaseTextureSlots(*this); }
