// Small files of the formats the native decoders read beside BMP and JPEG, each written with its
// format's own library: for the decoder tests, the fuzzing seeds and the benchmarks. Pictures
// are given as red, green, blue and alpha bytes, top row first.
#pragma once

#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include <avif/avif.h>
#include <gif_lib.h>
#include <jxl/encode.h>
#include <libheif/heif.h>
#include <spng.h>
#include <webp/encode.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace formatwriter {

struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;
};

// At the given zlib level (0 to 9).
inline std::vector<std::uint8_t> Png(const RgbaPicture& p, int level = 6) {
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_set_option(context, SPNG_IMG_COMPRESSION_LEVEL, level);
  spng_ihdr header{};
  header.width = static_cast<std::uint32_t>(p.width);
  header.height = static_cast<std::uint32_t>(p.height);
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
  spng_set_ihdr(context, &header);
  int error = spng_encode_image(context, p.bytes.data(), p.bytes.size(), SPNG_FMT_PNG,
                                SPNG_ENCODE_FINALIZE);
  std::size_t size = 0;
  auto* bytes =
      static_cast<std::uint8_t*>(error ? nullptr : spng_get_png_buffer(context, &size, &error));
  std::vector<std::uint8_t> out(bytes, bytes + (bytes ? size : 0));
  std::free(bytes);
  spng_ctx_free(context);
  return out;
}

inline int PutGifBytes(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::vector<std::uint8_t>*>(gif->UserData)
      ->insert(static_cast<std::vector<std::uint8_t>*>(gif->UserData)->end(), bytes, bytes + count);
  return count;
}

// The palette and colour indices of a picture: its colours as they come while there are at most
// 255 (index 255 is the transparent one, for alpha 0), else a 6 x 6 x 6 cube of colours.
inline void GifPalette(const RgbaPicture& p, GifColorType* colours,
                       std::vector<GifPixelType>* indices) {
  std::vector<std::uint32_t> seen;
  for (std::size_t i = 0; i < p.bytes.size(); i += 4) {
    const std::uint32_t rgb = p.bytes[i] << 16 | p.bytes[i + 1] << 8 | p.bytes[i + 2];
    auto at = std::find(seen.begin(), seen.end(), rgb);
    if (at == seen.end() && seen.size() < 256) at = seen.insert(seen.end(), rgb);
    indices->push_back(p.bytes[i + 3] == 0 ? 255 : static_cast<GifPixelType>(at - seen.begin()));
  }
  if (seen.size() <= 255) {
    for (std::size_t i = 0; i < seen.size(); ++i) {
      colours[i] = {static_cast<GifByteType>(seen[i] >> 16), static_cast<GifByteType>(seen[i] >> 8),
                    static_cast<GifByteType>(seen[i])};
    }
    return;
  }
  auto step = [](int c) { return (c * 5 + 127) / 255; };
  for (int i = 0; i < 216; ++i) {
    colours[i] = {static_cast<GifByteType>(i / 36 * 51), static_cast<GifByteType>(i / 6 % 6 * 51),
                  static_cast<GifByteType>(i % 6 * 51)};
  }
  for (std::size_t i = 0; i < indices->size(); ++i) {
    const std::uint8_t* c = p.bytes.data() + i * 4;
    if (c[3] != 0)
      (*indices)[i] = static_cast<GifPixelType>(step(c[0]) * 36 + step(c[1]) * 6 + step(c[2]));
  }
}

