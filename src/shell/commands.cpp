// Finishing commands, and starting the player on the selected entry.
#include "shell/commands.h"

#include "browser/launch.h"
#include "browser/thumbnail_page.h"
#include "input/pauses.h"
#include "shell/trove.h"

void FinishCommand(Trove& trove, const After& after) {
  if (after.pauseMs > 0) {
    BeginPageDecodes(trove.browser, trove.display.displayState, trove.pictures);
  }
  Finish(after, trove.input.mouseLatches);
  if (after.placesPlayer) PlacePlayerWindow(trove.display.displayState);
}

After PlaySelected(Trove& trove) {
  if (LaunchPlayer(trove.browser) == PlayerLaunch::nothingToPlay) return {};
  // The player needs a moment to open its window before it is looked for. A player window
  // already open is placed over the browser even when this start failed.
  After after{pauseAfter::playerStart};
  after.placesPlayer = true;
  return after;
}

void PlayerClickCheck(Trove& trove) {
  if (!ClickPlaysSelection(trove.browser, trove.display, trove.input.mouseLatches)) return;
  FinishCommand(trove, Then(PlaySelected(trove), {0, true}));
}
