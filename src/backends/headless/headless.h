// The headless backend: a scripted stand-in for the operating system in native tests and
// benchmarks. Tests set the screen, cursor and window, queue input that is delivered through
// the same hook entry points the real hooks use, and read back what the program did. Files and
// pictures are the POSIX layer's, serving the Windows or the Linux program's conventions.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

struct MessageBoxCall {
  std::string text;
  std::string caption;
  platform::MessageIcon icon;
};

struct WindowCreation {
  std::string title;
  int width;
  int height;
  int colourDepth;
};

struct WindowMove {
  std::string title;  // empty for the main window
  int x, y, width, height;
};

struct ProgramRun {
  std::string file;
  std::vector<std::string> words;
  std::string currentDirectory;
};

struct TextureUpload {
  unsigned name;
  int width;
  int height;
  const std::uint8_t* pixels;
};

struct CommandLineText {
  std::string text;
  platform::TextStream stream;
};

// Thrown by ExitProgram so that a test can observe the exit code.
struct ProgramExit {
  int exitCode;
};

struct State {
  // Set by tests.
  int screenWidth = 1920;
  int screenHeight = 1080;
  int displayScale = 1;
  platform::ScreenPoint cursor;
  platform::WindowFailure failCreationAt = platform::WindowFailure::none;
  unsigned failReleases = 0;
  std::vector<std::string> playerWindowTitles;  // windows that MovePlayerWindow can find
  bool programsStart = true;                    // RunProgram's result
  // The system stood for: the Windows program's (paths, names, listings in the file system's
  // order, URL names read as paths) unless a test chooses the Linux program's.
  bool posixConventions = false;
  bool narrowCodePage = false;  // DisplayText shows every non-ASCII character as '?'
  // DrawCharacter has every character but those of the private use area (with the Linux
  // program's conventions); without desktop fonts it has none.
  bool desktopFonts = true;
  // The program's own folders as DataFolder gives them; an empty one cannot be found, like
  // the folders of a program whose executable's place cannot be read.
  std::string assetFolder;
  std::string playerFolder;
  bool foldersFound = true;   // false: the folders above were looked for in vain
  bool reportWanted = false;  // TROVE_REPORT names a file

  // Events delivered one per PumpOneMessage call (each acts like one message).
  std::deque<std::function<void(Input&, WindowRequests&)>> pendingMessages;
  // Called at the start of every pass's first PumpOneMessage (tests script passes with it).
  std::function<void()> onPump;
  bool pumpStarted = false;  // this pass has pumped once already

  // Recorded.
  std::vector<std::string> calls;  // every seam call by name, in order
  std::vector<int> pauses;
  std::vector<int> inputWaits;           // timeouts of WaitForInput, in order
  std::vector<std::string> reportLines;  // what WriteReportLine wrote
  std::vector<MessageBoxCall> messageBoxes;
  std::vector<CommandLineText> commandLineTexts;
  std::vector<WindowCreation> windowsCreated;
  std::vector<WindowMove> moves;
  std::vector<ProgramRun> programsRun;
  std::vector<TextureUpload> uploads;
  int windowsReleased = 0;
  int cursorHides = 0;
  int presents = 0;
  int glClears = 0;
  bool windowOpen = false;
  platform::ScreenRect windowRect;
  unsigned nextTextureName = 1;
  std::vector<std::vector<std::uint8_t>> presentedFrames;  // kept when keepFrames is set
  bool keepFrames = false;
  bool hooksInstalled[2] = {false, false};  // mouse, keyboard
  bool desktopInput = false;                // TakeDesktopInput was called
  bool hookFails[2] = {false, false};       // the hook cannot be installed
};

State& state();

// Back to a fresh state (screen 1920 x 1080, cursor at 0, 0, nothing recorded).
void Reset();

// Queue input exactly as the hooks would deliver it during message pumping.
void QueueKeyDown(int virtualKey);
void QueueRightClick();
void QueueCloseRequest();

// Sum of all recorded pauses.
int TotalPause();

}  // namespace headless
