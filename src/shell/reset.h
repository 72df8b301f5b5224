// Returning every subsystem to its state before start-up, so each test starts clean.
#pragma once

void ResetProgram();
