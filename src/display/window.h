// The main window with its GL context: opening, closing and GL set-up. The window's messages
// are pumped by the main loop (platform::PumpOneMessage), which reads the requests below.
#pragma once

struct DisplayState;
struct GameTextures;

// Opens the window titled "GAME" for the canvas size and zoom of d, hides the cursor. Every GL
// set-up uploads the cube pictures of textures to the new context.
bool OpenMainWindow(GameTextures& textures, const DisplayState& d);
bool OpenGlWindow(GameTextures& textures, const char* title, int width, int height, int colourBits);
// Releases everything OpenGlWindow acquired; reports each failing release.
void CloseGlWindow();
// The fixed viewport and projection of every window, whatever its size: the frame blit does
// not depend on them.
void SetupProjection();
bool InitGlState(GameTextures& textures);

// What the window system asked of the program; the main loop reads it after pumping.
struct WindowRequests {
  bool closeRequested = false;
};
