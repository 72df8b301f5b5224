// How the Windows program writes paths, names the programs it starts and hands them their
// words. Free of <windows.h>, so that the headless backend can stand in for the Windows program
// and the rules are tested natively as well.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/platform.h"

namespace win32 {

// Going up from "C:\a\" ends at "C:\", and from there at "C:", where it stops.
inline constexpr platform::Conventions windowsConventions = {.pathSeparator = '\\',
                                                             .rootLength = 2,
                                                             .rootSeparator = 2,
                                                             .playerProgram = "spool.exe",
                                                             .explorerProgram = "explorer",
                                                             .escapesMediaPath = false,
                                                             .desktopWays = false,
                                                             .showsUtf8 = false,
                                                             .mostEntries = 2999};

// The files the Windows picture loader shows: BMP and JPEG.
inline constexpr platform::PictureExtension windowsPictureExtensions[] = {
    {"bmp", PictureFormat::bmp},
    {"jpg", PictureFormat::jpeg},
    {"jpeg", PictureFormat::jpeg},
};

inline std::span<const platform::PictureExtension> WindowsPictureExtensions() {
  return windowsPictureExtensions;
}

// The parameter line a started program gets from its argument words: Windows hands a program
// one line, which the program splits itself. A lone word is the whole line as it is (the
// explorer reads its whole line as one path, blanks and all); several words each follow a
// blank and the line ends in one, as the player reads them (" rightful <media path> 0 ": none of
// its words holds a blank, the media path writes its spaces as '*'). Nothing is quoted.
inline std::string ParameterLine(const char* const* words, std::size_t count) {
  if (!words || count == 0) return "";
  if (count == 1) return words[0] ? words[0] : "";
  std::string line;
  for (std::size_t i = 0; i < count; ++i) line += std::string(" ") + (words[i] ? words[i] : "");
  return line + " ";
}

}  // namespace win32
