// JPEG XL decoding with libjxl: the first frame (of an animation too) as 8-bit red, green, blue
// and alpha, turned as the file's orientation says, which libjxl applies itself. The file is
// read twice. First its frame headers alone, layer by layer, so that the size is asked about
// and the first frame's layers are checked before any of their pixels is decoded: more than
// jxlLayerLimit layers, or a layer larger than the picture or placed outside it, and the file is
// refused. Then the frame is decoded, its layers put together on a canvas of the picture's size.
// The file is handed to the decoder in steps, and libjxl's work items run through a runner of
// the decode's own that looks at the abandonment flag before each: an abandoned decode stops
// within one group of pixels.
#include <jxl/decode.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

constexpr std::size_t readStep = 64u * 1024u;
constexpr int jxlLayerLimit = 2;

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

// libjxl's work items, one after another on the decoding thread, until the decode is
// abandoned: then libjxl fails the decode.
JxlParallelRetCode RunInTurn(void* request, void* opaque, JxlParallelRunInit init,
                             JxlParallelRunFunction run, std::uint32_t start, std::uint32_t end) {
  if (init(opaque, 1) != 0) return JXL_PARALLEL_RET_RUNNER_ERROR;
  for (std::uint32_t i = start; i < end; ++i) {
    if (static_cast<const DecodeRequest*>(request)->Abandoned()) {
      return JXL_PARALLEL_RET_RUNNER_ERROR;
    }
    run(opaque, i, 0);
  }
  return 0;
}

// Whether a layer of the first frame lies within the picture (before its orientation).
bool LayerFits(const JxlLayerInfo& layer, const JxlBasicInfo& info) {
  const std::int64_t x = layer.crop_x0;
  const std::int64_t y = layer.crop_y0;
  return layer.xsize <= info.xsize && layer.ysize <= info.ysize && x > -std::int64_t{layer.xsize} &&
         y > -std::int64_t{layer.ysize} && x < std::int64_t{info.xsize} &&
         y < std::int64_t{info.ysize};
}

// One pass over the file from its start: with headersOnly, reads the size (asked about here)
// and the first frame's layer headers; otherwise decodes that frame into *pixels, top row
// first.
bool RunJxlDecoder(JxlDecoder* decoder, DecodeRequest& request, bool headersOnly, Bytes* pixels,
                   int* width, int* height) {
  std::FILE* file = request.file;
  JxlInput input;
  const int events = headersOnly ? JXL_DEC_BASIC_INFO | JXL_DEC_FRAME : JXL_DEC_FULL_IMAGE;
  if (std::fseek(file, 0, SEEK_SET) != 0 ||
      JxlDecoderSubscribeEvents(decoder, events) != JXL_DEC_SUCCESS ||
      JxlDecoderSetCoalescing(decoder, headersOnly ? JXL_FALSE : JXL_TRUE) != JXL_DEC_SUCCESS ||
      JxlDecoderSetParallelRunner(decoder, RunInTurn, &request) != JXL_DEC_SUCCESS ||
      JxlDecoderSetUnpremultiplyAlpha(decoder, JXL_TRUE) != JXL_DEC_SUCCESS) {
    return false;
  }
  JxlBasicInfo info{};
  int layers = 0;
  bool ok = false;
  for (bool running = true; running && !request.Abandoned();) {
    const JxlDecoderStatus status = JxlDecoderProcessInput(decoder);
    running = false;
    if (status == JXL_DEC_NEED_MORE_INPUT) {
      running = ReadMore(decoder, file, &input);
    } else if (status == JXL_DEC_BASIC_INFO) {
      if (JxlDecoderGetBasicInfo(decoder, &info) != JXL_DEC_SUCCESS) break;
      // The sizes are those before the orientation; the last four orientations transpose.
      const bool transposed = info.orientation >= JXL_ORIENT_TRANSPOSE;
      running = request.Accepts(transposed ? info.ysize : info.xsize,
                                transposed ? info.xsize : info.ysize);
      *width = static_cast<int>(transposed ? info.ysize : info.xsize);
      *height = static_cast<int>(transposed ? info.xsize : info.ysize);
    } else if (status == JXL_DEC_FRAME) {
      JxlFrameHeader frame;
      if (JxlDecoderGetFrameHeader(decoder, &frame) != JXL_DEC_SUCCESS ||
          !LayerFits(frame.layer_info, info) || ++layers > jxlLayerLimit) {
        break;
      }
      // The first frame ends with the first layer shown for a time, or the last of all.
      ok = frame.duration > 0 || frame.is_last;
      running = !ok;
    } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
      std::size_t size = 0;
      const std::size_t expected = static_cast<std::size_t>(*width) * *height * 4u;
      *pixels = request.AllocatePixels(*width, *height);
      running =
          *pixels && JxlDecoderImageOutBufferSize(decoder, &rgba8, &size) == JXL_DEC_SUCCESS &&
          size == expected &&
          JxlDecoderSetImageOutBuffer(decoder, &rgba8, pixels->get(), size) == JXL_DEC_SUCCESS;
    } else if (status == JXL_DEC_FULL_IMAGE) {
      ok = *pixels != nullptr;
    }
    // Anything else is an error, or the end of the file before the frame.
  }
  std::free(input.bytes);
  return ok && !request.Abandoned();
}

}  // namespace

bool DecodeJxl(DecodeRequest& request, platform::DecodedPicture* picture) {
  Bytes pixels;
  int width = 0;
  int height = 0;
  bool ok = false;
  for (const bool headersOnly : {true, false}) {
    const Held<JxlDecoder, JxlDecoderDestroy> decoder(JxlDecoderCreate(nullptr));
    ok = decoder && RunJxlDecoder(decoder.get(), request, headersOnly, &pixels, &width, &height);
    if (!ok) break;
  }
  if (ok) RgbaToPixels(pixels.get(), width, height);
  return HandOver(ok, std::move(pixels), width, height, picture);
}

}  // namespace native
