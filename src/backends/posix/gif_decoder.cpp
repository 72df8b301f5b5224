// GIF decoding with giflib: the first frame of the file (of an animation too) on a black
// screen of the size the file gives. Pixels of the transparent colour, and the parts of the
// screen the frame leaves uncovered, stay black. Rows are decoded one at a time, so an
// abandoned decode stops within a row, and only until the last row the screen shows: the rest
// of the frame is never decoded. A frame whose rows up to that one hold more than
// gifDecodedPixelLimit pixels beyond the screen's own is refused. An animation's frames are
// composed one after another on one such screen, each under the same limit.
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

constexpr std::uint64_t gifDecodedPixelLimit = 16u << 20;

int ReadGifBytes(GifFileType* gif, GifByteType* buffer, int count) {
  return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count),
                                     static_cast<std::FILE*>(gif->UserData)));
}

// What the extensions before a frame say of it, and the file's loop count.
struct FrameControl {
  int transparent = -1;
  int disposal = 0;  // 2: cleared after it shows, 3: the canvas before it restored
  int delayMs = 0;
  int loops = -1;  // the NETSCAPE2.0 extension's count, -1 without one
};

// Reads an extension to its end, taking what a graphic control or NETSCAPE2.0 one says.
bool ReadExtension(GifFileType* gif, FrameControl* control) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    control->transparent = (block[1] & 1) ? block[4] : -1;
    control->disposal = (block[1] >> 2) & 7;
    control->delayMs = (block[2] | block[3] << 8) * 10;
  }
  const bool netscape = code == APPLICATION_EXT_FUNC_CODE && block && block[0] == 11 &&
                        std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
  while (block) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
    if (netscape && block && block[0] >= 3 && block[1] == 1) {
      control->loops = block[2] | block[3] << 8;
    }
  }
  return true;
}

// The rows of the frame in the order the file holds them: interlaced frames in four passes.
std::vector<int> FrameRowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const int starts[] = {0, 4, 2, 1};
  const int steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
  }
  return order;
}

// Draws the frame just described onto the screen pixels, clipped to the screen.
bool DrawFrame(GifFileType* gif, int transparent, const DecodeRequest& request,
               std::uint8_t* pixels) {
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!colours || frame.Width <= 0 || frame.Height <= 0) return false;
  // The rows in the file's order up to the last one on the screen, and what decoding them costs.
  std::vector<int> order = FrameRowOrder(frame.Height, frame.Interlace);
  std::size_t last = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (frame.Top + order[i] < gif->SHeight) last = i + 1;
  }
  order.resize(last);
  const std::uint64_t screenPixels = std::uint64_t(gif->SWidth) * std::uint64_t(gif->SHeight);
  if (std::uint64_t(frame.Width) * order.size() > screenPixels + gifDecodedPixelLimit) return false;
  std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
  for (int y : order) {
    if (request.Abandoned() || DGifGetLine(gif, line.data(), frame.Width) != GIF_OK) return false;
    const int screenY = frame.Top + y;
    if (screenY >= gif->SHeight) continue;
    std::uint8_t* row = PixelRow(pixels, gif->SWidth, gif->SHeight - 1 - screenY);
    for (int x = 0; x < frame.Width && frame.Left + x < gif->SWidth; ++x) {
      const int index = line[static_cast<std::size_t>(x)];
      if (index == transparent || index >= colours->ColorCount) continue;
      const GifColorType& c = colours->Colors[index];
      PutPixel(row + static_cast<std::size_t>(frame.Left + x) * 4u, c.Red, c.Green, c.Blue);
    }
  }
  return true;
}

void CloseGif(GifFileType* gif) {
  int error = 0;
  DGifCloseFile(gif, &error);
}

using GifHandle = Held<GifFileType, CloseGif>;

bool DecodeFirstFrame(GifFileType* gif, DecodeRequest& request, Bytes* pixels) {
  if (!request.Accepts(gif->SWidth, gif->SHeight)) return false;
  *pixels = request.AllocatePixels(gif->SWidth, gif->SHeight);
  if (!*pixels) return false;
  FrameControl control;
  for (;;) {
    GifRecordType record;
    if (DGifGetRecordType(gif, &record) != GIF_OK) return false;
    if (record == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif, &control)) return false;
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      return DGifGetImageDesc(gif) == GIF_OK &&
             DrawFrame(gif, control.transparent, request, pixels->get());
    } else {
      return false;  // the end of the file before any frame
    }
  }
}

}  // namespace

