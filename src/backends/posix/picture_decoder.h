// Decoding picture files without the operating system's picture loader: the native backends'
// DecodePicture, for the formats of the table in picture_decoder.cpp, each known by its first
// bytes. Produces the same upright picture the Windows loader renders.
#pragma once

#include <atomic>
#include <memory>

#include "platform/platform.h"

namespace native {

// Decodes the file at path (a POSIX path) into 32-bit blue, green, red, unused pixels,
// bottom row first. Asks mayDecode(width, height) before allocating the pixels. With rows, a
// JPEG's rows that are not selected are skipped and left black, and once rows->abandoned is
// set a JPEG or a picture of the further formats stops at its decoder's next look at it.
bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture,
                       const platform::RowSelection* rows = nullptr);
void ReleaseDecodedPicture(platform::DecodedPicture* picture);

class AnimationFrames;

// An animated GIF or WebP file's frames, one at a time, played as often as the file says: a GIF
// once without a loop count and once more than its count with one, a WebP as often as its count;
// a count of 0 for ever.
class AnimationFile {
 public:
  explicit AnimationFile(std::unique_ptr<AnimationFrames> frames, bool gif);
  ~AnimationFile();
  // As platform::NextAnimationFrame.
  bool NextFrame(const std::atomic<bool>* abandoned, platform::DecodedPicture* frame, int* delayMs);
  // The loop count the file gives, -1 where it gives none (a GIF's is read with its first frame).
  int LoopCount() const;

 private:
  std::unique_ptr<AnimationFrames> frames_;
  bool gif_;
  int played_ = 0;  // plays ended
  int shown_ = 0;   // frames shown of the first play
};

// Nothing for a file that is no GIF or WebP, or no animated WebP.
std::unique_ptr<AnimationFile> OpenAnimationFile(const char* path, bool (*mayDecode)(int, int));

}  // namespace native
