// Picture decoding for the native backends: the formats as one table, and the hand-over of a
// file to the decoder of the format its first bytes name. Every decoder hands over the picture
// upright, bottom row first, as blue, green, red and an unused byte per pixel, the layout the
// Windows loader renders into its DIB section. The file's content decides the format, not its
// name; the names only tell the core which files to offer (DecodedExtensions).
#include "backends/posix/picture_decoder.h"

#include "backends/posix/decoder_parts.h"
#include "backends/posix/heif_items.h"
#include "backends/posix/posix_files.h"
#include "backends/posix/posix_system.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "base/picture_header.h"

namespace native {

// One decoder per format, each in a file of its own: handed a file whose first bytes carry its
// format's signature, positioned at its start, it either hands over a picture or fails with
// nothing held.
bool DecodeBmp(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodeJpeg(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodePng(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodeGif(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodeWebp(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodeAvif(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodeHeif(DecodeRequest& request, platform::DecodedPicture* picture);
bool DecodeJxl(DecodeRequest& request, platform::DecodedPicture* picture);

// The frames of an animated GIF or WebP file: nothing where the canvas is refused by the
// request or beyond the decoders' budget, or the file is not animated (WebP). The GIF frames
// take the file and close it.
std::unique_ptr<AnimationFrames> OpenGifFrames(File file, DecodeRequest& request);
std::unique_ptr<AnimationFrames> OpenWebpFrames(DecodeRequest& request);

namespace {

// A format the native decoders read: the names its files go by, how its first bytes are told,
// what reads the size it declares before the decode, and its decoder.
struct FormatRow {
  PictureFormat format;
  const char* extensions[2];
  bool (*signature)(const std::uint8_t* head, std::size_t size);
  // Fills the request's declared size (and items); false refuses the file. May name another
  // row's format to decode the file with (AVIF and HEIF, by the codec of their items).
  bool (*readSize)(DecodeRequest& request, PictureFormat* decodeAs);
  bool (*decode)(DecodeRequest& request, platform::DecodedPicture* picture);
};

// A JPEG needs only its first two bytes here; libjpeg checks the rest.
bool JpegStart(const std::uint8_t* head, std::size_t size) {
  return size >= 2 && head[0] == 0xFF && head[1] == 0xD8;
}

template <PictureFormat format>
bool Sniffed(const std::uint8_t* head, std::size_t size) {
  return SniffPictureFormat(head, size) == format;
}

// The size in the file's first bytes, where they hold it; the decoder reads it again from its
// library.
template <PictureFormat format>
bool HeadSize(DecodeRequest& request, PictureFormat*) {
  ReadFormatSize(format, request.head, request.headSize, &request.declaredWidth,
                 &request.declaredHeight);
  return true;
}

bool JpegHeadSize(DecodeRequest& request, PictureFormat*) {
  ReadJpegFrameSize(request.head, request.headSize, &request.declaredWidth,
                    &request.declaredHeight);
  return true;
}

bool BmpHeadSize(DecodeRequest& request, PictureFormat*) {
  BmpFields fields;
  if (ReadBmpFields(request.head, request.headSize, &fields) && fields.width > 0 &&
      fields.width <= INT32_MAX && fields.height != 0 && fields.height <= INT32_MAX &&
      -fields.height <= INT32_MAX) {
    request.declaredWidth = static_cast<int>(fields.width);
    request.declaredHeight = static_cast<int>(fields.height < 0 ? -fields.height : fields.height);
  }
  return true;
}

// The items of an AVIF or HEIF file: their codec chooses the library, not the file's brands.
bool ReadItems(DecodeRequest& request, PictureFormat* decodeAs) {
  HeifItems& items = request.items;
  if (!ScanHeifItems(request.file, request.fileSize, &items)) return false;
  if (items.width == 0) items.av1 = *decodeAs == PictureFormat::avif;
  *decodeAs = items.av1 ? PictureFormat::avif : PictureFormat::heif;
  request.declaredWidth = items.width;
  request.declaredHeight = items.height;
  return true;
}

using enum PictureFormat;

// In the order the first bytes are told apart.
constexpr FormatRow formats[] = {
    {jpeg, {"jpg", "jpeg"}, JpegStart, JpegHeadSize, DecodeJpeg},
    {bmp, {"bmp"}, Sniffed<bmp>, BmpHeadSize, DecodeBmp},
    {png, {"png"}, Sniffed<png>, HeadSize<png>, DecodePng},
    {gif, {"gif"}, Sniffed<gif>, HeadSize<gif>, DecodeGif},
    {webp, {"webp"}, Sniffed<webp>, HeadSize<webp>, DecodeWebp},
    {jxl, {"jxl"}, Sniffed<jxl>, HeadSize<jxl>, DecodeJxl},
    {avif, {"avif"}, Sniffed<avif>, ReadItems, DecodeAvif},
    {heif, {"heic", "heif"}, Sniffed<heif>, ReadItems, DecodeHeif},
};

const FormatRow* RowOf(PictureFormat format) {
  for (const FormatRow& row : formats) {
    if (row.format == format) return &row;
  }
  return nullptr;
}

// An opened picture file, its first bytes read, the format they name found and its size
// reader run: the file at its start, ready for the row's decoder.
struct OpenedFile {
  File file;
  std::uint8_t head[pictureSniffBytes] = {};
  const FormatRow* row = nullptr;
};

bool OpenPictureFile(const char* path, OpenedFile* opened, DecodeRequest* request) {
  opened->file.reset(path ? OpenRegularFile(path) : nullptr);
  std::FILE* file = opened->file.get();
  if (!file) return false;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  const std::size_t got = size >= 2 && std::fseek(file, 0, SEEK_SET) == 0
                              ? std::fread(opened->head, 1, sizeof opened->head, file)
                              : 0;
  const auto named =
      std::find_if(std::begin(formats), std::end(formats),
                   [&](const FormatRow& row) { return row.signature(opened->head, got); });
  if (named == std::end(formats) || std::fseek(file, 0, SEEK_SET) != 0) return false;
  request->file = file;
  request->fileSize = static_cast<std::uint64_t>(size);
  request->head = opened->head;
  request->headSize = got;
  PictureFormat decodeAs = named->format;
  if (!named->readSize(*request, &decodeAs) || std::fseek(file, 0, SEEK_SET) != 0) return false;
  opened->row = RowOf(decodeAs);
  return opened->row != nullptr;
}

}  // namespace

std::span<const platform::PictureExtension> DecodedExtensions() {
  static const std::vector<platform::PictureExtension> extensions = [] {
    std::vector<platform::PictureExtension> all;
    for (const FormatRow& row : formats) {
      for (const char* extension : row.extensions) {
        if (extension) all.push_back({extension, row.format});
      }
    }
    return all;
  }();
  return extensions;
}

bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture, const platform::RowSelection* rows) {
  if (!picture) return false;
  *picture = {};
  OpenedFile opened;
  DecodeRequest request;
  request.mayDecode = mayDecode;
  request.rows = rows;
  request.abandoned = rows ? rows->abandoned : nullptr;
  const bool ok = OpenPictureFile(path, &opened, &request) && opened.row->decode(request, picture);
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
  DecodeRequest request;
  request.abandoned = abandoned;
  int delay = 0;
  if (!frames_->Next(request, &delay)) {
    // The end of a play: a still picture, or an animation played as often as it says, ends.
    const int loops = frames_->loops;
    const int plays = gif_ ? (loops < 0 ? 1 : (loops == 0 ? 0 : loops + 1)) : std::max(loops, 0);
    ++played_;
    if (request.Abandoned() || shown_ < 2 || (plays != 0 && played_ >= plays) ||
        !frames_->Rewind() || !frames_->Next(request, &delay)) {
      return false;
    }
  }
  if (played_ == 0) ++shown_;
  // The canvas was asked about when the file was opened.
  Bytes pixels = request.Accepts(frames_->width, frames_->height)
                     ? request.AllocatePixels(frames_->width, frames_->height)
                     : nullptr;
  if (pixels) frames_->CopyOut(pixels.get());
  // Browsers show the shortest delays as 100 ms.
  *delayMs = delay <= 10 ? 100 : delay;
  return HandOver(true, std::move(pixels), frames_->width, frames_->height, frame);
}

std::unique_ptr<AnimationFile> OpenAnimationFile(const char* path, bool (*mayDecode)(int, int)) {
  OpenedFile opened;
  DecodeRequest request;
  request.mayDecode = mayDecode;
  if (!OpenPictureFile(path, &opened, &request)) return nullptr;
  const PictureFormat format = opened.row->format;
  std::unique_ptr<AnimationFrames> frames;
  if (format == PictureFormat::gif) {
    frames = OpenGifFrames(std::move(opened.file), request);
  } else if (format == PictureFormat::webp) {
    frames = OpenWebpFrames(request);
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
