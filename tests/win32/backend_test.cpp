// The Windows backend on a real (Wine) system: files, directories, the GL window.
#include <windows.h>
// windows.h first: shellapi.h depends on it.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "input/input.h"
#include "platform/platform.h"
#include "platform/win32/win32_backend.h"

namespace {

static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "the shell record of a 32-bit program");
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel-format request");

class TempDir {
 public:
  TempDir() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "trove-win32-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempDir() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileA(it->c_str())) RemoveDirectoryA(it->c_str());
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string File(const std::string& name, const std::string& content) {
    std::string p = path_ + "\\" + name;
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    made_.push_back(p);
    return p;
  }
  std::string Dir(const std::string& name, DWORD attributes = 0) {
    std::string p = path_ + "\\" + name;
    CreateDirectoryA(p.c_str(), nullptr);
    if (attributes) SetFileAttributesA(p.c_str(), attributes);
    made_.push_back(p);
    return p;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> made_;
};

TEST(Win32Files, ListsADirectoryWithItsAttributes) {
  TempDir dir;
  dir.File("clip one.avi", "abc");
  dir.Dir("photos");
  dir.Dir("secret", FILE_ATTRIBUTE_HIDDEN);

  char start[MAX_PATH];
  ASSERT_TRUE(platform::GetCurrentDir(start, sizeof start));
  ASSERT_TRUE(platform::SetCurrentDir(dir.path().c_str()));
  std::vector<std::string> names;
  char name[260];
  platform::DirectorySearch* search = platform::FindFirst("*.*", name, sizeof name);
  ASSERT_NE(search, nullptr);
  do {
    names.push_back(name);
  } while (platform::FindNext(search, name, sizeof name));
  platform::FindClose(search);

  EXPECT_EQ(platform::FileAttributes("photos"), platform::attributeDirectory);
  EXPECT_EQ(platform::FileAttributes("secret"),
            platform::attributeDirectory | platform::attributeHidden);
  EXPECT_EQ(platform::FileAttributes("missing"), platform::invalidAttributes);
  ASSERT_TRUE(platform::SetCurrentDir(start));

  EXPECT_EQ(names.size(), 5u);  // ".", "..", and the three entries
  EXPECT_NE(std::find(names.begin(), names.end(), "."), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "clip one.avi"), names.end());
}

TEST(Win32Files, ReadsExistingFilesAndNeverCreatesMissingOnes) {
  TempDir dir;
  std::string path = dir.File("asset.bmp", "BM123456");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  platform::ReadFile* f = platform::OpenForReading(path.c_str());
  ASSERT_NE(f, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(platform::ReadBytes(f, buffer, sizeof buffer), 8u);
  EXPECT_EQ(std::string(buffer), "BM123456");
  platform::CloseFile(f);

  std::string missing = dir.path() + "\\missing.bmp";
  EXPECT_EQ(platform::OpenForReading(missing.c_str()), nullptr);
  EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::OpenForReading(dir.path().c_str()), nullptr);
}

TEST(Win32Window, OpensBorderlessAtTheCornerAndMapsTheCursor) {
  ASSERT_EQ(platform::CreateGlWindow("GAME", 640, 480, 16), platform::WindowFailure::none);
  platform::ScreenRect r = platform::MainWindowRect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 640);
  EXPECT_EQ(r.bottom, 480);
  std::vector<unsigned char> frame(320 * 240 * 4, 200);
  platform::GlPresent(frame.data(), 320, 240, 2);
  while (platform::PumpOneMessage()) {
  }
  EXPECT_EQ(platform::ReleaseGlWindow(), 0u);
  // Releasing again finds nothing to release and reports nothing.
  EXPECT_EQ(platform::ReleaseGlWindow(), 0u);
  EXPECT_EQ(platform::MainWindowRect().right, 0);
}

}  // namespace

// Only plain key-downs and right presses of a hook action reach the core.
TEST(Win32Hooks, PassOnOnlyPlainKeyDownsAndRightPresses) {
  EXPECT_EQ(platform::KeyFromHookEvent(HC_ACTION, WM_KEYDOWN, 'T'), 'T');
  EXPECT_EQ(platform::KeyFromHookEvent(HC_ACTION, WM_KEYDOWN, VK_F6), VK_F6);
  EXPECT_EQ(platform::KeyFromHookEvent(HC_ACTION, WM_SYSKEYDOWN, 'T'), -1);
  EXPECT_EQ(platform::KeyFromHookEvent(HC_ACTION, WM_KEYUP, 'T'), -1);
  EXPECT_EQ(platform::KeyFromHookEvent(1, WM_KEYDOWN, 'T'), -1);
  EXPECT_EQ(platform::KeyFromHookEvent(HC_ACTION, WM_KEYDOWN, 300), -1);
  EXPECT_TRUE(platform::IsRightPressHookEvent(HC_ACTION, WM_RBUTTONDOWN));
  EXPECT_FALSE(platform::IsRightPressHookEvent(HC_ACTION, WM_LBUTTONDOWN));
  EXPECT_FALSE(platform::IsRightPressHookEvent(HC_ACTION, WM_RBUTTONUP));
  EXPECT_FALSE(platform::IsRightPressHookEvent(1, WM_RBUTTONDOWN));
}
