// The POSIX files of the native backends as the Linux program uses them: the listing order,
// hidden and directory entries, and paths taken as they are.
#include "backends/posix/posix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/directory_listing.h"
#include "support/permissions.h"
#include "support/program_fixture.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A locale of the user's: compiled from the system's locale sources into a folder of the
// test's own, which LOCPATH makes the one setlocale looks in.
bool UseCompiledLocale(const std::string& name) {
  static const struct Folder {
    std::string path;
    Folder() {
      char pattern[] = "/tmp/trove-locales-XXXXXX";
      if (mkdtemp(pattern)) path = pattern;
    }
    ~Folder() {
      std::error_code ignored;
      if (!path.empty()) fs::remove_all(path, ignored);
    }
  } folder;
  const std::string compiled = folder.path + "/" + name;
  if (!fs::exists(compiled)) {
    const std::string command = "localedef -i " + name.substr(0, name.find('.')) + " -f UTF-8 " +
                                compiled + " >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1) return false;
  }
  setenv("LOCPATH", folder.path.c_str(), 1);
  return std::setlocale(LC_ALL, name.c_str()) != nullptr;
}

// Each table lists names in the order expected: given in any order, they are listed so.
TEST(ListingOrderTest, NaturalDigitsCaseAndTheUsersCollationThenBytes) {
  const struct {
    const char* locale;
    Names order;
  } tables[] = {
      // Bytes, ASCII letters folded: "Été" after every ASCII name.
      {"C",
       {".", "..", ".hidden", "9", "10", "_under", "A", "a", "a.jpg", "a1.jpg", "Alpha", "B", "b",
        "img2", "img010", "img10", "img10b", "zeta", "\xC3\x89t\xC3\xA9"}},
      // English collation: "Été" among the E's, punctuation left aside, case still folded.
      {"en_US.UTF-8", {".",
                       "..",
                       ".hidden",
                       "9",
                       "10",
                       "A",
                       "a",
                       "a.jpg",
                       "a1.jpg",
                       "Alpha",
                       "B",
                       "b",
                       "\xC3\x89t\xC3\xA9",
                       "etz",
                       "img2",
                       "img010",
                       "img10",
                       "img10b",
                       "_under",
                       "zeta"}},
  };
  for (const auto& table : tables) {
    SCOPED_TRACE(table.locale);
    ASSERT_TRUE(table.locale == std::string("C") || UseCompiledLocale(table.locale));
    std::setlocale(LC_ALL, table.locale);
    Names forward = table.order;
    std::swap(forward.front(), forward.back());
    Names backward(table.order.rbegin(), table.order.rend());
    Names oneByOne = backward;
    native::OrderListing(&forward);
    native::OrderListing(&backward);
    native::OrderListing(&oneByOne, 1);  // sorted runs of one name, merged
    EXPECT_EQ(forward, table.order);
    EXPECT_EQ(backward, table.order);
    EXPECT_EQ(oneByOne, table.order);
  }
  std::setlocale(LC_ALL, "C");
}

class LinuxFilesTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    os().posixConventions = true;
    start_ = fs::current_path();
    char pattern[] = "/tmp/trove-posix-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::current_path(root_);
  }
  void TearDown() override {
    fs::current_path(start_);
    std::error_code ignored;
    fs::permissions(root_ + "/locked", fs::perms::owner_all, ignored);
    fs::remove_all(root_, ignored);
    ProgramTest::TearDown();
  }

  void File(const std::string& name, const std::string& contents = "x") {
    std::ofstream(root_ + "/" + name, std::ios::binary) << contents;
  }

  Names List() { return ListedNames(); }

  fs::path start_;
  std::string root_;
};

TEST_F(LinuxFilesTest, ADirectoryListsInOrderWithTheDotsFirst) {
  for (const char* name : {"b.jpg", "A.bmp", "c", ".config", "a.txt"}) File(name);
  fs::create_directory(root_ + "/Zdir");
  EXPECT_EQ(List(), (Names{".", "..", ".config", "A.bmp", "a.txt", "b.jpg", "c", "Zdir"}));
  // A name cut to the caller's buffer is still terminated and listed in its place.
  char shortName[3];
  platform::DirectoryEntry entry;
  platform::DirectoryListing* listing = platform::ListCurrentDirectory();
  ASSERT_NE(listing, nullptr);
  ASSERT_TRUE(platform::NextEntry(listing, shortName, sizeof shortName, &entry));
  ASSERT_TRUE(platform::NextEntry(listing, shortName, sizeof shortName, &entry));
  ASSERT_TRUE(platform::NextEntry(listing, shortName, sizeof shortName, &entry));
  EXPECT_STREQ(shortName, ".c");
  platform::CloseListing(listing);
}

