// What becomes of each X error: caught by the trap set around the requests that may fail, or
// reported on standard error, once for each kind. Free of Xlib, so that it is tested alone.
#pragma once

#include <set>
#include <tuple>

namespace x11 {

class ErrorLog {
 public:
  enum class Fate {
    trapped,   // a request made under the trap failed: its caller learns of it
    reported,  // the first error of its kind: say so
    repeated,  // an error of a kind already reported: say nothing more
  };

  // A trap catches the errors of the requests from serial `from` on while it is set.
  struct Trap {
    bool set = false;
    unsigned long from = 0;
    bool caught = false;
  };

  // Sets a trap from the request serial on; returns the trap it replaces, for RestoreTrap.
  Trap SetTrap(unsigned long from) {
    Trap previous = trap_;
    trap_ = Trap{true, from, false};
    return previous;
  }
  void RestoreTrap(const Trap& previous) { trap_ = previous; }
  // Whether the trap set now has caught an error.
  bool Caught() const { return trap_.caught; }

  // The fate of an error of the request with that serial, by its error code and the failed
  // request's major and minor codes.
  Fate Take(unsigned long serial, int error, int major, int minor) {
    // An error of a request made before the trap was set is not the trapped requests' failure.
    if (trap_.set && serial >= trap_.from) {
      trap_.caught = true;
      return Fate::trapped;
    }
    return reported_.insert({error, major, minor}).second ? Fate::reported : Fate::repeated;
  }

 private:
  Trap trap_;
  std::set<std::tuple<int, int, int>> reported_;
};

}  // namespace x11
