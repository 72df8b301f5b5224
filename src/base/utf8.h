// UTF-8 text read character by character, as the Linux program draws and cuts names.
#pragma once

#include <cstddef>

// One character of a UTF-8 text. A byte that does not begin a well-formed sequence (a stray
// continuation byte, an overlong or surrogate form, a code point past U+10FFFF, a sequence cut
// short) is a character of its own, one byte long and not valid.
struct Utf8Character {
  char32_t codePoint = 0;
  int length = 1;
  bool valid = false;
};

// The character that starts at text, reading at most available bytes (at least 1).
Utf8Character ReadCharacter(const char* text, std::size_t available);

// Marks drawn over the character before them and kept with it when a text is cut: the
// combining diacritical blocks and the kana sound marks. Scripts whose marks need shaping are
// drawn a glyph per character.
bool IsCombiningMark(char32_t c);

// Characters of the East Asian scripts and the others drawn about twice as wide as a letter: the
// Hangul jamo and syllables, the CJK radicals, kana and ideographs, the full-width forms, emoji.
bool IsWideCharacter(char32_t c);

// The byte length of text's first `characters` characters, a combining mark counting with the
// character it follows, and no more than room - 1 bytes: a cut never falls inside a character.
std::size_t CharacterCut(const char* text, int characters, std::size_t room);
