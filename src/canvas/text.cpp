// Text: bounded formatting, the bitmap font and its rendering into the
// canvas images, and the overlay buttons drawn with it.
#include "canvas/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "canvas/canvas.h"
#include "platform/platform.h"

int FormatText(char* destination, std::size_t destinationSize, const char* format, ...) {
  if (destination == nullptr || destinationSize == 0) return 0;
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(destination, destinationSize, format, args);
  va_end(args);
  if (n < 0) {
    destination[0] = '\0';
    return 0;
  }
  // vsnprintf reports the length the whole text would have had; what was kept is shorter.
  return n < static_cast<int>(destinationSize) ? n : static_cast<int>(destinationSize) - 1;
}

namespace {

constexpr int glyphRows = 9;
constexpr int rowStride = 8;

// Renders text at (x, y); with a non-zero id it also marks the identifier box.
// Each glyph is clipped against the canvas once: the cells written are exactly those whose
// per-pixel bounds test would pass. Positions are widened so that no pen or row overflows.
void DrawText(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
              std::uint8_t b, bool marks, std::int32_t id) {
  const long long width = display.displayState.canvasWidth;
  const long long height = display.displayState.canvasHeight;
  const CanvasImages& canvas = display.canvas;
  if (width <= 0 || height <= 0 || canvas.frameBuffer == nullptr) return;

  // Glyph row i lands on canvas row y - i + 2; identifier row i on y - i.
  long long pen = x;
  for (const char* p = text; p < text + textLineSize && *p != '\0'; ++p) {
    // Nothing to the right of the canvas can become visible again.
    if (pen >= width) break;
    const unsigned char c = static_cast<unsigned char>(*p);
    const char* entry = GlyphEntry(c);
    const int w = GlyphWidth(c);
    const long long columnFirst = std::max(pen, 0LL);
    const long long inkColumnEnd = std::min(pen + w, width);
    for (int i = 1; i <= glyphRows; ++i) {
      const char* row = entry + rowStride * i;
      const long long inkY = static_cast<long long>(y) - i + 2;
      if (inkY >= 0 && inkY < height) {
        std::uint8_t* line = canvas.frameBuffer + inkY * width * 4;
        for (long long cx = columnFirst; cx < inkColumnEnd; ++cx) {
          if (row[cx - pen] != '0') {
            std::uint8_t* px = line + cx * 4;
            px[0] = r;
            px[1] = g;
            px[2] = b;
            px[3] = 255;
          }
        }
      }
      const long long pickY = static_cast<long long>(y) - i;
      if (marks && pickY >= 0 && pickY < height) {
        // The box covers the glyph's columns and the gap column after it.
        std::int32_t* line = canvas.pickBuffer + pickY * width;
        std::fill(line + columnFirst, line + std::max(columnFirst, std::min(pen + w + 1, width)),
                  id);
      }
    }
    pen += w + 1;
  }
}

}  // namespace

void RenderText(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
                std::uint8_t b) {
  DrawText(display, text, x, y, r, g, b, false, pick::none);
}

void RenderShownText(Display& display, const char* text, int x, int y) {
  TextLine shown;
  platform::DisplayText(text, shown.text, sizeof shown.text);
  RenderText(display, shown.text, x, y, 255, 255, 0);
}

void RenderPickText(Display& display, const char* text, int x, int y, std::uint8_t r,
                    std::uint8_t g, std::uint8_t b, std::int32_t id) {
  DrawText(display, text, x, y, r, g, b, true, id);
}

int RenderedWidth(const char* text) {
  int width = 0;
  for (const char* c = text; c < text + textLineSize && *c != '\0'; ++c) {
    width += GlyphWidth(static_cast<unsigned char>(*c)) + 1;
  }
  return width;
}

namespace {

struct OverlayButton {
  const char* label;
  int offsetX;  // from the overlay's left edge, scrollX
  std::int32_t id;
  bool centre;  // the centre button; the others turn pages and switch views
};

constexpr OverlayButton overlayButtons[] = {
    {"THUMBNAILS", 268, pick::thumbnailsButton, false},
    {"BRACKETL", 320, pick::bracketLeftButton, false},
    {"BRACKETR", 360, pick::bracketRightButton, false},
    {"CENTERCENTER", 402, pick::centerButton, true},
};

}  // namespace

void DrawOverlayButtons(Display& display, bool pageButtonsShown, bool centreButtonShown) {
  const DisplayState& d = display.displayState;
  for (const OverlayButton& button : overlayButtons) {
    if (!(button.centre ? centreButtonShown : pageButtonsShown)) continue;
    RenderPickText(display, button.label, d.scrollX + button.offsetX,
                   d.scrollY + d.canvasHeight - 11, 255, 255, 0, button.id);
  }
}
