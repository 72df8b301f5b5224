// Characters beyond the bitmap font, drawn from the desktop's fonts through fontconfig and
// FreeType: the first of the fonts fontconfig ranks for "sans-serif" that has the character.
// Each character is drawn on its own; a combining mark is placed by the text renderer over the
// letter before it, and scripts that need shaping are drawn a glyph per character.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/font.h"
#include "base/utf8.h"
#include "platform/platform.h"

namespace {

// Pixel sizes: letters about as tall as the bitmap font's capitals (five rows), wide characters
// as tall as its box allows, where their strokes can still be told apart.
constexpr int letterPixels = 7;
constexpr int widePixels = 8;

struct DesktopFonts {
  bool looked = false;
  FT_Library library = nullptr;
  FcFontSet* ranked = nullptr;  // the fonts for "sans-serif", best first
  std::vector<FT_Face> faces;   // opened on first use, one per ranked font
  std::vector<bool> opened;
};

DesktopFonts& Fonts() {
  static DesktopFonts fonts;
  if (fonts.looked) return fonts;
  fonts.looked = true;
  if (!FcInit() || FT_Init_FreeType(&fonts.library) != 0) return fonts;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
  if (!pattern) return fonts;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  // Trimmed: a font that adds no character to those ranked before it is left out.
  fonts.ranked = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
  FcPatternDestroy(pattern);
  if (fonts.ranked) {
    fonts.faces.assign(static_cast<std::size_t>(fonts.ranked->nfont), nullptr);
    fonts.opened.assign(fonts.faces.size(), false);
  }
  return fonts;
}

// The face of the first ranked font that has the character; null when none has it.
FT_Face FaceFor(DesktopFonts& fonts, char32_t c) {
  if (!fonts.ranked || !fonts.library) return nullptr;
  for (std::size_t i = 0; i < fonts.faces.size(); ++i) {
    FcPattern* font = fonts.ranked->fonts[i];
    FcCharSet* characters = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &characters) != FcResultMatch ||
        !FcCharSetHasChar(characters, c)) {
      continue;
    }
    if (!fonts.opened[i]) {
      fonts.opened[i] = true;
      FcChar8* file = nullptr;
      int index = 0;
      FcPatternGetInteger(font, FC_INDEX, 0, &index);
      if (FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch &&
          FT_New_Face(fonts.library, reinterpret_cast<const char*>(file), index, &fonts.faces[i]) !=
              0) {
        fonts.faces[i] = nullptr;
      }
    }
    if (fonts.faces[i] && FT_Get_Char_Index(fonts.faces[i], c) != 0) return fonts.faces[i];
  }
  return nullptr;
}

}  // namespace

namespace platform {

bool DrawCharacter(char32_t c, GlyphImage* glyph) {
  DesktopFonts& fonts = Fonts();
  FT_Face face = FaceFor(fonts, c);
  if (!face) return false;
  const int pixels = IsWideCharacter(c) ? widePixels : letterPixels;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0 ||
      FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
    return false;
  }
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
    return false;
  }
  *glyph = {};
  glyph->advance = std::max(static_cast<int>((slot->advance.x + 32) >> 6), 1);
  glyph->left = slot->bitmap_left;
  // The row just above the baseline is the box's baseline row; a glyph that would reach above
  // the box is moved down as far as its lowest row allows, then cut to the box.
  const int rows = static_cast<int>(bitmap.rows);
  int top = fontBaselineRow + 1 - slot->bitmap_top;
  if (top < 1) top += std::max(std::min(1 - top, fontRows - (top + rows - 1)), 0);
  const int first = std::max(top, 1);
  const int last = std::min(top + rows - 1, fontRows);
  glyph->top = first;
  glyph->height = std::max(last - first + 1, 0);
  glyph->width = std::min(static_cast<int>(bitmap.width), glyphImageSide);
  for (int row = first; row <= last; ++row) {
    const unsigned char* line = bitmap.buffer + (row - top) * bitmap.pitch;
    for (int x = 0; x < glyph->width; ++x) {
      const int cover = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY
                            ? line[x]
                            : ((line[x / 8] >> (7 - x % 8)) & 1) * 255;
      // Strokes of a pixel or less, half covered at this size, are darkened towards full ink,
      // so that they stand beside the bitmap font's solid pixels.
      const int strong = 255 - (255 - cover) * (255 - cover) / 255;
      glyph->coverage[(row - first) * glyph->width + x] = static_cast<std::uint8_t>(strong);
    }
  }
  return true;
}

}  // namespace platform
