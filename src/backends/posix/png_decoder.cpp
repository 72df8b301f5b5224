// PNG decoding with libspng: every colour type and depth as 8-bit red, green, blue and alpha,
// the transparency chunk applied. Rows are decoded one at a time into the picture, so an
// abandoned decode stops within a row; interlaced pictures are filled in pass by pass. libspng
// keeps rows of its own, a few times the picture's width: they come out of the fixed part of the
// decode's budget, and a picture whose rows would take more than pngRowBufferLimit of it (one
// 700,000 pixels wide, or a row of pixels far longer than the picture is large) is refused.
#include <spng.h>

#include <cstdint>
#include <utility>

#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

// Ancillary chunks (text, profiles) of up to 16 MiB each and 64 MiB in all are read; a larger
// one ends the decode instead of costing memory.
constexpr std::size_t chunkLimit = 16u << 20;
constexpr std::size_t chunkCacheLimit = 64u << 20;
constexpr std::uint64_t pngRowBufferLimit = decodeFixedBytes / 4;

// What libspng holds beside the picture: the file's current and previous row, a row converted
// to 16-bit samples, and for an interlaced picture one row more.
std::uint64_t RowBufferBytes(const spng_ihdr& header) {
  const unsigned channels[] = {1, 0, 3, 1, 2, 0, 4};
  const std::uint64_t samples = header.color_type <= 6 ? channels[header.color_type] : 4;
  const std::uint64_t fileRow = (header.width * samples * header.bit_depth + 7) / 8 + 1;
  const std::uint64_t wideRow = std::uint64_t{header.width} * 8u;
  return 2 * fileRow + wideRow * (header.interlace_method ? 2 : 1);
}

bool DecodePngRows(spng_ctx* context, DecodeRequest& request, Bytes* pixels, spng_ihdr* header) {
  if (spng_set_chunk_limits(context, chunkLimit, chunkCacheLimit) != 0 ||
      spng_set_png_file(context, request.file) != 0 || spng_get_ihdr(context, header) != 0) {
    return false;
  }
  if (!request.Accepts(header->width, header->height) ||
      RowBufferBytes(*header) > pngRowBufferLimit) {
    return false;
  }
  const int width = static_cast<int>(header->width);
  const int height = static_cast<int>(header->height);
  *pixels = request.AllocatePixels(width, height);
  if (!*pixels) return false;
  if (spng_decode_image(context, nullptr, 0, SPNG_FMT_RGBA8,
                        SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE) != 0) {
    return false;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4u;
  for (;;) {
    if (request.Abandoned()) return false;
    spng_row_info row;
    if (spng_get_row_info(context, &row) != 0 || row.row_num >= header->height) return false;
    // Rows are written top row first while decoding; RgbaToPixels turns the picture over.
    const int status = spng_decode_row(context, pixels->get() + row.row_num * rowBytes, rowBytes);
    if (status == SPNG_EOI) break;
    if (status != 0) return false;
  }
  RgbaToPixels(pixels->get(), width, height);
  return true;
}

}  // namespace

bool DecodePng(DecodeRequest& request, platform::DecodedPicture* picture) {
  const Held<spng_ctx, spng_ctx_free> context(spng_ctx_new(0));
  if (!context) return false;
  Bytes pixels;
  spng_ihdr header{};
  const bool ok = DecodePngRows(context.get(), request, &pixels, &header);
  return HandOver(ok, std::move(pixels), static_cast<int>(header.width),
                  static_cast<int>(header.height), picture);
}

}  // namespace native
