// HEIF decoding with libheif: the primary picture of the file as 8-bit red, green, blue and
// alpha, cropped, turned and mirrored by libheif as the file's properties say, so the size
// asked about is the one shown. The file is read through the decode's own reader: once the
// decode is abandoned every read fails, and libheif gives up at its next read. libheif's own
// largest size is set from the size the file's items declare (heif_items.h) before it parses.
#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>

#include "backends/posix/decoder_parts.h"
#include "backends/posix/heif_items.h"

namespace native {

namespace {

struct HeifFile {
  std::FILE* file;
  std::int64_t size;
  const DecodeLimits* limits;
};

std::int64_t Position(void* data) { return std::ftell(static_cast<HeifFile*>(data)->file); }

int Read(void* buffer, std::size_t size, void* data) {
  const auto* heif = static_cast<HeifFile*>(data);
  if (heif->limits->Abandoned()) return 1;
  return std::fread(buffer, 1, size, heif->file) == size ? 0 : 1;
}

int Seek(std::int64_t position, void* data) {
  return std::fseek(static_cast<HeifFile*>(data)->file, static_cast<long>(position), SEEK_SET);
}

heif_reader_grow_status WaitForSize(std::int64_t size, void* data) {
  return size <= static_cast<HeifFile*>(data)->size ? heif_reader_grow_status_size_reached
                                                    : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader fileReader = {1, Position, Read, Seek, WaitForSize};

// Reads the primary picture's handle, asks about its size, decodes it and converts it into
// *pixels; *image and *handle are for the caller to release.
bool DecodeHeifPicture(heif_context* context, HeifFile* file, const DecodeLimits& limits,
                       heif_image_handle** handle, heif_image** image, std::uint8_t** pixels) {
  if (heif_context_read_from_reader(context, &fileReader, file, nullptr).code != heif_error_Ok ||
      heif_context_get_primary_image_handle(context, handle).code != heif_error_Ok) {
    return false;
  }
  const int width = heif_image_handle_get_width(*handle);
  const int height = heif_image_handle_get_height(*handle);
  if (!limits.Accepts(width, height)) return false;
  heif_decoding_options* options = heif_decoding_options_alloc();
  if (!options) return false;
  options->convert_hdr_to_8bit = 1;
  const heif_error decoded =
      heif_decode_image(*handle, image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, options);
  heif_decoding_options_free(options);
  if (decoded.code != heif_error_Ok || limits.Abandoned()) return false;
  if (heif_image_get_width(*image, heif_channel_interleaved) != width ||
      heif_image_get_height(*image, heif_channel_interleaved) != height) {
    return false;
  }
  int stride = 0;
  const std::uint8_t* plane =
      heif_image_get_plane_readonly(*image, heif_channel_interleaved, &stride);
  if (!plane || stride < width * 4) return false;
  *pixels = AllocatePixels(width, height);
  if (!*pixels) return false;
  for (int y = 0; y < height; ++y) {
    PutRgbaRow(plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride), width,
               PixelRow(*pixels, width, height - 1 - y));
  }
  return true;
}

}  // namespace

bool DecodeHeif(std::FILE* file, const HeifItems& items, const DecodeLimits& limits,
                platform::DecodedPicture* picture) {
  if (items.width <= 0 || items.height <= 0) return false;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size <= 0 || std::fseek(file, 0, SEEK_SET) != 0) return false;
  HeifFile heif{file, size, &limits};
  heif_context* context = heif_context_alloc();
  if (!context) return false;
  // Pages decode several pictures at once, one on each worker: tiles are decoded in turn.
  heif_context_set_max_decoding_threads(context, 0);
  // Pictures up to the declared size, give or take the 64-pixel blocks of their coding.
  heif_context_set_maximum_image_size_limit(
      context, std::min(std::max(items.width, items.height), INT32_MAX - 65) + 65);
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  std::uint8_t* pixels = nullptr;
  const bool ok = DecodeHeifPicture(context, &heif, limits, &handle, &image, &pixels);
  const int width = ok ? heif_image_get_width(image, heif_channel_interleaved) : 0;
  const int height = ok ? heif_image_get_height(image, heif_channel_interleaved) : 0;
  if (image) heif_image_release(image);
  if (handle) heif_image_handle_release(handle);
  heif_context_free(context);
  return HandOver(ok, pixels, width, height, picture);
}

}  // namespace native
