// The player's argument words on POSIX, handed to posix_spawn whole: the player reads them back
// as the chosen file.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "../../tools/spool/spool_args.h"
#include "browser/launch.h"
#include "support/program_fixture.h"

namespace {

class PosixPlayerWordsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    os().posixConventions = true;
  }
};

TEST_F(PosixPlayerWordsTest, ThePlayerReadsTheThreeWordsBackAsTheChosenPath) {
  // Trove's words for a chosen file are the player's three arguments; the path the player reads
  // from them is the chosen one, whatever bytes its name holds. A '*' of a name is escaped, so
  // "p q" and "p*q", "x y/a b" and "x*y/a b" lying side by side each read back as itself. No
  // shell is involved: quotes, '$', '%' and ';' are parts of the words.
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
      {"/m", "\"it's\"$HOME%d;x.avi", "/m/\"it's\"$HOME%25d;x.avi"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    PlayerTexts texts;
    ASSERT_TRUE(BuildPlayerTexts(row.browsed, row.name, "/opt/trove", &texts));
    EXPECT_STREQ(texts.executable, "/opt/trove/spool");
    const std::array<const char*, 3> words = PlayerWords(texts);
    ASSERT_STREQ(words[0], "rightful");
    ASSERT_STREQ(words[1], row.mediaWord);
    ASSERT_STREQ(words[2], "0");
    const spool::PlayRequest read =
        spool::PlayRequestOf(words[0], words[1], words[2], spool::MediaWord::escaped);
    ASSERT_TRUE(read.wellFormed);
    EXPECT_EQ(read.mediaPath, std::string(row.browsed) + "/" + row.name);
  }
}

}  // namespace
