// Picture decoding on Windows through the OLE picture loader: the picture is rendered upright
// into a 32-bit bottom-up DIB section whose bits the core converts in place. COM must be
// initialised on the main thread (once, at start-up) before the first decode.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: the OLE headers depend on it.
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/platform.h"

namespace {

// Room for the UTF-16 path including its terminator.
constexpr int widePathRoom = 260;
// HIMETRIC units (hundredths of a millimetre) per inch.
constexpr int himetricPerInch = 2540;

// Everything one decode made, released together by ReleaseOlePicture.
struct OleDecode {
  IPicture* picture = nullptr;
  HDC screen = nullptr;
  HDC memory = nullptr;
  HBITMAP section = nullptr;
  HGDIOBJ previous = nullptr;  // the bitmap the memory context held before ours
};

void ReleaseOleDecode(OleDecode* decode) {
  if (decode->memory && decode->previous) SelectObject(decode->memory, decode->previous);
  if (decode->section) DeleteObject(decode->section);
  if (decode->memory) DeleteDC(decode->memory);
  if (decode->screen) ReleaseDC(nullptr, decode->screen);
  if (decode->picture) decode->picture->Release();
  *decode = OleDecode{};
}

std::uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The platform's loader trusts a BMP's header and reads pixel data that is not in the file
// (seen with Wine: a 54-byte file claiming a 6356992-pixel-wide picture brings the process
// down). A local BMP is therefore only handed to it when its header is one it can honour and
// its uncompressed pixel rows are all in the file; anything else is refused here.
bool SafeForOleLoader(const char* path) {
  if (std::strstr(path, "http://") != nullptr) return true;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  unsigned char header[64] = {};
  DWORD got = 0;
  LARGE_INTEGER size = {};
  bool read = ReadFile(file, header, sizeof header, &got, nullptr) && GetFileSizeEx(file, &size);
  CloseHandle(file);
  if (!read) return false;
  if (got < 2 || header[0] != 'B' || header[1] != 'M') return true;  // not a BMP: the loader's
  if (got < 26) return false;
  const std::uint32_t headerSize = Read32(header + 14);
  std::int64_t width, height;
  unsigned bitCount;
  std::uint32_t compression = 0;
  if (headerSize == 12) {
    width = header[18] | (header[19] << 8);
    height = header[20] | (header[21] << 8);
    bitCount = header[24] | (header[25] << 8);
  } else if (headerSize >= 40 && headerSize <= 124 && got >= 34) {
    width = static_cast<std::int32_t>(Read32(header + 18));
    height = static_cast<std::int32_t>(Read32(header + 22));
    bitCount = header[28] | (header[29] << 8);
    compression = Read32(header + 30);
  } else {
    return false;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width * height > 100000000) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    return false;
  }
  if (compression == 0 || compression == 3 || compression == 6) {  // rows stored as they are
    const std::int64_t stride = (width * bitCount + 31) / 32 * 4;
    const std::int64_t dataOffset = Read32(header + 10);
    if (dataOffset < 14 + static_cast<std::int64_t>(headerSize)) return false;
    return dataOffset + stride * height <= size.QuadPart;
  }
  return compression == 1 || compression == 2;  // run lengths: the loader bounds them
}

// The steps up to the rendered bitmap; false at the first one that fails, with whatever was
// made so far left in decode for the caller to release.
bool RenderPicture(const char* path, bool (*mayDecode)(int, int), OleDecode* decode,
                   platform::DecodedPicture* result) {
  WCHAR widePath[widePathRoom];
  // A path that does not fit makes the conversion fail rather than be cut.
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, widePathRoom) == 0) return false;
  if (!SafeForOleLoader(path)) return false;

  void* object = nullptr;
  if (FAILED(OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture, &object)) || !object) {
    return false;
  }
  decode->picture = static_cast<IPicture*>(object);

  decode->screen = GetDC(nullptr);
  if (!decode->screen) return false;
  decode->memory = CreateCompatibleDC(decode->screen);
  if (!decode->memory) return false;

  OLE_XSIZE_HIMETRIC himetricWidth = 0;
  OLE_YSIZE_HIMETRIC himetricHeight = 0;
  if (FAILED(decode->picture->get_Width(&himetricWidth)) ||
      FAILED(decode->picture->get_Height(&himetricHeight))) {
    return false;
  }
  const int width =
      MulDiv(himetricWidth, GetDeviceCaps(decode->memory, LOGPIXELSX), himetricPerInch);
  const int height =
      MulDiv(himetricHeight, GetDeviceCaps(decode->memory, LOGPIXELSY), himetricPerInch);
  if (width <= 0 || height <= 0) return false;
  if (mayDecode && !mayDecode(width, height)) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  decode->section = CreateDIBSection(decode->memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!decode->section || !bits) return false;

  decode->previous = SelectObject(decode->memory, decode->section);
  if (!decode->previous || decode->previous == HGDI_ERROR) {
    decode->previous = nullptr;
    return false;
  }
  // The source origin at the picture's top edge with a negative height renders it upright.
  if (FAILED(decode->picture->Render(decode->memory, 0, 0, width, height, 0, himetricHeight,
                                     himetricWidth, -himetricHeight, nullptr))) {
    return false;
  }
  GdiFlush();

  result->bits = static_cast<std::uint8_t*>(bits);
  result->width = width;
  result->height = height;
  return true;
}

}  // namespace

namespace platform {

bool DecodePicture(const char* path, bool (*mayDecode)(int width, int height),
                   DecodedPicture* picture) {
  if (!path || !picture) return false;
  *picture = {};
  auto* decode = new (std::nothrow) OleDecode;
  if (!decode) return false;
  if (!RenderPicture(path, mayDecode, decode, picture)) {
    ReleaseOleDecode(decode);
    delete decode;
    *picture = {};
    return false;
  }
  picture->backend = decode;
  return true;
}

void ReleasePicture(DecodedPicture* picture) {
  if (!picture) return;
  if (auto* decode = static_cast<OleDecode*>(picture->backend)) {
    ReleaseOleDecode(decode);
    delete decode;
  }
  *picture = {};
}

}  // namespace platform
