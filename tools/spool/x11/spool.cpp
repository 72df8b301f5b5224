// The Linux player: plays the file it is handed with GStreamer, the picture drawn into its own
// X11 window. The contract is the one the browser relies on: three arguments (rightful, the
// media path with '*' for spaces and %2A and %25 for its own '*' and '%', a number), the window
// title and mark, a window the browser can move and size. When SPOOL_LOG names a file it appends
// the words it received, joined by single blanks, to that file, one line per start; it writes
// nothing else.
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <gst/gst.h>
#include <gst/video/videooverlay.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../spool_args.h"
#include "player_text.h"

namespace {

constexpr const char* windowTitle = "Spool video and audio player";
// The mark of a player's window, which Trove and a later player look for with the title: the
// title alone could be any program's, and such a window is neither moved nor closed.
constexpr const char* playerMark = "_SPOOL_PLAYER";
constexpr int windowSize = 600;
constexpr gint64 seekStep = 5 * GST_SECOND;
// How long a failure stays on screen unless the window is closed first.
constexpr auto failureShown = std::chrono::seconds(5);
// How long a new player waits for the one it replaces to close its window.
constexpr auto replaceWait = std::chrono::seconds(2);
constexpr auto progressEvery = std::chrono::milliseconds(250);
// How long a file may take to show its first picture or sound. A damaged file can leave the
// media framework waiting for data that never comes, without an error: the player then fails
// rather than waits for ever.
constexpr auto startLimit = std::chrono::seconds(20);
constexpr const char* notRegular = "Not a media file: not a regular file";

static_assert(spool::coreMissingPlugin == GST_CORE_ERROR_MISSING_PLUGIN);
static_assert(spool::resourceNotFound == GST_RESOURCE_ERROR_NOT_FOUND);
static_assert(spool::resourceOpenRead == GST_RESOURCE_ERROR_OPEN_READ);
static_assert(spool::resourceRead == GST_RESOURCE_ERROR_READ);
static_assert(spool::resourceNotAuthorized == GST_RESOURCE_ERROR_NOT_AUTHORIZED);
static_assert(spool::streamFailed == GST_STREAM_ERROR_FAILED);
static_assert(spool::streamNotImplemented == GST_STREAM_ERROR_NOT_IMPLEMENTED);
static_assert(spool::streamTypeNotFound == GST_STREAM_ERROR_TYPE_NOT_FOUND);
static_assert(spool::streamWrongType == GST_STREAM_ERROR_WRONG_TYPE);
static_assert(spool::streamCodecNotFound == GST_STREAM_ERROR_CODEC_NOT_FOUND);
static_assert(spool::streamDecode == GST_STREAM_ERROR_DECODE);
static_assert(spool::streamDemux == GST_STREAM_ERROR_DEMUX);
static_assert(spool::streamFormat == GST_STREAM_ERROR_FORMAT);
static_assert(spool::streamDecrypt == GST_STREAM_ERROR_DECRYPT);
static_assert(spool::streamDecryptNoKey == GST_STREAM_ERROR_DECRYPT_NOKEY);

using Clock = std::chrono::steady_clock;

void AppendToLog(const std::string& line) {
  const char* name = std::getenv("SPOOL_LOG");
  if (!name || !*name) return;
  // Never through a link, and never waiting: a FIFO nobody reads is not opened, and a line
  // that cannot be written at once is dropped.
  int file = open(name, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0644);
  if (file < 0) return;
  std::string text = line + "\n";
  ssize_t written = write(file, text.data(), text.size());
  (void)written;
  close(file);
}

// Other programs' windows may vanish while they are looked at: such errors are expected.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// A player's window: the player's title and its mark, a process id as one CARDINAL.
bool IsPlayerWindow(Display* display, Window window, Atom mark) {
  char* name = nullptr;
  bool same = false;
  if (XFetchName(display, window, &name) && name) {
    same = std::strcmp(name, windowTitle) == 0;
    XFree(name);
  }
  if (!same) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  bool marked = false;
  if (XGetWindowProperty(display, window, mark, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    marked = type == XA_CARDINAL && format == 32 && count == 1;
    XFree(data);
  }
  return marked;
}

// Players' windows under parent; window managers put them a few levels down.
void FindPlayerWindows(Display* display, Window parent, Atom mark, int depth,
                       std::vector<Window>* found) {
  Window rootReturn = 0;
  Window parentReturn = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, parent, &rootReturn, &parentReturn, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) {
    if (IsPlayerWindow(display, children[i], mark)) {
      found->push_back(children[i]);
    } else if (depth < 3) {
      FindPlayerWindows(display, children[i], mark, depth + 1, found);
    }
  }
  if (children) XFree(children);
}

struct Placement {
  int x = 100;
  int y = 100;
  int width = windowSize;
  int height = windowSize;
};

// One player window at a time: an earlier player is asked to close as its window's close button
// would, and the new window takes its place. Returns where the earlier window was.
Placement ReplaceEarlierPlayers(Display* display, Window root, Atom mark, Atom protocols,
                                Atom deleteWindow) {
  Placement place;
  std::vector<Window> earlier;
  FindPlayerWindows(display, root, mark, 0, &earlier);
  for (std::size_t i = 0; i < earlier.size(); ++i) {
    XWindowAttributes attributes;
    Window child = 0;
    if (i == 0 && XGetWindowAttributes(display, earlier[i], &attributes) &&
        XTranslateCoordinates(display, earlier[i], root, 0, 0, &place.x, &place.y, &child)) {
      place.width = attributes.width;
      place.height = attributes.height;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = earlier[i];
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, earlier[i], False, NoEventMask, &event);
  }
  XFlush(display);
  const auto deadline = Clock::now() + replaceWait;
  while (!earlier.empty() && Clock::now() < deadline) {
    std::vector<Window> still;
    FindPlayerWindows(display, root, mark, 0, &still);
    if (still.empty()) break;
    usleep(20000);
  }
  return place;
}

// The audio output: the desktop's default, or a sink that keeps time and plays nowhere on a
// machine without a sound device.
GstElement* AudioSink() {
  GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
  if (sink && gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
    gst_element_set_state(sink, GST_STATE_NULL);
    return sink;
  }
  if (sink) {
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
  }
  sink = gst_element_factory_make("fakesink", nullptr);
  if (sink) g_object_set(sink, "sync", TRUE, nullptr);
  return sink;
}

// The picture's sink: the video extension's where the server has it, else plain images.
GstElement* VideoSink() {
  for (const char* name : {"xvimagesink", "ximagesink"}) {
    GstElement* sink = gst_element_factory_make(name, nullptr);
    if (!sink) continue;
    if (gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
      gst_element_set_state(sink, GST_STATE_NULL);
      // Scaled into the window as it is sized, the rest black.
      g_object_set(sink, "force-aspect-ratio", TRUE, nullptr);
      return sink;
    }
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
  }
  return nullptr;
}

spool::ErrorDomain DomainOf(const GError* error) {
  if (error->domain == GST_CORE_ERROR) return spool::ErrorDomain::core;
  if (error->domain == GST_LIBRARY_ERROR) return spool::ErrorDomain::library;
  if (error->domain == GST_RESOURCE_ERROR) return spool::ErrorDomain::resource;
  if (error->domain == GST_STREAM_ERROR) return spool::ErrorDomain::stream;
  return spool::ErrorDomain::other;
}

class Player {
 public:
  Player(Display* display, Window window, Atom deleteWindow)
      : display_(display), window_(window), deleteWindow_(deleteWindow) {
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    // Names are drawn through the font library, so a name in any script shows as written.
    const int screen = DefaultScreen(display_);
    font_ = XftFontOpenName(display_, screen, "sans-11");
    text_ = XftDrawCreate(display_, window_, DefaultVisual(display_, screen),
                          DefaultColormap(display_, screen));
  }
  ~Player() {
    Stop();
    if (text_) XftDrawDestroy(text_);
    if (font_) XftFontClose(display_, font_);
    XFreeGC(display_, gc_);
  }

