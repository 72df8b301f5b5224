// Reading the game's picture catalogue into texture slots and uploading the cube pictures.
#include "pictures/asset_catalogue.h"

#include "pictures/bmp_asset.h"
#include "platform/platform.h"

unsigned CubeTextureNames[CubeNameCount] = {};

namespace {

// Reads the entries of one group; a missing or rejected file leaves its slot as the reader
// leaves it and the group goes on.
void ReadGroup(int group) {
  int first = 0;
  for (int g = 0; g < group; ++g) {
    first += AssetGroupSizes[g];
  }
  for (int i = first; i < first + AssetGroupSizes[group]; ++i) {
    ReadBmpAsset(AssetCatalogue[i].path, AssetCatalogue[i].slot);
  }
}

}  // namespace

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
