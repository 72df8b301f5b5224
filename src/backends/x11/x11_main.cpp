// The Linux program's entry point.
#include <malloc.h>

#include <clocale>
#include <csignal>
#include <optional>
#include <string>

#include "backends/x11/x11_connection.h"
#include "shell/trove_main.h"

int main(int argc, char** argv) {
  // A page of photos allocates and frees blocks of a megabyte and more many times over (each
  // decode's pixels, each frame the OpenGL library converts). With glibc's sliding threshold
  // the first such block freed makes the later ones come from the heap, where they stay
  // resident after they are freed; a fixed threshold gives every one back to the system.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  // Names are ordered by the user's collation and case folded by the user's character classes.
  std::setlocale(LC_COLLATE, "");
  std::setlocale(LC_CTYPE, "");
  // --help, --version, a refused word or a start folder that cannot be browsed end the
  // program here, before the display is opened: they need none.
  std::string startFile;
  if (const std::optional<int> exitCode = ReadCommandLine(argc - 1, argv + 1, startFile)) {
    return *exitCode;
  }
  // The programs Trove starts are never waited for; their ends are not kept as zombies.
  std::signal(SIGCHLD, SIG_IGN);
  // Every part of the program may use the display from its first step to its last.
  x11::OpenConnection();
  const int exitCode = TroveMain(startFile);
  x11::CloseConnection();
  return exitCode;
}
