// Decoding the pictures of a thumbnail page on worker threads. Workers read files and produce
// samples, nothing else: they touch no state of the program, and the main thread takes the
// results in page order and draws them itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pictures/picture_samples.h"

// One picture of a page: the full path to decode, the cell size its samples are for, and the
// colour key the samples are converted with.
struct PageJob {
  std::string path;
  int cellWidth = 0;
  // Reduced by area averaging, from a picture decoded at the smallest scale that covers the
  // thumbnail (the Linux program), instead of point-sampled from the whole picture.
  bool averaged = false;
  bool keyed = false;
  std::uint8_t key[3] = {0, 0, 0};
};

// decoded: the platform decoded the picture and the PictureBuffer would take it (what the
// loader reports as success). samples: the thumbnail, empty when no sample falls on it.
struct PageResult {
  bool decoded = false;
  PictureSamples samples;
};

// Pixels decoded at the same time by all workers together. A decode takes about 8 bytes per
// pixel at its peak (the platform loader's own copy and the bitmap handed over), so this
// keeps the decodes under about 400 MB of the 32-bit address space, beside the 400 MB
// PictureBuffer.
constexpr std::int64_t decodePixelBudget = 48000000;
// A picture larger than this (a 96 MB bitmap), or one whose size its header does not tell,
// is decoded while no other picture is: two of them need not fit at once.
constexpr std::int64_t decodeAloneAbovePixels = decodePixelBudget / 2;

// What a decode of a picture of the given size (pixels, or 0 when unknown) takes of the budget.
std::int64_t DecodeCost(std::int64_t pixels);

// Admits decodes while their costs fit the budget, strictly in the order they asked.
class DecodeGate {
 public:
  explicit DecodeGate(std::int64_t budget = decodePixelBudget) : free_(budget) {}
  // Blocks until cost fits and every earlier caller has been admitted.
  void Enter(std::int64_t cost);
  // Admits at once or not at all (no place in the queue is kept).
  bool TryEnter(std::int64_t cost);
  void Leave(std::int64_t cost);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t free_;
  std::uint64_t nextTicket_ = 0;
  std::uint64_t serving_ = 0;
};

// Decodes and samples one picture as a worker does: probe its size, wait at the gate, decode
// only the rows the samples read, sample, release. Once abandoned is set the decode stops
// (the native decoders stop within a row of blocks) and the picture counts as not decoded.
// Never throws: a failure at any step (no memory for the probe, the samples or the rows) makes
// the picture one that is not decoded, with everything it held given back.
PageResult DecodePageJob(const PageJob& job, DecodeGate& gate,
                         const std::atomic<bool>* abandoned = nullptr);

// Workers for a page: one per processor, at least two, never more than there are jobs.
int PageWorkerCount(std::size_t jobs);

// Starts workers on jobs at once. Result(i) waits for job i, and while it waits the calling
// thread takes the next job no worker has taken yet, so that no job waits for a free worker
// while the caller idles (with no worker started at all, the caller decodes every job).
// Ready(i) and Idle() only look. Background workers run below normal priority. The destructor
// stops as Stop does and waits for the workers to end.
class PageDecoder {
 public:
  // Every decode passes gate, which must outlive the workers.
  PageDecoder(std::vector<PageJob> jobs, int workers, DecodeGate& gate, bool background = false);
  ~PageDecoder();
  PageDecoder(const PageDecoder&) = delete;
  PageDecoder& operator=(const PageDecoder&) = delete;

  // Hands job index's result over (once per index), decoding jobs meanwhile as above. A job
  // dropped by Stop before it started gives a result that is not decoded, at once.
  PageResult Result(std::size_t index);
  // Job index has its result (or was dropped): Result(index) returns without waiting.
  bool Ready(std::size_t index);
  // Drops every job not yet started and abandons the decodes under way.
  void Stop();
  // No worker decodes any more: every job is done or dropped, or no worker ever started.
  bool Idle();
  std::size_t size() const { return jobs_.size(); }
  int workers() const { return static_cast<int>(threads_.size()); }

 private:
  void Work(bool background);

  std::vector<PageJob> jobs_;
  std::vector<PageResult> results_;
  std::vector<char> done_;
  std::size_t next_ = 0;
  int working_ = 0;  // workers not yet finished
  std::atomic<bool> abandoned_{false};
  std::mutex mutex_;
  std::condition_variable finished_;
  DecodeGate& gate_;
  std::vector<std::thread> threads_;
};