  void Play(const std::string& path) {
    // A backslash is part of a Linux name: only '/' separates.
    name_ = std::string(spool::FileName(path, "/"));
    // Only plain files are played: a pipe or a device would be waited on forever. What is not
    // one is not even opened; the file is then opened without waiting and checked once more
    // by its descriptor, so that a file swapped for a pipe in between is refused as well.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      Fail(notRegular);
      return;
    }
    file_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file_ < 0) {
      const int why = errno;
      const int code = why == ENOENT || why == ENOTDIR ? spool::resourceNotFound
                       : why == EACCES || why == EPERM ? spool::resourceNotAuthorized
                                                       : spool::resourceOpenRead;
      Fail(spool::FailureLine(spool::ErrorDomain::resource, code, std::strerror(why)));
      return;
    }
    if (fstat(file_, &st) != 0 || !S_ISREG(st.st_mode)) {
      Fail(notRegular);
      return;
    }
    // GStreamer reads the open file through its /proc/self/fd link, which names the file this
    // descriptor holds, not whatever the path names by then. Its file source takes the link
    // like any file and reads it where it likes, so every demuxer seeks and knows the length;
    // its descriptor source (fd://) reads only in order, and Ogg then loses both.
    const std::string opened = "/proc/self/fd/" + std::to_string(file_);
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(opened.c_str(), &error);
    playbin_ = gst_element_factory_make("playbin", nullptr);
    if (!uri || !playbin_) {
      Fail(error ? spool::FailureLine(DomainOf(error), error->code, error->message)
                 : "Cannot play: the media framework's player is missing");
      if (error) g_error_free(error);
      g_free(uri);
      return;
    }
    g_object_set(playbin_, "uri", uri, nullptr);
    g_free(uri);
    if (GstElement* audio = AudioSink()) g_object_set(playbin_, "audio-sink", audio, nullptr);
    if (GstElement* video = VideoSink()) g_object_set(playbin_, "video-sink", video, nullptr);
    // The picture goes into this window; its events are this program's to handle.
    GstVideoOverlay* overlay = GST_VIDEO_OVERLAY(playbin_);
    gst_video_overlay_set_window_handle(overlay, static_cast<guintptr>(window_));
    gst_video_overlay_handle_events(overlay, FALSE);
    bus_ = gst_element_get_bus(playbin_);
    startedAt_ = Clock::now();
    if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
      TakeMessages();
      if (!failed_) Fail("Cannot play: the player could not start");
    }
  }

  // Shows why nothing plays instead of a picture; the window stays a while, then ends with 1.
  void ShowFailure(std::vector<std::string> lines) {
    failed_ = true;
    exitCode_ = 1;
    failedAt_ = Clock::now();
    lines_ = std::move(lines);
    for (const std::string& line : lines_) std::fprintf(stderr, "spool: %s\n", line.c_str());
    Paint();
  }

  // One pass: the window's events, then the player's messages, then the progress line.
  void Pump() {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      HandleEvent(event);
    }
    TakeMessages();
    if ((audioOnly_ && !failed_) && Clock::now() - paintedAt_ >= progressEvery) Paint();
    if (playbin_ && !streamsKnown_ && !failed_ && Clock::now() - startedAt_ >= startLimit) {
      Fail(spool::FailureLine(spool::ErrorDomain::stream, spool::streamDemux,
                              "nothing in it could be played"));
    }
    if (failed_ && Clock::now() - failedAt_ >= failureShown) running_ = false;
  }

  bool Running() const { return running_; }
  int ExitCode() const { return exitCode_; }

  void Stop() {
    if (playbin_) {
      gst_element_set_state(playbin_, GST_STATE_NULL);
      gst_object_unref(playbin_);
      playbin_ = nullptr;
    }
    if (bus_) {
      gst_object_unref(bus_);
      bus_ = nullptr;
    }
    if (file_ >= 0) {
      close(file_);
      file_ = -1;
    }
  }

 private:
  void Fail(const std::string& line) {
    Stop();
    ShowFailure({"Cannot play " + name_, line});
  }

  void HandleEvent(const XEvent& event) {
    if (event.type == Expose && event.xexpose.count == 0) {
      Paint();
    } else if (event.type == ConfigureNotify) {
      Paint();
    } else if (event.type == KeyPress) {
      XKeyEvent key = event.xkey;
      KeySym symbol = XLookupKeysym(&key, 0);
      if (symbol == XK_space) {
        TogglePause();
      } else if (symbol == XK_Left || symbol == XK_Right) {
        Seek(symbol == XK_Left ? -seekStep : seekStep);
      } else if (symbol == XK_Escape || symbol == XK_q) {
        running_ = false;
      }
    } else if (event.type == ClientMessage &&
               static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) {
      running_ = false;
    }
  }

  void TogglePause() {
    if (!playbin_ || failed_) return;
    paused_ = !paused_;
    gst_element_set_state(playbin_, paused_ ? GST_STATE_PAUSED : GST_STATE_PLAYING);
    Paint();
  }

  void Seek(gint64 step) {
    gint64 position = 0;
    if (!playbin_ || failed_ || !gst_element_query_position(playbin_, GST_FORMAT_TIME, &position)) {
      return;
    }
    gint64 target = position + step < 0 ? 0 : position + step;
    gint64 duration = 0;
    if (gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration) && target > duration) {
      target = duration;
    }
    gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                            target);
  }

  void TakeMessages() {
    while (bus_) {
      GstMessage* message = gst_bus_pop(bus_);
      if (!message) break;
      if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &error, &debug);
        std::string line = spool::FailureLine(DomainOf(error), error->code, error->message);
        g_error_free(error);
        g_free(debug);
        gst_message_unref(message);
        Fail(line);
        return;
      }
      if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        // A still picture (a video stream without a duration) ends as soon as it is shown: it
        // stays on screen until the window is closed. Anything that plays closes at its end.
        gint64 duration = -1;
        const bool still =
            streamsKnown_ && !audioOnly_ &&
            (!gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration) || duration <= 0);
        if (!still) running_ = false;
      } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STATE_CHANGED &&
                 GST_MESSAGE_SRC(message) == GST_OBJECT(playbin_) && !streamsKnown_) {
        GstState state = GST_STATE_NULL;
        gst_message_parse_state_changed(message, nullptr, &state, nullptr);
        if (state >= GST_STATE_PAUSED) {
          // Once prerolled the streams are known: without a picture the window says what plays.
          gint videos = 0;
          g_object_get(playbin_, "n-video", &videos, nullptr);
          streamsKnown_ = true;
          audioOnly_ = videos == 0;
          Paint();
        }
      }
      gst_message_unref(message);
    }
  }

  // The picture, or what the window says in its place.
  void Paint() {
    paintedAt_ = Clock::now();
    if (playbin_ && streamsKnown_ && !audioOnly_ && !failed_) {
      gst_video_overlay_expose(GST_VIDEO_OVERLAY(playbin_));
      return;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window_, &attributes)) return;
    std::vector<std::string> lines = lines_;
    if (!failed_) {
      lines = {name_};
      if (audioOnly_) {
        gint64 position = -1;
        gint64 duration = -1;
        gst_element_query_position(playbin_, GST_FORMAT_TIME, &position);
        gst_element_query_duration(playbin_, GST_FORMAT_TIME, &duration);
        lines.push_back(spool::ProgressLine(position, duration) + (paused_ ? "  (paused)" : ""));
      }
    }
    XSetForeground(display_, gc_, BlackPixel(display_, DefaultScreen(display_)));
    XFillRectangle(display_, window_, gc_, 0, 0, static_cast<unsigned>(attributes.width),
                   static_cast<unsigned>(attributes.height));
    const unsigned long rgb = failed_ ? 0xFFB0A0 : 0xE6E6E6;
    int y = attributes.height / 2 - static_cast<int>(lines.size()) * 9;
    XftColor colour;
    const XRenderColor wanted = {static_cast<unsigned short>((rgb >> 16) * 257),
                                 static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257),
                                 static_cast<unsigned short>((rgb & 0xFF) * 257), 0xFFFF};
    const int screen = DefaultScreen(display_);
    const bool drawn = font_ && text_ &&
                       XftColorAllocValue(display_, DefaultVisual(display_, screen),
                                          DefaultColormap(display_, screen), &wanted, &colour);
    XSetForeground(display_, gc_, rgb);
    for (const std::string& line : lines) {
      const std::string shown = spool::ValidUtf8(line);
      if (drawn) {
        XftDrawStringUtf8(text_, &colour, font_, 16, y,
                          reinterpret_cast<const FcChar8*>(shown.c_str()),
                          static_cast<int>(shown.size()));
      } else {
        XDrawString(display_, window_, gc_, 16, y, line.c_str(), static_cast<int>(line.size()));
      }
      y += 18;
    }
    if (drawn) {
      XftColorFree(display_, DefaultVisual(display_, screen), DefaultColormap(display_, screen),
                   &colour);
    }
    XFlush(display_);
  }

  Display* display_;
  Window window_;
  Atom deleteWindow_;
  GC gc_;
  XftFont* font_ = nullptr;
  XftDraw* text_ = nullptr;
  GstElement* playbin_ = nullptr;
  GstBus* bus_ = nullptr;
  int file_ = -1;  // the media file, open while it plays
  std::string name_;
  std::vector<std::string> lines_;
  bool running_ = true;
  bool paused_ = false;
  bool streamsKnown_ = false;
  bool audioOnly_ = false;
  bool failed_ = false;
  int exitCode_ = 0;
  Clock::time_point failedAt_;
  Clock::time_point startedAt_;
  Clock::time_point paintedAt_;
};

