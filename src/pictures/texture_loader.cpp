// The picture loader. Identification and decoding arrive with the picture views.
#include "pictures/texture_loader.h"

#include <cstring>

TextureLoader textureLoader;
PictureInfo pictureInfo;

TextureLoader::TextureLoader() {
  loadable = 0;
  pixels = nullptr;
  width = 0;
  height = 0;
  sampleStep = 0.0f;
  placementMode = 0;
  overlayShown = 0;
  colourKeyEnabled = 0;
  std::memset(colourKey, 0, sizeof colourKey);
  SetColourKey(1, 0, 0, 0);
}

TextureLoader::~TextureLoader() = default;

void TextureLoader::SetColourKey(std::uint8_t enabled, std::uint8_t red, std::uint8_t green,
                                 std::uint8_t blue) {
  colourKeyEnabled = enabled;
  if (enabled == 1) {
    colourKey[0] = red;
    colourKey[1] = green;
    colourKey[2] = blue;
  }
}

int TextureLoader::IdentifyPicture(const char*, PictureInfo* info) {
  loadable = 0;
  info->kind = pictureUnknown;
  return 1;
}

int TextureLoader::LoadPicture(const char*, PictureInfo*) { return 0; }

int TextureLoader::LoadPictureFromPath(const char*, PictureInfo*) { return 0; }

void TextureLoader::GetFileExtension(const char*, char* extension) { extension[0] = '\0'; }

void TextureLoader::StorePixels(const PictureInfo*, const std::uint8_t*) {}
