// The Windows backend on a real (Wine) system: files, directories, the GL window.
#include <windows.h>
// windows.h first: shellapi.h depends on it.
#include <shellapi.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "display/window.h"
#include "shell/command_line.h"
#include "input/input.h"
#include "platform/platform.h"
#include "backends/win32/win32_backend.h"
#include "support/directory_listing.h"

namespace {
// While set, every allocation through operator new fails (the tests of exhausted memory).
bool failAllocations = false;
}  // namespace

void* operator new(std::size_t size) {
  void* p = failAllocations ? nullptr : std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return failAllocations ? nullptr : std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

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
  std::vector<std::string> names = ListedNames();
  const std::optional<platform::DirectoryEntry> photos = EntryNamed("photos");
  const std::optional<platform::DirectoryEntry> secret = EntryNamed("secret");

  EXPECT_EQ(platform::KindOfPath("photos"), platform::PathKind::directory);
  EXPECT_EQ(platform::KindOfPath("secret"), platform::PathKind::directory);
  EXPECT_EQ(platform::KindOfPath("missing"), platform::PathKind::missing);
  ASSERT_TRUE(platform::SetCurrentDir(start));

  ASSERT_TRUE(photos.has_value());
  EXPECT_TRUE(photos->isDirectory);
  EXPECT_FALSE(photos->hidden);
  ASSERT_TRUE(secret.has_value());
  EXPECT_TRUE(secret->isDirectory);
  EXPECT_TRUE(secret->hidden);

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

// Running out of memory makes an open or a directory listing fail like any other failure; it
// never throws out of the backend, and the file is not left open.
TEST(Win32Files, AnExhaustedHeapIsAFailureNotAnException) {
  TempDir dir;
  std::string path = dir.File("held.bin", "x");
  char start[MAX_PATH];
  ASSERT_TRUE(platform::GetCurrentDir(start, sizeof start));
  ASSERT_TRUE(platform::SetCurrentDir(dir.path().c_str()));
  platform::ReadFile* file = nullptr;
  platform::DirectoryListing* listing = nullptr;
  bool threw = false;
  failAllocations = true;
  try {
    file = platform::OpenForReading(path.c_str());
    listing = platform::ListCurrentDirectory();
  } catch (...) {
    threw = true;
  }
  failAllocations = false;
  ASSERT_TRUE(platform::SetCurrentDir(start));
  EXPECT_FALSE(threw);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(listing, nullptr);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}

// UTF-8 of the names below: a directory named "photos" in Japanese, a file with a Latin-1 and
// two CJK characters.
const char* const cjkDirectory = "\xE5\x86\x99\xE7\x9C\x9F";
const wchar_t* const cjkDirectoryWide = L"\u5199\u771F";
const char* const mixedFile = "caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC.bmp";
const wchar_t* const mixedFileWide = L"caf\u00E9 \u6771\u4EAC.bmp";

// Names outside the system's code page arrive whole, as UTF-8, and every operation takes them
// back: the directory is listed as one and can be made current, the file opened and decoded.
TEST(Win32Files, NamesOutsideTheCodePageAreListedEnteredAndOpenedWhole) {
  TempDir dir;
  std::wstring root(dir.path().begin(), dir.path().end());
  std::wstring wideDir = root + L"\\" + cjkDirectoryWide;
  std::wstring wideFile = wideDir + L"\\" + mixedFileWide;
  ASSERT_TRUE(CreateDirectoryW(wideDir.c_str(), nullptr));
  // A 1 x 1 24-bit BMP of one red pixel.
  std::string bmp(58, '\0');
  const unsigned char header[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40,
                                  0,   0,   0,  1, 0, 0, 0, 1, 0, 0, 0,  1, 0, 24};
  bmp.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
  bmp[56] = '\xFF';
  HANDLE h = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr);
  CloseHandle(h);

  char start[MAX_PATH];
  ASSERT_TRUE(platform::GetCurrentDir(start, sizeof start));
  ASSERT_TRUE(platform::SetCurrentDir(dir.path().c_str()));
  std::vector<std::string> names = ListedNames();
  EXPECT_NE(std::find(names.begin(), names.end(), cjkDirectory), names.end());
  EXPECT_EQ(platform::KindOfPath(cjkDirectory), platform::PathKind::directory);

  ASSERT_TRUE(platform::SetCurrentDir(cjkDirectory));
  char current[1024];
  ASSERT_TRUE(platform::GetCurrentDir(current, sizeof current));
  EXPECT_EQ(std::string(current), dir.path() + "\\" + cjkDirectory);
  platform::ReadFile* file = platform::OpenForReading(mixedFile);
  ASSERT_NE(file, nullptr);
  char content[64] = {};
  EXPECT_EQ(platform::ReadBytes(file, content, sizeof content), bmp.size());
  platform::CloseFile(file);
  platform::DecodedPicture picture;
  const std::string full = std::string(current) + "\\" + mixedFile;
  ASSERT_TRUE(platform::DecodePicture(full.c_str(), nullptr, &picture));
  EXPECT_EQ(picture.width, 1);
  EXPECT_EQ(picture.bits[2], 255);  // blue, green, red: red
  platform::ReleasePicture(&picture);
  ASSERT_TRUE(platform::SetCurrentDir(start));

  // Text that is not UTF-8 names nothing rather than some guess.
  EXPECT_FALSE(platform::SetCurrentDir("\xE5\x86"));
  EXPECT_EQ(platform::KindOfPath("caf\xE9.bmp"), platform::PathKind::missing);
  DeleteFileW(wideFile.c_str());
  RemoveDirectoryW(wideDir.c_str());
}

