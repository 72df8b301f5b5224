// Picture decoding for the native backends: the hand-over of a file to the decoder of the format
// its first bytes name (decoder_parts.h). Every decoder hands over the picture upright,
// bottom row first, as blue, green, red and an unused byte per pixel, the layout the Windows
// loader renders into its DIB section. The file's content decides the format, not its name.
#include "backends/posix/picture_decoder.h"

#include "backends/posix/decoder_parts.h"
#include "backends/posix/heif_items.h"
#include "backends/posix/posix_files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <algorithm>

#include "base/picture_header.h"

namespace native {

bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture, const platform::RowSelection* rows) {
  if (!path || !picture) return false;
  *picture = {};
  std::FILE* file = OpenRegularFile(path);
  if (!file) return false;
  const DecodeLimits limits{mayDecode, rows ? rows->abandoned : nullptr};
  bool ok = false;
  std::uint8_t magic[pictureSniffBytes] = {};
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  const std::size_t got = size >= 2 && std::fseek(file, 0, SEEK_SET) == 0
                              ? std::fread(magic, 1, sizeof magic, file)
                              : 0;
  // A JPEG needs only its first two bytes here; libjpeg checks the rest.
  const PictureFormat format = got >= 2 && magic[0] == 0xFF && magic[1] == 0xD8
                                   ? PictureFormat::jpeg
                                   : SniffPictureFormat(magic, got);
  if (format != PictureFormat::unknown && std::fseek(file, 0, SEEK_SET) == 0) {
    switch (format) {
      case PictureFormat::bmp:
        ok = DecodeBmp(file, static_cast<std::uint64_t>(size), mayDecode, picture);
        break;
      case PictureFormat::jpeg:
        ok = DecodeJpeg(file, mayDecode, rows, picture);
        break;
      case PictureFormat::png:
        ok = DecodePng(file, limits, picture);
        break;
      case PictureFormat::gif:
        ok = DecodeGif(file, limits, picture);
        break;
      case PictureFormat::webp:
        ok = DecodeWebp(file, limits, picture);
        break;
      case PictureFormat::avif:
      case PictureFormat::heif: {
        // The codec of the picture's items chooses the library, not the file's brands.
        HeifItems items;
        if (!ScanHeifItems(file, static_cast<std::uint64_t>(size), &items) ||
            std::fseek(file, 0, SEEK_SET) != 0) {
          break;
        }
        if (items.width == 0) items.av1 = format == PictureFormat::avif;
        ok = items.av1 ? DecodeAvif(file, items, limits, picture)
                       : DecodeHeif(file, items, limits, picture);
        break;
      }
      case PictureFormat::jxl:
        ok = DecodeJxl(file, limits, picture);
        break;
      case PictureFormat::unknown:
        break;
    }
  }
  std::fclose(file);
  if (!ok) *picture = {};
  return ok;
}

AnimationFile::AnimationFile(std::unique_ptr<AnimationFrames> frames, bool gif)
    : frames_(std::move(frames)), gif_(gif) {}
AnimationFile::~AnimationFile() = default;

int AnimationFile::LoopCount() const { return frames_->loops; }

bool AnimationFile::NextFrame(const std::atomic<bool>* abandoned, platform::DecodedPicture* frame,
                              int* delayMs) {
  *frame = {};
  const DecodeLimits limits{nullptr, abandoned};
  int delay = 0;
  if (!frames_->Next(limits, &delay)) {
    // The end of a play: a still picture, or an animation played as often as it says, ends.
    const int loops = frames_->loops;
    const int plays = gif_ ? (loops < 0 ? 1 : (loops == 0 ? 0 : loops + 1)) : std::max(loops, 0);
    ++played_;
    if (limits.Abandoned() || shown_ < 2 || (plays != 0 && played_ >= plays) ||
        !frames_->Rewind() || !frames_->Next(limits, &delay)) {
      return false;
    }
  }
  if (played_ == 0) ++shown_;
  std::uint8_t* pixels = AllocatePixels(frames_->width, frames_->height);
  if (pixels) frames_->CopyOut(pixels);
  // Browsers show the shortest delays as 100 ms.
  *delayMs = delay <= 10 ? 100 : delay;
  return HandOver(pixels != nullptr, pixels, frames_->width, frames_->height, frame);
}

std::unique_ptr<AnimationFile> OpenAnimationFile(const char* path, bool (*mayDecode)(int, int)) {
  std::FILE* file = path ? OpenRegularFile(path) : nullptr;
  if (!file) return nullptr;
  std::uint8_t magic[pictureSniffBytes] = {};
  const PictureFormat format = SniffPictureFormat(magic, std::fread(magic, 1, sizeof magic, file));
  std::unique_ptr<AnimationFrames> frames;
  if ((format == PictureFormat::gif || format == PictureFormat::webp) &&
      std::fseek(file, 0, SEEK_SET) == 0) {
    frames = format == PictureFormat::gif ? OpenGifFrames(file, mayDecode)
                                          : OpenWebpFrames(file, mayDecode);
  } else {
    std::fclose(file);
  }
  if (!frames) return nullptr;
  return std::make_unique<AnimationFile>(std::move(frames), format == PictureFormat::gif);
}

void ReleaseDecodedPicture(platform::DecodedPicture* picture) {
  if (!picture) return;
  std::free(picture->backend);
  *picture = {};
}

}  // namespace native
