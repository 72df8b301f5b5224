// What the command line's words ask for. The texts and exit codes of each case are tested on
// the real programs (tests/e2e/test_command_line.py).
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseCommandLine, ReadsTheWordsInOrderAndTheFirstThatDecidesDecides) {
  struct Case {
    std::vector<const char*> words;
    CommandAction action;
    CommandRefusal refusal;
    const char* path;     // expected, or null
    const char* refused;  // expected, or null
  };
  using A = CommandAction;
  using R = CommandRefusal;
  const Case cases[] = {
      {{}, A::run, R::none, nullptr, nullptr},
      {{"/home/me/Pictures"}, A::run, R::none, "/home/me/Pictures", nullptr},
      {{"-"}, A::run, R::none, "-", nullptr},  // a bare dash is a name
      {{"/home/me/cat.jpg"}, A::run, R::none, "/home/me/cat.jpg", nullptr},
      {{"--", "-cat.jpg"}, A::run, R::none, "-cat.jpg", nullptr},
      {{"--help"}, A::help, R::none, nullptr, nullptr},
      {{"-h"}, A::help, R::none, nullptr, nullptr},
      {{"--version"}, A::version, R::none, nullptr, nullptr},
      {{"pics", "--help"}, A::help, R::none, "pics", nullptr},
      {{"--version", "--bogus"}, A::version, R::none, nullptr, nullptr},
      {{"--bogus"}, A::refuse, R::unknownOption, nullptr, "--bogus"},
      {{"-x", "--help"}, A::refuse, R::unknownOption, nullptr, "-x"},
      {{"a", "b"}, A::refuse, R::secondPath, "a", "b"},
      {{"--", "--help"}, A::run, R::none, "--help", nullptr},
      {{"--", "a", "--"}, A::refuse, R::secondPath, "a", "--"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const char* w : c.words) shown += std::string(" ") + w;
    SCOPED_TRACE("trove" + shown);
    const CommandLine line = ParseCommandLine(static_cast<int>(c.words.size()), c.words.data());
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.refusal, c.refusal);
    EXPECT_STREQ(line.path, c.path);
    EXPECT_STREQ(line.refused, c.refused);
  }
}

}  // namespace
