// Fuzzing the picture header checks. What CheckBmpHeader accepts must be safe to decode: its
// size is within the limit, its pixel data start after the headers and end inside the file,
// and a decoder that reads the file finds the same size. The JPEG frame reader must never
// read outside its bytes.
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "base/picture_header.h"
#include "backends/posix/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int width = 0;
  int height = 0;
  if (ReadJpegFrameSize(data, size, &width, &height) && (width <= 0 || height <= 0)) {
    std::abort();
  }

  BmpHeaderFacts facts;
  if (!CheckBmpHeader(data, size, size, &facts)) return 0;
  if (SniffPictureFormat(data, size) != PictureFormat::bmp) std::abort();
  if (facts.width <= 0 || facts.height <= 0) std::abort();
  if (static_cast<std::uint64_t>(facts.width) * facts.height > bmpMaxPixels) std::abort();
  if (facts.dataOffset < 14 || facts.dataOffset >= size) std::abort();
  if (facts.dataSize == 0 || facts.dataSize > size - facts.dataOffset) std::abort();
  // A header check of fewer bytes than the file never accepts more than the whole file does.
  BmpHeaderFacts partial;
  if (CheckBmpHeader(data, size < 64 ? size : 64, size, &partial) &&
      (partial.width != facts.width || partial.height != facts.height)) {
    std::abort();
  }

  // Decoding what was accepted, within a size a fuzzer can afford.
  if (static_cast<std::uint64_t>(facts.width) * facts.height > 1u << 20) return 0;
  platform::DecodedPicture picture;
  const char* path = fuzz::InputAsFile(data, size);
  if (native::DecodePictureFile(path, nullptr, &picture)) {
    if (picture.width != facts.width || picture.height != facts.height) std::abort();
    native::ReleaseDecodedPicture(&picture);
  }
  return 0;
}
