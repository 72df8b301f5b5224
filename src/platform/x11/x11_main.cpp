// The Linux program's entry point.
#include <csignal>

#include "platform/x11/x11_connection.h"
#include "shell/trove_main.h"

int main() {
  // The programs Trove starts are never waited for; their ends are not kept as zombies.
  std::signal(SIGCHLD, SIG_IGN);
  // Every part of the program may use the display from its first step to its last.
  x11::OpenConnection();
  const int exitCode = TroveMain();
  x11::CloseConnection();
  return exitCode;
}
