// The parts every native decoder shares: see decoder_parts.h.
#include "backends/posix/decoder_parts.h"

#include <cstdlib>
#include <cstring>

namespace native {

namespace {

// How much of a file is read between two looks at the abandonment flag.
constexpr std::size_t readStep = 1u << 20;

// c shown with opacity alpha over black, rounded to the nearest step.
std::uint8_t OverBlack(unsigned c, unsigned alpha) {
  return static_cast<std::uint8_t>((c * alpha + 127u) / 255u);
}

}  // namespace

void FreeMemory(void* memory) { std::free(memory); }

void CloseFile(std::FILE* file) { std::fclose(file); }

std::uint64_t DecodeBudget(std::uint64_t width, std::uint64_t height) {
  return width * height * decodeBytesPerPixel + decodeFixedBytes;
}

bool DecodeRequest::Accepts(std::uint64_t width, std::uint64_t height) {
  if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return false;
  if (mayDecode && !mayDecode(static_cast<int>(width), static_cast<int>(height))) return false;
  acceptedPixels = width * height;
  return true;
}

bool DecodeRequest::Abandoned() const {
  return abandoned && abandoned->load(std::memory_order_relaxed);
}

bool DecodeRequest::WithinBudget(std::uint64_t bytes) const {
  return bytes <= DecodeBudget(acceptedPixels, 1) / 2;
}

Bytes DecodeRequest::AllocatePixels(std::uint64_t width, std::uint64_t height,
                                    std::uint64_t besides) const {
  if (width > INT32_MAX || height > INT32_MAX || width * height > acceptedPixels) return nullptr;
  const std::uint64_t bytes = width * height * 4u;
  if (bytes > SIZE_MAX || !WithinBudget(bytes + besides)) return nullptr;
  return Bytes(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(bytes), 1)));
}

std::uint8_t* PixelRow(std::uint8_t* pixels, int width, int rowFromBottom) {
  return pixels + static_cast<std::size_t>(rowFromBottom) * static_cast<std::size_t>(width) * 4u;
}

void PutPixel(std::uint8_t* out, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  out[0] = blue;
  out[1] = green;
  out[2] = red;
  out[3] = 255;
}

void PutRgbaRow(const std::uint8_t* rgba, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, rgba += 4, out += 4) {
    const unsigned alpha = rgba[3];
    PutPixel(out, OverBlack(rgba[0], alpha), OverBlack(rgba[1], alpha), OverBlack(rgba[2], alpha));
    out[3] = static_cast<std::uint8_t>(alpha);
  }
}

void RgbaToPixels(std::uint8_t* pixels, int width, int height) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4u;
  for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
    std::uint8_t* a = pixels + static_cast<std::size_t>(top) * rowBytes;
    std::uint8_t* b = pixels + static_cast<std::size_t>(bottom) * rowBytes;
    PutRgbaRow(a, width, a);
    if (a == b) break;
    PutRgbaRow(b, width, b);
    // Four bytes at a time, so the swap needs no row of its own.
    for (std::size_t i = 0; i < rowBytes; i += 4) {
      std::uint8_t held[4];
      std::memcpy(held, a + i, 4);
      std::memcpy(a + i, b + i, 4);
      std::memcpy(b + i, held, 4);
    }
  }
}

bool HandOver(bool ok, Bytes pixels, int width, int height, platform::DecodedPicture* picture,
              int fullWidth, int fullHeight) {
  if (!ok || !pixels) return false;
  picture->bits = pixels.release();
  picture->width = width;
  picture->height = height;
  picture->backend = picture->bits;
  if (fullWidth > 0 && (fullWidth != width || fullHeight != height)) {
    picture->fullWidth = fullWidth;
    picture->fullHeight = fullHeight;
  }
  return true;
}

Bytes ReadBytes(const DecodeRequest& request, std::size_t length) {
  Bytes bytes(static_cast<std::uint8_t*>(std::malloc(length > 0 ? length : 1)));
  if (!bytes) return nullptr;
  std::size_t got = 0;
  while (got < length && !request.Abandoned()) {
    const std::size_t want = length - got < readStep ? length - got : readStep;
    const std::size_t n = std::fread(bytes.get() + got, 1, want, request.file);
    got += n;
    if (n < want) break;
  }
  if (got != length) return nullptr;
  return bytes;
}

void AnimationFrames::CopyOut(std::uint8_t* pixels) const {
  std::memcpy(pixels, canvas, static_cast<std::size_t>(width) * height * 4u);
}

}  // namespace native
