// The Windows backend's reading of file attributes, which needs no Windows to run.
#include "backends/win32/win32_entries.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(Win32EntryTest, EveryDirectoryIsADirectoryWhateverElseItCarries) {
  const struct {
    std::uint32_t attributes;
    bool isDirectory;
  } cases[] = {
      {0x10, true},                       // a plain directory
      {0x11, true},                       // read-only: a user's own Documents or Pictures
      {0x12, true},                       // hidden
      {0x14, true},                       // system: a customised folder
      {0x16, true},                       // hidden and system
      {0x30, true},                       // archive
      {0x2010, true},                     // not content indexed
      {0x410, true},                      // reparse point: a junction or a linked folder
      {0x80410, true},                    // a synced folder's placeholder
      {0x20, false},                      // archive, a file
      {0x80, false},                      // normal file
      {0x1, false},                       // read-only file
      {0x422, false},                     // hidden file behind a reparse point
      {win32::invalidAttributes, false},  // attributes that cannot be read
  };
  for (const auto& c : cases) {
    EXPECT_EQ(win32::EntryOf(c.attributes).isDirectory, c.isDirectory) << std::hex << c.attributes;
  }
}

}  // namespace
