// Start-up and shutdown of the whole program.
#pragma once

struct Trove;

// Brings every subsystem into its initial state, in order, before the first pass.
void StartUp(Trove& trove);
// Releases the canvas images and the game tables, in order.
void ShutDown(Trove& trove);
// Points the entry points the backends call (input, window requests) at trove's state; nullptr
// drops whatever arrives.
void BindEntryPoints(Trove* trove);
