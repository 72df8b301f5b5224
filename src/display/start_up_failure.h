// The one fatal exit of the program, usable from every subsystem: a block that start-up (or a
// display-mode change) needs could not be obtained.
#pragma once

// Says which block in a message box captioned "ERROR" and ends the program with exit code 1.
[[noreturn]] void FailStartUpBlock(const char* what);
