// The order names are listed in: keys of collation weights and digit values, compared as bytes.
#include "base/name_order.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <span>
#include <unordered_map>

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

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

// How the names of one listing are keyed: the locale's collation or bytes, with room for the
// weights and, since a folder's names share a few runs of text ("IMG_", "JPG"), the units of
// the runs met so far.
struct Collation {
  bool plain = true;
  std::wstring wide;
  std::wstring weights;
  std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> runs;
};

// The text's collation weights in the current locale, case folded; a byte that is not UTF-8
// counts as the replacement character.
void PutCollatedText(std::string& key, std::string_view text, Collation& c) {
  if (auto kept = c.runs.find(text); kept != c.runs.end()) {
    key += kept->second;
    return;
  }
  c.wide.clear();
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Character ch = ReadCharacter(text.data() + i, text.size() - i);
    const char32_t code = ch.valid && ch.codePoint != 0 ? ch.codePoint : 0xFFFD;
    c.wide += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(code)));
    i += ch.length;
  }
  // A weight list is rarely longer than eight weights a character; a longer one is made again.
  c.weights.resize(c.wide.size() * 8 + 16);
  std::size_t n = std::wcsxfrm(c.weights.data(), c.wide.c_str(), c.weights.size());
  if (n >= c.weights.size()) {
    c.weights.resize(n + 1);
    n = std::wcsxfrm(c.weights.data(), c.wide.c_str(), c.weights.size());
  }
  std::string units;
  for (std::size_t i = 0; i < n; ++i) {
    PutUnit(units, static_cast<std::uint32_t>(c.weights[i]) + firstWeight);
  }
  key += units;
  // Enough for the runs of any folder's naming schemes; past it they are kept anew.
  if (c.runs.size() >= 4096) c.runs.clear();
  c.runs.emplace(text, std::move(units));
}

void AppendKey(std::string& key, std::string_view name, Collation& c) {
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
      if (c.plain) {
        PutPlainText(key, text);
      } else {
        PutCollatedText(key, text, c);
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
  Collation c;
  c.plain = PlainCollation();
  AppendKey(key, name, c);
  return key;
}

bool NameBefore(std::string_view a, std::string_view b) {
  const int byKey = CompareBytes(NameOrderKey(a), NameOrderKey(b));
  return byKey != 0 ? byKey < 0 : CompareBytes(a, b) < 0;
}

std::vector<std::uint32_t> NameOrder(const std::vector<std::string_view>& names) {
  // Every key once, in one block. The start all keys share (the names of a folder often follow
  // one scheme, "IMG_" and a number) is passed over; the sort compares the next sixteen bytes,
  // held beside the index, before it reads the rest.
  struct Item {
    std::uint64_t head[2];
    std::size_t start;
    std::uint32_t length;
    std::uint32_t index;
  };
  Collation c;
  c.plain = PlainCollation();
  std::string keys;
  std::vector<Item> items(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t start = keys.size();
    AppendKey(keys, names[i], c);
    items[i].start = start;
    items[i].length = static_cast<std::uint32_t>(keys.size() - start);
    items[i].index = static_cast<std::uint32_t>(i);
  }
  // "." and ".." (their keys start lowest) go first by themselves, so that the others' shared
  // start can be passed over.
  const auto dots = std::stable_partition(
      items.begin(), items.end(), [&](const Item& item) { return keys[item.start] != '\3'; });
  std::sort(items.begin(), dots, [&](const Item& a, const Item& b) {
    return keys[a.start] < keys[b.start] || (keys[a.start] == keys[b.start] && a.index < b.index);
  });
  std::size_t shared = dots == items.end() ? 0 : dots->length;
  for (const Item& item : std::span(dots, items.end())) {
    shared = std::min<std::size_t>(shared, item.length);
    std::size_t same = 0;
    while (same < shared && keys[dots->start + same] == keys[item.start + same]) ++same;
    shared = same;
  }
  for (Item& item : std::span(dots, items.end())) {
    item.start += shared;
    item.length -= static_cast<std::uint32_t>(shared);
    for (std::size_t b = 0; b < 16; ++b) {
      const unsigned char byte =
          b < item.length ? static_cast<unsigned char>(keys[item.start + b]) : 0;
      item.head[b / 8] = (item.head[b / 8] << 8) | byte;
    }
  }
  std::sort(dots, items.end(), [&](const Item& a, const Item& b) {
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
