// The order the Linux program lists a directory in, as the desktop's file managers show one:
// "." and ".." first, then the names by the user's collation (LC_COLLATE) with runs of digits
// compared by their value and without regard to case, names equal in that order by their bytes,
// so that the order is total and a directory always lists the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A key whose byte order (shorter first where one is the start of the other) is the order of
// names before ties. A name is read as runs of digits, dots and other text: a text run by the
// collation of the current LC_COLLATE locale, case folded first (the C and POSIX locales, and
// C.UTF-8, compare its bytes with ASCII letters folded); a run of digits by its value, before
// any text; a dot before a run of digits, so that "a.jpg" comes before "a1.jpg".
std::string NameOrderKey(std::string_view name);

// Whether a comes before b: by their keys, then by their bytes.
bool NameBefore(std::string_view a, std::string_view b);

// The order of names, as indices into names.
std::vector<std::uint32_t> NameOrder(const std::vector<std::string_view>& names);

// Where a name is in a text of names.
struct NamePlace {
  std::size_t start;
  std::size_t length;
};

// Orders the names of a listing handed over a batch at a time, so that the batches already
// read are keyed and sorted while the next is read: each batch is sorted when it is added, and
// sorted batches are merged as they pile up, so that little is left to do when the last comes.
class NameSorter {
 public:
  // The names are read from text, which may grow (and move) between calls but keeps what it
  // holds until Order has returned.
  explicit NameSorter(const std::vector<char>& text);
  ~NameSorter();
  NameSorter(const NameSorter&) = delete;
  NameSorter& operator=(const NameSorter&) = delete;

  // Adds names; their indices count on from the names added before. May throw std::bad_alloc.
  void Add(std::span<const NamePlace> names);
  // The order of every name added, as indices; the sorter is empty afterwards.
  std::vector<std::uint32_t> Order();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
