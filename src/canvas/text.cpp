// Placeholder until the font lands: formatting is real, rendering draws nothing.
#include "canvas/text.h"

#include <cstdarg>
#include <cstdio>

char TextBuffer[textBufferSize];

int FormatText(char* destination, std::size_t destinationSize, const char* format, ...) {
  if (destinationSize == 0) return 0;
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(destination, destinationSize, format, args);
  va_end(args);
  if (n < 0) {
    destination[0] = '\0';
    return 0;
  }
  return n < static_cast<int>(destinationSize) ? n : static_cast<int>(destinationSize) - 1;
}

const char* const BitmapFont[128] = {};

int GlyphWidth(unsigned char) { return 2; }

void RenderText(int, int, std::uint8_t, std::uint8_t, std::uint8_t) {}

void RenderPickText(int, int, std::uint8_t, std::uint8_t, std::uint8_t, std::int32_t) {}

void DrawOverlayButtons() {}
