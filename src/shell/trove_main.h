// The program as each backend's own main function starts it.
#pragma once

// The program from start-up to shutdown; returns the exit code.
int TroveMain();
