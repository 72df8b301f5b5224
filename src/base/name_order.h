// The order the Linux program lists a directory in, as the desktop's file managers show one:
// "." and ".." first, then the names by the user's collation (LC_COLLATE) with runs of digits
// compared by their value and without regard to case, names equal in that order by their bytes,
// so that the order is total and a directory always lists the same way.
#pragma once

#include <cstdint>
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
