// The main window's place on the screen as the backend last learnt it, so that asking for it
// costs no round trip to the server. What the program asked for, what the server's
// ConfigureNotify events say and what a pointer query shows each come with the serial of a
// request; news older than what is known is passed over. Free of Xlib, so that it is tested
// alone.
#pragma once

#include "platform/platform.h"

namespace x11 {

class WindowGeometry {
 public:
  // The program made or moved the window with the request of that serial. Without a window
  // manager in the way the server does just that.
  void Requested(int left, int top, int width, int height, unsigned long serial) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    sizeSerial_ = originSerial_ = serial;
  }

  // A ConfigureNotify, whose serial is the last request the server had handled when it sent
  // it. Its size always holds; its corner only when it is on the root window's coordinates
  // (the window is not inside a window manager's frame, or the window manager sent it).
  void Configured(int left, int top, bool onRoot, int width, int height, unsigned long serial) {
    if (serial >= sizeSerial_) {
      width_ = width;
      height_ = height;
      sizeSerial_ = serial;
    }
    if (onRoot && serial >= originSerial_) {
      left_ = left;
      top_ = top;
      originSerial_ = serial;
    }
  }

  // A pointer query of that serial found the window's top-left corner there on the screen.
  void Seen(int left, int top, unsigned long serial) {
    if (serial < originSerial_) return;
    left_ = left;
    top_ = top;
    originSerial_ = serial;
  }

  platform::ScreenRect Rect() const { return {left_, top_, left_ + width_, top_ + height_}; }

 private:
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  unsigned long sizeSerial_ = 0;
  unsigned long originSerial_ = 0;
};

}  // namespace x11
