// Start-up and shutdown of the whole program.
#pragma once

struct Trove;

// Brings every subsystem into its initial state, in order, before the first pass.
void StartUp(Trove& trove);
// Opens the file of the start directory named on the command line, as the user would reach
// it: a picture is shown on its own, from the thumbnail page that holds it; anything else is
// selected in the list. A name the list does not hold leaves the list as start-up left it.
void OpenStartFile(Trove& trove, const char* name);
// Releases the canvas images and the game tables, in order.
void ShutDown(Trove& trove);
