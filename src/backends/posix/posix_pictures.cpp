// The seam's pictures for every POSIX backend: each path goes to the native decoders.
#include <cstring>
#include <memory>
#include <span>
#include <utility>

#include "backends/posix/picture_decoder.h"
#include "backends/posix/posix_files.h"
#include "backends/posix/posix_system.h"
#include "platform/platform.h"

namespace {

bool Refused(const char* path) {
  return !path || (native::CurrentSystem().refusesUrls && std::strstr(path, "http://") != nullptr);
}

}  // namespace

namespace platform {

std::span<const PictureExtension> DecodedPictureExtensions() {
  return native::CurrentSystem().decodedExtensions();
}

bool DecodePicture(const char* path, bool (*mayDecode)(int, int), DecodedPicture* picture) {
  if (Refused(path)) return false;
  return native::DecodePictureFile(native::PosixPath(path).c_str(), mayDecode, picture);
}

bool DecodePictureRows(const char* path, bool (*mayDecode)(int, int), const RowSelection& rows,
                       DecodedPicture* picture) {
  if (Refused(path)) return false;
  return native::DecodePictureFile(native::PosixPath(path).c_str(), mayDecode, picture, &rows);
}

void ReleasePicture(DecodedPicture* picture) { native::ReleaseDecodedPicture(picture); }

struct AnimationReader {
  std::unique_ptr<native::AnimationFile> file;
};

AnimationReader* OpenAnimation(const char* path, bool (*mayDecode)(int, int)) {
  if (Refused(path)) return nullptr;
  std::unique_ptr<native::AnimationFile> file =
      native::OpenAnimationFile(native::PosixPath(path).c_str(), mayDecode);
  return file ? new AnimationReader{std::move(file)} : nullptr;
}

bool NextAnimationFrame(AnimationReader* reader, const std::atomic<bool>* abandoned,
                        DecodedPicture* frame, int* delayMs) {
  return reader && reader->file->NextFrame(abandoned, frame, delayMs);
}

void CloseAnimation(AnimationReader* reader) { delete reader; }

// The native decoders look at the abandoned flag between rows of blocks.
bool AbandonedDecodesStop() { return true; }

}  // namespace platform
