// The Windows program's entry point.
#include <windows.h>
#include <ole2.h>

#include "shell/trove_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The picture loader works through OLE, which needs COM on this thread.
  OleInitialize(nullptr);
  return TroveMain();
}
