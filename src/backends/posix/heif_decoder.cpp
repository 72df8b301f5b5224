// HEIF decoding with libheif: the primary picture of the file as 8-bit red, green, blue and
// alpha, cropped, turned and mirrored by libheif as the file's properties say, so the size
// asked about is the one shown. The file is read through the decode's own reader: once the
// decode is abandoned every read fails, and libheif gives up at its next read. libheif's own
// largest size is set from the size the file's items declare (heif_items.h) before it parses.
#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "backends/posix/decoder_parts.h"
#include "backends/posix/heif_items.h"

namespace native {

namespace {

DecodeRequest& RequestOf(void* data) { return *static_cast<DecodeRequest*>(data); }

std::int64_t Position(void* data) { return std::ftell(RequestOf(data).file); }

int Read(void* buffer, std::size_t size, void* data) {
  const DecodeRequest& request = RequestOf(data);
  if (request.Abandoned()) return 1;
  return std::fread(buffer, 1, size, request.file) == size ? 0 : 1;
}

int Seek(std::int64_t position, void* data) {
  return std::fseek(RequestOf(data).file, static_cast<long>(position), SEEK_SET);
}

heif_reader_grow_status WaitForSize(std::int64_t size, void* data) {
  return static_cast<std::uint64_t>(size) <= RequestOf(data).fileSize
             ? heif_reader_grow_status_size_reached
             : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader fileReader = {1, Position, Read, Seek, WaitForSize};

using ImageHandle = Held<heif_image_handle, heif_image_handle_release>;
using Image = Held<heif_image, heif_image_release>;

// Reads the primary picture's handle, asks about its size, decodes it and converts it into
// *pixels.
bool DecodeHeifPicture(heif_context* context, DecodeRequest& request, Bytes* pixels, int* width,
                       int* height) {
  heif_image_handle* primary = nullptr;
  if (heif_context_read_from_reader(context, &fileReader, &request, nullptr).code !=
          heif_error_Ok ||
      heif_context_get_primary_image_handle(context, &primary).code != heif_error_Ok) {
    return false;
  }
  const ImageHandle handle(primary);
  *width = heif_image_handle_get_width(handle.get());
  *height = heif_image_handle_get_height(handle.get());
  if (*width < 0 || *height < 0 || !request.Accepts(*width, *height)) return false;
  const Held<heif_decoding_options, heif_decoding_options_free> options(
      heif_decoding_options_alloc());
  if (!options) return false;
  options->convert_hdr_to_8bit = 1;
  heif_image* decoded = nullptr;
  const heif_error error = heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                                             heif_chroma_interleaved_RGBA, options.get());
  const Image image(decoded);
  if (error.code != heif_error_Ok || request.Abandoned()) return false;
  if (heif_image_get_width(image.get(), heif_channel_interleaved) != *width ||
      heif_image_get_height(image.get(), heif_channel_interleaved) != *height) {
    return false;
  }
  int stride = 0;
  const std::uint8_t* plane =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (!plane || stride < *width * 4) return false;
  *pixels = request.AllocatePixels(*width, *height);
  if (!*pixels) return false;
  for (int y = 0; y < *height; ++y) {
    PutRgbaRow(plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride), *width,
               PixelRow(pixels->get(), *width, *height - 1 - y));
  }
  return true;
}

}  // namespace

bool DecodeHeif(DecodeRequest& request, platform::DecodedPicture* picture) {
  const HeifItems& items = request.items;
  if (items.width <= 0 || items.height <= 0 || std::fseek(request.file, 0, SEEK_SET) != 0) {
    return false;
  }
  const Held<heif_context, heif_context_free> context(heif_context_alloc());
  if (!context) return false;
  // Pages decode several pictures at once, one on each worker: tiles are decoded in turn.
  heif_context_set_max_decoding_threads(context.get(), 0);
  // Pictures up to the declared size, give or take the 64-pixel blocks of their coding.
  heif_context_set_maximum_image_size_limit(
      context.get(), std::min(std::max(items.width, items.height), INT32_MAX - 65) + 65);
  Bytes pixels;
  int width = 0;
  int height = 0;
  const bool ok = DecodeHeifPicture(context.get(), request, &pixels, &width, &height);
  return HandOver(ok, std::move(pixels), width, height, picture);
}

}  // namespace native