// A folder whose records fill many of the system's blocks is read while another thread keys and
// sorts what was read so far; its runs merged, every entry is listed once and in order.
TEST_F(LinuxFilesTest, ALargeFolderListsEveryEntryInOrder) {
  File("img0");
  Names expected = {".", ".."};
  for (int i = 0; i < 4000; ++i) {
    const std::string name = "img" + std::to_string(i);
    if (i > 0) fs::create_hard_link(root_ + "/img0", root_ + "/" + name);
    expected.push_back(name);
  }
  fs::create_directory(root_ + "/IMG");
  expected.insert(expected.begin() + 2, "IMG");
  EXPECT_EQ(List(), expected);
}

TEST_F(LinuxFilesTest, DotNamesAreHiddenAndDirectoriesComeFromStat) {
  fs::create_directory(root_ + "/.cache");
  fs::create_directory(root_ + "/photos");
  File(".profile");
  File("notes.txt");
  fs::create_directory_symlink(root_ + "/photos", root_ + "/link-to-photos");
  fs::create_directory_symlink(root_ + "/loop", root_ + "/loop");  // points at itself
  EXPECT_EQ(platform::KindOfPath("photos"), platform::PathKind::directory);
  EXPECT_EQ(platform::KindOfPath("link-to-photos"), platform::PathKind::directory);
  EXPECT_EQ(platform::KindOfPath(".cache"), platform::PathKind::directory);
  EXPECT_EQ(platform::KindOfPath("notes.txt"), platform::PathKind::file);
  EXPECT_EQ(platform::KindOfPath("loop"), platform::PathKind::missing);
  EXPECT_EQ(platform::KindOfPath("."), platform::PathKind::directory);
  EXPECT_EQ(platform::KindOfPath(".."), platform::PathKind::directory);
  // The listing reads each name as stat does (one it cannot read, the loop, is a file) and tells
  // the dot names apart as hidden.
  const struct {
    const char* name;
    bool isDirectory;
    bool hidden;
  } expected[] = {
      {".", true, false},
      {"..", true, false},
      {".cache", true, true},
      {".profile", false, true},
      {"link-to-photos", true, false},
      {"loop", false, false},
      {"notes.txt", false, false},
      {"photos", true, false},
  };
  const std::vector<ListedEntry> entries = ListedEntries();
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].name, expected[i].name);
    EXPECT_EQ(entries[i].entry.isDirectory, expected[i].isDirectory) << expected[i].name;
    EXPECT_EQ(entries[i].entry.hidden, expected[i].hidden) << expected[i].name;
  }
}

TEST_F(LinuxFilesTest, ADirectoryThatMayNotBeWrittenIsStillAPlainDirectory) {
  fs::create_directory(root_ + "/locked");
  fs::permissions(root_ + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
  PermissionsBind binding;
  ASSERT_TRUE(binding.binding());
  EXPECT_EQ(platform::KindOfPath("locked"), platform::PathKind::directory);
}

TEST_F(LinuxFilesTest, BackslashesArePartOfNamesExceptInTheCataloguesOwnPaths) {
  // A Linux name may hold a backslash; it must never be read as another file's path.
  fs::create_directory(root_ + "/a");
  File("a/b", "inner");
  File("a\\b", "literal");
  EXPECT_EQ(native::PosixPath("a\\b"), "a\\b");
  char buffer[16] = {};
  platform::ReadFile* file = platform::OpenForReading("a\\b");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(platform::ReadBytes(file, buffer, sizeof buffer - 1), 7u);
  platform::CloseFile(file);
  EXPECT_STREQ(buffer, "literal");
  // The asset catalogue writes ".\dir\name"; where no such name exists it is read with slashes.
  EXPECT_EQ(native::PosixPath(".\\a\\b"), "./a/b");
  EXPECT_EQ(native::PosixPath(".\\missing\\x.bmp"), "./missing/x.bmp");
  // The stand-in for the Windows program takes every backslash as a separator.
  os().posixConventions = false;
  EXPECT_EQ(native::PosixPath("a\\b"), "a/b");
}

}  // namespace
