// Picture decoding for the native backends: the hand-over of a file to the decoder of the format
// its first bytes name (decoder_parts.h). Every decoder hands over the picture upright,
// bottom row first, as blue, green, red and an unused byte per pixel, the layout the Windows
// loader renders into its DIB section. The file's content decides the format, not its name.
#include "backends/posix/picture_decoder.h"

#include "backends/posix/decoder_parts.h"
#include "backends/posix/heif_items.h"
#include "backends/posix/posix_files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/picture_header.h"

namespace native {

bool DecodePictureFile(const char* path, bool (*mayDecode)(int width, int height),
                       platform::DecodedPicture* picture, const platform::RowSelection* rows) {
  if (!path || !picture) return false;
  *picture = {};
  std::FILE* file = OpenRegularFile(path);
  if (!file) return false;
  const DecodeLimits limits{mayDecode, rows ? rows->abandoned : nullptr};
  bool ok = false;
  std::uint8_t magic[pictureSniffBytes] = {};
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  const std::size_t got = size >= 2 && std::fseek(file, 0, SEEK_SET) == 0
                              ? std::fread(magic, 1, sizeof magic, file)
                              : 0;
  // A JPEG needs only its first two bytes here; libjpeg checks the rest.
  const PictureFormat format = got >= 2 && magic[0] == 0xFF && magic[1] == 0xD8
                                   ? PictureFormat::jpeg
                                   : SniffPictureFormat(magic, got);
  if (format != PictureFormat::unknown && std::fseek(file, 0, SEEK_SET) == 0) {
    switch (format) {
      case PictureFormat::bmp:
        ok = DecodeBmp(file, static_cast<std::uint64_t>(size), mayDecode, picture);
        break;
      case PictureFormat::jpeg:
        ok = DecodeJpeg(file, mayDecode, rows, picture);
        break;
      case PictureFormat::png:
        ok = DecodePng(file, limits, picture);
        break;
      case PictureFormat::gif:
        ok = DecodeGif(file, limits, picture);
        break;
      case PictureFormat::webp:
        ok = DecodeWebp(file, limits, picture);
        break;
      case PictureFormat::avif:
      case PictureFormat::heif: {
        // The codec of the picture's items chooses the library, not the file's brands.
        HeifItems items;
        if (!ScanHeifItems(file, static_cast<std::uint64_t>(size), &items) ||
            std::fseek(file, 0, SEEK_SET) != 0) {
          break;
        }
        if (items.width == 0) items.av1 = format == PictureFormat::avif;
        ok = items.av1 ? DecodeAvif(file, items, limits, picture)
                       : DecodeHeif(file, items, limits, picture);
        break;
      }
      case PictureFormat::jxl:
        ok = DecodeJxl(file, limits, picture);
        break;
      case PictureFormat::unknown:
        break;
    }
  }
  std::fclose(file);
  if (!ok) *picture = {};
  return ok;
}

void ReleaseDecodedPicture(platform::DecodedPicture* picture) {
  if (!picture) return;
  std::free(picture->backend);
  *picture = {};
}

}  // namespace native
