// The picture loader: classifies names by extension, has the platform decode the formats it
// names, converts the pixels to R, G, B, A with the colour key and stores them in the
// PictureBuffer.
#include "pictures/texture_loader.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/text_compare.h"
#include "platform/platform.h"

namespace {

// Room for an extension including the terminator.
constexpr std::size_t extensionRoom = 16;

constexpr std::int32_t formatRgba = 6408;

// The kinds known by name whose files the platform may not decode: those the platform decodes
// are decodable, of their format's kind; the others keep their kind here and are not.
struct ExtensionKind {
  const char* extension;
  std::int32_t kind;
};
constexpr ExtensionKind namedKinds[] = {
    {"gif", pictureGif},
    {"ico", pictureIcon},
    {"emf", pictureEmf},
    {"wmf", pictureWmf},
};

void ClassifyExtension(const char* extension, PictureIdentity* result) {
  for (const platform::PictureExtension& decoded : platform::DecodedPictureExtensions()) {
    if (EqualsIgnoringCase(extension, decoded.extension)) {
      result->kind = static_cast<std::int32_t>(decoded.format);
      result->decodable = true;
      return;
    }
  }
  for (const ExtensionKind& named : namedKinds) {
    if (EqualsIgnoringCase(extension, named.extension)) {
      result->kind = named.kind;
      return;
    }
  }
}

}  // namespace

// A size that makes no picture, or more pixels than the PictureBuffer holds, is refused before
// the platform allocates pixel memory.
bool PictureFitsBuffer(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
         pictureBufferPixels;
}

// Pixels are handled as little-endian words without branches, so that the loop compiles to
// vector code: a page of large pictures converts tens of millions of pixels.
void ConvertPicturePixels(std::uint8_t* bits, std::uint64_t count, bool keyed,
                          const std::uint8_t key[3]) {
  static_assert(std::endian::native == std::endian::little);
  const std::uint32_t keyWord = key[0] | (key[1] << 8) | (key[2] << 16);
  // With the key off no colour (all of which have a zero top byte) matches this.
  const std::uint32_t match = keyed ? keyWord : 0xFFFFFFFFu;
  for (std::uint64_t i = 0; i < count; ++i, bits += 4) {
    std::uint32_t word;
    std::memcpy(&word, bits, 4);
    const std::uint32_t rgb = ((word & 0xFFu) << 16) | (word & 0xFF00u) | ((word >> 16) & 0xFFu);
    const std::uint32_t alpha = rgb != match ? 0xFF000000u : 0u;
    word = rgb | alpha;
    std::memcpy(bits, &word, 4);
  }
}

TextureLoader::TextureLoader() {
  loadable = 0;
  pixels = nullptr;
  width = 0;
  height = 0;
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

// The whole name is scanned, so a '.' in a directory part counts as well. An extension that
// does not fit the 16-character buffer is given as empty: no known kind is that long.
void TextureLoader::GetFileExtension(const char* name, char* extension) {
  extension[0] = '\0';
  if (!name) return;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return;
  const std::size_t length = std::strlen(dot + 1);
  if (length >= extensionRoom) return;
  std::memcpy(extension, dot + 1, length + 1);
}

void TextureLoader::ClassifyName(const char* name, PictureIdentity* result) {
  *result = PictureIdentity{};
  if (!name) name = "";
  // A URL goes to the platform unchanged; a file name is taken in the current directory.
  if (std::strstr(name, "http://") != nullptr) {
    result->pathFits = std::strlen(name) < sizeof result->fullPath;
    if (result->pathFits) std::memcpy(result->fullPath, name, std::strlen(name) + 1);
  } else {
    char directory[picturePathRoom];
    if (platform::GetCurrentDir(directory, sizeof directory)) {
      const int written =
          std::snprintf(result->fullPath, sizeof result->fullPath, "%s%c%s", directory,
                        platform::PlatformConventions().pathSeparator, name);
      result->pathFits = written > 0 && written < picturePathRoom;
    }
  }

  char extension[extensionRoom];
  GetFileExtension(name, extension);
  ClassifyExtension(extension, result);
}

void TextureLoader::TakeIdentity(const PictureIdentity& identity, PictureInfo* info) {
  ++revision;
  info->kind = identity.kind;
  loadable = identity.decodable ? 1 : 0;
}

void TextureLoader::TakeDecodedSize(int pictureWidth, int pictureHeight, PictureInfo* info) {
  ++revision;
  width = pictureWidth;
  height = pictureHeight;
  info->width = pictureWidth;
  info->height = pictureHeight;
  info->bitsPerPixel = 32;
  info->format = formatRgba;
}

int TextureLoader::IdentifyPicture(const char* name, PictureInfo* info) {
  loadable = 0;
  PictureIdentity id;
  ClassifyName(name, &id);
  TakeIdentity(id, info);
  return 1;
}

int TextureLoader::LoadPicture(const char* name, PictureInfo* info) {
  loadable = 0;
  PictureIdentity id;
  ClassifyName(name, &id);
  TakeIdentity(id, info);
  if (loadable != 1 || !id.pathFits) return 0;
  return LoadPictureFromPath(id.fullPath, info);
}

// The size is checked before anything is written, so a refused picture leaves the previous
// one in the PictureBuffer, in width and height and in info.
int TextureLoader::LoadPictureFromPath(const char* path, PictureInfo* info) {
  if (!path || !pixels) return 0;
  platform::DecodedPicture picture;
  if (!platform::DecodePicture(path, PictureFitsBuffer, &picture)) return 0;
  return TakeDecodedPicture(&picture, info);
}

int TextureLoader::TakeDecodedPicture(platform::DecodedPicture* picture, PictureInfo* info) {
  if (!pixels || !picture->bits || !PictureFitsBuffer(picture->width, picture->height)) {
    platform::ReleasePicture(picture);
    return 0;
  }
  const std::uint64_t count =
      static_cast<std::uint64_t>(picture->width) * static_cast<std::uint64_t>(picture->height);
  ConvertPicturePixels(picture->bits, count, colourKeyEnabled == 1, colourKey);
  TakeDecodedSize(picture->width, picture->height, info);
  StorePixels(info, picture->bits);
  platform::ReleasePicture(picture);
  return 1;
}

// Never writes past the PictureBuffer, whatever info claims.
void TextureLoader::StorePixels(const PictureInfo* info, const std::uint8_t* bits) {
  if (!pixels || !bits || info->width <= 0 || info->height <= 0 || info->bitsPerPixel <= 0) {
    return;
  }
  const std::uint64_t bytes = static_cast<std::uint64_t>(info->width) *
                              static_cast<std::uint64_t>(info->height) *
                              static_cast<std::uint64_t>(info->bitsPerPixel) / 8u;
  if (bytes > pictureBufferBytes) return;
  std::memcpy(pixels, bits, static_cast<std::size_t>(bytes));
}

Pictures::~Pictures() { std::free(textureLoader.pixels); }
