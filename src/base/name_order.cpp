// The order names are listed in: keys of collation weights and digit values, compared as bytes.
#include "base/name_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <unordered_map>

#include "base/utf8.h"

namespace {

// Units of a key, each written so that byte order is unit order: a text run's end, a dot and a
// number's start come before every weight of text.
constexpr std::uint32_t textEnd = 1;
constexpr std::uint32_t dot = 2;
constexpr std::uint32_t number = 3;
constexpr std::uint32_t firstWeight = 16;

// Keys written back to back into one block that grows ahead of them, so that each unit of a
// key is a store or two.
struct KeyBlock {
  std::vector<char> bytes;
  std::size_t used = 0;

  void Reserve(std::size_t more) {
    if (used + more > bytes.size()) bytes.resize(std::max(used + more, bytes.size() * 2));
  }
  // Writes v in one to five bytes, longer forms starting with higher bytes.
  void Put(std::uint32_t v) {
    Reserve(5);
    char* out = bytes.data() + used;
    if (v < 0x80) {
      out[0] = static_cast<char>(v);
      used += 1;
    } else if (v < 0x4000) {
      out[0] = static_cast<char>(0x80 | (v >> 8));
      out[1] = static_cast<char>(v & 0xFF);
      used += 2;
    } else if (v < 0x200000) {
      out[0] = static_cast<char>(0xC0 | (v >> 16));
      out[1] = static_cast<char>((v >> 8) & 0xFF);
      out[2] = static_cast<char>(v & 0xFF);
      used += 3;
    } else {
      out[0] = static_cast<char>(0xE0);
      for (int b = 1, shift = 24; shift >= 0; ++b, shift -= 8) {
        out[b] = static_cast<char>((v >> shift) & 0xFF);
      }
      used += 5;
    }
  }
  void Append(std::string_view units) {
    Reserve(units.size());
    std::memcpy(bytes.data() + used, units.data(), units.size());
    used += units.size();
  }
  std::string_view View(std::size_t start, std::size_t length) const {
    return {bytes.data() + start, length};
  }
};

// Whether the collation is the C locale's (bytes), as in the C, POSIX and C.UTF-8 locales.
bool PlainCollation() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void PutPlainText(KeyBlock& key, std::string_view text) {
  for (char c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    key.Put(static_cast<unsigned char>(c) + firstWeight);
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
  // The runs met last, looked at before the map: a folder's names mostly take turns between
  // two or three ("IMG_" and "JPG"). They point into the map, whose entries never move.
  std::array<std::pair<std::string_view, const std::string*>, 3> recent{};

  void Remember(std::string_view text, const std::string* units) {
    recent[2] = recent[1];
    recent[1] = recent[0];
    recent[0] = {text, units};
  }
};

// The text's collation weights in the current locale, case folded; a byte that is not UTF-8
// counts as the replacement character.
void PutCollatedText(KeyBlock& key, std::string_view text, Collation& c) {
  for (const auto& [kept, units] : c.recent) {
    if (units && kept == text) {
      key.Append(*units);
      return;
    }
  }
  if (auto kept = c.runs.find(text); kept != c.runs.end()) {
    key.Append(kept->second);
    c.Remember(kept->first, &kept->second);
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
  KeyBlock units;
  for (std::size_t i = 0; i < n; ++i)
    units.Put(static_cast<std::uint32_t>(c.weights[i]) + firstWeight);
  key.Append(units.View(0, units.used));
  // Enough for the runs of any folder's naming schemes; past it they are kept anew.
  if (c.runs.size() >= 4096) {
    c.recent = {};
    c.runs.clear();
  }
  const auto kept = c.runs.emplace(text, std::string(units.View(0, units.used))).first;
  c.Remember(kept->first, &kept->second);
}

void AppendKey(KeyBlock& key, std::string_view name, Collation& c) {
  key.Put(name == "." ? 1 : name == ".." ? 2 : 3);
  std::size_t i = 0;
  while (i < name.size()) {
    if (name[i] == '.') {
      key.Put(dot);
      ++i;
    } else if (IsDigit(name[i])) {
      std::size_t end = i;
      while (end < name.size() && IsDigit(name[end])) ++end;
      while (i < end - 1 && name[i] == '0') ++i;  // leading zeros add nothing to the value
      const std::size_t digits = name[i] == '0' ? 0 : end - i;
      key.Put(number);
      key.Put(static_cast<std::uint32_t>(digits));
      for (std::size_t d = end - digits; d < end; ++d) key.Put(name[d] - '0');
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
      key.Put(textEnd);
      i = end;
    }
  }
}

// Eight bytes read as one number, the first the highest.
std::uint64_t BigEndian(std::uint64_t bytes) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(bytes);
  return bytes;
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

std::string NameOrderKey(std::string_view name) {
  KeyBlock key;
  Collation c;
  c.plain = PlainCollation();
  AppendKey(key, name, c);
  return std::string(key.View(0, key.used));
}

bool NameBefore(std::string_view a, std::string_view b) {
  const int byKey = CompareBytes(NameOrderKey(a), NameOrderKey(b));
  return byKey != 0 ? byKey < 0 : CompareBytes(a, b) < 0;
}

std::vector<std::uint32_t> NameOrder(const std::vector<std::string_view>& names) {
  std::vector<char> text;
  std::vector<NamePlace> places;
  places.reserve(names.size());
  for (std::string_view name : names) {
    places.push_back({text.size(), name.size()});
    text.insert(text.end(), name.begin(), name.end());
  }
  NameSorter sorter(text);
  sorter.Add(places);
  return sorter.Order();
}

// Every key once, in one block, without the start the first batch's keys share (the names of a
// folder often follow one scheme, "IMG_" and a number) for the keys that start so. The sort
// compares the sixteen key bytes that follow that start, held beside each index; it reads the
// rest of two keys only where those are the same.
struct NameSorter::State {
  struct Item {
    std::uint64_t head[2];
    std::size_t start;
    std::uint32_t length : 31;
    std::uint32_t shared : 1;
    std::uint32_t index;
  };
  // Enough to pass over any naming scheme's common start.
  static constexpr std::size_t longestShared = 48;

  const std::vector<char>* text = nullptr;
  Collation collation;
  KeyBlock keys;
  std::vector<NamePlace> names;
  // The items of every name added, in sorted runs back to back, and where each run starts.
  std::vector<Item> items;
  std::vector<std::size_t> runStarts;
  std::vector<Item> spare;
  std::string sharedStart;
  bool sharedKnown = false;

  std::string_view Name(std::size_t index) const {
    return {text->data() + names[index].start, names[index].length};
  }
  std::string_view Key(const Item& item) const { return keys.View(item.start, item.length); }

  // A key that starts with the shared start, of which the rest is kept, against one kept whole.
  int CompareRestToWhole(std::string_view rest, std::string_view whole) const {
    const std::size_t same = std::min(sharedStart.size(), whole.size());
    const int c = std::memcmp(sharedStart.data(), whole.data(), same);
    if (c != 0) return c;
    if (whole.size() < sharedStart.size()) return 1;
    return CompareBytes(rest, whole.substr(sharedStart.size()));
  }

  bool Before(const Item& a, const Item& b) const {
    int byKey = 0;
    if (a.shared && b.shared) {
      if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
      if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
      byKey = CompareBytes(Key(a), Key(b));
    } else if (a.shared == b.shared) {
      byKey = CompareBytes(Key(a), Key(b));
    } else {
      byKey = a.shared ? CompareRestToWhole(Key(a), Key(b)) : -CompareRestToWhole(Key(b), Key(a));
    }
    if (byKey != 0) return byKey < 0;
    const int byBytes = CompareBytes(Name(a.index), Name(b.index));
    return byBytes != 0 ? byBytes < 0 : a.index < b.index;
  }

  // The start the keys of the first batch that has names other than "." and ".." share.
  void LearnSharedStart(std::span<const Item> run) {
    const Item* first = nullptr;
    std::size_t length = 0;
    for (const Item& item : run) {
      if (keys.bytes[item.start] != '\3') continue;
      if (!first) {
        first = &item;
        length = std::min<std::size_t>(item.length, longestShared);
      }
      std::size_t same = 0;
      while (same < length && keys.bytes[first->start + same] == keys.bytes[item.start + same]) {
        ++same;
      }
      length = same;
    }
    if (!first) return;
    sharedStart.assign(Key(*first).substr(0, length));
    sharedKnown = true;
  }

  // Whether the key starts with the shared start; if so it keeps only the rest, and its head
  // holds the rest's first sixteen bytes. Keys are kept back to back from keep on.
  void Keep(Item& item, std::size_t& keep) {
    const std::size_t from = sharedStart.size();
    item.shared = sharedKnown && item.length >= from &&
                  std::memcmp(&keys.bytes[item.start], sharedStart.data(), from) == 0;
    const std::size_t skipped = item.shared ? from : 0;
    std::memmove(&keys.bytes[keep], &keys.bytes[item.start + skipped], item.length - skipped);
    item.start = keep;
    item.length = static_cast<std::uint32_t>(item.length - skipped);
    keep += item.length;
    item.head[0] = 0;
    item.head[1] = 0;
    if (!item.shared) return;
    const char* key = keys.bytes.data() + item.start;
    if (item.length >= 16) {
      std::memcpy(item.head, key, 16);
      item.head[0] = BigEndian(item.head[0]);
      item.head[1] = BigEndian(item.head[1]);
      return;
    }
    for (std::size_t b = 0; b < item.length; ++b) {
      item.head[b / 8] |= std::uint64_t{static_cast<unsigned char>(key[b])} << (56 - 8 * (b % 8));
    }
  }

  // Merges the last run into the one before, which is never the shorter: the last is moved
  // aside, then the two are merged from their ends into the place both take, which never
  // overtakes the items of the one before still to be read.
  void MergeLastTwo() {
    const std::size_t second = runStarts.back();
    runStarts.pop_back();
    const std::size_t first = runStarts.back();
    spare.assign(items.begin() + static_cast<std::ptrdiff_t>(second), items.end());
    std::size_t from = spare.size();
    std::size_t next = second;
    std::size_t to = items.size();
    // Which run an item comes from is chosen without a branch: in a folder's two runs it is
    // as often the one as the other, which no branch predictor guesses.
    while (from > 0 && next > first) {
      const bool fromFirst = Before(spare[from - 1], items[next - 1]);
      items[--to] = *(fromFirst ? &items[next - 1] : &spare[from - 1]);
      next -= fromFirst;
      from -= !fromFirst;
    }
    while (from > 0) items[--to] = spare[--from];
  }

  // The order of the last two runs merged, which are all the items there are.
  std::vector<std::uint32_t> MergedOrder() const {
    const std::size_t second = runStarts.size() >= 2 ? runStarts.back() : items.size();
    std::vector<std::uint32_t> order(items.size());
    std::uint32_t* to = order.data();
    std::size_t a = 0;
    std::size_t b = second;
    while (a < second && b < items.size()) {
      const bool fromSecond = Before(items[b], items[a]);
      *to++ = fromSecond ? items[b].index : items[a].index;
      b += fromSecond;
      a += !fromSecond;
    }
    while (a < second) *to++ = items[a++].index;
    while (b < items.size()) *to++ = items[b++].index;
    return order;
  }
};

NameSorter::NameSorter(const std::vector<char>& text) : state_(std::make_unique<State>()) {
  state_->text = &text;
  state_->collation.plain = PlainCollation();
}

NameSorter::~NameSorter() = default;

void NameSorter::Add(std::span<const NamePlace> names) {
  if (names.empty()) return;
  State& s = *state_;
  const std::size_t first = s.names.size();
  s.names.insert(s.names.end(), names.begin(), names.end());
  s.items.resize(first + names.size());
  const std::span<State::Item> run(s.items.begin() + static_cast<std::ptrdiff_t>(first),
                                   names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t start = s.keys.used;
    AppendKey(s.keys, s.Name(first + i), s.collation);
    run[i].start = start;
    run[i].length = static_cast<std::uint32_t>(s.keys.used - start);
    run[i].index = static_cast<std::uint32_t>(first + i);
  }
  if (!s.sharedKnown) s.LearnSharedStart(run);
  std::size_t keep = run.front().start;
  for (State::Item& item : run) s.Keep(item, keep);
  s.keys.used = keep;
  std::sort(run.begin(), run.end(),
            [&s](const State::Item& a, const State::Item& b) { return s.Before(a, b); });
  s.runStarts.push_back(first);
  // Runs of about the same length are merged at once, so that the runs left are few, each
  // about half as long as the one before.
  while (s.runStarts.size() >= 2) {
    const std::size_t last = s.runStarts.back();
    const std::size_t before = s.runStarts[s.runStarts.size() - 2];
    if (last - before > s.items.size() - last) break;
    s.MergeLastTwo();
  }
}

std::vector<std::uint32_t> NameSorter::Order() {
  State& s = *state_;
  while (s.runStarts.size() >= 3) s.MergeLastTwo();
  std::vector<std::uint32_t> order = s.MergedOrder();
  const std::vector<char>* text = s.text;
  const bool plain = s.collation.plain;
  state_ = std::make_unique<State>();
  state_->text = text;
  state_->collation.plain = plain;
  return order;
}
