// The characters the bitmap font has no entry for, as the text renderer draws them: from the
// platform's fonts, each drawn once and kept.
#pragma once

#include <cstdint>
#include <vector>

struct Glyph {
  int advance = 0;  // pen advance, the gap before the next character included
  int left = 0;     // columns from the pen to the first column of coverage
  int top = 1;      // glyph-box row (1 to 9) of the first row of coverage
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;  // width x height, rows top to bottom, 0 to 255
};

// The drawing of a character beyond ASCII: the platform's (platform::DrawCharacter), asked for
// once and kept; a box as wide as a capital where the platform has none.
const Glyph& CharacterGlyph(char32_t codePoint);

// The mark drawn for each byte that is not UTF-8.
const Glyph& ReplacementMark();

// Drops every kept drawing, so that the next use asks the platform again.
void ForgetGlyphs();
