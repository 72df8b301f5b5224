// Area averaging, separable: each source row is reduced across once, and the reduced rows are
// summed into the output rows they cover, by the height of each one they cover.
#include "pictures/area_average.h"

#include <algorithm>
#include <cmath>

namespace {

// Which source pixels of one axis an output pixel covers, and by how much: source pixels
// first .. first + weights.size() - 1, each weight the covered part of it in output units.
struct Span {
  int first = 0;
  std::vector<float> weights;
};

std::vector<Span> Spans(int size, int outSize) {
  std::vector<Span> spans(static_cast<std::size_t>(outSize));
  const double scale = static_cast<double>(size) / outSize;
  for (int o = 0; o < outSize; ++o) {
    const double from = o * scale;
    const double to = std::min((o + 1) * scale, static_cast<double>(size));
    Span& span = spans[static_cast<std::size_t>(o)];
    span.first = static_cast<int>(from);
    for (int s = span.first; s < size && s < to; ++s) {
      const double covered = std::min(to, s + 1.0) - std::max(from, static_cast<double>(s));
      span.weights.push_back(static_cast<float>(covered / scale));
    }
  }
  return spans;
}

}  // namespace

FittedSize FitWithin(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
  if (width <= boxWidth && height <= boxHeight) return {width, height};
  // The side that limits the picture takes the box's size; the other keeps the aspect.
  const double scale =
      std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
  const int fittedWidth = std::clamp(static_cast<int>(std::lround(width * scale)), 1, boxWidth);
  const int fittedHeight = std::clamp(static_cast<int>(std::lround(height * scale)), 1, boxHeight);
  return {fittedWidth, fittedHeight};
}

bool ReduceByAreaAverage(const std::uint8_t* pixels, int width, int height, int bytesPerPixel,
                         int outWidth, int outHeight, std::vector<std::uint8_t>* out) {
  if (!pixels || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4) ||
      outWidth <= 0 || outHeight <= 0 || outWidth > width || outHeight > height) {
    return false;
  }
  const std::vector<Span> across = Spans(width, outWidth);
  const std::vector<Span> down = Spans(height, outHeight);
  const auto rowFloats = static_cast<std::size_t>(outWidth) * 4u;
  std::vector<float> reduced(rowFloats);  // the last source row reduced across
  std::vector<float> sum(rowFloats);
  out->assign(rowFloats * static_cast<std::size_t>(outHeight), 0);
  int reducedRow = -1;
  const auto stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel);
  for (int o = 0; o < outHeight; ++o) {
    const Span& rows = down[static_cast<std::size_t>(o)];
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (std::size_t r = 0; r < rows.weights.size(); ++r) {
      const int y = rows.first + static_cast<int>(r);
      // A source row on the border of two output rows is reduced once for both.
      if (y != reducedRow) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < outWidth; ++x) {
          const Span& columns = across[static_cast<std::size_t>(x)];
          float channels[4] = {0.0f, 0.0f, 0.0f, 0.0f};
          const std::uint8_t* p = row + static_cast<std::size_t>(columns.first) *
                                            static_cast<std::size_t>(bytesPerPixel);
          for (float weight : columns.weights) {
            channels[0] += weight * p[0];
            channels[1] += weight * p[1];
            channels[2] += weight * p[2];
            channels[3] += weight * (bytesPerPixel == 4 ? p[3] : 255);
            p += bytesPerPixel;
          }
          std::copy(channels, channels + 4, reduced.begin() + static_cast<std::ptrdiff_t>(4 * x));
        }
        reducedRow = y;
      }
      const float weight = rows.weights[r];
      for (std::size_t i = 0; i < rowFloats; ++i) sum[i] += weight * reduced[i];
    }
    std::uint8_t* target = out->data() + rowFloats * static_cast<std::size_t>(o);
    for (std::size_t i = 0; i < rowFloats; ++i) {
      target[i] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[i]), 0L, 255L));
    }
  }
  return true;
}
