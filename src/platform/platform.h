// The seam between Trove's core and the operating system: free functions over plain types.
//
// The core (everything under src/ except src/platform) calls only these functions for
// windows, OpenGL, input hooks, files, pictures, programs and pauses. Each executable links
// exactly one backend: win32 (the Windows program), x11 over the POSIX layer (the Linux
// program) and headless (unit tests, benchmarks), which stands in for either system.
// Where a system cannot serve a function, the function says what the backend answers and what
// the core then does.
// Backends hand input and window events back to the core inside the pump step, through the
// entry points declared in input/input_events.h and display/window_events.h, never by writing
// other core state.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/picture_header.h"

// What a pump step fills: the core's key table and right-button latch (input/input.h), and the
// main window's requests (display/window.h). Only their names are known here.
struct Input;
struct WindowRequests;

namespace platform {

// ---- Screen, cursor and windows -------------------------------------------------------------

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Size of the primary screen in pixels.
int ScreenWidth();
int ScreenHeight();

// How many screen pixels the desktop gives one pixel of a 96-dpi screen: 2 where it says 144 dpi
// or more (the Linux program reads Xft.dpi, else the screen's size in millimetres), else 1. The
// Windows program answers 1.
int DisplayScale();

// The steps of making the GL window, in order, naming the one that failed; the core tells the
// user in its own words. A backend reports only the steps its system has.
enum class WindowFailure {
  none,
  registerWindowKind,  // making known the kind of window the main window is (a window class)
  createWindow,        // the window itself
  getDrawingSurface,   // the surface GL draws on in the window (a device context)
  findPixelFormat,     // a pixel format (or visual) the display offers for the request
  applyPixelFormat,    // giving the drawing surface that format
  createContext,       // the GL context
  activateContext,     // making it current
};

// Makes the borderless main window at the screen's top-left corner with the given inner size,
// its pixel format (colourDepth bits of colour, 16 depth bits, double-buffered RGBA; a backend
// that cannot ask for an exact depth takes the deepest the display offers), a current GL
// context, shows the window and gives it the focus. Stops at the first failing step and reports
// it; what was made before that step stays until ReleaseGlWindow.
WindowFailure CreateGlWindow(const char* title, int width, int height, int colourDepth);

// Failures of the release steps of ReleaseGlWindow, as bits, in release order; a backend reports
// only the steps its system has.
enum ReleaseFailure : unsigned {
  releaseContextCurrent = 1u << 0,  // making no context current
  releaseContextDelete = 1u << 1,   // deleting the GL context
  releaseDrawingSurface = 1u << 2,  // giving back the window's drawing surface
  releaseWindow = 1u << 3,          // destroying the window
  releaseWindowKind = 1u << 4,      // forgetting the kind of window again
};

// Releases whatever CreateGlWindow made; safe after a partial creation or twice.
unsigned ReleaseGlWindow();

enum class MessageIcon { exclamation, information };
void ShowMessageBox(const char* text, const char* caption, MessageIcon icon);

// Hides the system's cursor over the main window; nothing shows it again. The calls count: each
// one hides it once more (on Windows, one decrement of the cursor's display count).
void HideSystemCursor();

// Handles one pending message of the thread; false when the queue was empty. The input it
// carries is latched into input and a close request raised in window, through the core's entry
// points (input/input_events.h, display/window_events.h): the pump step is the one way input
// reaches the core.
bool PumpOneMessage(Input& input, WindowRequests& window);

// Moves and resizes the main window (screen pixels) and has it repainted. A window manager may
// place it otherwise; the core maps the cursor against where the window really is
// (MainWindowRect) and places the player by the position it asked for.
void MoveMainWindow(int x, int y, int width, int height);

// The cursor's place on the screen, and the main window's rectangle there.
ScreenPoint CursorPosition();
ScreenRect MainWindowRect();

// Finds the player's top-level window and moves it; false when there is none. On Windows it is
// the window of that exact title. The Linux player also marks its window with a property of its
// own, and only a window with that title and that mark is taken: a window of another program
// with the same title is left where it is. A backend whose system does not let one program
// place another's window answers false as well; the core goes on, and the player stays where
// its system put it.
bool MovePlayerWindow(const char* title, int x, int y, int width, int height);

// ---- OpenGL -----------------------------------------------------------------------------------

// Viewport and perspective projection, then identity model-view.
void GlSetupProjection(int viewportWidth, int viewportHeight, double fovY, double aspect,
                       double zNear, double zFar);
// The fixed GL state of a new context (texturing, shading, clear values, depth test, hints,
// culling and lighting off, current colour, blend function).
void GlInitState();
// Clears the GL colour and depth buffers and loads the identity model-view matrix.
void GlClearBuffers();
// Blits an RGBA image (row 0 at the bottom) at the window's lower-left corner with the given
// pixel zoom (applied only for zoom 1 to 5) and swaps the buffers.
void GlPresent(const std::uint8_t* rgba, int width, int height, int zoom);

// One texture image for UploadTextures: RGB bytes, rows unpadded, or null for no data.
struct TextureImage {
  const std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};
// Blending off, 2D texturing on; generates nameCount names into names, then uploads
// images[i] into names[i] with nearest filters, internal format 3, GL_RGB bytes.
void GlUploadTextures(const TextureImage* images, int imageCount, unsigned* names, int nameCount);

// ---- Input hooks ------------------------------------------------------------------------------

// Where keys and buttons come from. The Windows program takes them from the whole desktop with
// low-level hooks, always. The Linux program takes them from its own window, while it has the
// keyboard focus and where the pointer presses; after this call (the --global-input option),
// from the whole desktop as XInput2 raw events on the root window, without the keys only the
// Linux program has (key::IsDesktopKey), which would act while the user types elsewhere. Called
// before the hooks are installed; the Windows backend ignores it.
void TakeDesktopInput();

// Global input: key-downs and right-button presses anywhere on the desktop, whichever program
// has the focus, latched by the pump step. False when the backend cannot have them (an X server
// without XInput2, a system that keeps other programs' input from this one); the core then
// tells the user which hook failed and ends the program, which could be neither steered nor
// ended without them.
bool InstallMouseHook();
bool InstallKeyboardHook();

// ---- Time ---------------------------------------------------------------------------------------

// Blocks the main thread (no messages pumped meanwhile).
void Pause(int milliseconds);

// Blocks the main thread until input or a window message is waiting for the thread (the
// hooks' events included), or until timeoutMs have passed; returns at once when something is
// already waiting. Backends may return sooner, never later than one display refresh.
void WaitForInput(int timeoutMs);

// ---- Process ----------------------------------------------------------------------------------

// Ends the program at once with the exit code (start-up failures only).
[[noreturn]] void ExitProgram(int exitCode);

// Ends the process at once with the exit code while threads of it may still be decoding: they
// end wherever they are, and nothing else of a process's usual end runs (no library's detach
// code, no static destructor), so that nothing waits for a lock such a thread held. For the
// program's end after ShutDown, when decodes that cannot be stopped are still under way.
[[noreturn]] void EndBesideDecodes(int exitCode);

// Starts a program with its argument words (wordCount of them, each handed over whole); false
// if it did not start. file is a path, or a bare name the system looks up the way its shell
// would (never in the current directory on POSIX). The core does not wait for the program.
// Where the system hands a program one parameter line (Windows), the backend writes the words
// into it by its own rule.
bool RunProgram(const char* file, const char* const* words, std::size_t wordCount);

// ---- What the program has done, for a program driving it ---------------------------------------

// Whether the environment variable TROVE_REPORT names a file to report to. Without it nothing is
// opened or written, and callers build no line.
bool ReportWanted();

// Appends one line (given without its line end) to that file, written through at once so that
// the program driving Trove reads it as soon as it is there. The main thread only.
void WriteReportLine(const char* line);

// ---- The command line ---------------------------------------------------------------------------

// Where a text about the program's command line goes.
enum class TextStream { output, error };

// Gives the person who started the program a text about its command line (the usage, the
// version, a start directory that cannot be browsed) before any window exists: on standard
// output or standard error. The Windows program, which often has neither, also shows every
// error, and any text it could not write, in a message box. The text is UTF-8.
void WriteCommandLineText(const char* text, TextStream stream);

// ---- The program's own files --------------------------------------------------------------------

// What the program reads of its own, beside the files it browses.
enum class DataFolderKind {
  assets,  // the folder holding the game's asset folders (bmp_unit, bmp_cube, ...)
  player,  // the folder holding the player program
};

// The folder of the program's own files of that kind: an absolute path without a trailing
// separator, found from where the executable itself lies, never from the current directory.
// In a program folder (dist/, dist-linux/) both are the executable's own folder; an installed
// Linux program (<prefix>/bin/trove) finds its assets in <prefix>/share/trove and its player in
// <prefix>/lib/trove. False when the folder cannot be found or does not fit size bytes, with ""
// in buffer, or, where the backend knows where it looked in vain, that folder: to name in a
// message, never to read from.
bool DataFolder(DataFolderKind kind, char* buffer, std::size_t size);

// ---- Paths and program names ------------------------------------------------------------------

// How the platform writes the paths and program names the core builds. Each system defines its
// conventions once (win32_conventions.h, posix_system.h); the headless backend takes either.
struct Conventions {
  char pathSeparator;           // between path components: '\\' on Windows, '/' on POSIX
  std::size_t rootLength;       // a path this short is a root; going up leaves it ("C:", "/")
  std::size_t rootSeparator;    // the root's separator: going up never cuts back past it
  const char* playerProgram;    // the player's executable in its data folder
  const char* explorerProgram;  // opens a directory in the platform's file explorer
  // A name may hold '*' itself (POSIX): the media path handed to the player writes a '*' and a
  // '%' of its own as %2A and %25, so that every '*' the player reads is a space.
  bool escapesMediaPath;
  // The Linux program's own desktop ways: the keys and buttons Linux users reach for (key::
  // IsDesktopKey), a large picture opened fitted to the canvas, and the next and previous
  // picture from the picture view. The Windows program keeps its keys and views as they are.
  bool desktopWays;
  // Names and paths are shown as UTF-8, every character drawn (those the bitmap font lacks by
  // DrawCharacter) and cut by characters. Otherwise (Windows) they are shown in the system code
  // page, a character a byte, those above 127 as the bitmap font's blank glyph.
  bool showsUtf8;
  // The most entries a directory lists; a directory holding more shows its first ones.
  int mostEntries;
};
const Conventions& PlatformConventions();

// ---- Characters beyond the bitmap font --------------------------------------------------------

// A character drawn for the text renderer, placed in the bitmap font's glyph box (base/font.h):
// coverage from 0 (no ink) to 255 (full ink) per pixel, width bytes a row, rows top to bottom.
constexpr int glyphImageSide = 16;
struct GlyphImage {
  int advance = 0;  // pen advance in pixels, the gap before the next character included
  int left = 0;     // columns from the pen to the image's first column
  int top = 1;      // glyph-box row of the image's first row: 1 is the box's top row
  int width = 0;    // at most glyphImageSide
  int height = 0;   // rows top .. top + height - 1 all lie within the box's rows 1 to 9
  std::uint8_t coverage[glyphImageSide * glyphImageSide] = {};
};

// Draws a character (a Unicode code point) from the desktop's fonts at the bitmap font's size:
// letters as tall as its capitals, standing on its baseline, wide characters as wide as they
// are. False when no font has the character, and always where names are shown in the code page
// (showsUtf8 false).
bool DrawCharacter(char32_t codePoint, GlyphImage* glyph);

// ---- Files and directories --------------------------------------------------------------------

// Paths and names are UTF-8 strings, whatever the system's code page: the Windows backend
// lists, opens, enters and starts by the UTF-16 names the file system really holds, so a name
// outside the code page arrives whole and works like any other. The POSIX backends read a
// relative path written the Windows way (".\bmp_unit\x.bmp", as the asset catalogue writes
// them) with slashes where no name of that path holds the backslash itself.
//
// The longest name and path either system takes, in bytes of UTF-8 without the terminator:
// POSIX file systems take 255-byte names and 4,096-byte paths (terminator included); Windows
// takes 255 UTF-16 units a name and 260 a path (terminator included), each unit at most three
// bytes of UTF-8. Buffers of these sizes hold every name and path a backend hands over; what
// is longer than the system itself allows is refused by the system, never cut.
constexpr std::size_t longestName = 255 * 3;
constexpr std::size_t longestPath = 4095;

// False (and "" in buffer) when the current directory is gone or does not fit size bytes.
bool GetCurrentDir(char* buffer, std::size_t size);
bool SetCurrentDir(const char* path);

// A name or path as the program shows it, in shown (room bytes, always terminated). On Windows
// that is the system code page's form, as the narrow file functions give names: a character the
// code page cannot hold becomes '?'. Elsewhere it is the text itself.
void DisplayText(const char* text, char* shown, std::size_t room);

// What a directory listing says of one of its names.
struct DirectoryEntry {
  // A directory to enter, whatever else the system says of it (read-only, hidden, system, a
  // reparse point, a symbolic link to a directory). A name whose kind cannot be read is a file.
  bool isDirectory = false;
  // Hidden from the user's usual view: a name starting with a dot (other than "." and "..") on
  // POSIX, the hidden attribute on Windows.
  bool hidden = false;
};

struct DirectoryListing;  // opaque
// Lists the current directory; null when it cannot be listed. A directory that holds nothing
// at all (an empty drive root on Windows) gives a listing without entries.
DirectoryListing* ListCurrentDirectory();
// The next entry: its name into name (a buffer of nameSize characters) and what it is into
// entry, as the system says of the name relative to the current directory; a null entry asks
// for the name alone. False when the listing has no more. Every name fits a buffer of
// longestName + 1; a name that does not fit a smaller one is passed over on Windows and cut by
// the POSIX backends.
bool NextEntry(DirectoryListing* listing, char* name, std::size_t nameSize, DirectoryEntry* entry);
void CloseListing(DirectoryListing* listing);

// Entries of a listing taken all at once: the names back to back, each with its terminator, and
// per entry, in the listing's order from index 1 on, where its name starts in text and whether
// it is a directory (as NextEntry says). Index 0 holds no entry, so that a list counting its
// entries from 1 can take the vectors over as they are.
struct ListedEntries {
  std::vector<char> text;
  std::vector<std::size_t> starts;
  std::vector<std::uint8_t> directories;
};
// Takes the listing's next entries, at most most of them, into entries (replacing what they
// held); NextEntry goes on after them. False, having taken nothing, where the listing hands its
// entries over one at a time only (Windows) or has handed some over already.
bool TakeEntries(DirectoryListing* listing, std::size_t most, ListedEntries* entries);

// What a path names.
enum class PathKind {
  missing,  // nothing, or nothing whose kind can be read
  file,
  directory,
};
// What a path relative to the current directory names.
PathKind KindOfPath(const char* path);

// The name a directory listing gives the file at path (relative to the current directory),
// where the system also finds files by other names: on Windows, whatever the case of the name
// given and by the short 8.3 name as well. False where the name given is the only one (POSIX)
// or nothing is found; the name given then stands.
bool ListedNameOf(const char* path, char* name, std::size_t size);

// Why the system cannot list path as a directory, in its own words ("Permission denied", a
// symbolic link loop, a stale mount), in text (room bytes, always terminated). False, with ""
// in text, when it can be listed or the system only says that nothing of that name exists.
bool DirectoryProblem(const char* path, char* text, std::size_t room);

// Size in bytes and last-write time (in the backend's own ticks) of a file; false when the
// path names no readable file.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t writeTime = 0;
};
bool ReadFileStamp(const char* path, FileStamp* stamp);

