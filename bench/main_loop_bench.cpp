// One main-loop pass through the headless backend, against a plain copy of one frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "display/display.h"
#include "ratios.h"
#include "backends/headless/headless.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/trove.h"

namespace {

void StartHeadless(Trove& trove) {
  headless::Reset();
  headless::state().screenWidth = 1920;
  headless::state().screenHeight = 1080;
  StartUp(trove);
}

// The reference: copying one 960 x 540 RGBA frame.
void BM_CopyOneFrame(benchmark::State& state) {
  std::vector<unsigned char> from(960 * 540 * 4, 7), to(960 * 540 * 4);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyOneFrame);

void BM_MainLoopPass(benchmark::State& state) {
  Trove trove;
  StartHeadless(trove);
  for (auto _ : state) {
    ForgetPresentedPass(trove.mainLoop);  // a drawn pass, not a resting one
    RunPass(trove);
  }
  headless::state().pauses.clear();
  ShutDown(trove);
}
BENCHMARK(BM_MainLoopPass);

// A pass while nothing happens: it only finds that the frame on screen is still right.
void BM_RestingPass(benchmark::State& state) {
  Trove trove;
  StartHeadless(trove);
  RunPass(trove);
  for (auto _ : state) {
    RunPass(trove);
  }
  state.counters["waits"] = static_cast<double>(headless::state().inputWaits.size());
  ShutDown(trove);
}
BENCHMARK(BM_RestingPass);

}  // namespace

namespace {
const bool registered = RegisterRatio("main-loop pass at 960x540 / one frame copy",
                                      "BM_MainLoopPass", "BM_CopyOneFrame", 0);
const bool registeredRest = RegisterRatio("resting pass (frame unchanged, no input) / drawn pass",
                                          "BM_RestingPass", "BM_MainLoopPass", 0);
}  // namespace