// A file named on the command line is found as Windows finds files: in any case, and by the
// short name an unquoted file association passes; it then goes by the name its folder lists.
TEST(Win32Files, AFileNamedOnTheCommandLineIsFoundInAnyCaseAndByItsShortName) {
  TempDir dir;
  const std::string path = dir.File("Evening Lake.jpeg", "x");
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(path.c_str(), shortPath, MAX_PATH), 0u);
  const std::string upper = dir.path() + "\\EVENING LAKE.JPEG";
  char start[MAX_PATH];
  ASSERT_TRUE(platform::GetCurrentDir(start, sizeof start));
  const struct {
    std::string word;
    const char* found;  // the name the program looks for in the folder's list
  } cases[] = {
      {path, "Evening Lake.jpeg"},
      {upper, "Evening Lake.jpeg"},
      {shortPath, "Evening Lake.jpeg"},
      {dir.path() + "\\Evening Lake.jpe*", nullptr},  // no wildcard search
  };
  for (const auto& c : cases) {
    std::string fileName;
    const StartDirectory entered = EnterStartPath(c.word.c_str(), fileName);
    EXPECT_EQ(entered, c.found ? StartDirectory::enteredForFile : StartDirectory::missing)
        << c.word;
    if (c.found) EXPECT_EQ(fileName, c.found) << c.word;
    ASSERT_TRUE(platform::SetCurrentDir(start));
  }
  EXPECT_NE(std::string(shortPath).find('~'), std::string::npos) << shortPath;
}

// Texture rows are unpadded RGB: a 3 x 3 picture is 27 bytes, and the upload reads exactly
// those, ending at a page that cannot be read, and stores them row by row.
TEST(Win32Window, TexturesTakeUnpaddedRowsWithoutReadingPastThem) {
  ASSERT_EQ(platform::CreateGlWindow("GAME", 64, 64, 16), platform::WindowFailure::none);
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const DWORD page = system.dwPageSize;
  auto* block = static_cast<std::uint8_t*>(
      VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(block, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));
  std::uint8_t* pixels = block + page - 27;
  for (int i = 0; i < 27; ++i) pixels[i] = static_cast<std::uint8_t>(10 * i + 1);
  platform::TextureImage image{pixels, 3, 3};
  unsigned names[2] = {};
  platform::GlUploadTextures(&image, 1, names, 2);
  std::uint8_t back[27] = {};
  glBindTexture(GL_TEXTURE_2D, names[0]);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back);
  for (int i = 0; i < 27; ++i) EXPECT_EQ(back[i], pixels[i]) << i;
  VirtualFree(block, 0, MEM_RELEASE);
  EXPECT_EQ(platform::ReleaseGlWindow(), 0u);
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
  Input input;
  WindowRequests requests;
  while (platform::PumpOneMessage(input, requests)) {
  }
  EXPECT_EQ(platform::ReleaseGlWindow(), 0u);
  // Releasing again finds nothing to release and reports nothing.
  EXPECT_EQ(platform::ReleaseGlWindow(), 0u);
  EXPECT_EQ(platform::MainWindowRect().right, 0);
}

}  // namespace

