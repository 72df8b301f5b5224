// Placeholder until the native decoders land: every decode fails cleanly.
#include "platform/native/picture_decoder.h"

namespace native {

bool DecodePictureFile(const char*, bool (*)(int, int), platform::DecodedPicture*) {
  return false;
}

void ReleaseDecodedPicture(platform::DecodedPicture* picture) { *picture = {}; }

}  // namespace native
