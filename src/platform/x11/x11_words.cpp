// The argument words of a parameter line.
#include "platform/x11/x11_words.h"

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

}  // namespace x11
