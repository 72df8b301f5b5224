// The headless backend: records what the core asks of the operating system and plays back
// scripted input through the hook entry points.
#include "backends/headless/headless.h"

#include <unistd.h>

#include <cstring>

#include "base/utf8.h"
#include "display/window_events.h"
#include "input/input_events.h"
#include "backends/posix/posix_system.h"
#include "backends/win32/win32_conventions.h"

namespace headless {

namespace {
State current;
}  // namespace

State& state() { return current; }

void Reset() { current = State{}; }

void QueueKeyDown(int virtualKey) {
  current.pendingMessages.push_back(
      [virtualKey](Input& input, WindowRequests&) { KeyPressed(input, virtualKey); });
}

void QueueRightClick() {
  current.pendingMessages.push_back(
      [](Input& input, WindowRequests&) { RightButtonPressed(input); });
}

void QueueCloseRequest() {
  current.pendingMessages.push_back(
      [](Input&, WindowRequests& window) { WindowCloseRequested(window); });
}

int TotalPause() {
  int total = 0;
  for (int p : current.pauses) total += p;
  return total;
}

}  // namespace headless

namespace native {

// The POSIX files and pictures serve the system the test chose.
const System& CurrentSystem() {
  static constexpr System windows = {.conventions = win32::windowsConventions,
                                     .ordersListings = false,
                                     .refusesUrls = false,
                                     .decodedExtensions = win32::WindowsPictureExtensions};
  return headless::current.posixConventions ? linuxSystem : windows;
}

}  // namespace native

