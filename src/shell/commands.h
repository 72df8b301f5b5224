// What the main loop does after each command, and the player's start, which the list's second
// click and the P key share.
#pragma once

#include "input/input.h"

struct Trove;

// What the main loop does once a command has acted: its pauses, taking the click it took, and
// placing the player's window over the browser's once the player's pause is over.
void FinishCommand(Trove& trove, const After& after);

// Starts the player on the selected entry (P, or a second click on its row) and asks for the
// pause the player needs to open its window, after which that window is placed.
After PlaySelected(Trove& trove);
// A second right click on the selected file row plays it and takes the click.
void PlayerClickCheck(Trove& trove);
