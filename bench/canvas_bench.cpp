// Canvas costs per pass: clearing, saving and restoring a 960 x 540 view, each beside a plain
// memset or memcpy of the same bytes timed in the same run, and text with its identifier box.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/text.h"
#include "display/display.h"
#include "backends/headless/headless.h"

namespace {

constexpr int benchWidth = 960;
constexpr int benchHeight = 540;
constexpr std::size_t frameBytes = std::size_t{benchWidth} * benchHeight * 4;

void UseBenchCanvas(Display& display) {
  headless::Reset();
  SetCanvasSize(display, benchWidth, benchHeight);
  ClearCanvas(display);
}

double Seconds(std::chrono::steady_clock::time_point from,
               std::chrono::steady_clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Times `operation` as the benchmark's own (manual) time and `reference` beside it in every
// iteration, and reports operation time / reference time as the counter "ratio".
template <typename Operation, typename Reference>
void MeasureAgainst(benchmark::State& state, std::size_t bytes, Operation operation,
                    Reference reference) {
  double operationTotal = 0;
  double referenceTotal = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    reference();
    auto t1 = std::chrono::steady_clock::now();
    operation();
    auto t2 = std::chrono::steady_clock::now();
    referenceTotal += Seconds(t0, t1);
    operationTotal += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t1, t2));
  }
  state.counters["ratio"] = referenceTotal > 0 ? operationTotal / referenceTotal : 0;
  state.counters["reference_us"] =
      benchmark::Counter(referenceTotal * 1e6 / static_cast<double>(state.iterations()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
}

void BM_ClearCanvas(benchmark::State& state) {
  Display display;
  UseBenchCanvas(display);
  // ClearCanvas zeroes the FrameBuffer and the PickBuffer: the reference zeroes as many bytes.
  std::vector<std::uint8_t> frame(frameBytes), ids(frameBytes);
  MeasureAgainst(
      state, 2 * frameBytes, [&] { ClearCanvas(display); },
      [&] {
        std::memset(frame.data(), 0, frame.size());
        std::memset(ids.data(), 0, ids.size());
        benchmark::ClobberMemory();
      });
}
BENCHMARK(BM_ClearCanvas)->UseManualTime();

void BM_SaveView(benchmark::State& state) {
  Display display;
  UseBenchCanvas(display);
  std::vector<std::uint8_t> from(frameBytes, 7), to(frameBytes);
  MeasureAgainst(
      state, frameBytes, [&] { SaveView(display); },
      [&] {
        std::memcpy(to.data(), from.data(), frameBytes);
        benchmark::ClobberMemory();
      });
}
BENCHMARK(BM_SaveView)->UseManualTime();

void BM_RestoreView(benchmark::State& state) {
  Display display;
  UseBenchCanvas(display);
  SaveView(display);
  std::vector<std::uint8_t> from(frameBytes, 7), to(frameBytes);
  MeasureAgainst(
      state, frameBytes, [&] { RestoreView(display); },
      [&] {
        std::memcpy(to.data(), from.data(), frameBytes);
        benchmark::ClobberMemory();
      });
}
BENCHMARK(BM_RestoreView)->UseManualTime();

// A list row: a 40-character name drawn with its identifier box, reported per character.
void BM_RenderPickTextPerCharacter(benchmark::State& state) {
  Display display;
  UseBenchCanvas(display);
  static constexpr char name[] = "Holiday Photos 2024 - Beach (day 03).JPG";
  static_assert(sizeof name - 1 == 40);
  const std::int64_t characters = sizeof name - 1;
  for (auto _ : state) {
    RenderPickText(display, name, 40, 300, 0, 255, 0, 12001);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * characters);
  state.counters["per_character"] =
      benchmark::Counter(static_cast<double>(state.iterations() * characters),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RenderPickTextPerCharacter);

}  // namespace
