// Text: bounded formatting, the bitmap font and its rendering into the
// canvas images, and the overlay buttons drawn with it.
#include "canvas/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/utf8.h"
#include "canvas/canvas.h"
#include "canvas/glyph_cache.h"
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

// Where and how one text is drawn: glyph row i lands on canvas row y - i + 2, identifier row i
// on y - i. Positions are widened so that no pen or row overflows.
struct TextTarget {
  const CanvasImages& canvas;
  long long width;
  long long height;
  long long y;
  std::uint8_t r, g, b;
  bool marks;
  std::int32_t id;
};

// Marks the identifier box's columns [left, right) on rows bottom .. top, within the canvas.
void MarkBox(const TextTarget& t, long long left, long long right, long long bottom,
             long long top) {
  left = std::max(left, 0LL);
  right = std::min(right, t.width);
  if (left >= right) return;
  for (long long row = std::max(bottom, 0LL); row <= std::min(top, t.height - 1); ++row) {
    std::int32_t* line = t.canvas.pickBuffer + row * t.width;
    std::fill(line + left, line + right, t.id);
  }
}

// One glyph of the bitmap font with its pen at pen. It is clipped against the canvas once: the
// cells written are exactly those whose per-pixel bounds test would pass.
void DrawEntry(const TextTarget& t, const char* entry, int w, long long pen) {
  const long long columnFirst = std::max(pen, 0LL);
  const long long inkColumnEnd = std::min(pen + w, t.width);
  for (int i = 1; i <= glyphRows; ++i) {
    const char* row = entry + rowStride * i;
    const long long inkY = t.y - i + 2;
    if (inkY >= 0 && inkY < t.height) {
      std::uint8_t* line = t.canvas.frameBuffer + inkY * t.width * 4;
      for (long long cx = columnFirst; cx < inkColumnEnd; ++cx) {
        if (row[cx - pen] != '0') {
          std::uint8_t* px = line + cx * 4;
          px[0] = t.r;
          px[1] = t.g;
          px[2] = t.b;
          px[3] = 255;
        }
      }
    }
    const long long pickY = t.y - i;
    if (t.marks && pickY >= 0 && pickY < t.height) {
      // The box covers the glyph's columns and the gap column after it.
      std::int32_t* line = t.canvas.pickBuffer + pickY * t.width;
      std::fill(line + columnFirst, line + std::max(columnFirst, std::min(pen + w + 1, t.width)),
                t.id);
    }
  }
}

// A drawing of the glyph cache with its first column at x, its coverage blended over what is
// there. The identifier box covers the columns [boxLeft, boxRight) and the ink, on the usual
// rows and every row with ink.
void DrawCoverage(const TextTarget& t, const Glyph& glyph, long long x, long long boxLeft,
                  long long boxRight) {
  for (int row = 0; row < glyph.height; ++row) {
    const long long inkY = t.y - (glyph.top + row) + 2;
    if (inkY < 0 || inkY >= t.height) continue;
    std::uint8_t* line = t.canvas.frameBuffer + inkY * t.width * 4;
    for (int column = 0; column < glyph.width; ++column) {
      const long long cx = x + column;
      const unsigned cover = glyph.coverage[static_cast<std::size_t>(row * glyph.width + column)];
      if (cover == 0 || cx < 0 || cx >= t.width) continue;
      std::uint8_t* px = line + cx * 4;
      if (cover == 255) {
        px[0] = t.r;
        px[1] = t.g;
        px[2] = t.b;
      } else {
        const std::uint8_t colour[3] = {t.r, t.g, t.b};
        for (int c = 0; c < 3; ++c) {
          px[c] =
              static_cast<std::uint8_t>((colour[c] * cover + px[c] * (255 - cover) + 127) / 255);
        }
      }
      px[3] = 255;
    }
  }
  if (!t.marks) return;
  long long bottom = t.y - glyphRows;
  long long top = t.y - 1;
  if (glyph.height > 0) {
    bottom = std::min(bottom, t.y - (glyph.top + glyph.height - 1) + 2);
    top = std::max(top, t.y - glyph.top + 2);
  }
  MarkBox(t, std::min(boxLeft, x), std::max(boxRight, x + glyph.width), bottom, top);
}

