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

bool DecodeLimits::Accepts(int width, int height) const {
  if (width <= 0 || height <= 0) return false;
  return !mayDecode || mayDecode(width, height);
}

bool DecodeLimits::Abandoned() const {
  return abandoned && abandoned->load(std::memory_order_relaxed);
}

std::uint64_t DecodeBudget(std::uint64_t width, std::uint64_t height) {
  return width * height * decodeBytesPerPixel + decodeFixedBytes;
}

std::uint8_t* AllocatePixels(int width, int height) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(width) * height * 4u;
  if (bytes > SIZE_MAX) return nullptr;
  return static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(bytes), 1));
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

bool HandOver(bool ok, std::uint8_t* pixels, int width, int height,
              platform::DecodedPicture* picture) {
  if (!ok) {
    std::free(pixels);
    return false;
  }
  picture->bits = pixels;
  picture->width = width;
  picture->height = height;
  picture->backend = pixels;
  return true;
}

bool ReadBytes(std::FILE* file, std::size_t length, const DecodeLimits& limits,
               std::uint8_t** data) {
  *data = nullptr;
  auto* bytes = static_cast<std::uint8_t*>(std::malloc(length > 0 ? length : 1));
  if (!bytes) return false;
  std::size_t got = 0;
  while (got < length && !limits.Abandoned()) {
    const std::size_t want = length - got < readStep ? length - got : readStep;
    const std::size_t n = std::fread(bytes + got, 1, want, file);
    got += n;
    if (n < want) break;
  }
  if (got != length) {
    std::free(bytes);
    return false;
  }
  *data = bytes;
  return true;
}

void AnimationFrames::CopyOut(std::uint8_t* pixels) const {
  std::memcpy(pixels, canvas, static_cast<std::size_t>(width) * height * 4u);
}

}  // namespace native
