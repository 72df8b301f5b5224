// The argument words of a parameter line, and the program a start runs.
#include "backends/x11/x11_words.h"

#include <algorithm>

namespace x11 {

std::vector<std::string> ParameterWords(const char* parameters) {
  std::vector<std::string> words;
  if (!parameters) return words;
  std::string word;
  for (const char* c = parameters;; ++c) {
    if (*c == '\0' || *c == ' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
      if (*c == '\0') break;
    } else {
      word += *c;
    }
  }
  return words;
}

std::string ProgramPath(const char* file, const char* searchPath,
                        const std::function<bool(const std::string&)>& isProgram) {
  if (!file || *file == '\0') return "";
  const std::string name = file;
  if (name.find('/') != std::string::npos) return name[0] == '/' ? name : "";
  const std::string entries = searchPath ? searchPath : "/bin:/usr/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(entries.find(':', start), entries.size());
    const std::string folder = entries.substr(start, end - start);
    if (!folder.empty() && folder[0] == '/') {
      const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
      if (isProgram(path)) return path;
    }
    if (end == entries.size()) return "";
    start = end + 1;
  }
}

}  // namespace x11
