// Runs picture files through the Windows backend's DecodePicture, the way the program decodes
// them, one after another in this process:
//   picture_probe LIST      LIST names a file of UTF-8 paths, one a line
// Before each decode it prints "decoding PATH", after it "decoded W x H" or "refused", and at the
// end "done N". A file that brings the process down is the last one it announced; the exit code
// is then 3 (an unhandled exception), never 0.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  std::printf("crashed: exception %08lx\n",
              static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
  std::fflush(stdout);
  ExitProcess(3);
}

bool WithinTheBuffer(int width, int height) {
  return width > 0 && height > 0 && static_cast<long long>(width) * height <= 100000000;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: picture_probe LIST\n");
    return 2;
  }
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(ReportCrash);
  OleInitialize(nullptr);
  std::ifstream list(argv[1], std::ios::binary);
  if (!list) return 2;
  std::string path;
  int count = 0;
  while (std::getline(list, path)) {
    if (!path.empty() && path.back() == '\r') path.pop_back();
    if (path.empty()) continue;
    std::printf("decoding %s\n", path.c_str());
    std::fflush(stdout);
    platform::DecodedPicture picture;
    if (platform::DecodePicture(path.c_str(), WithinTheBuffer, &picture)) {
      std::printf("decoded %d x %d\n", picture.width, picture.height);
      platform::ReleasePicture(&picture);
    } else {
      std::printf("refused\n");
    }
    ++count;
  }
  std::printf("done %d\n", count);
  std::fflush(stdout);
  OleUninitialize();
  return 0;
}
