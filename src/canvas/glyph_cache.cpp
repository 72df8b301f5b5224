// Characters beyond the bitmap font: asked of the platform once, then kept.
#include "canvas/glyph_cache.h"

#include <algorithm>
#include <unordered_map>

#include "base/font.h"
#include "platform/platform.h"

namespace {

// A drawing of the bitmap font's entry format, cut to its rows with ink.
Glyph FromEntry(const char* entry) {
  Glyph glyph;
  glyph.width = entry[0] - '0';
  glyph.advance = glyph.width + 1;
  auto inked = [&](int row) {
    for (int x = 0; x < glyph.width; ++x) {
      if (entry[8 * row + x] != '0') return true;
    }
    return false;
  };
  int first = 1;
  int last = fontRows;
  while (first < last && !inked(first)) ++first;
  while (last > first && !inked(last)) --last;
  glyph.top = first;
  glyph.height = last - first + 1;
  for (int row = first; row <= last; ++row) {
    for (int x = 0; x < glyph.width; ++x)
      glyph.coverage.push_back(entry[8 * row + x] != '0' ? 255 : 0);
  }
  return glyph;
}

// The platform's drawing, held to the glyph box whatever the platform handed over.
Glyph FromImage(const platform::GlyphImage& image) {
  Glyph glyph;
  glyph.advance = std::max(image.advance, 0);
  glyph.left = image.left;
  glyph.width = std::clamp(image.width, 0, platform::glyphImageSide);
  const int first = std::max(image.top, 1);
  const int end =
      std::min(image.top + std::clamp(image.height, 0, platform::glyphImageSide), fontRows + 1);
  glyph.top = first;
  glyph.height = std::max(end - first, 0);
  for (int row = first; row < first + glyph.height; ++row) {
    const std::uint8_t* line = image.coverage + (row - image.top) * glyph.width;
    glyph.coverage.insert(glyph.coverage.end(), line, line + glyph.width);
  }
  return glyph;
}

// Enough for the characters of many directories; past it the kept drawings start anew.
constexpr std::size_t mostKept = 8192;

std::unordered_map<char32_t, Glyph>& Kept() {
  static std::unordered_map<char32_t, Glyph> kept;
  return kept;
}

}  // namespace

const Glyph& CharacterGlyph(char32_t codePoint) {
  std::unordered_map<char32_t, Glyph>& kept = Kept();
  auto found = kept.find(codePoint);
  if (found != kept.end()) return found->second;
  if (kept.size() >= mostKept) kept.clear();
  platform::GlyphImage image;
  Glyph glyph =
      platform::DrawCharacter(codePoint, &image) ? FromImage(image) : FromEntry(missingGlyph);
  return kept.emplace(codePoint, std::move(glyph)).first->second;
}

const Glyph& ReplacementMark() {
  static const Glyph mark = FromEntry(replacementGlyph);
  return mark;
}

void ForgetGlyphs() { Kept().clear(); }
