// AVIF decoding with libavif: the primary picture (the first frame of a sequence) as 8-bit red,
// green, blue and alpha, then turned and mirrored as its 'irot' and 'imir' properties say, which
// libavif reports but leaves to its caller. The file is read through the decode's own reader:
// once the decode is abandoned every read fails, and libavif gives up. libavif is held, from the
// start of its parsing, to the size and the number of pictures the file's items declare
// (heif_items.h): no AV1 frame larger than the declared picture is decoded.
#include <avif/avif.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "backends/posix/decoder_parts.h"
#include "backends/posix/heif_items.h"

namespace native {

namespace {

// What libavif keeps for each tile of a grid besides its pixels: an AV1 decoder of its own,
// all of them at once.
constexpr std::uint64_t avifTileBytes = 512u << 10;

// libavif reads through this: the file, and one buffer holding the last range asked for.
struct FileReader {
  avifIO io;  // first, so that libavif's pointer to it is a pointer to the reader
  const DecodeRequest* request;
  Bytes buffer;
  std::size_t room;
};

avifResult ReadRange(avifIO* io, std::uint32_t flags, std::uint64_t offset, std::size_t size,
                     avifROData* out) {
  auto* reader = reinterpret_cast<FileReader*>(io);
  const DecodeRequest& request = *reader->request;
  if (flags != 0 || offset > request.fileSize || request.Abandoned()) {
    return AVIF_RESULT_IO_ERROR;
  }
  if (size > request.fileSize - offset) {
    size = static_cast<std::size_t>(request.fileSize - offset);
  }
  if (size > reader->room) {
    void* grown = std::realloc(reader->buffer.get(), size);
    if (!grown) return AVIF_RESULT_IO_ERROR;
    static_cast<void>(reader->buffer.release());
    reader->buffer.reset(static_cast<std::uint8_t*>(grown));
    reader->room = size;
  }
  if (size > 0 && (std::fseek(request.file, static_cast<long>(offset), SEEK_SET) != 0 ||
                   std::fread(reader->buffer.get(), 1, size, request.file) != size)) {
    return AVIF_RESULT_IO_ERROR;
  }
  out->data = reader->buffer.get();
  out->size = size;
  return AVIF_RESULT_OK;
}

// How the decoded picture is turned to be shown: quarter turns anticlockwise, then a mirror
// (0 exchanges top and bottom, 1 left and right, -1 none), the order HEIF files apply them in.
struct Orientation {
  int quarterTurns = 0;
  int mirror = -1;
};

Orientation OrientationOf(const avifImage* image) {
  Orientation o;
  if (image->transformFlags & AVIF_TRANSFORM_IROT) o.quarterTurns = image->irot.angle & 3;
  if (image->transformFlags & AVIF_TRANSFORM_IMIR) o.mirror = image->imir.mode & 1;
  return o;
}

// The pixels of a width x height picture turned as o says, in a new width x height (swapped
// for odd turns) buffer; null without memory.
Bytes Oriented(const DecodeRequest& request, const std::uint8_t* rgba, int width, int height,
               Orientation o) {
  const bool swapped = (o.quarterTurns & 1) != 0;
  const int outWidth = swapped ? height : width;
  const int outHeight = swapped ? width : height;
  Bytes out = request.AllocatePixels(outWidth, outHeight);
  if (!out) return nullptr;
  for (int oy = 0; oy < outHeight; ++oy) {
    for (int ox = 0; ox < outWidth; ++ox) {
      // Undo the mirror, then the turn, to find the pixel that lands here.
      const int mx = o.mirror == 1 ? outWidth - 1 - ox : ox;
      const int my = o.mirror == 0 ? outHeight - 1 - oy : oy;
      int x = mx;
      int y = my;
      if (o.quarterTurns == 1) {
        x = width - 1 - my;
        y = mx;
      } else if (o.quarterTurns == 2) {
        x = width - 1 - mx;
        y = height - 1 - my;
      } else if (o.quarterTurns == 3) {
        x = my;
        y = height - 1 - mx;
      }
      const std::size_t from = (static_cast<std::size_t>(y) * width + x) * 4u;
      const std::size_t to = (static_cast<std::size_t>(oy) * outWidth + ox) * 4u;
      for (int i = 0; i < 4; ++i) out.get()[to + i] = rgba[from + i];
    }
  }
  return out;
}

// Parses, asks about the shown size, decodes and converts; *pixels holds the shown picture.
bool DecodeAvifPicture(avifDecoder* decoder, DecodeRequest& request, Bytes* pixels, int* shownWidth,
                       int* shownHeight) {
  if (avifDecoderParse(decoder) != AVIF_RESULT_OK) return false;
  const avifImage* image = decoder->image;  // the picture's properties until it is decoded
  const Orientation orientation = OrientationOf(image);
  const bool swapped = (orientation.quarterTurns & 1) != 0;
  if (!request.Accepts(swapped ? image->height : image->width,
                       swapped ? image->width : image->height)) {
    return false;
  }
  const int width = static_cast<int>(image->width);
  const int height = static_cast<int>(image->height);
  *shownWidth = swapped ? height : width;
  *shownHeight = swapped ? width : height;
  // A sequence's frames are held to its track's size.
  const std::uint64_t area = std::uint64_t{image->width} * image->height;
  decoder->imageSizeLimit = area < UINT32_MAX ? static_cast<std::uint32_t>(area) : UINT32_MAX;
  if (avifDecoderNextImage(decoder) != AVIF_RESULT_OK || request.Abandoned()) return false;
  // The frame decoded must be the size that was asked about.
  if (decoder->image->width != static_cast<std::uint32_t>(width) ||
      decoder->image->height != static_cast<std::uint32_t>(height)) {
    return false;
  }
  *pixels = request.AllocatePixels(width, height);
  if (!*pixels) return false;
  avifRGBImage rgb;
  avifRGBImageSetDefaults(&rgb, decoder->image);
  rgb.format = AVIF_RGB_FORMAT_RGBA;
  rgb.depth = 8;
  rgb.pixels = pixels->get();
  rgb.rowBytes = static_cast<std::uint32_t>(width) * 4u;
  if (avifImageYUVToRGB(decoder->image, &rgb) != AVIF_RESULT_OK) return false;
  if (orientation.quarterTurns != 0 || orientation.mirror >= 0) {
    *pixels = Oriented(request, pixels->get(), width, height, orientation);
    if (!*pixels) return false;
  }
  RgbaToPixels(pixels->get(), *shownWidth, *shownHeight);
  return true;
}

}  // namespace

bool DecodeAvif(DecodeRequest& request, platform::DecodedPicture* picture) {
  const HeifItems& items = request.items;
  if (items.width > 0 &&
      items.tiles * avifTileBytes > DecodeBudget(items.width, items.height) / 2) {
    return false;
  }
  FileReader reader{};
  reader.io.read = ReadRange;
  reader.io.sizeHint = request.fileSize;
  reader.request = &request;
  const Held<avifDecoder, avifDecoderDestroy> decoder(avifDecoderCreate());
  if (!decoder) return false;
  // Pages decode several pictures at once, one on each worker.
  decoder->maxThreads = 1;
  decoder->strictFlags = AVIF_STRICT_DISABLED;
  decoder->ignoreExif = AVIF_TRUE;
  decoder->ignoreXMP = AVIF_TRUE;
  // No picture, tile or AV1 frame beyond the size the items declare, from the start.
  if (items.width > 0) {
    const std::uint64_t area = std::uint64_t(items.width) * std::uint64_t(items.height);
    decoder->imageSizeLimit = area < UINT32_MAX ? static_cast<std::uint32_t>(area) : UINT32_MAX;
    decoder->imageDimensionLimit = static_cast<std::uint32_t>(std::max(items.width, items.height));
  }
  avifDecoderSetIO(decoder.get(), &reader.io);
  Bytes pixels;
  int width = 0;
  int height = 0;
  const bool ok = DecodeAvifPicture(decoder.get(), request, &pixels, &width, &height);
  return HandOver(ok, std::move(pixels), width, height, picture);
}

}  // namespace native