bool ShowsUtf8() { return platform::PlatformConventions().showsUtf8; }

// Walks text as the platform shows it, a character at a time: visit(entry, glyph, advance, mark)
// with the bitmap font's entry or, for a character beyond ASCII, the cached drawing, and whether
// it is a combining mark drawn over the character before it (with no advance of its own). The
// walk ends where visit returns false.
template <typename Visit>
void ForEachCharacter(const char* text, Visit&& visit) {
  const std::size_t length = strnlen(text, textLineSize);
  if (!ShowsUtf8()) {
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      if (!visit(GlyphEntry(c), nullptr, GlyphWidth(c) + 1, false)) return;
    }
    return;
  }
  bool first = true;
  for (std::size_t i = 0; i < length;) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (!visit(BitmapFont[c], nullptr, GlyphWidth(c) + 1, false)) return;
      ++i;
    } else {
      const Utf8Character ch = ReadCharacter(text + i, length - i);
      const Glyph& glyph = ch.valid ? CharacterGlyph(ch.codePoint) : ReplacementMark();
      const bool mark = ch.valid && !first && IsCombiningMark(ch.codePoint);
      if (!visit(nullptr, &glyph, mark ? 0 : glyph.advance, mark)) return;
      i += static_cast<std::size_t>(ch.length);
    }
    first = false;
  }
}

// Renders text at (x, y); with marks it also marks the identifier box.
void DrawText(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
              std::uint8_t b, bool marks, std::int32_t id) {
  const long long width = display.displayState.canvasWidth;
  const long long height = display.displayState.canvasHeight;
  if (width <= 0 || height <= 0 || display.canvas.frameBuffer == nullptr) return;
  const TextTarget t{display.canvas, width, height, y, r, g, b, marks, id};
  long long pen = x;
  struct {
    long long pen;
    int advance;
  } previous{pen, 0};  // the last character that is not a mark
  ForEachCharacter(text, [&](const char* entry, const Glyph* glyph, int advance, bool mark) {
    if (mark) {
      // Centred over the character before it, whose pen has moved on already.
      const long long over = previous.pen + (previous.advance - 1 - glyph->width) / 2;
      DrawCoverage(t, *glyph, over, over, over);
      return true;
    }
    // Nothing to the right of the canvas can become visible again.
    if (pen >= width) return false;
    if (entry != nullptr) {
      DrawEntry(t, entry, advance - 1, pen);
    } else {
      DrawCoverage(t, *glyph, pen + glyph->left, pen, pen + advance);
    }
    previous = {pen, advance};
    pen += advance;
    return true;
  });
}

}  // namespace

void RenderText(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
                std::uint8_t b) {
  DrawText(display, text, x, y, r, g, b, false, pick::none);
}

void RenderShownText(Display& display, const char* text, int x, int y) {
  RenderText(display, ShownText(text).text, x, y, 255, 255, 0);
}

void RenderPickText(Display& display, const char* text, int x, int y, std::uint8_t r,
                    std::uint8_t g, std::uint8_t b, std::int32_t id) {
  DrawText(display, text, x, y, r, g, b, true, id);
}

int RenderedWidth(const char* text) {
  int width = 0;
  ForEachCharacter(text, [&](const char*, const Glyph*, int advance, bool) {
    width += advance;
    return true;
  });
  return width;
}

TextLine ShownText(const char* text, int characters) {
  char shown[platform::longestPath + 1];
  platform::DisplayText(text, shown, sizeof shown);
  std::size_t length = 0;
  if (ShowsUtf8()) {
    length = CharacterCut(shown, characters, textLineSize);
  } else {
    length = std::min(strnlen(shown, textLineSize - 1),
                      static_cast<std::size_t>(std::max(characters, 0)));
  }
  TextLine line;
  std::memcpy(line.text, shown, length);
  line.text[length] = '\0';
  return line;
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