bool DecodeGif(DecodeRequest& request, platform::DecodedPicture* picture) {
  int error = 0;
  const GifHandle gif(DGifOpen(request.file, ReadGifBytes, &error));
  if (!gif) return false;
  Bytes pixels;
  const bool ok = DecodeFirstFrame(gif.get(), request, &pixels);
  return HandOver(ok, std::move(pixels), gif->SWidth, gif->SHeight, picture);
}

namespace {

// An animation's frames composed one after another on one canvas at the screen's size, each
// frame's disposal done before the next is drawn. The frames the file has read are forgotten as
// it goes, so memory stays that of the canvas whatever the number of frames.
class GifFrames : public AnimationFrames {
 public:
  explicit GifFrames(File file) : file_(std::move(file)) {}

  bool Open(DecodeRequest& request) {
    int error = 0;
    gif_.reset(DGifOpen(file_.get(), ReadGifBytes, &error));
    if (!gif_ || !request.Accepts(gif_->SWidth, gif_->SHeight)) return false;
    width = gif_->SWidth;
    height = gif_->SHeight;
    pixels_ = request.AllocatePixels(width, height);
    canvas = pixels_.get();
    return canvas != nullptr;
  }

  bool Next(const DecodeRequest& request, int* delayMs) override {
    FrameControl control;
    for (;;) {
      GifRecordType record;
      if (!gif_ || DGifGetRecordType(gif_.get(), &record) != GIF_OK) return false;
      if (record == EXTENSION_RECORD_TYPE) {
        if (!ReadExtension(gif_.get(), &control)) return false;
        if (control.loops >= 0) loops = control.loops;
      } else if (record == IMAGE_DESC_RECORD_TYPE) {
        break;
      } else {
        return false;
      }
    }
    if (DGifGetImageDesc(gif_.get()) != GIF_OK) return false;
    Dispose();
    const GifImageDesc& frame = gif_->Image;
    left_ = std::min(frame.Left, width);
    top_ = std::min(frame.Top, height);
    right_ = std::min(frame.Left + frame.Width, width);
    bottom_ = std::min(frame.Top + frame.Height, height);
    disposal_ = control.disposal;
    if (disposal_ == 3) saved_ = CopyRect(true);
    const bool drawn = DrawFrame(gif_.get(), control.transparent, request, canvas);
    // The frame read is not kept by the library beyond this one.
    GifFreeSavedImages(gif_.get());
    gif_->ImageCount = 0;
    *delayMs = control.delayMs;
    return drawn;
  }

  bool Rewind() override {
    gif_.reset();
    std::memset(canvas, 0, static_cast<std::size_t>(width) * height * 4u);
    disposal_ = 0;
    int error = 0;
    gif_.reset(std::fseek(file_.get(), 0, SEEK_SET) == 0
                   ? DGifOpen(file_.get(), ReadGifBytes, &error)
                   : nullptr);
    return gif_ && gif_->SWidth == width && gif_->SHeight == height;
  }

 private:
  // The last frame's rectangle, clipped to the canvas, saved (or, with save false, restored
  // from saved_, and cleared when nothing was saved).
  std::vector<std::uint8_t> CopyRect(bool save) {
    std::vector<std::uint8_t> copy;
    const std::size_t rowBytes = static_cast<std::size_t>(std::max(0, right_ - left_)) * 4u;
    std::size_t at = 0;
    for (int y = top_; y < bottom_; ++y, at += rowBytes) {
      std::uint8_t* row = PixelRow(canvas, width, height - 1 - y) + left_ * 4u;
      if (save) {
        copy.insert(copy.end(), row, row + rowBytes);
      } else if (saved_.size() >= at + rowBytes) {
        std::memcpy(row, saved_.data() + at, rowBytes);
      } else {
        std::memset(row, 0, rowBytes);
      }
    }
    return copy;
  }

  // What the frame before the one just described asked to be done once it had shown.
  void Dispose() {
    if (disposal_ == 2) saved_.clear();
    if (disposal_ == 2 || disposal_ == 3) CopyRect(false);
    saved_.clear();
    disposal_ = 0;
  }

  // Declared first, so that the file is closed after the library's handle.
  File file_;
  GifHandle gif_;
  Bytes pixels_;
  int disposal_ = 0;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  std::vector<std::uint8_t> saved_;
};

}  // namespace

std::unique_ptr<AnimationFrames> OpenGifFrames(File file, DecodeRequest& request) {
  auto frames = std::make_unique<GifFrames>(std::move(file));
  if (!frames->Open(request)) return nullptr;
  return frames;
}

}  // namespace native
