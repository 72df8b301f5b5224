// The Linux program's entry point.
#include <csignal>

#include "shell/trove_main.h"

int main() {
  // The programs Trove starts are never waited for; their ends are not kept as zombies.
  std::signal(SIGCHLD, SIG_IGN);
  return TroveMain();
}
