// WebP decoding with libwebp: lossy and lossless pictures with or without alpha, and the first
// frame of an animation placed on its canvas. The size in the file's header is asked about
// before the file is read whole; the frame is then decoded in steps, so an abandoned decode
// stops after the step under way. An animation's frames come from libwebp's animation decoder,
// which composes them on a canvas of its own.
#include <webp/decode.h>
#include <webp/demux.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "base/little_endian.h"
#include "base/picture_header.h"
#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

// The canvas size lies in the first 30 bytes (in the extended header, or the lossless or lossy
// frame header of a simple file).
constexpr std::size_t headBytes = 64;
// The most of a file that is read.
constexpr std::uint64_t webpMaxBytes = std::uint64_t{256} << 20;
// How much of the frame's data the decoder is given between two looks at the abandonment flag.
constexpr std::size_t decodeStep = 256u * 1024u;

// The canvas size and the RIFF chunk's length (its header included) from the file's headers
// alone, before the rest of the file is read.
bool ReadWebpHeader(std::FILE* file, int* width, int* height, std::uint64_t* length) {
  std::uint8_t head[headBytes];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  if (got < 12) return false;
  *length = std::uint64_t{LittleEndian32(head + 4)} + 8u;
  return ReadFormatSize(PictureFormat::webp, head, got, width, height) &&
         std::fseek(file, 0, SEEK_SET) == 0;
}

// Decodes one frame's bitstream as red, green, blue and alpha into the canvas at (x, y).
bool DecodeFrame(const WebPIterator& frame, int canvasWidth, const DecodeLimits& limits,
                 std::uint8_t* canvas) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return false;
  const std::size_t stride = static_cast<std::size_t>(canvasWidth) * 4u;
  config.output.colorspace = MODE_RGBA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba =
      canvas + static_cast<std::size_t>(frame.y_offset) * stride + frame.x_offset * 4u;
  config.output.u.RGBA.stride = static_cast<int>(stride);
  config.output.u.RGBA.size =
      stride * static_cast<std::size_t>(frame.height - 1) + frame.width * 4u;
  WebPIDecoder* decoder = WebPIDecode(nullptr, 0, &config);
  if (!decoder) return false;
  VP8StatusCode status = VP8_STATUS_SUSPENDED;
  for (std::size_t given = 0; status == VP8_STATUS_SUSPENDED && given < frame.fragment.size;) {
    if (limits.Abandoned()) break;
    given += frame.fragment.size - given < decodeStep ? frame.fragment.size - given : decodeStep;
    status = WebPIUpdate(decoder, frame.fragment.bytes, given);
  }
  WebPIDelete(decoder);
  return status == VP8_STATUS_OK;
}

bool DecodeWebpCanvas(const std::uint8_t* data, std::size_t size, int width, int height,
                      const DecodeLimits& limits, std::uint8_t* canvas) {
  const WebPData whole{data, size};
  WebPDemuxer* demuxer = WebPDemux(&whole);
  if (!demuxer) return false;
  bool ok = static_cast<int>(WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_WIDTH)) == width &&
            static_cast<int>(WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_HEIGHT)) == height;
  WebPIterator frame;
  if (ok && WebPDemuxGetFrame(demuxer, 1, &frame)) {
    ok = frame.x_offset >= 0 && frame.y_offset >= 0 && frame.width > 0 && frame.height > 0 &&
         frame.x_offset + frame.width <= width && frame.y_offset + frame.height <= height &&
         DecodeFrame(frame, width, limits, canvas);
    WebPDemuxReleaseIterator(&frame);
  } else {
    ok = false;
  }
  WebPDemuxDelete(demuxer);
  if (ok) RgbaToPixels(canvas, width, height);
  return ok;
}

}  // namespace

bool DecodeWebp(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture) {
  int width = 0;
  int height = 0;
  std::uint64_t size = 0;
  if (!ReadWebpHeader(file, &width, &height, &size) || !limits.Accepts(width, height)) {
    return false;
  }
  // The file's bytes and the canvas share the budget with libwebp's own rows.
  const std::uint64_t pixelBytes = std::uint64_t(width) * std::uint64_t(height) * 4u;
  if (size > webpMaxBytes || size + pixelBytes > DecodeBudget(width, height) / 2) return false;
  std::uint8_t* data = nullptr;
  std::uint8_t* pixels = nullptr;
  bool ok = ReadBytes(file, static_cast<std::size_t>(size), limits, &data);
  if (ok) {
    pixels = AllocatePixels(width, height);
    ok = pixels &&
         DecodeWebpCanvas(data, static_cast<std::size_t>(size), width, height, limits, pixels);
  }
  std::free(data);
  return HandOver(ok, pixels, width, height, picture);
}

namespace {

// An animation's frames as libwebp's animation decoder composes them on its own canvas.
class WebpFrames : public AnimationFrames {
 public:
  ~WebpFrames() override {
    if (decoder_) WebPAnimDecoderDelete(decoder_);
    std::free(data_);
  }

  bool Open(std::FILE* file, bool (*mayDecode)(int, int)) {
    std::uint64_t size = 0;
    const DecodeLimits limits{mayDecode};
    if (!ReadWebpHeader(file, &width, &height, &size) || !limits.Accepts(width, height)) {
      return false;
    }
    // The file's bytes, the decoder's canvas and the one it keeps of the frame before, and the
    // copy handed out.
    const std::uint64_t pixelBytes = std::uint64_t(width) * std::uint64_t(height) * 4u;
    if (size > webpMaxBytes || size + 3 * pixelBytes > DecodeBudget(width, height) / 2 ||
        !ReadBytes(file, static_cast<std::size_t>(size), limits, &data_)) {
      return false;
    }
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return false;
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData whole{data_, static_cast<std::size_t>(size)};
    decoder_ = WebPAnimDecoderNew(&whole, &options);
    WebPAnimInfo info;
    if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_, &info)) return false;
    loops = static_cast<int>(info.loop_count);
    return static_cast<int>(info.canvas_width) == width &&
           static_cast<int>(info.canvas_height) == height && info.frame_count > 1;
  }

  bool Next(const DecodeLimits& limits, int* delayMs) override {
    int timestamp = 0;
    if (limits.Abandoned() || !WebPAnimDecoderHasMoreFrames(decoder_) ||
        !WebPAnimDecoderGetNext(decoder_, &canvas, &timestamp)) {
      return false;
    }
    *delayMs = timestamp - timestamp_;
    timestamp_ = timestamp;
    return true;
  }

  bool Rewind() override {
    WebPAnimDecoderReset(decoder_);
    timestamp_ = 0;
    return true;
  }

  void CopyOut(std::uint8_t* pixels) const override {
    AnimationFrames::CopyOut(pixels);
    RgbaToPixels(pixels, width, height);
  }

 private:
  std::uint8_t* data_ = nullptr;
  WebPAnimDecoder* decoder_ = nullptr;
  int timestamp_ = 0;
};

}  // namespace

std::unique_ptr<AnimationFrames> OpenWebpFrames(std::FILE* file, bool (*mayDecode)(int, int)) {
  auto frames = std::make_unique<WebpFrames>();
  const bool opened = frames->Open(file, mayDecode);
  std::fclose(file);
  if (!opened) return nullptr;
  return frames;
}

}  // namespace native