namespace platform {

using headless::current;

int ScreenWidth() { return current.screenWidth; }
int ScreenHeight() { return current.screenHeight; }
int DisplayScale() { return current.displayScale; }

WindowFailure CreateGlWindow(const char* title, int width, int height, int colourDepth) {
  current.calls.push_back("CreateGlWindow");
  current.windowsCreated.push_back({title, width, height, colourDepth});
  if (current.failCreationAt != WindowFailure::none) {
    return current.failCreationAt;
  }
  current.windowOpen = true;
  current.windowRect = {0, 0, width, height};
  return WindowFailure::none;
}

unsigned ReleaseGlWindow() {
  current.calls.push_back("ReleaseGlWindow");
  ++current.windowsReleased;
  current.windowOpen = false;
  return current.failReleases;
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon) {
  current.calls.push_back("ShowMessageBox");
  current.messageBoxes.push_back({text, caption, icon});
}

void WriteCommandLineText(const char* text, TextStream stream) {
  current.calls.push_back("WriteCommandLineText");
  current.commandLineTexts.push_back({text ? text : "", stream});
}

bool DataFolder(DataFolderKind kind, char* buffer, std::size_t size) {
  if (size == 0) return false;
  buffer[0] = '\0';
  const std::string& folder =
      kind == DataFolderKind::assets ? current.assetFolder : current.playerFolder;
  if (folder.empty() || folder.size() >= size) return false;
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return current.foldersFound;
}

void HideSystemCursor() {
  current.calls.push_back("HideSystemCursor");
  ++current.cursorHides;
}

bool PumpOneMessage(Input& input, WindowRequests& window) {
  if (!current.pumpStarted) {
    current.pumpStarted = true;
    if (current.onPump) current.onPump();
  }
  if (current.pendingMessages.empty()) {
    current.pumpStarted = false;  // the next pass's first pump starts a new pass
    return false;
  }
  auto message = std::move(current.pendingMessages.front());
  current.pendingMessages.pop_front();
  message(input, window);
  return true;
}

void MoveMainWindow(int x, int y, int width, int height) {
  current.calls.push_back("MoveMainWindow");
  current.moves.push_back({"", x, y, width, height});
  current.windowRect = {x, y, x + width, y + height};
}

ScreenPoint CursorPosition() { return current.cursor; }
ScreenRect MainWindowRect() { return current.windowRect; }

bool MovePlayerWindow(const char* title, int x, int y, int width, int height) {
  current.calls.push_back("MovePlayerWindow");
  for (const std::string& t : current.playerWindowTitles) {
    if (t == title) {
      current.moves.push_back({title, x, y, width, height});
      return true;
    }
  }
  return false;
}

void GlSetupProjection(int, int, double, double, double, double) {
  current.calls.push_back("GlSetupProjection");
}

void GlInitState() { current.calls.push_back("GlInitState"); }

void GlClearBuffers() { ++current.glClears; }

void GlPresent(const std::uint8_t* rgba, int width, int height, int) {
  ++current.presents;
  if (current.keepFrames && rgba && width > 0 && height > 0) {
    current.presentedFrames.emplace_back(rgba, rgba + static_cast<std::size_t>(width) * height * 4);
  }
}

void GlUploadTextures(const TextureImage* images, int imageCount, unsigned* names, int nameCount) {
  current.calls.push_back("GlUploadTextures");
  for (int i = 0; i < nameCount; ++i) names[i] = current.nextTextureName++;
  for (int i = 0; i < imageCount && i < nameCount; ++i) {
    current.uploads.push_back({names[i], images[i].width, images[i].height, images[i].pixels});
  }
}

void TakeDesktopInput() { current.desktopInput = true; }

bool InstallMouseHook() {
  current.calls.push_back("InstallMouseHook");
  current.hooksInstalled[0] = !current.hookFails[0];
  return current.hooksInstalled[0];
}

bool InstallKeyboardHook() {
  current.calls.push_back("InstallKeyboardHook");
  current.hooksInstalled[1] = !current.hookFails[1];
  return current.hooksInstalled[1];
}

bool ReportWanted() { return current.reportWanted; }

void WriteReportLine(const char* line) { current.reportLines.emplace_back(line); }

void Pause(int milliseconds) { current.pauses.push_back(milliseconds); }

void DisplayText(const char* text, char* shown, std::size_t room) {
  if (room == 0) return;
  std::size_t n = 0;
  for (const char* c = text ? text : ""; *c && n + 1 < room; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    // A code page that holds nothing beyond ASCII: each UTF-8 character becomes one '?'.
    if (current.narrowCodePage && byte >= 0x80) {
      if ((byte & 0xC0) == 0x80) continue;
      shown[n++] = '?';
    } else {
      shown[n++] = *c;
    }
  }
  shown[n] = '\0';
}

bool DrawCharacter(char32_t c, GlyphImage* glyph) {
  if (!current.posixConventions || !current.desktopFonts || (c >= 0xE000 && c <= 0xF8FF)) {
    return false;
  }
  // A stand-in for the desktop's fonts, the same on every machine: a mark is a bar of three on
  // the box's top row; any other character its code point's bits under a full top row, wide
  // characters (East Asian scripts) 8 columns wide on rows 2 to 9, the others 4 on rows 3 to 7.
  *glyph = {};
  if (IsCombiningMark(c)) {
    glyph->width = 3;
    glyph->height = 1;
    std::memset(glyph->coverage, 255, 3);
    return true;
  }
  const bool wide = IsWideCharacter(c);
  glyph->width = wide ? 8 : 4;
  glyph->height = wide ? 8 : 5;
  glyph->top = wide ? 2 : 3;
  glyph->advance = glyph->width + 1;
  for (int y = 0; y < glyph->height; ++y) {
    for (int x = 0; x < glyph->width; ++x) {
      const bool ink = y == 0 || ((c >> ((x + y * glyph->width) % 21)) & 1) != 0;
      glyph->coverage[y * glyph->width + x] = ink ? 255 : 0;
    }
  }
  return true;
}

void WaitForInput(int timeoutMs) { current.inputWaits.push_back(timeoutMs); }

void ExitProgram(int exitCode) { throw headless::ProgramExit{exitCode}; }

void EndBesideDecodes(int exitCode) { throw headless::ProgramExit{exitCode}; }

bool RunProgram(const char* file, const char* const* words, std::size_t wordCount) {
  current.calls.push_back("RunProgram");
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) cwd[0] = '\0';
  current.programsRun.push_back({file, std::vector<std::string>(words, words + wordCount), cwd});
  return current.programsStart;
}

// The native decoders (the POSIX layer's pictures) need nothing per thread.
void BeginDecodeThread(bool) {}
void EndDecodeThread() {}

}  // namespace platform
