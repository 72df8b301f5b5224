// The command line: what the words ask for, and what the program says and ends with for each.
#include "shell/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "browser/file_list.h"
#include "shell/startup.h"
#include "shell/trove_main.h"
#include "support/permissions.h"
#include "support/program_fixture.h"
#include "trove_version.h"

namespace {

TEST(ParseCommandLine, ReadsTheWordsInOrderAndTheFirstThatDecidesDecides) {
  struct Case {
    std::vector<const char*> words;
    CommandAction action;
    CommandRefusal refusal;
    const char* directory;  // expected, or null
    const char* refused;    // expected, or null
  };
  using A = CommandAction;
  using R = CommandRefusal;
  const Case cases[] = {
      {{}, A::run, R::none, nullptr, nullptr},
      {{"/home/me/Pictures"}, A::run, R::none, "/home/me/Pictures", nullptr},
      {{"Z:\\photos"}, A::run, R::none, "Z:\\photos", nullptr},
      {{"-"}, A::run, R::none, "-", nullptr},  // a bare dash is a name
      {{"--help"}, A::help, R::none, nullptr, nullptr},
      {{"-h"}, A::help, R::none, nullptr, nullptr},
      {{"--version"}, A::version, R::none, nullptr, nullptr},
      {{"pics", "--help"}, A::help, R::none, "pics", nullptr},
      {{"--version", "--bogus"}, A::version, R::none, nullptr, nullptr},
      {{"--bogus"}, A::refuse, R::unknownOption, nullptr, "--bogus"},
      {{"-x", "--help"}, A::refuse, R::unknownOption, nullptr, "-x"},
      {{"--Help"}, A::refuse, R::unknownOption, nullptr, "--Help"},
      {{"a", "b"}, A::refuse, R::secondDirectory, "a", "b"},
      {{"--", "--help"}, A::run, R::none, "--help", nullptr},
      {{"--", "-dir"}, A::run, R::none, "-dir", nullptr},
      {{"--", "a", "--"}, A::refuse, R::secondDirectory, "a", "--"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const char* w : c.words) shown += std::string(" ") + w;
    SCOPED_TRACE("trove" + shown);
    const CommandLine line = ParseCommandLine(static_cast<int>(c.words.size()), c.words.data());
    EXPECT_EQ(line.action, c.action);
    EXPECT_EQ(line.refusal, c.refusal);
    EXPECT_STREQ(line.directory, c.directory);
    EXPECT_STREQ(line.refused, c.refused);
  }
}

class CommandLineTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    start_ = std::filesystem::current_path();
    root_ = std::filesystem::temp_directory_path() / ("trove-command-line-" + std::to_string(getpid()));
    std::filesystem::create_directories(root_ / "pictures" / "inner");
    std::ofstream(root_ / "pictures" / "a.jpg") << "x";
    std::ofstream(root_ / "file.txt") << "x";
    std::filesystem::create_directories(root_ / "closed");
    std::filesystem::create_directories(root_ / "unlisted");
  }
  void TearDown() override {
    std::filesystem::current_path(start_);
    chmod((root_ / "closed").c_str(), S_IRWXU);
    chmod((root_ / "unlisted").c_str(), S_IRWXU);
    std::filesystem::remove_all(root_);
    ProgramTest::TearDown();
  }
  std::string Path(const char* name) const { return (root_ / name).string(); }

  std::filesystem::path start_;
  std::filesystem::path root_;
};

TEST_F(CommandLineTest, EachCommandLineGetsItsTextsAndExitCode) {
  PermissionsBind bind;
  const bool permissionsBind = bind.binding();
  chmod((root_ / "closed").c_str(), 0);              // cannot be made current
  chmod((root_ / "unlisted").c_str(), S_IXUSR);      // can be made current, not listed
  const std::string missing = Path("missing");
  const std::string file = Path("file.txt");
  const std::string closed = Path("closed");
  const std::string unlisted = Path("unlisted");
  const std::string version = std::string("trove ") + troveVersion + "\n";
  const std::string usage = usageText;
  struct Case {
    std::vector<const char*> words;
    int exitCode;  // -1: the program runs
    std::vector<headless::CommandLineText> texts;
    bool needsBindingPermissions;
  };
  using S = platform::TextStream;
  const Case cases[] = {
      {{}, -1, {}, false},
      {{"--help"}, 0, {{usageText, S::output}}, false},
      {{"--version"}, 0, {{version, S::output}}, false},
      {{"--bogus"}, 2, {{"trove: unknown option: --bogus\n" + usage, S::error}}, false},
      {{"a", "b"}, 2, {{"trove: too many arguments: b\n" + usage, S::error}}, false},
      {{missing.c_str()}, 1, {{"trove: " + missing + ": no such directory\n", S::error}}, false},
      {{""}, 1, {{"trove: : no such directory\n", S::error}}, false},
      {{file.c_str()}, 1, {{"trove: " + file + ": not a directory\n", S::error}}, false},
      {{closed.c_str()}, 1, {{"trove: " + closed + ": the directory cannot be read\n", S::error}},
       true},
      {{unlisted.c_str()}, 1,
       {{"trove: " + unlisted + ": the directory cannot be read\n", S::error}}, true},
  };
  for (const Case& c : cases) {
    if (c.needsBindingPermissions && !permissionsBind) continue;
    std::string shown;
    for (const char* w : c.words) shown += std::string(" ") + w;
    SCOPED_TRACE("trove" + shown);
    headless::Reset();
    std::filesystem::current_path(start_);
    const std::optional<int> exitCode =
        ReadCommandLine(static_cast<int>(c.words.size()), c.words.data());
    EXPECT_EQ(exitCode.value_or(-1), c.exitCode);
    ASSERT_EQ(os().commandLineTexts.size(), c.texts.size());
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(os().commandLineTexts[i].text, c.texts[i].text);
      EXPECT_EQ(os().commandLineTexts[i].stream, c.texts[i].stream);
    }
    // Nothing of the program has started: no window, no message box.
    EXPECT_TRUE(os().windowsCreated.empty());
    EXPECT_TRUE(os().messageBoxes.empty());
  }
}

TEST_F(CommandLineTest, TheDirectoryGivenIsTheFirstShownAndWhereTheWayUpStarts) {
  // Relative to the directory the program is started from.
  std::filesystem::current_path(root_);
  const char* words[] = {"pictures"};
  EXPECT_EQ(ReadCommandLine(1, words), std::nullopt);
  EXPECT_TRUE(os().commandLineTexts.empty());
  StartUp();
  const std::string pictures = std::filesystem::canonical(root_ / "pictures").string();
  EXPECT_EQ(std::string(workingDirectory), pictures);
  EXPECT_EQ(std::string(browsedPath), pictures);
  std::vector<std::string> names;
  for (int i = 1; i <= fileList.count; ++i) names.push_back(fileList.names[i]);
  EXPECT_NE(std::find(names.begin(), names.end(), "a.jpg"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "inner"), names.end());
  ShutDown();
}

}  // namespace
