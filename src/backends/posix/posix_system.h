// The system a POSIX backend stands for: the Linux program's conventions, the file-system ways
// that go with them, and what the POSIX layer asks of the window-system backend linked with it.
#pragma once

#include <span>

#include "platform/platform.h"

namespace native {

// The names of the files of the formats the native decoders take, each with its format (the
// table in picture_decoder.cpp).
std::span<const platform::PictureExtension> DecodedExtensions();

// What the POSIX layer serves the core: the conventions it builds paths and names with, and how
// the files and pictures below them behave.
struct System {
  platform::Conventions conventions;
  // Listings come sorted: "." and ".." first, then the names without regard to case (the Linux
  // program's order). Otherwise in the file system's own order, as the Windows program lists.
  bool ordersListings;
  // A name holding "http://" is a URL, and no loader here fetches URLs: it fails like any
  // unreadable file. Otherwise it goes to the decoder as a path, like any other name.
  bool refusesUrls;
  // The names of the files the pictures decode (platform::DecodedPictureExtensions).
  std::span<const platform::PictureExtension> (*decodedExtensions)();
};

// The Linux program: going up from "/a/" ends at "/", where it stops.
inline constexpr System linuxSystem = {
    .conventions = {.pathSeparator = '/',
                    .rootLength = 1,
                    .rootSeparator = 0,
                    .playerProgram = "spool",
                    .explorerProgram = "xdg-open",
                    .escapesMediaPath = true,
                    .desktopWays = true,
                    .showsUtf8 = true,
                    .mostEntries = 10000000},
    .ordersListings = true,
    .refusesUrls = true,
    .decodedExtensions = DecodedExtensions,
};

// The system the backend linked with the POSIX layer stands for: the Linux program's for a real
// program (posix_system.cpp), the one a test chose for the headless backend.
const System& CurrentSystem();

// Defined by the window-system backend of a real POSIX program: completes whatever the program
// has asked of its display so far (a frame presented, say), so that a report line written next
// never says something the display has not done yet.
void FinishDisplayRequests();

}  // namespace native
