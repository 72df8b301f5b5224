// Start-up and shutdown of the whole program.
#pragma once

// Brings every subsystem into its initial state, in order, before the first pass.
void StartUp();
// Releases the canvas images and the game tables, in order.
void ShutDown();

// A block that start-up (or a display-mode change) needs could not be obtained: says which in
// a message box and ends the program with exit code 1.
[[noreturn]] void FailStartUpBlock(const char* what);

// The program from start-up to shutdown; returns the exit code.
int TroveMain();
