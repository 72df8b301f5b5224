// Decoding BMP and JPEG files without the operating system's picture loader: the native
// backends' DecodePicture. Produces the same upright picture the Windows loader renders.
#pragma once

#include "platform/platform.h"

namespace native {

// Decodes the file at path (a POSIX path) into 32-bit blue, green, red, unused pixels,
// bottom row first. Asks mayDecode(width, height) before allocating the pixels. With rows, a
// JPEG's rows that are not selected are skipped and left black.
bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture,
                       const platform::RowSelection* rows = nullptr);
void ReleaseDecodedPicture(platform::DecodedPicture* picture);

}  // namespace native
