// The Linux backend's argument words: the player's parameter line split for posix_spawn.
#include "platform/x11/x11_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(X11PlayerWordsTest, ThePlayersParameterLineGivesItsThreeWords) {
  // A browsed directory with a space, as the Linux path line shows it, and a name with spaces:
  // the media path stays one word because its spaces are written as '*'.
  PlayerTexts texts;
  ASSERT_TRUE(BuildPlayerTexts("/home/u/My Videos/", "clip one two.avi", "/opt/trove", &texts));
  EXPECT_STREQ(texts.executable, "/opt/trove/spool");
  EXPECT_EQ(x11::ParameterWords(texts.parameters),
            (Words{"rightful", "/home/u/My*Videos//clip*one*two.avi", "0"}));
  // A tab or a newline in a name is part of the name, not a break between words.
  ASSERT_TRUE(BuildPlayerTexts("/m/", "tab\there\nnew line.jpg", "/opt/trove", &texts));
  EXPECT_EQ(x11::ParameterWords(texts.parameters),
            (Words{"rightful", "/m//tab\there\nnew*line.jpg", "0"}));
}

}  // namespace