struct ReadFile;  // opaque
// Opens an existing file for reading only; never creates one. Null when it cannot be opened.
ReadFile* OpenForReading(const char* path);
// Reads up to size bytes; returns how many arrived.
std::size_t ReadBytes(ReadFile* file, void* buffer, std::size_t size);
void CloseFile(ReadFile* file);

// ---- Pictures ---------------------------------------------------------------------------------

// A file-name extension (without its '.', in lower case; names match it in any case) whose
// files the platform decodes, and the format they are.
struct PictureExtension {
  const char* extension;
  PictureFormat format;
};
// Every extension DecodePicture takes: the Windows loader's BMP and JPEG, the native decoders'
// formats (backends/posix/picture_decoder.cpp). The core offers a file to the decoder by it.
std::span<const PictureExtension> DecodedPictureExtensions();

// A decoded picture as the platform hands it over: width x height pixels of 4 bytes each,
// blue, green, red and a fourth byte, rows bottom to top, no padding. The colour is shown over
// black; the fourth byte, where the backend gives it (the native decoders), is the pixel's
// opacity (255 for an opaque one, 0 where only what lies behind shows). The core converts the
// pixels in place and then releases the picture.
struct DecodedPicture {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  void* backend = nullptr;  // the backend's own objects for this decode
  // The picture's own size where the decoder handed it over reduced (RowSelection::cover);
  // 0 x 0 when width x height is its own size.
  int fullWidth = 0;
  int fullHeight = 0;
};