// Two frames: the picture (index 255 transparent), then one of colour 0.
inline std::vector<std::uint8_t> Gif(const RgbaPicture& p) {
  std::vector<std::uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, PutGifBytes, &error);
  GifColorType colours[256] = {};
  std::vector<GifPixelType> indices;
  GifPalette(p, colours, &indices);
  ColorMapObject* map = GifMakeMapObject(256, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, p.width, p.height, 8, 0, map);
  for (int frame = 0; frame < 2; ++frame) {
    const GifByteType control[4] = {1, 0, 0, 255};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    EGifPutImageDesc(gif, 0, 0, p.width, p.height, false, nullptr);
    if (frame == 1) std::fill(indices.begin(), indices.end(), 0);
    for (int y = 0; y < p.height; ++y) EGifPutLine(gif, indices.data() + y * p.width, p.width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// Lossless.
inline std::vector<std::uint8_t> Webp(const RgbaPicture& p) {
  std::uint8_t* bytes = nullptr;
  const std::size_t size =
      WebPEncodeLosslessRGBA(p.bytes.data(), p.width, p.height, p.width * 4, &bytes);
  std::vector<std::uint8_t> out(bytes, bytes + size);
  WebPFree(bytes);
  return out;
}

// An animation of same-sized frames, each shown delays[i] hundredths of a second, played as
// the NETSCAPE2.0 loop count says.
inline std::vector<std::uint8_t> AnimatedGif(const std::vector<RgbaPicture>& frames,
                                             const std::vector<int>& delays, int loops) {
  std::vector<std::uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, PutGifBytes, &error);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, frames[0].width, frames[0].height, 8, 0, nullptr);
  const GifByteType loop[3] = {1, static_cast<GifByteType>(loops),
                               static_cast<GifByteType>(loops >> 8)};
  EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
  EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
  EGifPutExtensionBlock(gif, 3, loop);
  EGifPutExtensionTrailer(gif);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const RgbaPicture& p = frames[i];
    GifColorType colours[256] = {};
    std::vector<GifPixelType> indices;
    GifPalette(p, colours, &indices);
    ColorMapObject* map = GifMakeMapObject(256, colours);
    const GifByteType control[4] = {1, static_cast<GifByteType>(delays[i]),
                                    static_cast<GifByteType>(delays[i] >> 8), 255};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    EGifPutImageDesc(gif, 0, 0, p.width, p.height, false, map);
    for (int y = 0; y < p.height; ++y) EGifPutLine(gif, indices.data() + y * p.width, p.width);
    GifFreeMapObject(map);
  }
  EGifCloseFile(gif, &error);
  return out;
}

// An animation of same-sized lossless frames, each shown delays[i] milliseconds, played loops
// times: the extended header, the animation chunk and a frame chunk around each frame's
// lossless bitstream.
inline std::vector<std::uint8_t> AnimatedWebp(const std::vector<RgbaPicture>& frames,
                                              const std::vector<int>& delays, int loops) {
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P'};
  auto put = [&out](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  auto chunk = [&](const char* name, std::uint32_t size) {
    out.insert(out.end(), name, name + 4);
    put(size, 4);
  };
  const int width = frames[0].width;
  const int height = frames[0].height;
  chunk("VP8X", 10);
  put(0x12, 4);  // animation and alpha
  put(width - 1, 3);
  put(height - 1, 3);
  chunk("ANIM", 6);
  put(0, 4);
  put(loops, 2);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::vector<std::uint8_t> still = Webp(frames[i]);
    chunk("ANMF", static_cast<std::uint32_t>(16 + still.size() - 12));
    put(0, 3);  // at the canvas's corner
    put(0, 3);
    put(width - 1, 3);
    put(height - 1, 3);
    put(delays[i], 3);
    put(2, 1);  // not blended
    out.insert(out.end(), still.begin() + 12, still.end());
  }
  const std::uint32_t riff = static_cast<std::uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
  return out;
}

// Lossless (full-range 4:4:4 with the identity matrix, quantizer 0), to be turned quarterTurns
// quarters anticlockwise by its 'irot' property.
inline std::vector<std::uint8_t> Avif(const RgbaPicture& p, int quarterTurns = 0) {
  avifImage* image = avifImageCreate(p.width, p.height, 8, AVIF_PIXEL_FORMAT_YUV444);
  image->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_IDENTITY;
  image->yuvRange = AVIF_RANGE_FULL;
  if (quarterTurns != 0) image->transformFlags = AVIF_TRANSFORM_IROT;
  image->irot.angle = static_cast<std::uint8_t>(quarterTurns);
  avifRGBImage rgb;
  avifRGBImageSetDefaults(&rgb, image);
  rgb.pixels = const_cast<std::uint8_t*>(p.bytes.data());
  rgb.rowBytes = static_cast<std::uint32_t>(p.width) * 4u;
  avifImageRGBToYUV(image, &rgb);
  avifEncoder* encoder = avifEncoderCreate();
  encoder->minQuantizer = encoder->maxQuantizer = AVIF_QUANTIZER_LOSSLESS;
  encoder->minQuantizerAlpha = encoder->maxQuantizerAlpha = AVIF_QUANTIZER_LOSSLESS;
  encoder->speed = AVIF_SPEED_FASTEST;
  avifRWData written = AVIF_DATA_EMPTY;
  avifEncoderWrite(encoder, image, &written);
  std::vector<std::uint8_t> out(written.data, written.data + written.size);
  avifRWDataFree(&written);
  avifEncoderDestroy(encoder);
  avifImageDestroy(image);
  return out;
}

