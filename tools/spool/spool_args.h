// Reading the players' play request: the word rightful, the media path with its spaces written
// as '*' (and, for the Linux player, its own '*' and '%' as %2A and %25), and a number. The Windows
// player reads it from its one command line, the parameter line after the program's own name ("
// rightful <media path> <number> "); the Linux player gets the three words as its three arguments
// and reads each whole, never splitting one again.
#pragma once

#include <string>
#include <string_view>

namespace spool {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The parameter line: what follows the program's own name in its command line. A quoted name
// runs to its closing quote, an unquoted one to the first blank. The one blank a launcher puts
// between name and parameters is not part of them; everything after it is kept as it came,
// leading and trailing blanks included.
inline std::string_view ParameterLine(std::string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    std::size_t close = commandLine.find('"', 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  }
  // The separating blank.
  if (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  return commandLine.substr(i);
}

struct PlayRequest {
  bool wellFormed = false;
  std::string mediaPath;  // with its spaces restored
  long number = 0;
};

// How the media path is written in its word. Either way every '*' is a space.
enum class MediaWord {
  starsForSpaces,  // and nothing else: a Windows name holds no '*'
  escaped,         // and a '*' or '%' of the path itself is %2A or %25: a POSIX name may hold both
};

// The path the media word names; false when the word is not written in that form. Nothing is
// guessed: one word names one path.
inline bool MediaPathOf(std::string_view word, MediaWord form, std::string* path) {
  path->clear();
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i];
    if (c == '*') {
      *path += ' ';
    } else if (c == '%' && form == MediaWord::escaped) {
      const std::string_view code = word.substr(i + 1, 2);
      if (code != "25" && code != "2A") return false;
      *path += code == "25" ? '%' : '*';
      i += 2;
    } else {
      *path += c;
    }
  }
  return true;
}

// The request of its three words: rightful, the media path and a number, an optional minus and
// one to nine digits so that it always fits.
inline PlayRequest PlayRequestOf(std::string_view rightful, std::string_view media,
                                 std::string_view number, MediaWord form) {
  PlayRequest request;
  if (rightful != "rightful" || media.empty()) return request;
  std::string_view digits = number;
  bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 9) return request;
  long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return request;
    value = value * 10 + (c - '0');
  }

  if (!MediaPathOf(media, form, &request.mediaPath)) return request;
  request.number = negative ? -value : value;
  request.wellFormed = true;
  return request;
}

// The Windows player's request: splits the parameter line into blank-separated words and
// expects exactly three. A launcher that quoted the whole line is accepted.
inline PlayRequest ParsePlayRequest(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && IsBlank(line[first])) ++first;
  std::size_t last = line.size();
  while (last > first && IsBlank(line[last - 1])) --last;
  line = line.substr(first, last - first);
  if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
    line = line.substr(1, line.size() - 2);
  }

  std::string_view words[3];
  int count = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (count == 3) return PlayRequest{};  // a fourth word
    words[count++] = line.substr(start, i - start);
  }
  if (count != 3) return PlayRequest{};
  return PlayRequestOf(words[0], words[1], words[2], MediaWord::starsForSpaces);
}

// The file's name: the media path after its last separator (a backslash or slash on Windows).
inline std::string_view FileName(std::string_view path, std::string_view separators = "\\/") {
  std::size_t cut = path.find_last_of(separators);
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace spool
