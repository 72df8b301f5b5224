// The JPEG decoder of the native backends, over libjpeg-turbo: baseline and progressive files,
// greyscale, colour and CMYK, decoded to the rows a caller asks for, abandoned within a row of
// blocks when its page is left.
#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "backends/posix/decoder_parts.h"
#include "backends/posix/exif_orientation.h"

namespace native {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the decode. Everything the jump crosses is plain C state kept in JpegJob, outside the
// function that calls setjmp, so nothing is skipped that needs a destructor.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// More scans than any real encoder writes: the standard progressive script has 10 (6 for a
// greyscale picture) and optimising encoders write fewer. Each scan can make the decoder go over
// the whole picture again, so a small file that repeats a scan thousands of times would keep a
// worker busy for many seconds; ten times the standard script is refused instead.
constexpr int maxJpegScans = 100;

// libjpeg calls the progress monitor at least once per row of blocks of every pass and scan.
struct JpegProgress {
  jpeg_progress_mgr manager;
  const std::atomic<bool>* abandoned;
};

// How much of the file is read at a time. libjpeg-turbo decodes with its fast entropy decoder
// only while a whole row of blocks' worst case is in the buffer; with the stdio source's 4 KB
// that is true only part of the time, so a larger buffer makes a photo decode markedly faster.
// 60 KB gains nearly all of it and keeps the job within one ordinary heap block.
constexpr std::size_t jpegInputBytes = 60 * 1024;

// The file as libjpeg reads it: jpegInputBytes at a time.
struct JpegInput {
  jpeg_source_mgr manager;
  std::FILE* file;
  std::uint8_t bytes[jpegInputBytes];
};

// Obtained zero-filled with calloc: nothing created, nothing held. Plain C state, so that a jump
// back from libjpeg skips nothing; FreeJpegJob frees what it holds.
struct JpegJob {
  jpeg_decompress_struct info;
  JpegErrors errors;
  JpegProgress progress;
  bool created;
  std::uint8_t* pixels;
  JSAMPLE* cmykRow;
  std::uint8_t* wantedRows;  // by row from the bottom; null when every row is read
  int orientation;           // from the first Exif segment; 0 until one is read
  int shownWidth;            // the picture handed over, turned as its orientation asks
  int shownHeight;
  int fullWidth;  // the same at the file's own size, before any reduction
  int fullHeight;
  std::uint8_t segment[65533];  // the longest APP1 segment's content
  JpegInput input;
};

void StartInput(j_decompress_ptr) {}
void EndInput(j_decompress_ptr) {}

// A file that ends early ends in an inserted end-of-image marker, as with libjpeg's own sources:
// libjpeg shows what arrived and leaves the rest grey.
boolean FillInput(j_decompress_ptr info) {
  auto* input = reinterpret_cast<JpegInput*>(info->src);
  std::size_t got = std::fread(input->bytes, 1, sizeof input->bytes, input->file);
  if (got == 0) {
    input->bytes[0] = 0xFF;
    input->bytes[1] = JPEG_EOI;
    got = 2;
  }
  input->manager.next_input_byte = input->bytes;
  input->manager.bytes_in_buffer = got;
  return TRUE;
}

// Segments passed over beyond the buffer are skipped in the file, not read.
void SkipInput(j_decompress_ptr info, long count) {
  auto* input = reinterpret_cast<JpegInput*>(info->src);
  if (count <= 0) return;
  const auto wanted = static_cast<std::size_t>(count);
  if (wanted <= input->manager.bytes_in_buffer) {
    input->manager.next_input_byte += wanted;
    input->manager.bytes_in_buffer -= wanted;
    return;
  }
  const std::size_t beyond = wanted - input->manager.bytes_in_buffer;
  input->manager.bytes_in_buffer = 0;
  if (std::fseek(input->file, static_cast<long>(beyond), SEEK_CUR) != 0) {
    // Where the file cannot be sought, it is read through.
    for (std::size_t left = beyond; left > 0;) {
      const std::size_t got =
          std::fread(input->bytes, 1, std::min(left, sizeof input->bytes), input->file);
      if (got == 0) break;
      left -= got;
    }
  }
}

void UseInput(j_decompress_ptr info, JpegInput* input, std::FILE* file) {
  input->file = file;
  input->manager.init_source = StartInput;
  input->manager.fill_input_buffer = FillInput;
  input->manager.skip_input_data = SkipInput;
  input->manager.resync_to_restart = jpeg_resync_to_restart;
  input->manager.term_source = EndInput;
  input->manager.bytes_in_buffer = 0;
  input->manager.next_input_byte = nullptr;
  info->src = &input->manager;
}

// Each APP1 segment is read into the job's one buffer until an Exif segment gives the
// orientation; later segments are passed over. So no file, however many segments it has,
// makes libjpeg keep more than this one buffer.
boolean ReadApp1(j_decompress_ptr info) {
  auto* job = reinterpret_cast<JpegJob*>(info);
  jpeg_source_mgr* source = info->src;
  auto next = [&]() -> unsigned {
    if (source->bytes_in_buffer == 0 && !source->fill_input_buffer(info))
      JpegErrorExit(reinterpret_cast<j_common_ptr>(info));
    --source->bytes_in_buffer;
    return *source->next_input_byte++;
  };
  const unsigned high = next();
  const unsigned length = high << 8 | next();
  if (length < 2) return TRUE;
  const std::size_t content = length - 2u;
  if (job->orientation != 0) {
    if (content > 0) source->skip_input_data(info, static_cast<long>(content));
    return TRUE;
  }
  for (std::size_t i = 0; i < content; ++i) job->segment[i] = static_cast<std::uint8_t>(next());
  const int orientation = ExifOrientation(job->segment, content);
  // A segment that is not Exif (XMP, say) leaves the orientation to a later one.
  if (content >= 4 && std::memcmp(job->segment, "Exif", 4) == 0) job->orientation = orientation;
  return TRUE;
}

// A file with too many scans, or a decode its caller abandoned, ends like a libjpeg error.
void JpegProgressCheck(j_common_ptr common) {
  const auto* progress = reinterpret_cast<const JpegProgress*>(common->progress);
  const auto* info = reinterpret_cast<const jpeg_decompress_struct*>(common);
  const bool abandoned =
      progress->abandoned && progress->abandoned->load(std::memory_order_relaxed);
  if (abandoned || info->input_scan_number > maxJpegScans) JpegErrorExit(common);
}

// Warnings about corrupt data go nowhere; the decode carries on as libjpeg sees fit.
void JpegOutputMessage(j_common_ptr) {}

// Stored CMYK is inverted in files written by Adobe's software (nearly every CMYK JPEG), and
// YCCK always comes from there; otherwise the values are plain ink amounts.
void CmykRowToPixels(const JSAMPLE* cmyk, int width, bool inverted, std::uint8_t* out) {
  for (int x = 0; x < width; ++x, cmyk += 4, out += 4) {
    unsigned c = cmyk[0], m = cmyk[1], yel = cmyk[2], k = cmyk[3];
    if (!inverted) {
      c = 255u - c;
      m = 255u - m;
      yel = 255u - yel;
      k = 255u - k;
    }
    PutPixel(out, static_cast<std::uint8_t>((c * k + 127u) / 255u),
             static_cast<std::uint8_t>((m * k + 127u) / 255u),
             static_cast<std::uint8_t>((yel * k + 127u) / 255u));
  }
}

// libjpeg decodes rows in groups (one row of MCUs, 8 or 16 rows) and upsamples colour across
// neighbouring rows; skipping part of a group changes the rows kept beside it. So a group with
// any wanted row is decoded whole, and only groups with none are skipped. wanted is by row
// from the bottom; groups are counted from the top.
void WidenToWholeRowGroups(std::uint8_t* wanted, int height, int groupRows) {
  if (groupRows <= 0) groupRows = 1;
  for (int top = 0; top < height; top += groupRows) {
    const int end = top + groupRows < height ? top + groupRows : height;
    bool any = false;
    for (int r = top; r < end && !any; ++r) any = wanted[height - 1 - r] != 0;
    if (!any) continue;
    for (int r = top; r < end; ++r) wanted[height - 1 - r] = 1;
  }
}

// The stored rows that hold the shown rows a caller selects: the same rows for a picture shown
// as stored or mirrored side to side, the rows in reverse for one turned upside down or mirrored
// top to bottom, and every row for one turned a quarter (each shown row crosses them all).
void SelectStoredRows(const platform::RowSelection& rows, int orientation, int width, int height,
                      std::uint8_t* wanted) {
  if (OrientationSwapsSides(orientation)) {
    std::memset(wanted, 1, static_cast<std::size_t>(height));
    return;
  }
  rows.select(rows.context, width, height, wanted);
  if (orientation == 3 || orientation == 4) {
    for (int low = 0, high = height - 1; low < high; ++low, --high) {
      std::swap(wanted[low], wanted[high]);
    }
  }
}

// The largest of libjpeg's reductions (1/8, 1/4, 1/2) that still leaves a width x height picture
// at least coverWidth x coverHeight; 1 when none does. libjpeg rounds reduced sizes up.
unsigned CoveringScale(int width, int height, int coverWidth, int coverHeight) {
  for (unsigned denominator : {8u, 4u, 2u}) {
    const auto reduced = [&](int size) {
      return (static_cast<std::int64_t>(size) + denominator - 1) / denominator;
    };
    if (reduced(width) >= coverWidth && reduced(height) >= coverHeight) return denominator;
  }
  return 1;
}

// Runs the decode; a libjpeg error lands back here and returns false. The caller releases
// what the job holds either way.
bool RunJpegJob(JpegJob* job, DecodeRequest& request) {
  const platform::RowSelection* rows = request.rows;
  jpeg_decompress_struct* info = &job->info;
  info->err = jpeg_std_error(&job->errors.manager);
  job->errors.manager.error_exit = JpegErrorExit;
  job->errors.manager.output_message = JpegOutputMessage;
  if (setjmp(job->errors.jump) != 0) return false;

  jpeg_create_decompress(info);
  job->created = true;
  job->progress.manager.progress_monitor = JpegProgressCheck;
  job->progress.abandoned = request.abandoned;
  info->progress = &job->progress.manager;
  UseInput(info, &job->input, request.file);
  jpeg_set_marker_processor(info, JPEG_APP0 + 1, ReadApp1);
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  const int orientation = job->orientation != 0 ? job->orientation : 1;
  const bool swaps = OrientationSwapsSides(orientation);
  if (!request.Accepts(swaps ? info->image_height : info->image_width,
                       swaps ? info->image_width : info->image_height)) {
    return false;
  }
  const int width = static_cast<int>(info->image_width);
  const int height = static_cast<int>(info->image_height);
  job->shownWidth = swaps ? height : width;
  job->shownHeight = swaps ? width : height;

  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  const bool inverted = info->saw_Adobe_marker || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;

  job->fullWidth = job->shownWidth;
  job->fullHeight = job->shownHeight;
  if (rows && rows->cover) {
    int coverWidth = 0;
    int coverHeight = 0;
    rows->cover(rows->context, job->shownWidth, job->shownHeight, &coverWidth, &coverHeight);
    if (swaps) std::swap(coverWidth, coverHeight);
    info->scale_num = 1;
    info->scale_denom = CoveringScale(width, height, coverWidth, coverHeight);
  }
  jpeg_calc_output_dimensions(info);
  // The size decoded, before turning: the file's own, or its reduction.
  const int outWidth = static_cast<int>(info->output_width);
  const int outHeight = static_cast<int>(info->output_height);
  if (outWidth <= 0 || outHeight <= 0 || outWidth > width || outHeight > height) return false;
  job->shownWidth = swaps ? outHeight : outWidth;
  job->shownHeight = swaps ? outWidth : outHeight;
  job->pixels = request.AllocatePixels(outWidth, outHeight).release();
  if (!job->pixels) return false;
  if (cmyk) {
    job->cmykRow = static_cast<JSAMPLE*>(std::malloc(static_cast<std::size_t>(outWidth) * 4u));
    if (!job->cmykRow) return false;
  }
  if (rows && rows->select && !rows->cover) {
    job->wantedRows = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(height), 1));
    if (!job->wantedRows) return false;
    SelectStoredRows(*rows, orientation, width, height, job->wantedRows);
  }
  jpeg_start_decompress(info);
  if (static_cast<int>(info->output_width) != outWidth ||
      static_cast<int>(info->output_height) != outHeight || info->output_components != 4) {
    return false;
  }
  if (job->wantedRows) {
    WidenToWholeRowGroups(job->wantedRows, height, info->max_v_samp_factor * DCTSIZE);
  }
  while (info->output_scanline < info->output_height) {
    const int rowFromTop = static_cast<int>(info->output_scanline);
    if (job->wantedRows) {
      // Rows nobody reads are passed over in one call up to the next wanted one.
      int skip = 0;
      while (rowFromTop + skip < height && !job->wantedRows[height - 1 - rowFromTop - skip]) {
        ++skip;
      }
      if (skip > 0) {
        if (jpeg_skip_scanlines(info, static_cast<JDIMENSION>(skip)) !=
            static_cast<JDIMENSION>(skip)) {
          return false;
        }
        continue;
      }
    }
    std::uint8_t* out = PixelRow(job->pixels, outWidth, outHeight - 1 - rowFromTop);
    JSAMPROW row = cmyk ? job->cmykRow : out;
    if (jpeg_read_scanlines(info, &row, 1) != 1) return false;
    if (cmyk) CmykRowToPixels(job->cmykRow, outWidth, inverted, out);
  }
  jpeg_finish_decompress(info);
  if (orientation == 1) return true;
  Bytes shown = request.AllocatePixels(job->shownWidth, job->shownHeight);
  if (!shown) return false;
  OrientPixels(job->pixels, outWidth, outHeight, orientation, shown.get());
  std::free(job->pixels);
  job->pixels = shown.release();
  return true;
}

void FreeJpegJob(JpegJob* job) {
  if (job->created) jpeg_destroy_decompress(&job->info);
  std::free(job->cmykRow);
  std::free(job->wantedRows);
  std::free(job->pixels);
  std::free(job);
}

}  // namespace

bool DecodeJpeg(DecodeRequest& request, platform::DecodedPicture* picture) {
  const Held<JpegJob, FreeJpegJob> job(static_cast<JpegJob*>(std::calloc(1, sizeof(JpegJob))));
  if (!job) return false;
  const bool ok = RunJpegJob(job.get(), request);
  Bytes pixels(std::exchange(job->pixels, nullptr));
  return HandOver(ok, std::move(pixels), job->shownWidth, job->shownHeight, picture, job->fullWidth,
                  job->fullHeight);
}

}  // namespace native
