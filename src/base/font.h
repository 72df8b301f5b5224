// The bitmap font: glyph drawings and advances by character code.
#pragma once

// The 128 glyph entries: width digit, second digit, six '0', then nine rows at a stride of 8
// (row 1 at the top), and on most entries a tenth row that is never drawn.
extern const char* const BitmapFont[128];

// The entry a character code draws with; codes 128 to 255 draw as the blank glyph.
const char* GlyphEntry(unsigned char c);

// Glyph width of a character code; codes outside the table draw as the blank glyph.
int GlyphWidth(unsigned char c);

// The glyph box: rows 1 (top) to 9; capitals and digits stand on rows 3 to 7, row 7 is the
// baseline.
constexpr int fontRows = 9;
constexpr int fontBaselineRow = 7;

// Drawings in the entry format for what the table has no code for (the Linux program's text):
// a box for a character no font has, and a diamond with a hole for a byte that is not UTF-8.
extern const char missingGlyph[];
extern const char replacementGlyph[];
