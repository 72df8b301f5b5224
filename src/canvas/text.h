// Text: the shared TextBuffer, bounded formatting, the bitmap font and text rendering.
#pragma once

#include <cstddef>
#include <cstdint>

#include "canvas/font.h"
#include "display/display.h"

constexpr int textBufferSize = 256;  // 255 characters and the terminator
extern char TextBuffer[textBufferSize];

// printf-style formatting into destination, never past destinationSize bytes (a longer
// text is cut); the result is always terminated. Returns the length written.
int FormatText(char* destination, std::size_t destinationSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Draws the TextBuffer with its pen starting at x and glyph row 1 on canvas row y + 1.
void RenderText(Display& display, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
// As RenderText, and marks the text's box (rows y - 9 .. y - 1, gap columns included) with id.
void RenderPickText(Display& display, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                    std::int32_t id);

// The overlay's buttons in yellow with their PickIds: "THUMBNAILS", "BRACKETL" and "BRACKETR"
// when pageButtonsShown, "CENTERCENTER" when centreButtonShown. The caller, which knows the
// view, decides both.
void DrawOverlayButtons(Display& display, bool pageButtonsShown, bool centreButtonShown);
