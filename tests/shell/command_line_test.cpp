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

TEST(ParseCommandLine, GlobalInputIsAnOptionWhereThePlatformOffersIt) {
  const char* words[] = {"--global-input", "pics"};
  const CommandLine offered = ParseCommandLine(2, words, true);
  EXPECT_TRUE(offered.globalInput);
  EXPECT_STREQ(offered.path, "pics");
  EXPECT_EQ(ParseCommandLine(2, words).refusal, CommandRefusal::unknownOption);
}

TEST(StartPath, TrailingQuotesAndTheMessagesThatNameAPath) {
  const platform::Conventions windows = {'\\', 2, 2, "", ""};
  const platform::Conventions posix = {'/', 1, 0, "", ""};
  const struct {
    const char* word;
    const char* windows;  // the path the Windows program reads
    const char* posix;
  } words[] = {
      {"D:\\Photos\"", "D:\\Photos\\", "D:\\Photos\""},  // "D:\Photos\" from a shortcut
      {"D:\"", "D:\\", "D:\""},                          // "D:\", a drive's root
      {"D:\\My \"Photos", "D:\\My \"Photos", "D:\\My \"Photos"},
      {"", "", ""},
  };
  for (const auto& w : words) {
    EXPECT_EQ(StartPathOf(w.word, windows), w.windows) << w.word;
    EXPECT_EQ(StartPathOf(w.word, posix), w.posix) << w.word;
  }
  // A long path keeps its start, its end and the reason; no character is cut in two.
  std::string long_path = "/abc";  // both cuts fall inside a character
  while (long_path.size() < 4400) long_path += "d\xC3\xA9j\xC3\xA0/";
  const std::string shown = ShownPath(long_path.c_str());
  EXPECT_LE(shown.size(), shownPathBytes);
  const std::size_t dots = shown.find("...");
  ASSERT_NE(dots, std::string::npos);
  const std::size_t tail = long_path.size() - (shown.size() - dots - 3);
  EXPECT_EQ(shown.substr(0, dots), long_path.substr(0, dots));
  EXPECT_EQ(shown.substr(dots + 3), long_path.substr(tail));
  for (const std::size_t cut : {dots, tail}) {
    EXPECT_NE(static_cast<unsigned char>(long_path[cut]) & 0xC0, 0x80) << cut;
  }
  const struct {
    StartDirectory failure;
    const char* path;
    const char* reason;
    std::string message;
  } messages[] = {
      {StartDirectory::missing, "/no", "", "trove: /no: no such directory\n"},
      {StartDirectory::missing, "", "", "trove: \"\": no such directory\n"},
      {StartDirectory::missing, "/loop", "Too many levels of symbolic links",
       "trove: /loop: the directory cannot be reached: Too many levels of symbolic links\n"},
      {StartDirectory::unreadable, "/l", "Permission denied",
       "trove: /l: the directory cannot be read: Permission denied\n"},
      {StartDirectory::holderUnreadable, "/l/a.jpg", "",
       "trove: /l/a.jpg: its directory cannot be read\n"},
      {StartDirectory::missing, long_path.c_str(), "Stale file handle",
       "trove: " + shown + ": the directory cannot be reached: Stale file handle\n"},
  };
  for (const auto& m : messages) {
    EXPECT_EQ(StartFailureMessage(m.failure, m.path, m.reason), m.message);
  }
}

}  // namespace
