// Placeholder until the OLE picture loader lands: every decode fails cleanly.
#include "platform/platform.h"

namespace platform {

bool DecodePicture(const char*, bool (*)(int, int), DecodedPicture*) { return false; }

void ReleasePicture(DecodedPicture* picture) { *picture = {}; }

}  // namespace platform
