// What the native decoders share: the request a decoder answers (the file, the caller's size
// question, abandonment, the rows wanted), the one guarded allocation of a picture's pixels, the
// holders that free each library's handles, the output layout (blue, green, red and a byte of
// opacity per pixel, bottom row first) and the conversion of red, green, blue and alpha into it
// over black. Each format's decoder has a source file of its own; picture_formats.cpp lists them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "backends/posix/heif_items.h"
#include "platform/platform.h"

namespace native {

// Frees what a handle holds with the library's own function, for std::unique_ptr.
template <auto release>
struct Release {
  template <typename T>
  void operator()(T* handle) const {
    release(handle);
  }
};

// A library's handle, freed with release when the holder ends, on every path out of a decoder.
template <typename T, auto release>
using Held = std::unique_ptr<T, Release<release>>;

void FreeMemory(void* memory);
void CloseFile(std::FILE* file);

using File = Held<std::FILE, CloseFile>;

// Memory obtained with malloc or calloc: a picture's pixels, a file's bytes, a row buffer.
using Bytes = Held<std::uint8_t, FreeMemory>;

// What one decode may take of memory, whatever its file says: decodeBytesPerPixel bytes for each
// pixel of the size the file declares, and decodeFixedBytes besides (the libraries' own state,
// the file's headers). Every decoder checks what its library would allocate against it before
// the library allocates: the hand-over's 4 bytes a pixel, a library's working copies (floats
// for JPEG XL, planes for AVIF and HEIF), row buffers and the file's bytes held in memory.
constexpr std::uint64_t decodeBytesPerPixel = 32;
constexpr std::uint64_t decodeFixedBytes = std::uint64_t{64} << 20;
std::uint64_t DecodeBudget(std::uint64_t width, std::uint64_t height);

// What a decoder is asked to do: decode file, whose first bytes carry its format's signature,
// positioned at its start, answering to the caller's size question and abandonment.
struct DecodeRequest {
  std::FILE* file = nullptr;
  std::uint64_t fileSize = 0;
  // The file's first bytes, as its format was told by them (at most pictureSniffBytes).
  const std::uint8_t* head = nullptr;
  std::size_t headSize = 0;
  // The caller's question before any pixel memory is obtained.
  bool (*mayDecode)(int width, int height) = nullptr;
  // Once set, the decode ends as a failure at the decoder's next look at it.
  const std::atomic<bool>* abandoned = nullptr;
  // The rows the caller reads and the reduction it takes (JPEG); null for the whole picture.
  const platform::RowSelection* rows = nullptr;
  // What the format's size reader found before the decode: the size the file declares (0 x 0
  // where its first bytes declare none) and, for AVIF and HEIF, its items.
  int declaredWidth = 0;
  int declaredHeight = 0;
  HeifItems items;

  // Asks the caller about a picture of the size a header or a library gives: false, without
  // asking, for a size of no pixels or beyond an int. The accepted size bounds every
  // allocation of pixels that follows.
  bool Accepts(std::uint64_t width, std::uint64_t height);
  bool Abandoned() const;
  // Whether bytes held at once stay within half the decode's budget for the accepted size
  // (the other half is the libraries' own).
  bool WithinBudget(std::uint64_t bytes) const;
  // The one way a decoder obtains pixels: width x height x 4 bytes, zero-filled, so any pixel a
  // decoder leaves alone is clear. Null, with nothing allocated, for a size beyond an int, for
  // more pixels than the caller accepted, or when the pixels and `besides` bytes held with them
  // are beyond WithinBudget.
  Bytes AllocatePixels(std::uint64_t width, std::uint64_t height, std::uint64_t besides = 0) const;

  // The pixels of the size the caller last accepted; 0 until it accepts one.
  std::uint64_t acceptedPixels = 0;
};

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
// decoded picture, with the picture's own size where it was decoded reduced; otherwise frees
// them. Returns ok.
bool HandOver(bool ok, Bytes pixels, int width, int height, platform::DecodedPicture* picture,
              int fullWidth = 0, int fullHeight = 0);

// The next length bytes of the request's file, for libraries that decode from memory; null when
// the file ends before them, cannot be read or the decode was abandoned meanwhile.
Bytes ReadBytes(const DecodeRequest& request, std::size_t length);

// An animation's frames, one at a time, composed on one canvas of the size the file declares.
class AnimationFrames {
 public:
  virtual ~AnimationFrames() = default;
  // Composes the next frame on the canvas and gives how long the file says it shows; false at
  // the end of the file, on damage or once the request's abandonment flag is set.
  virtual bool Next(const DecodeRequest& request, int* delayMs) = 0;
  // Back to before the first frame, with a clear canvas.
  virtual bool Rewind() = 0;
  // The canvas in the output layout into width x height x 4 bytes.
  virtual void CopyOut(std::uint8_t* pixels) const;

  int width = 0;
  int height = 0;
  int loops = -1;  // how often the file says to play it (0: forever), -1 where it says nothing
  std::uint8_t* canvas = nullptr;
};

}  // namespace native
