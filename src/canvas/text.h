// Text: bounded formatting, the bitmap font and text rendering.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/font.h"
#include "display/display.h"

// One line as it is drawn: at most 255 characters and the terminator.
constexpr int textLineSize = 256;
struct TextLine {
  char text[textLineSize] = "";
};

// printf-style formatting into destination, never past destinationSize bytes (a longer
// text is cut); the result is always terminated. Returns the length written.
int FormatText(char* destination, std::size_t destinationSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Draws text (at most a line's 256 bytes, should it lack its terminator) with its pen starting
// at x and glyph row 1 on canvas row y + 1. Where names are UTF-8 (platform Conventions) a
// character beyond ASCII is drawn from the glyph cache, its coverage blended over the canvas, a
// combining mark centred over the character before it, and a byte that is not UTF-8 as a
// replacement mark; in the Windows program's code page every byte above 127 is the blank glyph.
void RenderText(Display& display, const char* text, int x, int y, std::uint8_t r, std::uint8_t g,
                std::uint8_t b);
// Draws a name or path in the overlay's yellow as the platform shows names.
void RenderShownText(Display& display, const char* text, int x, int y);
// As RenderText, and marks the text's box (rows y - 9 .. y - 1, gap columns included) with id.
void RenderPickText(Display& display, const char* text, int x, int y, std::uint8_t r,
                    std::uint8_t g, std::uint8_t b, std::int32_t id);

// The width of text as rendered: the sum of its glyph advances.
int RenderedWidth(const char* text);

// A name or path as the platform shows it (platform::DisplayText), cut to its first `characters`
// characters (none for a negative count) and to what a line holds. Where names are UTF-8 a cut
// never falls inside a character and keeps a combining mark with its letter; in the code page
// of the Windows program every byte is a character.
TextLine ShownText(const char* text, int characters = textLineSize);

// The overlay's buttons in yellow with their PickIds: "THUMBNAILS", "BRACKETL" and "BRACKETR"
// when pageButtonsShown, "CENTERCENTER" when centreButtonShown. The caller, which knows the
// view, decides both.
void DrawOverlayButtons(Display& display, bool pageButtonsShown, bool centreButtonShown);
