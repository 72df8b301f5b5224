// Decoding picture files without the operating system's picture loader: the native backends'
// DecodePicture, for BMP, JPEG, PNG, GIF, WebP, AVIF, HEIF and JPEG XL files, each known by its
// first bytes. Produces the same upright picture the Windows loader renders.
#pragma once

#include "platform/platform.h"

namespace native {

// Decodes the file at path (a POSIX path) into 32-bit blue, green, red, unused pixels,
// bottom row first. Asks mayDecode(width, height) before allocating the pixels. With rows, a
// JPEG's rows that are not selected are skipped and left black, and once rows->abandoned is
// set a JPEG or a picture of the further formats stops at its decoder's next look at it.
bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture,
                       const platform::RowSelection* rows = nullptr);
void ReleaseDecodedPicture(platform::DecodedPicture* picture);

}  // namespace native
