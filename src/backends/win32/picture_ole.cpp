// Picture decoding on Windows through the OLE picture loader: the picture is rendered upright
// into a 32-bit bottom-up DIB section whose bits the core converts in place. Every thread that
// decodes has COM initialised first: the main thread once at start-up, each page worker in
// BeginDecodeThread.
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
#include <cstdlib>
#include <new>

#include "base/picture_header.h"
#include "backends/win32/win32_conventions.h"
#include "platform/platform.h"

namespace {

// Room for the UTF-16 path including its terminator: the 260 units a Windows path may have.
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

// How much of a file's start is read to find its header: a JPEG's frame header usually
// follows its first segments closely, but metadata segments of up to 64 KiB each may come
// first, so a second, longer look is taken when the first does not reach it.
constexpr DWORD headLook = 64 * 1024;
constexpr DWORD longHeadLook = 1024 * 1024;

// The platform's loader trusts what a file claims. It takes content starting with a zero word
// for an icon and its icon parser reads past the end of the data; it reads a BMP's pixel data
// wherever the header puts it, inside the file or not; and it decodes the whole picture before
// anyone can ask for its size. So only a JPEG (FF D8 FF) whose frame header gives a size the
// caller takes, or a BMP whose header passes CheckBmpHeader with a size the caller takes, is
// handed to it; anything else is refused here, before the loader reads a byte.
bool SafeForOleLoader(const WCHAR* path, bool (*mayDecode)(int, int)) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Disk files only: a device name (CON, NUL, COM1 ...) or a pipe is never read.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return false;
  }
  LARGE_INTEGER size = {};
  // Obtained with malloc: a failed allocation is a refusal, never an exception.
  std::uint8_t* head = nullptr;
  DWORD held = 0;
  bool safe = false;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
    const std::uint64_t fileSize = static_cast<std::uint64_t>(size.QuadPart);
    int width = 0;
    int height = 0;
    const DWORD looks[] = {headLook, longHeadLook};
    for (DWORD look : looks) {
      const DWORD want = static_cast<DWORD>(fileSize < look ? fileSize : look);
      if (want <= held) break;  // the first look already held the whole file
      std::free(head);
      head = static_cast<std::uint8_t*>(std::malloc(want));
      LARGE_INTEGER start = {};
      if (!head || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN) ||
          !::ReadFile(file, head, want, &held, nullptr)) {
        break;
      }
      const PictureFormat format = SniffPictureFormat(head, held);
      BmpHeaderFacts facts;
      if (format == PictureFormat::bmp) {
        safe = CheckBmpHeader(head, held, fileSize, &facts);
        width = facts.width;
        height = facts.height;
        break;
      }
      if (format != PictureFormat::jpeg) break;
      safe = ReadJpegFrameSize(head, held, &width, &height);
      if (safe) break;
    }
    if (safe && mayDecode && !mayDecode(width, height)) safe = false;
  }
  std::free(head);
  CloseHandle(file);
  return safe;
}

// The picture's size in the loader's units and in screen pixels.
struct OleSize {
  OLE_XSIZE_HIMETRIC himetricWidth = 0;
  OLE_YSIZE_HIMETRIC himetricHeight = 0;
  int width = 0;
  int height = 0;
};

// Opens the picture with the OLE loader and measures it in screen pixels; false at the first
// step that fails, with whatever was made so far left in decode for the caller to release.
bool OpenOlePicture(const char* path, bool (*mayDecode)(int, int), OleDecode* decode,
                    OleSize* size) {
  WCHAR widePath[widePathRoom];
  // Paths are UTF-8: the file is opened by the name the file system really has. A path that
  // does not fit, or is no UTF-8, makes the conversion fail rather than be cut or guessed.
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath, widePathRoom) == 0) {
    return false;
  }
  const bool url = std::strstr(path, "http://") != nullptr;
  if (!url && !SafeForOleLoader(widePath, mayDecode)) return false;

  void* object = nullptr;
  if (FAILED(OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture, &object)) || !object) {
    return false;
  }
  decode->picture = static_cast<IPicture*>(object);

  decode->screen = GetDC(nullptr);
  if (!decode->screen) return false;
  decode->memory = CreateCompatibleDC(decode->screen);
  if (!decode->memory) return false;

  if (FAILED(decode->picture->get_Width(&size->himetricWidth)) ||
      FAILED(decode->picture->get_Height(&size->himetricHeight))) {
    return false;
  }
  size->width =
      MulDiv(size->himetricWidth, GetDeviceCaps(decode->memory, LOGPIXELSX), himetricPerInch);
  size->height =
      MulDiv(size->himetricHeight, GetDeviceCaps(decode->memory, LOGPIXELSY), himetricPerInch);
  if (size->width <= 0 || size->height <= 0) return false;
  return !mayDecode || mayDecode(size->width, size->height);
}

// Renders the opened picture upright into a 32-bit DIB section, bottom row first.
bool RenderIntoSection(OleDecode* decode, const OleSize& size, platform::DecodedPicture* result) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = size.height;  // positive: bottom row first
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
  if (FAILED(decode->picture->Render(decode->memory, 0, 0, size.width, size.height, 0,
                                     size.himetricHeight, size.himetricWidth, -size.himetricHeight,
                                     nullptr))) {
    return false;
  }
  GdiFlush();

  result->bits = static_cast<std::uint8_t*>(bits);
  result->width = size.width;
  result->height = size.height;
  return true;
}

}  // namespace

namespace platform {

std::span<const PictureExtension> DecodedPictureExtensions() {
  return win32::WindowsPictureExtensions();
}

bool DecodePicture(const char* path, bool (*mayDecode)(int width, int height),
                   DecodedPicture* picture) {
  if (!path || !picture) return false;
  *picture = {};
  auto* decode = new (std::nothrow) OleDecode;
  if (!decode) return false;
  OleSize size;
  if (!OpenOlePicture(path, mayDecode, decode, &size) ||
      !RenderIntoSection(decode, size, picture)) {
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
