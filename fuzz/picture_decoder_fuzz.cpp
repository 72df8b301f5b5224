// Fuzzing the native picture decoder (every format of its table, each by content), its animation
// reader (GIF and WebP) and its Exif orientation reader (on the input as an Exif block) with a
// size limit: a refused size allocates nothing, an accepted picture has exactly the size that was
// asked about, and every one of its pixels can be read.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzz_input.h"
#include "backends/posix/exif_orientation.h"
#include "backends/posix/picture_decoder.h"

namespace {

// Pictures above this are refused, as the PictureBuffer refuses larger ones.
constexpr std::uint64_t pixelLimit = 4u * 1024u * 1024u;

int askedWidth = 0;
int askedHeight = 0;
int asked = 0;

bool MayDecode(int width, int height) {
  ++asked;
  askedWidth = width;
  askedHeight = height;
  return width > 0 && height > 0 &&
         static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= pixelLimit;
}

// The animation reader over the same input: a few frames, each of the size asked about, with a
// delay the program can rest for, and every byte readable.
void ReadAnimation(const char* path) {
  asked = 0;
  const std::unique_ptr<native::AnimationFile> animation =
      native::OpenAnimationFile(path, MayDecode);
  if (!animation) return;
  if (asked != 1) std::abort();
  for (int i = 0; i < 8; ++i) {
    platform::DecodedPicture frame;
    int delayMs = 0;
    if (!animation->NextFrame(nullptr, &frame, &delayMs)) break;
    if (frame.width != askedWidth || frame.height != askedHeight || delayMs <= 10) std::abort();
    unsigned sum = 0;
    const std::uint64_t bytes = static_cast<std::uint64_t>(frame.width) * frame.height * 4u;
    for (std::uint64_t b = 0; b < bytes; ++b) sum += frame.bits[b];
    if (sum == 0xFFFFFFFFu) std::abort();
    native::ReleaseDecodedPicture(&frame);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int orientation = native::ExifOrientation(data, size);
  if (orientation < 1 || orientation > 8) std::abort();
  const char* path = fuzz::InputAsFile(data, size);
  ReadAnimation(path);
  asked = 0;
  platform::DecodedPicture picture;
  const bool decoded = native::DecodePictureFile(path, MayDecode, &picture);
  if (!decoded) {
    if (picture.bits || picture.backend || picture.width || picture.height) std::abort();
    return 0;
  }
  if (asked != 1 || picture.width != askedWidth || picture.height != askedHeight) std::abort();
  if (!MayDecode(picture.width, picture.height) || !picture.bits) std::abort();
  // Reads every byte of the picture: the sanitizer objects to any that was not allocated.
  unsigned sum = 0;
  const std::uint64_t bytes = static_cast<std::uint64_t>(picture.width) * picture.height * 4u;
  for (std::uint64_t i = 0; i < bytes; ++i) sum += picture.bits[i];
  if (sum == 0xFFFFFFFFu) std::abort();  // keeps the loop from being optimised away
  native::ReleaseDecodedPicture(&picture);
  return 0;
}
