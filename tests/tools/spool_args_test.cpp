// The stand-in player's reading of its command line.
#include "../../tools/spool/spool_args.h"

#include <gtest/gtest.h>

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
}

}  // namespace