// Only plain key-downs and right presses of a hook action reach the core.
TEST(Win32Hooks, PassOnOnlyPlainKeyDownsAndRightPresses) {
  EXPECT_EQ(win32::KeyFromHookEvent(HC_ACTION, WM_KEYDOWN, 'T'), 'T');
  EXPECT_EQ(win32::KeyFromHookEvent(HC_ACTION, WM_KEYDOWN, VK_F6), VK_F6);
  EXPECT_EQ(win32::KeyFromHookEvent(HC_ACTION, WM_SYSKEYDOWN, 'T'), -1);
  EXPECT_EQ(win32::KeyFromHookEvent(HC_ACTION, WM_KEYUP, 'T'), -1);
  EXPECT_EQ(win32::KeyFromHookEvent(1, WM_KEYDOWN, 'T'), -1);
  EXPECT_EQ(win32::KeyFromHookEvent(HC_ACTION, WM_KEYDOWN, 300), -1);
  EXPECT_TRUE(win32::IsRightPressHookEvent(HC_ACTION, WM_RBUTTONDOWN));
  EXPECT_FALSE(win32::IsRightPressHookEvent(HC_ACTION, WM_LBUTTONDOWN));
  EXPECT_FALSE(win32::IsRightPressHookEvent(HC_ACTION, WM_RBUTTONUP));
  EXPECT_FALSE(win32::IsRightPressHookEvent(1, WM_RBUTTONDOWN));
}

// The hooks run on a thread of their own: while the main thread is held up as any command's
// pause holds it (no message pumped), a key press reaches the hook, which notes it, and it is
// latched in the pump step after the pause, once. The main thread waits for nothing but the
// hook's note, however long a loaded machine takes.
TEST(Win32Hooks, AnswerWhileTheMainThreadPausesAndLatchInThePumpStep) {
  Input input;
  WindowRequests requests;
  InstallInputHooks();
  ASSERT_NE(win32::HookThreadId(), 0u);
  EXPECT_NE(win32::HookThreadId(), GetCurrentThreadId());
  while (platform::PumpOneMessage(input, requests)) {
  }
  ClearInputLatches(input);

  DWORD noted = WAIT_TIMEOUT;
  std::thread injector([&noted] {
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_KEYBOARD;
    press[0].ki.wVk = press[1].ki.wVk = VK_F9;
    press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, press, sizeof(INPUT));
    noted = WaitForSingleObject(win32::InputNotedEvent(), 60000);
  });
  injector.join();  // the main thread pumps nothing meanwhile
  EXPECT_EQ(noted, WAIT_OBJECT_0);
  EXPECT_FALSE(KeyDown(input, VK_F9));  // nothing is latched until the pump step

  // The pass after the pause acts on it, once.
  while (platform::PumpOneMessage(input, requests)) {
  }
  EXPECT_TRUE(KeyDown(input, VK_F9));
  ClearInputLatches(input);
  while (platform::PumpOneMessage(input, requests)) {
  }
  EXPECT_FALSE(KeyDown(input, VK_F9));
}

// Names are shown as the narrow file functions give them: the code page's form, with '?' for
// what it cannot hold, whatever the name's UTF-8 form inside the program.
TEST(Win32Files, NamesAreShownAsTheNarrowFunctionsListThem) {
  TempDir dir;
  const std::vector<std::pair<std::wstring, std::string>> names = {
      {L"caf\u00e9.txt", "caf\xc3\xa9.txt"},
      {L"\u76f8\u518c.txt", "\xe7\x9b\xb8\xe5\x86\x8c.txt"},
      {L"plain name.txt", "plain name.txt"},
  };
  const std::wstring base(dir.path().begin(), dir.path().end());
  for (const auto& name : names) {
    HANDLE file = CreateFileW((base + L"\\" + name.first).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  for (const auto& name : names) {
    WIN32_FIND_DATAA found;
    bool listed = false;
    HANDLE search = FindFirstFileA((dir.path() + "\\*.txt").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    char shown[260];
    platform::DisplayText(name.second.c_str(), shown, sizeof shown);
    do {
      listed = listed || std::string(found.cFileName) == shown;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_TRUE(listed) << shown;
  }
  for (const auto& name : names) DeleteFileW((base + L"\\" + name.first).c_str());
}
