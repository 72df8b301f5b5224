// Worker threads for thumbnail pages and the gate that keeps their decodes within memory.
#include "browser/page_decoder.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "pictures/texture_loader.h"
#include "platform/platform.h"

std::int64_t DecodeCost(std::int64_t pixels) {
  if (pixels <= 0 || pixels > decodeAloneAbovePixels) return decodePixelBudget;
  return pixels;
}

void DecodeGate::Enter(std::int64_t cost) {
  std::unique_lock<std::mutex> lock(mutex_);
  const std::uint64_t ticket = nextTicket_++;
  changed_.wait(lock, [&] { return serving_ == ticket && cost <= free_; });
  ++serving_;
  free_ -= cost;
  changed_.notify_all();
}

bool DecodeGate::TryEnter(std::int64_t cost) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (serving_ != nextTicket_ || cost > free_) return false;
  free_ -= cost;
  return true;
}

void DecodeGate::Leave(std::int64_t cost) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    free_ += cost;
  }
  changed_.notify_all();
}

namespace {

// The rows a thumbnail of a cellWidth cell samples. Called from inside the decoder, so nothing
// may leave it: without memory for the positions every row is read.
void SelectThumbnailRows(const void* context, int width, int height,
                         std::uint8_t* wanted) noexcept {
  const int cell = *static_cast<const int*>(context);
  try {
    for (int y : SamplePositions(height, ThumbnailStep(width, height, cell))) wanted[y] = 1;
  } catch (...) {
    std::fill_n(wanted, height, std::uint8_t{1});
  }
}

// The thumbnail's samples across and down a width x height picture: what a reduced decode
// must still cover. Called from inside the decoder: without memory for the positions, the
// whole picture.
void CoverThumbnail(const void* context, int width, int height, int* coverWidth,
                    int* coverHeight) noexcept {
  const int cell = *static_cast<const int*>(context);
  try {
    const float step = ThumbnailStep(width, height, cell);
    *coverWidth = static_cast<int>(SamplePositions(width, step).size());
    *coverHeight = static_cast<int>(SamplePositions(height, step).size());
  } catch (...) {
    *coverWidth = width;
    *coverHeight = height;
  }
}

// A place at the gate, given back however the decode ends.
class GateTicket {
 public:
  GateTicket(DecodeGate& gate, std::int64_t cost) : gate_(gate), cost_(cost) { gate.Enter(cost); }
  ~GateTicket() { gate_.Leave(cost_); }
  GateTicket(const GateTicket&) = delete;
  GateTicket& operator=(const GateTicket&) = delete;

 private:
  DecodeGate& gate_;
  std::int64_t cost_;
};

// A decoded picture, released however the sampling ends.
struct HeldPicture {
  platform::DecodedPicture picture;
  HeldPicture() = default;
  HeldPicture(const HeldPicture&) = delete;
  HeldPicture& operator=(const HeldPicture&) = delete;
  ~HeldPicture() {
    if (picture.bits || picture.backend) platform::ReleasePicture(&picture);
  }
};

}  // namespace

PageResult DecodePageJob(const PageJob& job, DecodeGate& gate, const std::atomic<bool>* abandoned) {
  try {
    PageResult result;
    int width = 0;
    int height = 0;
    const std::int64_t pixels = ProbePictureSize(job.path.c_str(), &width, &height)
                                    ? static_cast<std::int64_t>(width) * height
                                    : 0;
    GateTicket ticket(gate, DecodeCost(pixels));
    // Abandoned while waiting at the gate: nothing is opened.
    if (abandoned && abandoned->load()) return result;
    platform::RowSelection rows;
    if (job.averaged) {
      rows.cover = CoverThumbnail;
    } else {
      rows.select = SelectThumbnailRows;
    }
    rows.context = &job.cellWidth;
    rows.abandoned = abandoned;
    HeldPicture held;
    const platform::DecodedPicture& picture = held.picture;
    if (platform::DecodePictureRows(job.path.c_str(), PictureFitsBuffer, rows, &held.picture) &&
        picture.bits && PictureFitsBuffer(picture.width, picture.height)) {
      if (job.averaged) {
        AverageDecodedPicture(held.picture, job.cellWidth, job.keyed, job.key, &result.samples);
      } else {
        const float step = ThumbnailStep(picture.width, picture.height, job.cellWidth);
        SampleDecodedPicture(picture, step, job.keyed, job.key, &result.samples);
      }
      result.decoded = true;
    }
    return result;
  } catch (...) {
    // Out of memory (or any other failure) at any step: this picture counts as not decoded;
    // the ticket and the picture have been given back on the way out.
    return PageResult{};
  }
}

int PageWorkerCount(std::size_t jobs) {
  const int processors = static_cast<int>(std::thread::hardware_concurrency());
  const int workers = std::max(processors, 2);
  return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(workers), jobs));
}

PageDecoder::PageDecoder(std::vector<PageJob> jobs, int workers, DecodeGate& gate, bool background)
    : jobs_(std::move(jobs)), results_(jobs_.size()), done_(jobs_.size(), 0), gate_(gate) {
  for (int i = 0; i < workers; ++i) {
    try {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ++working_;
      }
      threads_.emplace_back(&PageDecoder::Work, this, background);
    } catch (const std::exception&) {
      // No thread (or no memory for one): the threads that did start take every job.
      std::lock_guard<std::mutex> lock(mutex_);
      --working_;
      break;
    }
  }
}

PageDecoder::~PageDecoder() {
  Stop();
  for (std::thread& t : threads_) t.join();
}

void PageDecoder::Work(bool background) {
  platform::BeginDecodeThread(background);
  for (;;) {
    std::size_t index;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (next_ >= jobs_.size()) break;
      index = next_++;
    }
    PageResult result = DecodePageJob(jobs_[index], gate_, &abandoned_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      results_[index] = std::move(result);
      done_[index] = 1;
    }
    finished_.notify_all();
  }
  platform::EndDecodeThread();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --working_;
  }
  finished_.notify_all();
}

void PageDecoder::Stop() {
  abandoned_ = true;
  std::lock_guard<std::mutex> lock(mutex_);
  for (std::size_t i = next_; i < jobs_.size(); ++i) done_[i] = 1;
  next_ = jobs_.size();
}

bool PageDecoder::Ready(std::size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  return index >= jobs_.size() || done_[index] != 0;
}

bool PageDecoder::Idle() {
  std::lock_guard<std::mutex> lock(mutex_);
  return working_ == 0;
}

PageResult PageDecoder::Result(std::size_t index) {
  if (index >= jobs_.size()) return PageResult{};
  std::unique_lock<std::mutex> lock(mutex_);
  while (!done_[index]) {
    if (next_ < jobs_.size()) {
      // A job no worker has taken yet (the first of them is at latest this one): the calling
      // thread decodes it rather than wait idle.
      const std::size_t job = next_++;
      lock.unlock();
      PageResult result = DecodePageJob(jobs_[job], gate_, &abandoned_);
      lock.lock();
      results_[job] = std::move(result);
      done_[job] = 1;
      continue;
    }
    finished_.wait(lock);
  }
  return std::move(results_[index]);
}
