// The players' reading of their command line, and the Linux player's pure parts.
#include "../../tools/spool/spool_args.h"

#include <gtest/gtest.h>

#include "../../tools/spool/x11/player_text.h"

namespace {

using spool::FileName;
using spool::ParameterLine;
using spool::ParsePlayRequest;

TEST(SpoolParameterLine, IsEverythingAfterTheProgramNameAndOneSeparator) {
  // As a shell launch builds it: the quoted program, one blank, the parameters as given.
  EXPECT_EQ(ParameterLine("\"C:\\Trove\\spool.exe\"  rightful D:\\My*Videos\\\\clip*one.avi 0 "),
            " rightful D:\\My*Videos\\\\clip*one.avi 0 ");
  EXPECT_EQ(ParameterLine("\"C:\\Program Files\\spool.exe\" a b"), "a b");
  EXPECT_EQ(ParameterLine("spool.exe  rightful x 0  "), " rightful x 0  ");
  EXPECT_EQ(ParameterLine("spool.exe\t\tx"), "\tx");
  // A quoted name may be followed directly by its parameters.
  EXPECT_EQ(ParameterLine("\"spool.exe\"x"), "x");
}

TEST(SpoolParameterLine, IsEmptyWithoutParameters) {
  EXPECT_EQ(ParameterLine(""), "");
  EXPECT_EQ(ParameterLine("spool.exe"), "");
  EXPECT_EQ(ParameterLine("spool.exe "), "");
  EXPECT_EQ(ParameterLine("\"C:\\a b\\spool.exe\""), "");
  EXPECT_EQ(ParameterLine("\"C:\\a b\\spool.exe rightful x 0"), "");  // the quote never closes
}

TEST(SpoolPlayRequest, RestoresSpacesInTheMediaPath) {
  spool::PlayRequest r = ParsePlayRequest(" rightful D:\\My*Videos\\\\clip*one.avi 0 ");
  ASSERT_TRUE(r.wellFormed);
  EXPECT_EQ(r.mediaPath, "D:\\My Videos\\\\clip one.avi");
  EXPECT_EQ(r.number, 0);
  EXPECT_EQ(FileName(r.mediaPath), "clip one.avi");
}

TEST(SpoolPlayRequest, KeepsPunctuationAndAcceptsOtherBlanksAndNumbers) {
  spool::PlayRequest r = ParsePlayRequest(" rightful C:\\\\100%*\"live\"*%s%n&x.mp3 0 ");
  ASSERT_TRUE(r.wellFormed);
  EXPECT_EQ(r.mediaPath, "C:\\\\100% \"live\" %s%n&x.mp3");

  r = ParsePlayRequest("\trightful\tclip.avi\t-12");
  ASSERT_TRUE(r.wellFormed);
  EXPECT_EQ(r.mediaPath, "clip.avi");
  EXPECT_EQ(r.number, -12);

  // A launcher that quoted the whole line.
  r = ParsePlayRequest("\" rightful a*b.avi 7 \"");
  ASSERT_TRUE(r.wellFormed);
  EXPECT_EQ(r.mediaPath, "a b.avi");
  EXPECT_EQ(r.number, 7);
}

TEST(SpoolPlayRequest, RejectsMalformedLines) {
  const char* lines[] = {
      "",
      "   ",
      "rightful",
      "rightful a.avi",
      " play a.avi 0 ",
      "Rightful a.avi 0",
      "rightful a.avi zero",
      "rightful a.avi 0x1",
      "rightful a.avi -",
      "rightful a.avi 1234567890",  // more digits than a number may have
      "rightful a.avi 0 extra",
      "rightful a b.avi 0",  // a space that was not written as '*'
  };
  for (const char* line : lines) {
    EXPECT_FALSE(ParsePlayRequest(line).wellFormed) << '"' << line << '"';
  }
  EXPECT_TRUE(ParsePlayRequest("rightful a.avi 123456789").wellFormed);
}

TEST(SpoolFileName, IsThePartAfterTheLastSeparator) {
  EXPECT_EQ(FileName("D:\\My Videos\\\\clip one.avi"), "clip one.avi");
  EXPECT_EQ(FileName("/tmp/x/a.mp3"), "a.mp3");
  EXPECT_EQ(FileName("plain.avi"), "plain.avi");
  EXPECT_EQ(FileName("D:\\dir\\"), "");
  // The Linux player separates at '/' alone; what a name holds is drawn as UTF-8, any byte that
  // is no part of a character drawn as U+FFFD.
  EXPECT_EQ(FileName("/m/a\\b.mp3", "/"), "a\\b.mp3");
  EXPECT_EQ(spool::ValidUtf8("caf\xC3\xA9 \xE6\x97\xA5.ogg"), "caf\xC3\xA9 \xE6\x97\xA5.ogg");
  EXPECT_EQ(spool::ValidUtf8("caf\xE9\xC3.ogg\xF0\x9F"), "caf\uFFFD\uFFFD.ogg\uFFFD\uFFFD");
  EXPECT_EQ(spool::ValidUtf8("\xC0\xAF\xED\xA0\x80"),
            "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");  // overlong, surrogate
}

TEST(SpoolMediaPath, EveryStarIsASpaceAndOnlyTheTwoEscapesAreRead) {
  const struct {
    const char* word;
    spool::MediaWord form;
    const char* path;  // null: not a word of that form
  } table[] = {
      {"/m/a*b%2Ac%25.ogg", spool::MediaWord::escaped, "/m/a b*c%.ogg"},
      {"/m/%252A.ogg", spool::MediaWord::escaped, "/m/%2A.ogg"},
      {"/m/100%.ogg", spool::MediaWord::escaped, nullptr},
      {"/m/%2a.ogg", spool::MediaWord::escaped, nullptr},
      {"/m/%41.ogg", spool::MediaWord::escaped, nullptr},
      {"/m/%2", spool::MediaWord::escaped, nullptr},
      {"C:\\100%*%2A.ogg", spool::MediaWord::starsForSpaces, "C:\\100% %2A.ogg"},
  };
  for (const auto& row : table) {
    std::string path;
    const bool read = spool::MediaPathOf(row.word, row.form, &path);
    if (row.path != nullptr) {
      EXPECT_TRUE(read) << row.word;
      EXPECT_EQ(path, row.path) << row.word;
    } else {
      EXPECT_FALSE(read) << row.word;
    }
  }
}

TEST(SpoolFailureLine, NamesTheKindAndKeepsTheFirstLineOfTheMessage) {
  using spool::ErrorDomain;
  const struct {
    ErrorDomain domain;
    int code;
    const char* message;
    const char* line;
  } table[] = {
      {ErrorDomain::resource, spool::resourceNotFound, "Resource not found.",
       "File not found: Resource not found."},
      {ErrorDomain::stream, spool::streamTypeNotFound, "Could not determine type of stream.",
       "Not a media file: Could not determine type of stream."},
      {ErrorDomain::stream, spool::streamCodecNotFound,
       "Your installation is missing a plug-in.\ndetails",
       "No decoder: Your installation is missing a plug-in."},
      {ErrorDomain::core, spool::coreMissingPlugin, "", "No decoder"},
      {ErrorDomain::stream, spool::streamDemux, "Internal data stream error.  \r\n",
       "Damaged: Internal data stream error."},
      {ErrorDomain::other, spool::resourceNotFound, "Odd.", "Cannot play: Odd."},
  };
  for (const auto& row : table) {
    EXPECT_EQ(spool::FailureLine(row.domain, row.code, row.message), row.line) << row.message;
  }
  // A long message is cut to the limit, between characters: the 88th takes two bytes.
  std::string accented = std::string(77, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9";
  EXPECT_EQ(spool::FailureLine(ErrorDomain::stream, spool::streamDecode, accented),
            "Damaged: " + std::string(77, 'x') + "...");
}

TEST(SpoolPlayTime, IsMinutesAndSecondsOrHoursFromAnHourOn) {
  EXPECT_EQ(spool::ProgressLine(999999999, 59999999999), "0:00 / 0:59");
  EXPECT_EQ(spool::ProgressLine(3599000000000, 36061000000000), "59:59 / 10:01:01");
  EXPECT_EQ(spool::ProgressLine(0, -1), "0:00 / -:--");
}

}  // namespace
