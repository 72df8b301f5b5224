// The browser's views, each a module of its own (its drawing, its clicks, its overlay), chosen
// from one table by the view showing: the main loop dispatches through it rather than asking
// which view shows.
#pragma once

#include "input/input.h"

struct Trove;
struct Display;

struct ViewModule {
  // The view's drawing of the pass, after the thumbnail page's own step.
  void (*draw)(Trove& trove);
  // A latched right click on what the view drew, before the keys of the pass.
  After (*click)(Trove& trove);
  // The overlay's buttons: "THUMBNAILS", "BRACKETL" and "BRACKETR"; and "CENTERCENTER".
  bool pageButtons;
  bool centreButton;
  // The overlay's lines below the build title.
  void (*drawLines)(const Trove& trove, Display& display);
  // A right click still latched at the overlay's step: on a button, on empty canvas, anywhere.
  After (*overlayClick)(Trove& trove);
};

// The module of the view the browser shows now.
const ViewModule& ShownView(const Trove& trove);
