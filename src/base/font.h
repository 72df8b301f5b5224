// The bitmap font: glyph drawings and advances by character code.
#pragma once

// The 128 glyph entries: width digit, second digit, six '0', then nine rows at a stride of 8
// (row 1 at the top), and on most entries a tenth row that is never drawn.
extern const char* const BitmapFont[128];

// The entry a character code draws with; codes 128 to 255 draw as the blank glyph.
const char* GlyphEntry(unsigned char c);

// Glyph width of a character code; codes outside the table draw as the blank glyph.
int GlyphWidth(unsigned char c);
