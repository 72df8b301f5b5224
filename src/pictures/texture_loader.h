// Decoding picture files of the formats the platform decodes (platform::DecodedPictureExtensions)
// into the PictureBuffer as upright RGBA pixels.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Picture kinds by file-name extension: the number of the format a platform decodes files of
// that name as, or of a kind the core knows by name alone (no decoder of either program takes
// icons and metafiles; the Windows program does not take GIF).
enum PictureKind : std::int32_t {
  pictureUnknown = 0,
  pictureBmp = static_cast<std::int32_t>(PictureFormat::bmp),
  pictureJpeg = static_cast<std::int32_t>(PictureFormat::jpeg),
  pictureGif = static_cast<std::int32_t>(PictureFormat::gif),
  pictureIcon = 6,
  pictureEmf = 7,
  pictureWmf = 8,
  picturePng = static_cast<std::int32_t>(PictureFormat::png),
  pictureWebp = static_cast<std::int32_t>(PictureFormat::webp),
  pictureAvif = static_cast<std::int32_t>(PictureFormat::avif),
  pictureHeif = static_cast<std::int32_t>(PictureFormat::heif),
  pictureJxl = static_cast<std::int32_t>(PictureFormat::jxl),
};

// What identification and decoding tell the caller about a picture.
struct PictureInfo {
  std::int32_t kind = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t format = 0;        // 6408, GL_RGBA, after a decode
  std::int32_t bitsPerPixel = 0;  // 32 after a decode

  bool operator==(const PictureInfo&) const = default;
};

// Room in the PictureBuffer: 400,000,000 bytes, 100,000,000 pixels of 4 bytes.
constexpr std::uint32_t pictureBufferBytes = 400000000u;
constexpr std::uint32_t pictureBufferPixels = pictureBufferBytes / 4;

// Room for a full path including the terminator: the longest path the system takes.
constexpr int picturePathRoom = static_cast<int>(platform::longestPath) + 1;

// What identification makes of a name: its kind, whether LoadPicture decodes that kind, and
// the full path a decode would use (pathFits is false when it does not fit).
struct PictureIdentity {
  std::int32_t kind = 0;
  bool decodable = false;
  bool pathFits = false;
  char fullPath[picturePathRoom] = {};
};

// The PictureBuffer takes a picture of this size: at least one pixel, at most
// pictureBufferPixels. Asked before the platform allocates any pixel memory.
bool PictureFitsBuffer(int width, int height);

// Converts count pixels of blue, green, red, unused into red, green, blue, alpha in place. With
// the key on, alpha is 0 for exactly the key colour and 255 otherwise; with it off, always 255.
// Each pixel is converted on its own, so converting a sample of a picture gives the same bytes
// as sampling the converted picture.
void ConvertPicturePixels(std::uint8_t* bits, std::uint64_t count, bool keyed,
                          const std::uint8_t key[3]);

class TextureLoader {
 public:
  TextureLoader();
  virtual ~TextureLoader();

  void SetColourKey(std::uint8_t enabled, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // Classifies name by its extension; sets info.kind and loadable. Opens nothing; returns 1.
  int IdentifyPicture(const char* name, PictureInfo* info);
  // Classifies like IdentifyPicture and decodes a picture of a kind the platform decodes; 1 on
  // success, 0 otherwise.
  int LoadPicture(const char* name, PictureInfo* info);
  // Decodes the picture at a full path or URL into the PictureBuffer; 1 on success.
  int LoadPictureFromPath(const char* path, PictureInfo* info);
  // What LoadPictureFromPath does with a picture the platform decoded (on any thread): converted
  // into the PictureBuffer when it fits, 1 then; released either way.
  int TakeDecodedPicture(platform::DecodedPicture* picture, PictureInfo* info);
  // Writes the extension of name (after its last '.') into a 16-character buffer.
  void GetFileExtension(const char* name, char* extension);
  // Copies width x height x bitsPerPixel / 8 bytes of info from bits to the PictureBuffer.
  void StorePixels(const PictureInfo* info, const std::uint8_t* bits);

  // Identification of name (in the current directory) without touching the loader's state.
  void ClassifyName(const char* name, PictureIdentity* identity);
  // What identifying a name leaves: its kind in info and loadable.
  void TakeIdentity(const PictureIdentity& identity, PictureInfo* info);
  // What a successful decode of a width x height picture leaves besides the pixels: the size in
  // the loader and in info, with the format fields.
  void TakeDecodedSize(int pictureWidth, int pictureHeight, PictureInfo* info);

  std::int32_t loadable;
  std::uint8_t* pixels;  // the PictureBuffer
  std::int32_t width;
  std::int32_t height;
  std::uint8_t colourKeyEnabled;
  std::uint8_t colourKey[3];
  // Moved on by every change of the PictureBuffer or of what a load tells its caller.
  std::uint32_t revision = 0;
};

// The pictures' state: the program's one loader with its PictureBuffer, and the browser's
// record of the last identified or decoded picture. It owns the PictureBuffer and frees it
// when it ends.
struct Pictures {
  TextureLoader textureLoader;
  PictureInfo pictureInfo;

  Pictures() = default;
  Pictures(const Pictures&) = delete;
  Pictures& operator=(const Pictures&) = delete;
  ~Pictures();
};
