// GIF decoding with giflib: the first frame of the file (of an animation too) on a black
// screen of the size the file gives. Pixels of the transparent colour, and the parts of the
// screen the frame leaves uncovered, stay black. Rows are decoded one at a time, so an
// abandoned decode stops within a row, and only until the last row the screen shows: the rest
// of the frame is never decoded. A frame whose rows up to that one hold more than
// gifDecodedPixelLimit pixels beyond the screen's own is refused.
#include <gif_lib.h>

#include <cstdint>
#include <vector>

#include "backends/posix/decoder_parts.h"

namespace native {

namespace {

constexpr std::uint64_t gifDecodedPixelLimit = 16u << 20;

int ReadGifBytes(GifFileType* gif, GifByteType* buffer, int count) {
  return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count),
                                     static_cast<std::FILE*>(gif->UserData)));
}

// The transparent colour a graphic control extension names, or -1; reads the extension to its
// end.
bool ReadExtension(GifFileType* gif, int* transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    *transparent = (block[1] & 1) ? block[4] : -1;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
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
bool DrawFrame(GifFileType* gif, int transparent, const DecodeLimits& limits,
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
    if (limits.Abandoned() || DGifGetLine(gif, line.data(), frame.Width) != GIF_OK) return false;
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

bool DecodeFirstFrame(GifFileType* gif, const DecodeLimits& limits, std::uint8_t** pixels) {
  if (!limits.Accepts(gif->SWidth, gif->SHeight)) return false;
  *pixels = AllocatePixels(gif->SWidth, gif->SHeight);
  if (!*pixels) return false;
  int transparent = -1;
  for (;;) {
    GifRecordType record;
    if (DGifGetRecordType(gif, &record) != GIF_OK) return false;
    if (record == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif, &transparent)) return false;
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      return DGifGetImageDesc(gif) == GIF_OK && DrawFrame(gif, transparent, limits, *pixels);
    } else {
      return false;  // the end of the file before any frame
    }
  }
}

}  // namespace

bool DecodeGif(std::FILE* file, const DecodeLimits& limits, platform::DecodedPicture* picture) {
  int error = 0;
  GifFileType* gif = DGifOpen(file, ReadGifBytes, &error);
  if (!gif) return false;
  std::uint8_t* pixels = nullptr;
  const bool ok = DecodeFirstFrame(gif, limits, &pixels);
  const int width = gif->SWidth;
  const int height = gif->SHeight;
  DGifCloseFile(gif, &error);
  return HandOver(ok, pixels, width, height, picture);
}

}  // namespace native