inline heif_error PutHeifBytes(heif_context*, const void* bytes, std::size_t size, void* out) {
  const auto* from = static_cast<const std::uint8_t*>(bytes);
  static_cast<std::vector<std::uint8_t>*>(out)->insert(
      static_cast<std::vector<std::uint8_t>*>(out)->end(), from, from + size);
  return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}

// Lossy HEVC at the given quality (0 to 100), with an alpha plane.
inline std::vector<std::uint8_t> Heif(const RgbaPicture& p, int quality = 90) {
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
  heif_encoder_set_lossy_quality(encoder, quality);
  heif_image* image = nullptr;
  heif_image_create(p.width, p.height, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, &image);
  heif_image_add_plane(image, heif_channel_interleaved, p.width, p.height, 8);
  int stride = 0;
  std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < p.height; ++y) {
    std::memcpy(plane + y * stride, p.bytes.data() + y * p.width * 4, p.width * 4u);
  }
  heif_context_encode_image(context, image, encoder, nullptr, nullptr);
  std::vector<std::uint8_t> out;
  heif_writer writer{1, PutHeifBytes};
  heif_context_write(context, &writer, &out);
  heif_image_release(image);
  heif_encoder_release(encoder);
  heif_context_free(context);
  return out;
}

// Lossless.
inline std::vector<std::uint8_t> Jxl(const RgbaPicture& p) {
  JxlEncoder* encoder = JxlEncoderCreate(nullptr);
  JxlBasicInfo info;
  JxlEncoderInitBasicInfo(&info);
  info.xsize = static_cast<std::uint32_t>(p.width);
  info.ysize = static_cast<std::uint32_t>(p.height);
  info.bits_per_sample = 8;
  info.alpha_bits = 8;
  info.num_extra_channels = 1;
  info.uses_original_profile = JXL_TRUE;
  JxlEncoderSetBasicInfo(encoder, &info);
  JxlColorEncoding colour;
  JxlColorEncodingSetToSRGB(&colour, JXL_FALSE);
  JxlEncoderSetColorEncoding(encoder, &colour);
  JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder, nullptr);
  JxlEncoderSetFrameLossless(settings, JXL_TRUE);
  const JxlPixelFormat format = {4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  JxlEncoderAddImageFrame(settings, &format, p.bytes.data(), p.bytes.size());
  JxlEncoderCloseInput(encoder);
  std::vector<std::uint8_t> out(64 * 1024);
  std::uint8_t* next = out.data();
  std::size_t room = out.size();
  const bool done = JxlEncoderProcessOutput(encoder, &next, &room) == JXL_ENC_SUCCESS;
  out.resize(done ? out.size() - room : 0);
  JxlEncoderDestroy(encoder);
  return out;
}

// Alpha is left out; app1, when given, is written as the content of an APP1 segment (an Exif
// block, say) right after the JFIF header.
inline std::vector<std::uint8_t> Jpeg(const RgbaPicture& p, int quality = 95,
                                      const std::vector<std::uint8_t>& app1 = {}) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* bytes = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &bytes, &size);
  info.image_width = static_cast<JDIMENSION>(p.width);
  info.image_height = static_cast<JDIMENSION>(p.height);
  info.input_components = 4;
  info.in_color_space = JCS_EXT_RGBX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  if (!app1.empty()) {
    jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
  }
  std::vector<std::uint8_t> row;
  while (info.next_scanline < info.image_height) {
    const std::size_t at = static_cast<std::size_t>(info.next_scanline) * p.width * 4u;
    row.assign(p.bytes.begin() + static_cast<std::ptrdiff_t>(at),
               p.bytes.begin() + static_cast<std::ptrdiff_t>(at + p.width * 4u));
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> out(bytes, bytes + size);
  std::free(bytes);
  return out;
}

}  // namespace formatwriter