// Decodes the picture file (or URL) at path, of a format DecodedPictureExtensions names. Before
// allocating anything for the pixels it asks mayDecode(width, height); when that says no, nothing
// is decoded. Returns false on any failure; on success the caller must call ReleasePicture.
bool DecodePicture(const char* path, bool (*mayDecode)(int width, int height),
                   DecodedPicture* picture);
void ReleasePicture(DecodedPicture* picture);

// The rows of a picture a caller will read, for decoders that can leave the others out.
// select(context, width, height, wanted) sets wanted[y] (row 0 at the bottom, height entries,
// all 0 when called) to 1 for every row that is read.
// abandoned, when given, is read while the decode runs: once it is set the decode stops and
// fails (decoders that cannot stop finish as usual).
struct RowSelection {
  void (*select)(const void* context, int width, int height, std::uint8_t* wanted) = nullptr;
  const void* context = nullptr;
  const std::atomic<bool>* abandoned = nullptr;
  // When given, the smallest picture the caller can use of a width x height one: decoders that
  // decode at reduced scales (a JPEG at 1/2, 1/4 or 1/8) may hand over the smallest reduction
  // still at least coverWidth x coverHeight, with the picture's own size in fullWidth x
  // fullHeight. The rows are then all decoded, whatever select says.
  void (*cover)(const void* context, int width, int height, int* coverWidth,
                int* coverHeight) = nullptr;
};
// DecodePicture for a caller that reads only the selected rows: the bytes of the other rows
// are unspecified. Decoders that cannot skip rows decode them all.
bool DecodePictureRows(const char* path, bool (*mayDecode)(int width, int height),
                       const RowSelection& rows, DecodedPicture* picture);

