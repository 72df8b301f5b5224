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
#include <utility>

#include "base/little_endian.h"
#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

// The most of a file that is read.
constexpr std::uint64_t webpMaxBytes = std::uint64_t{256} << 20;
// How much of the frame's data the decoder is given between two looks at the abandonment flag.
constexpr std::size_t decodeStep = 256u * 1024u;

// The RIFF chunk's length, its header included, from the file's first bytes.
std::uint64_t RiffLength(const DecodeRequest& request) {
  return std::uint64_t{LittleEndian32(request.head + 4)} + 8u;
}

// Decodes one frame's bitstream as red, green, blue and alpha into the canvas at (x, y).
bool DecodeFrame(const WebPIterator& frame, int canvasWidth, const DecodeRequest& request,
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
  const Held<WebPIDecoder, WebPIDelete> decoder(WebPIDecode(nullptr, 0, &config));
  if (!decoder) return false;
  VP8StatusCode status = VP8_STATUS_SUSPENDED;
  for (std::size_t given = 0; status == VP8_STATUS_SUSPENDED && given < frame.fragment.size;) {
    if (request.Abandoned()) break;
    given += frame.fragment.size - given < decodeStep ? frame.fragment.size - given : decodeStep;
    status = WebPIUpdate(decoder.get(), frame.fragment.bytes, given);
  }
  return status == VP8_STATUS_OK;
}

bool DecodeWebpCanvas(const std::uint8_t* data, std::size_t size, int width, int height,
                      const DecodeRequest& request, std::uint8_t* canvas) {
  const WebPData whole{data, size};
  const Held<WebPDemuxer, WebPDemuxDelete> demuxer(WebPDemux(&whole));
  if (!demuxer) return false;
  bool ok = static_cast<int>(WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH)) == width &&
            static_cast<int>(WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT)) == height;
  WebPIterator frame;
  if (ok && WebPDemuxGetFrame(demuxer.get(), 1, &frame)) {
    ok = frame.x_offset >= 0 && frame.y_offset >= 0 && frame.width > 0 && frame.height > 0 &&
         frame.x_offset + frame.width <= width && frame.y_offset + frame.height <= height &&
         DecodeFrame(frame, width, request, canvas);
    WebPDemuxReleaseIterator(&frame);
  } else {
    ok = false;
  }
  if (ok) RgbaToPixels(canvas, width, height);
  return ok;
}

}  // namespace

bool DecodeWebp(DecodeRequest& request, platform::DecodedPicture* picture) {
  const int width = request.declaredWidth;
  const int height = request.declaredHeight;
  const std::uint64_t size = RiffLength(request);
  if (!request.Accepts(width, height) || size > webpMaxBytes) return false;
  // The canvas and the file's bytes share the budget with libwebp's own rows.
  Bytes pixels = request.AllocatePixels(width, height, size);
  const Bytes data = pixels ? ReadBytes(request, static_cast<std::size_t>(size)) : nullptr;
  const bool ok = data && DecodeWebpCanvas(data.get(), static_cast<std::size_t>(size), width,
                                           height, request, pixels.get());
  return HandOver(ok, std::move(pixels), width, height, picture);
}

namespace {

// An animation's frames as libwebp's animation decoder composes them on its own canvas.
class WebpFrames : public AnimationFrames {
 public:
  bool Open(DecodeRequest& request) {
    width = request.declaredWidth;
    height = request.declaredHeight;
    const std::uint64_t size = RiffLength(request);
    if (!request.Accepts(width, height)) return false;
    // The file's bytes, the decoder's canvas and the one it keeps of the frame before, and the
    // copy handed out.
    const std::uint64_t pixelBytes = std::uint64_t(width) * std::uint64_t(height) * 4u;
    if (size > webpMaxBytes || !request.WithinBudget(size + 3 * pixelBytes)) return false;
    data_ = ReadBytes(request, static_cast<std::size_t>(size));
    if (!data_) return false;
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return false;
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData whole{data_.get(), static_cast<std::size_t>(size)};
    decoder_.reset(WebPAnimDecoderNew(&whole, &options));
    WebPAnimInfo info;
    if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_.get(), &info)) return false;
    loops = static_cast<int>(info.loop_count);
    return static_cast<int>(info.canvas_width) == width &&
           static_cast<int>(info.canvas_height) == height && info.frame_count > 1;
  }

  bool Next(const DecodeRequest& request, int* delayMs) override {
    int timestamp = 0;
    if (request.Abandoned() || !WebPAnimDecoderHasMoreFrames(decoder_.get()) ||
        !WebPAnimDecoderGetNext(decoder_.get(), &canvas, &timestamp)) {
      return false;
    }
    *delayMs = timestamp - timestamp_;
    timestamp_ = timestamp;
    return true;
  }

  bool Rewind() override {
    WebPAnimDecoderReset(decoder_.get());
    timestamp_ = 0;
    return true;
  }

  void CopyOut(std::uint8_t* pixels) const override {
    AnimationFrames::CopyOut(pixels);
    RgbaToPixels(pixels, width, height);
  }

 private:
  // Declared first, so that the bytes outlive the decoder reading them.
  Bytes data_;
  Held<WebPAnimDecoder, WebPAnimDecoderDelete> decoder_;
  int timestamp_ = 0;
};

}  // namespace

std::unique_ptr<AnimationFrames> OpenWebpFrames(DecodeRequest& request) {
  auto frames = std::make_unique<WebpFrames>();
  if (!frames->Open(request)) return nullptr;
  return frames;
}

}  // namespace native
