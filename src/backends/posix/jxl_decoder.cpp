// JPEG XL decoding with libjxl: the first frame (of an animation too) as 8-bit red, green, blue
// and alpha, turned as the file's orientation says, which libjxl applies itself. The file is
// handed to the decoder in steps, so the size is asked about as soon as the header has been
// read, before the rest of the file is, and an abandoned decode stops at the next step.
#include <jxl/decode.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

constexpr std::size_t readStep = 64u * 1024u;

const JxlPixelFormat rgba8 = {4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};

// The bytes handed to the decoder: those it has not processed yet, then what was read since.
struct JxlInput {
  std::uint8_t* bytes = nullptr;
  std::size_t held = 0;
  std::size_t room = 0;
};

// Keeps the bytes the decoder left and appends the next step of the file; false at its end.
bool ReadMore(JxlDecoder* decoder, std::FILE* file, JxlInput* input) {
  const std::size_t left = JxlDecoderReleaseInput(decoder);
  if (left > input->held) return false;
  if (left > 0) std::memmove(input->bytes, input->bytes + (input->held - left), left);
  input->held = left;
  if (input->room < left + readStep) {
    const std::size_t room = (left + readStep) * 2;
    void* grown = std::realloc(input->bytes, room);
    if (!grown) return false;
    input->bytes = static_cast<std::uint8_t*>(grown);
    input->room = room;
  }
  const std::size_t got = std::fread(input->bytes + input->held, 1, readStep, file);
  if (got == 0) return false;
  input->held += got;
  return JxlDecoderSetInput(decoder, input->bytes, input->held) == JXL_DEC_SUCCESS;
}

// Runs the decoder to the end of the first frame; *pixels then holds it, top row first.
bool RunJxlDecoder(JxlDecoder* decoder, std::FILE* file, const DecodeLimits& limits,
                   JxlInput* input, std::uint8_t** pixels, int* width, int* height) {
  if (JxlDecoderSubscribeEvents(decoder, JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE) !=
          JXL_DEC_SUCCESS ||
      JxlDecoderSetUnpremultiplyAlpha(decoder, JXL_TRUE) != JXL_DEC_SUCCESS) {
    return false;
  }
  for (;;) {
    if (limits.Abandoned()) return false;
    const JxlDecoderStatus status = JxlDecoderProcessInput(decoder);
    if (status == JXL_DEC_NEED_MORE_INPUT) {
      if (!ReadMore(decoder, file, input)) return false;
    } else if (status == JXL_DEC_BASIC_INFO) {
      JxlBasicInfo info;
      if (JxlDecoderGetBasicInfo(decoder, &info) != JXL_DEC_SUCCESS) return false;
      if (info.xsize > INT32_MAX || info.ysize > INT32_MAX) return false;
      // The sizes are those before the orientation; the last four orientations transpose.
      const bool transposed = info.orientation >= JXL_ORIENT_TRANSPOSE;
      *width = static_cast<int>(transposed ? info.ysize : info.xsize);
      *height = static_cast<int>(transposed ? info.xsize : info.ysize);
      if (!limits.Accepts(*width, *height)) return false;
      *pixels = AllocatePixels(*width, *height);
      if (!*pixels) return false;
    } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
      std::size_t size = 0;
      const std::size_t expected = static_cast<std::size_t>(*width) * *height * 4u;
      if (!*pixels || JxlDecoderImageOutBufferSize(decoder, &rgba8, &size) != JXL_DEC_SUCCESS ||
          size != expected ||
          JxlDecoderSetImageOutBuffer(decoder, &rgba8, *pixels, size) != JXL_DEC_SUCCESS) {
        return false;
      }
    } else if (status == JXL_DEC_FULL_IMAGE) {
      if (!*pixels) return false;
      RgbaToPixels(*pixels, *width, *height);
      return true;
    } else {
      return false;  // an error, or the end of the file before any frame
    }
  }
}

}  // namespace

bool DecodeJxl(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture) {
  JxlDecoder* decoder = JxlDecoderCreate(nullptr);
  if (!decoder) return false;
  JxlInput input;
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  const bool ok = RunJxlDecoder(decoder, file, limits, &input, &pixels, &width, &height);
  JxlDecoderDestroy(decoder);
  std::free(input.bytes);
  return HandOver(ok, pixels, width, height, picture);
}

}  // namespace native