// ---- Animations ---------------------------------------------------------------------------------

// An animated picture read one frame at a time, each composed on one canvas of the size the
// file declares. Backends without animations open none.
struct AnimationReader;  // opaque
// The animation at path (an animated GIF or WebP file on the Linux program); nullptr when it is
// none, cannot be read, or mayDecode(width, height) refuses its canvas.
AnimationReader* OpenAnimation(const char* path, bool (*mayDecode)(int width, int height));
// The next frame, as DecodePicture hands a picture over, and how long it shows (a delay of 10 ms
// or less counts as 100 ms); after the last frame the first again, as often as the file says.
// false once the animation has ended, on damage, when it turns out to have a single frame, or
// once abandoned is set.
bool NextAnimationFrame(AnimationReader* reader, const std::atomic<bool>* abandoned,
                        DecodedPicture* frame, int* delayMs);
void CloseAnimation(AnimationReader* reader);

// ---- Threads ------------------------------------------------------------------------------------

// Called by every thread other than the main thread that decodes pictures, before its first
// decode and after its last: whatever the platform's loader needs per thread (on Windows the
// thread's own COM apartment). A background thread (decoding ahead of the user) also runs
// below normal priority, so that it never holds up the program's own work.
void BeginDecodeThread(bool background);
void EndDecodeThread();

// An abandoned decode stops within a row of blocks (the native decoders), rather than running
// to its end (the OLE loader, which renders whole pictures).
bool AbandonedDecodesStop();

}  // namespace platform
