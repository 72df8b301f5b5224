// The fatal start-up exit.
#include "display/start_up_failure.h"

#include <cstdio>

#include "platform/platform.h"

void FailStartUpBlock(const char* what) {
  char text[200];
  std::snprintf(text, sizeof text, "Not enough memory for %s.", what);
  platform::ShowMessageBox(text, "ERROR", platform::MessageIcon::exclamation);
  platform::ExitProgram(1);
}
