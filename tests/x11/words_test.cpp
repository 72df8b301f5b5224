// The Linux backend's argument words: the player's parameter line split for posix_spawn.
#include "backends/x11/x11_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../tools/spool/spool_args.h"
#include "browser/launch.h"
#include "support/program_fixture.h"

namespace {

using Words = std::vector<std::string>;

TEST(X11WordsTest, SpacesSeparateAndNeverBecomeWords) {
  EXPECT_EQ(x11::ParameterWords(" rightful /a/b.avi 0 "), (Words{"rightful", "/a/b.avi", "0"}));
  EXPECT_EQ(x11::ParameterWords("rightful  /a/b.avi   -12"),
            (Words{"rightful", "/a/b.avi", "-12"}));
  EXPECT_EQ(x11::ParameterWords("one"), (Words{"one"}));
  EXPECT_EQ(x11::ParameterWords(""), Words{});
  EXPECT_EQ(x11::ParameterWords("   "), Words{});
  EXPECT_EQ(x11::ParameterWords(nullptr), Words{});
}

TEST(X11WordsTest, CharactersAShellWouldReadArriveAsTheyAre) {
  // No shell is involved: quotes, '$', '%', ';' and '*' are parts of the words.
  EXPECT_EQ(x11::ParameterWords(" rightful /m/\"it's\"$HOME%d;*x.avi 0 "),
            (Words{"rightful", "/m/\"it's\"$HOME%d;*x.avi", "0"}));
}

class X11PlayerWordsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    os().posixConventions = true;
  }
};

TEST_F(X11PlayerWordsTest, ThePlayerReadsTheThreeWordsBackAsTheChosenPath) {
  // Trove's words for a chosen file are the player's three arguments; the path the player reads
  // from them is the chosen one, whatever bytes its name holds. A '*' of a name is escaped, so
  // "p q" and "p*q", "x y/a b" and "x*y/a b" lying side by side each read back as itself.
  const struct {
    const char* browsed;
    const char* name;
    const char* mediaWord;
  } table[] = {
      {"/home/u/My Videos", "clip one two.avi", "/home/u/My*Videos/clip*one*two.avi"},
      {"/m", "tab\there.ogg", "/m/tab\there.ogg"},
      {"/m", "new\nline and\ttab.jpg", "/m/new\nline*and\ttab.jpg"},
      {"/m", "p q.mp3", "/m/p*q.mp3"},
      {"/m", "p*q.mp3", "/m/p%2Aq.mp3"},
      {"/m/x y", "a b.mp3", "/m/x*y/a*b.mp3"},
      {"/m/x*y", "a b.mp3", "/m/x%2Ay/a*b.mp3"},
      {"/m", "100% *live* %2A.ogg", "/m/100%25*%2Alive%2A*%252A.ogg"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    PlayerTexts texts;
    ASSERT_TRUE(BuildPlayerTexts(row.browsed, row.name, "/opt/trove", &texts));
    EXPECT_STREQ(texts.executable, "/opt/trove/spool");
    const Words words = x11::ParameterWords(texts.parameters);
    ASSERT_EQ(words, (Words{"rightful", row.mediaWord, "0"}));
    const spool::PlayRequest read =
        spool::PlayRequestOf(words[0], words[1], words[2], spool::MediaWord::escaped);
    ASSERT_TRUE(read.wellFormed);
    EXPECT_EQ(read.mediaPath, std::string(row.browsed) + "/" + row.name);
  }
}

}  // namespace
