// What the native decoders share: the caller's size question and abandonment, the output
// layout (blue, green, red and a byte of opacity per pixel, bottom row first) and the
// conversion of red, green, blue and alpha into it over black. Each format's decoder has a source
// file of its own; picture_decoder.cpp hands a file to the one its first bytes name.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/platform.h"

namespace native {

// What a decode answers to: the caller's question before any pixel memory is obtained, and the
// flag that, once set, ends the decode as a failure at the decoder's next check.
struct DecodeLimits {
  bool (*mayDecode)(int width, int height) = nullptr;
  const std::atomic<bool>* abandoned = nullptr;

  bool Accepts(int width, int height) const;
  bool Abandoned() const;
};

// What one decode may take of memory, whatever its file says: decodeBytesPerPixel bytes for each
// pixel of the size the file declares, and decodeFixedBytes besides (the libraries' own state,
// the file's headers). Every decoder checks what its library would allocate against it before
// the library allocates: the hand-over's 4 bytes a pixel, a library's working copies (floats
// for JPEG XL, planes for AVIF and HEIF), row buffers and the file's bytes held in memory.
constexpr std::uint64_t decodeBytesPerPixel = 32;
constexpr std::uint64_t decodeFixedBytes = std::uint64_t{64} << 20;
std::uint64_t DecodeBudget(std::uint64_t width, std::uint64_t height);

// width x height x 4 bytes, zero-filled, so any pixel a decoder leaves alone is clear (black
// where transparency is not shown).
std::uint8_t* AllocatePixels(int width, int height);

std::uint8_t* PixelRow(std::uint8_t* pixels, int width, int rowFromBottom);

// An opaque pixel.
void PutPixel(std::uint8_t* out, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// One row of red, green, blue and alpha bytes, shown over black, into output pixels, the fourth
// byte of each its alpha. rgba and out may be the same memory.
void PutRgbaRow(const std::uint8_t* rgba, int width, std::uint8_t* out);

// A picture a library wrote into pixels as red, green, blue and alpha, top row first, turned
// into the output layout in place.
void RgbaToPixels(std::uint8_t* pixels, int width, int height);

// How every decoder ends: when ok, gives pixels (from AllocatePixels) to the caller as the
// decoded picture; otherwise frees them. Returns ok.
bool HandOver(bool ok, std::uint8_t* pixels, int width, int height,
              platform::DecodedPicture* picture);

// The next length bytes of the file, for libraries that decode from memory; false when the file
// ends before them, cannot be read or the decode was abandoned meanwhile.
bool ReadBytes(std::FILE* file, std::size_t length, const DecodeLimits& limits,
               std::uint8_t** data);

// One decoder per format. Each is handed a file whose first bytes carry its format's signature,
// positioned at its start, and either hands over a picture or fails with nothing held. BMP
// reads at offsets within the file's size; JPEG decodes only the rows a caller selects.
bool DecodeBmp(std::FILE* file, std::uint64_t size, bool (*mayDecode)(int, int),
               platform::DecodedPicture* picture);
bool DecodeJpeg(std::FILE* file, bool (*mayDecode)(int, int), const platform::RowSelection* rows,
                platform::DecodedPicture* picture);
bool DecodePng(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture);
bool DecodeGif(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture);
bool DecodeWebp(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture);
// AVIF and HEIF files are handed over with what ScanHeifItems (heif_items.h) read of them.
struct HeifItems;
bool DecodeAvif(std::FILE* file, const HeifItems& items, const DecodeLimits& limits,
                platform::DecodedPicture* picture);
bool DecodeHeif(std::FILE* file, const HeifItems& items, const DecodeLimits& limits,
                platform::DecodedPicture* picture);
bool DecodeJxl(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture);

// An animation's frames, one at a time, composed on one canvas of the size the file declares.
class AnimationFrames {
 public:
  virtual ~AnimationFrames() = default;
  // Composes the next frame on the canvas and gives how long the file says it shows; false at
  // the end of the file, on damage or once limits.abandoned is set.
  virtual bool Next(const DecodeLimits& limits, int* delayMs) = 0;
  // Back to before the first frame, with a clear canvas.
  virtual bool Rewind() = 0;
  // The canvas in the output layout into width x height x 4 bytes.
  virtual void CopyOut(std::uint8_t* pixels) const;

  int width = 0;
  int height = 0;
  int loops = -1;  // how often the file says to play it (0: forever), -1 where it says nothing
  std::uint8_t* canvas = nullptr;
};

// The frames of an animated GIF or WebP file (whose first bytes were found to be its format's),
// taking the file, which they close; nothing where the canvas is refused by mayDecode or beyond
// the decoders' budget, or the file is not animated (WebP).
std::unique_ptr<AnimationFrames> OpenGifFrames(std::FILE* file, bool (*mayDecode)(int, int));
std::unique_ptr<AnimationFrames> OpenWebpFrames(std::FILE* file, bool (*mayDecode)(int, int));

}  // namespace native
