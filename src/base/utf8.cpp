// UTF-8 text read character by character.
#include "base/utf8.h"

#include <cstring>

Utf8Character ReadCharacter(const char* text, std::size_t available) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  Utf8Character c;
  c.codePoint = p[0];
  if (p[0] < 0x80) {
    c.valid = true;
    return c;
  }
  int length = 0;
  char32_t least = 0;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) {
    length = 2;
    least = 0x80;
  } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
    length = 3;
    least = 0x800;
  } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
    length = 4;
    least = 0x10000;
  }
  if (length == 0 || static_cast<std::size_t>(length) > available) return c;
  char32_t code = p[0] & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return c;
    code = (code << 6) | (p[i] & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return c;
  c.codePoint = code;
  c.length = length;
  c.valid = true;
  return c;
}

bool IsCombiningMark(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE20 && c <= 0xFE2F) || c == 0x3099 || c == 0x309A;
}

bool IsWideCharacter(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x20000 && c <= 0x3FFFD);
}

std::size_t CharacterCut(const char* text, int characters, std::size_t room) {
  if (room == 0) return 0;
  // Far enough past room to read a whole character that would straddle it.
  const std::size_t length = strnlen(text, room + 4);
  std::size_t cut = 0;
  int counted = 0;
  while (cut < length) {
    const Utf8Character c = ReadCharacter(text + cut, length - cut);
    const bool mark = c.valid && cut > 0 && IsCombiningMark(c.codePoint);
    if (!mark && counted == characters) break;
    if (cut + c.length > room - 1) break;
    if (!mark) ++counted;
    cut += c.length;
  }
  return cut;
}
