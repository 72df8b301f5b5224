// Handing files to the player and opening the file explorer.
#pragma once

#include <array>

#include "browser/browser.h"
#include "display/display.h"
#include "input/input.h"

// Each text handed to another program is built in a buffer of this many characters: room for
// the longest path, a name and the parameter words.
constexpr int launchTextSize = pathBufferSize + nameSlotSize + 32;
// The player's window, found by its exact title and moved over the browser's.
constexpr const char* playerWindowTitle = "Spool video and audio player";
constexpr int playerWindowSize = 600;

// The texts that start the player on one file.
struct PlayerTexts {
  // Browsed path, separator, name; spaces turned into '*', and where the platform escapes
  // the media path a '%' or '*' of its own written %25 or %2A.
  char mediaPath[launchTextSize];
  char executable[launchTextSize];  // the player in its data folder
};

// Builds the player's texts for the entry name in the browsed directory, with the player in
// playerFolder. False, with nothing usable in texts, when any of them would not fit its buffer,
// or when the player's words would not fit one as a parameter line (" rightful <media path> 0 ").
bool BuildPlayerTexts(const char* browsed, const char* name, const char* playerFolder,
                      PlayerTexts* texts);
// The player's argument words for texts: "rightful", the media path and "0".
std::array<const char*, 3> PlayerWords(const PlayerTexts& texts);

struct PlayerPosition {
  int x = 0;
  int y = 0;
};

// Where the player's window goes (screen pixels) for the display state.
PlayerPosition PlayerWindowPosition(const DisplayState& d);

// What starting the player came to.
enum class PlayerLaunch {
  started,
  nothingToPlay,  // the selection names no entry of the current scan, or a text would not fit
  notStarted,     // the player is missing or the system could not start it: the user is told
};

// Starts the player of the program's data folder on the selected entry, with the start
// directory current. A player that is missing or does not start is reported in a message box
// naming it.
PlayerLaunch LaunchPlayer(const Browser& browser);
void PlacePlayerWindow(const DisplayState& d);
// The right click latched is a second click on the selected file row: it plays that file.
bool ClickPlaysSelection(const Browser& browser, const Display& display,
                         const MouseLatches& latches);
// Opens the system's file explorer on the browsed path.
After OpenExplorer(const Browser& browser);
