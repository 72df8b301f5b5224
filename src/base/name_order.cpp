// The order names are listed in: keys of collation weights and digit values, compared as bytes.
#include "base/name_order.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "base/utf8.h"

namespace {

// Units of a key, each written so that byte order is unit order: a text run's end, a dot and a
// number's start come before every weight of text.
constexpr std::uint32_t textEnd = 1;
constexpr std::uint32_t dot = 2;
constexpr std::uint32_t number = 3;
constexpr std::uint32_t firstWeight = 16;

// Writes v in one to five bytes, longer forms starting with higher bytes.
void PutUnit(std::string& key, std::uint32_t v) {
  if (v < 0x80) {
    key += static_cast<char>(v);
  } else if (v < 0x4000) {
    key += static_cast<char>(0x80 | (v >> 8));
    key += static_cast<char>(v & 0xFF);
  } else if (v < 0x200000) {
    key += static_cast<char>(0xC0 | (v >> 16));
    key += static_cast<char>((v >> 8) & 0xFF);
    key += static_cast<char>(v & 0xFF);
  } else {
    key += static_cast<char>(0xE0);
    for (int shift = 24; shift >= 0; shift -= 8) key += static_cast<char>((v >> shift) & 0xFF);
  }
}

// Whether the collation is the C locale's (bytes), as in the C, POSIX and C.UTF-8 locales.
bool PlainCollation() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void PutPlainText(std::string& key, std::string_view text) {
  for (char c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    PutUnit(key, static_cast<unsigned char>(c) + firstWeight);
  }
}

// The text's collation weights in the current locale, case folded; a byte that is not UTF-8
// counts as the replacement character.
void PutCollatedText(std::string& key, std::string_view text, std::wstring& wide,
                     std::wstring& weights) {
  wide.clear();
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Character c = ReadCharacter(text.data() + i, text.size() - i);
    const char32_t code = c.valid && c.codePoint != 0 ? c.codePoint : 0xFFFD;
    wide += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(code)));
    i += c.length;
  }
  // A weight list is rarely longer than eight weights a character; a longer one is made again.
  weights.resize(wide.size() * 8 + 16);
  std::size_t n = std::wcsxfrm(weights.data(), wide.c_str(), weights.size());
  if (n >= weights.size()) {
    weights.resize(n + 1);
    n = std::wcsxfrm(weights.data(), wide.c_str(), weights.size());
  }
  for (std::size_t i = 0; i < n; ++i)
    PutUnit(key, static_cast<std::uint32_t>(weights[i]) + firstWeight);
}

void AppendKey(std::string& key, std::string_view name, bool plain, std::wstring& wide,
               std::wstring& weights) {
  key += name == "." ? '\1' : name == ".." ? '\2' : '\3';
  std::size_t i = 0;
  while (i < name.size()) {
    if (name[i] == '.') {
      PutUnit(key, dot);
      ++i;
    } else if (IsDigit(name[i])) {
      std::size_t end = i;
      while (end < name.size() && IsDigit(name[end])) ++end;
      while (i < end - 1 && name[i] == '0') ++i;  // leading zeros add nothing to the value
      const std::size_t digits = name[i] == '0' ? 0 : end - i;
      PutUnit(key, number);
      PutUnit(key, static_cast<std::uint32_t>(digits));
      for (std::size_t d = end - digits; d < end; ++d) PutUnit(key, name[d] - '0');
      i = end;
    } else {
      std::size_t end = i;
      while (end < name.size() && name[end] != '.' && !IsDigit(name[end])) ++end;
      const std::string_view text = name.substr(i, end - i);
      if (plain) {
        PutPlainText(key, text);
      } else {
        PutCollatedText(key, text, wide, weights);
      }
      PutUnit(key, textEnd);
      i = end;
    }
  }
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

std::string NameOrderKey(std::string_view name) {
  std::string key;
  std::wstring wide;
  std::wstring weights;
  AppendKey(key, name, PlainCollation(), wide, weights);
  return key;
}

bool NameBefore(std::string_view a, std::string_view b) {
  const int byKey = CompareBytes(NameOrderKey(a), NameOrderKey(b));
  return byKey != 0 ? byKey < 0 : CompareBytes(a, b) < 0;
}

std::vector<std::uint32_t> NameOrder(const std::vector<std::string_view>& names) {
  // Every key once, in one block; the sort compares the first sixteen bytes held beside the
  // index (names of a folder often share their first eight) before it reads the rest.
  struct Item {
    std::uint64_t head[2];
    std::size_t start;
    std::uint32_t length;
    std::uint32_t index;
  };
  const bool plain = PlainCollation();
  std::string keys;
  std::wstring wide;
  std::wstring weights;
  std::vector<Item> items(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t start = keys.size();
    AppendKey(keys, names[i], plain, wide, weights);
    Item& item = items[i];
    item.start = start;
    item.length = static_cast<std::uint32_t>(keys.size() - start);
    item.index = static_cast<std::uint32_t>(i);
    for (std::size_t b = 0; b < 16; ++b) {
      const unsigned char byte = b < item.length ? static_cast<unsigned char>(keys[start + b]) : 0;
      item.head[b / 8] = (item.head[b / 8] << 8) | byte;
    }
  }
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    const int byKey = CompareBytes(std::string_view(keys).substr(a.start, a.length),
                                   std::string_view(keys).substr(b.start, b.length));
    if (byKey != 0) return byKey < 0;
    const int byBytes = CompareBytes(names[a.index], names[b.index]);
    return byBytes != 0 ? byBytes < 0 : a.index < b.index;
  });
  std::vector<std::uint32_t> order(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) order[i] = items[i].index;
  return order;
}
