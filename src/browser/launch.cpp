// Handing the selected file to the external player and opening the file explorer, both
// started by the platform with their argument words.
#include "browser/launch.h"

#include <cstring>

#include "browser/browser.h"
#include "browser/directory.h"
#include "canvas/canvas.h"
#include "canvas/text.h"
#include "input/input.h"
#include "input/pauses.h"
#include "platform/platform.h"

namespace {

// The player's words around the media path, and the four blanks that set the three apart on a
// parameter line.
constexpr const char* firstWord = "rightful";
constexpr const char* lastWord = "0";
constexpr std::size_t lineBlanks = 4;

// A text of `needed` characters fits a launch buffer with its terminator.
bool Fits(std::size_t needed) { return needed < static_cast<std::size_t>(launchTextSize); }

bool Escaped(char c, bool escapes) { return escapes && (c == '%' || c == '*'); }

// The length of text in the media path: three characters for each escaped '%' or '*'.
std::size_t MediaPathLength(const char* text, bool escapes) {
  std::size_t length = 0;
  for (const char* c = text; *c != '\0'; ++c) length += Escaped(*c, escapes) ? 3 : 1;
  return length;
}

// Writes text into the media path at out, every space as '*' and, when escapes is set, '%' and
// '*' as %25 and %2A; returns where the next character goes.
char* WriteMediaPath(char* out, const char* text, bool escapes) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (Escaped(*c, escapes)) {
      *out++ = '%';
      *out++ = '2';
      *out++ = *c == '%' ? '5' : 'A';
    } else {
      *out++ = *c == ' ' ? '*' : *c;
    }
  }
  return out;
}

}  // namespace

bool BuildPlayerTexts(const char* browsed, const char* name, const char* playerFolder,
                      PlayerTexts* texts) {
  // Every length is checked before formatting: a cut path would name another file, so a
  // text that does not fit starts nothing at all.
  const platform::Conventions& names = platform::PlatformConventions();
  const bool escapes = names.escapesMediaPath;
  std::size_t mediaLength = MediaPathLength(browsed, escapes) + 1 + MediaPathLength(name, escapes);
  std::size_t executableLength = std::strlen(playerFolder) + 1 + std::strlen(names.playerProgram);
  std::size_t parametersLength =
      std::strlen(firstWord) + mediaLength + std::strlen(lastWord) + lineBlanks;
  if (!Fits(mediaLength) || !Fits(executableLength) || !Fits(parametersLength)) {
    return false;
  }

  // The name is written character by character, never part of a format: where '%' is not
  // escaped it reaches the player as is.
  char* end = WriteMediaPath(texts->mediaPath, browsed, escapes);
  *end++ = names.pathSeparator;
  *WriteMediaPath(end, name, escapes) = '\0';
  FormatText(texts->executable, sizeof texts->executable, "%s%c%s", playerFolder,
             names.pathSeparator, names.playerProgram);
  return true;
}

std::array<const char*, 3> PlayerWords(const PlayerTexts& texts) {
  return {firstWord, texts.mediaPath, lastWord};
}

PlayerPosition PlayerWindowPosition(const DisplayState& d) {
  int y = -d.scrollY * d.zoom;
  if (IsMovableCanvas(d.canvasWidth * d.scale)) {
    // The movable canvas can be anywhere on the screen: keep the player's bottom edge on it.
    if (y + d.windowY + playerWindowSize > d.screenHeight) {
      y = d.screenHeight - d.windowY - playerWindowSize;
    }
  } else if (y + playerWindowSize > d.canvasHeight * d.zoom) {
    // Otherwise keep the player within the browser window's height.
    y = d.canvasHeight * d.zoom - playerWindowSize;
  }
  return {(d.scrollX + d.windowX) * d.zoom, y + d.windowY};
}

PlayerLaunch LaunchPlayer(const Browser& browser) {
  // A selection left over from an earlier directory names no entry of this one.
  if (!browser.fileList.names || !SelectionIsCurrent(browser.fileList))
    return PlayerLaunch::nothingToPlay;

  // The player lies in the program's own data folder, wherever the browser was started.
  char playerFolder[launchTextSize];
  const bool folderFound =
      platform::DataFolder(platform::DataFolderKind::player, playerFolder, sizeof playerFolder);
  PlayerTexts texts;
  if (!BuildPlayerTexts(browser.browsedPath, browser.fileList.names[browser.fileList.selection],
                        playerFolder, &texts)) {
    return PlayerLaunch::nothingToPlay;
  }
  // A missing player is not handed to the shell: its own error box would be modal and hidden
  // behind the browser's full-screen window. The program's own box says what is missing.
  bool started = false;
  if (folderFound && platform::KindOfPath(texts.executable) == platform::PathKind::file) {
    // The player starts in the start directory, whatever is current.
    const InDirectory in(browser, browser.workingDirectory);
    const std::array<const char*, 3> words = PlayerWords(texts);
    started = platform::RunProgram(texts.executable, words.data(), words.size());
  }
  if (!started) {
    char message[launchTextSize + 64];
    char shown[launchTextSize];
    // Without a data folder there is no path to name, only the program, unless the backend
    // said where it looked in vain.
    platform::DisplayText(folderFound || playerFolder[0] != '\0'
                              ? texts.executable
                              : platform::PlatformConventions().playerProgram,
                          shown, sizeof shown);
    FormatText(message, sizeof message, "The player could not be started: %s", shown);
    platform::ShowMessageBox(message, "ERROR", platform::MessageIcon::exclamation);
  }
  return started ? PlayerLaunch::started : PlayerLaunch::notStarted;
}

void PlacePlayerWindow(const DisplayState& d) {
  PlayerPosition p = PlayerWindowPosition(d);
  platform::MovePlayerWindow(playerWindowTitle, p.x, p.y, playerWindowSize, playerWindowSize);
}

bool ClickPlaysSelection(const Browser& browser, const Display& display,
                         const MouseLatches& latches) {
  if (latches.rightDown != 1 || !browser.browserMode.listActive()) return false;
  if (!browser.fileList.kinds || browser.fileList.selection == 0 ||
      !SelectionIsCurrent(browser.fileList))
    return false;
  if (browser.fileList.kinds[browser.fileList.selection] != entryFile) return false;
  std::int32_t id = PickIdUnderCursor(display);
  return pick::IsListRow(id) && id == pick::ListRowId(browser.fileList.selection);
}

After OpenExplorer(const Browser& browser) {
  char program[launchTextSize];
  char parameters[launchTextSize];
  FormatText(program, sizeof program, "%s", platform::PlatformConventions().explorerProgram);
  // The one word is the path, unquoted, spaces and all.
  FormatText(parameters, sizeof parameters, "%s", browser.browsedPath);
  const char* const words[] = {parameters};
  platform::RunProgram(program, words, 1);
  return {pauseAfter::oneShotKey};
}
