// Picture decoding on the thumbnail page's worker threads: each worker has its own COM
// apartment for the OLE picture loader, entered before its first decode and left after its
// last. Every GDI and OLE object of a decode is still made and released within that decode.
#include <objbase.h>
#include <windows.h>

#include "platform/platform.h"

namespace platform {

namespace {
// Whether this thread's COM initialisation succeeded and so must be balanced.
thread_local bool comEntered = false;
}  // namespace

void BeginDecodeThread(bool background) {
  if (background) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  comEntered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void EndDecodeThread() {
  if (comEntered) CoUninitialize();
  comEntered = false;
}

// The OLE loader renders whole pictures; every row is decoded.
bool DecodePictureRows(const char* path, bool (*mayDecode)(int width, int height),
                       const RowSelection&, DecodedPicture* picture) {
  return DecodePicture(path, mayDecode, picture);
}

// Nor can a picture be left once the OLE loader has begun it.
bool AbandonedDecodesStop() { return false; }

// The OLE loader shows an animation's first frame only.
AnimationReader* OpenAnimation(const char*, bool (*)(int, int)) { return nullptr; }
bool NextAnimationFrame(AnimationReader*, const std::atomic<bool>*, DecodedPicture*, int*) {
  return false;
}
void CloseAnimation(AnimationReader*) {}

}  // namespace platform