Window OpenWindow(Display* display, const Placement& place, Atom mark, Atom deleteWindow) {
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(
      display, RootWindow(display, screen), place.x, place.y, static_cast<unsigned>(place.width),
      static_cast<unsigned>(place.height), 0, 0, BlackPixel(display, screen));
  XStoreName(display, window, windowTitle);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(windowTitle),
                  static_cast<int>(std::strlen(windowTitle)));
  long pid = static_cast<long>(getpid());
  XChangeProperty(display, window, mark, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  long hints[5] = {2, 0, 0, 0, 0};  // Motif hints: no decorations
  Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(hints), 5);
  Atom protocols[1] = {deleteWindow};
  XSetWMProtocols(display, window, protocols, 1);
  XSelectInput(display, window, ExposureMask | KeyPressMask | StructureNotifyMask);
  XMapRaised(display, window);
  XFlush(display);
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  AppendToLog(line);
  // The three words are the three arguments, each read whole: a blank, a tab or a newline in
  // the media path is part of it, never a break between words.
  const spool::PlayRequest request =
      argc == 4 ? spool::PlayRequestOf(argv[1], argv[2], argv[3], spool::MediaWord::escaped)
                : spool::PlayRequest{};

  // The media framework's sinks talk to the server from threads of their own.
  XInitThreads();
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    const char* name = XDisplayName(nullptr);
    if (name[0] == '\0') {
      std::fprintf(stderr, "spool: cannot open a display: DISPLAY is not set\n");
    } else {
      std::fprintf(stderr, "spool: cannot open the display \"%s\"\n", name);
    }
    return 1;
  }
  XSetErrorHandler(IgnoreXError);
  Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Atom mark = XInternAtom(display, playerMark, False);
  Placement place =
      ReplaceEarlierPlayers(display, DefaultRootWindow(display), mark, protocols, deleteWindow);
  Window window = OpenWindow(display, place, mark, deleteWindow);

  gst_init(nullptr, nullptr);
  int code = 0;
  {
    Player player(display, window, deleteWindow);
    if (request.wellFormed) {
      player.Play(request.mediaPath);
    } else {
      player.ShowFailure({"The parameters are malformed:", "\"" + line + "\"",
                          "Expected: rightful <media path, spaces written as *,",
                          "its own * and % as %2A and %25> <number>"});
    }
    pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    while (player.Running()) {
      XFlush(display);
      poll(&connection, 1, 50);
      player.Pump();
    }
    player.Stop();
    code = player.ExitCode();
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return code;
}
