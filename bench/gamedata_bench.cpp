// Start-up of the game tables: its time against the bare sine and cosine evaluations it cannot
// avoid, and the memory it makes resident against the memory it reserves.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "display/display.h"
#include "gamedata/world_tables.h"
#include "pictures/texture_loader.h"
#include "backends/headless/headless.h"

namespace {

using Clock = std::chrono::steady_clock;

// Start-up runs once in a fresh process, where the C library hands every large block straight
// from the system (already zero, pages untouched). Repeating start-up in one process would
// otherwise raise glibc's mmap threshold after the first release and serve later blocks from
// the heap; holding the threshold at its start-up value keeps each iteration a true start-up.
void LikeAFreshProcess() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void PrepareProgram(Display& display) {
  LikeAFreshProcess();
  headless::Reset();
  SetCanvasSize(display, 960, 540);
}

double AngleOf(int i) {
  const float counter = static_cast<float>(i);
  return static_cast<double>(counter) * 0.017453292516666667 / 1000.0;
}

// 3,600,000 sines and then 3,600,000 cosines of the table's angles, in double precision.
// Separate loops, so that the compiler cannot fuse each pair into one sincos call.
double BareSinCos() {
  double sum = 0.0;
  for (int i = 0; i < TrigTableSize; ++i) sum += std::sin(AngleOf(i));
  benchmark::DoNotOptimize(sum);
  for (int i = 0; i < TrigTableSize; ++i) sum += std::cos(AngleOf(i));
  benchmark::DoNotOptimize(sum);
  return sum;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Each iteration times the bare evaluations and then InitGameTables; the reported time is
// InitGameTables alone, and "ratio" is its total over the reference's total. The release of
// the tables after each start-up is outside both timings.
void BM_InitGameTablesVsBareSinCos(benchmark::State& state) {
  Display display;
  PrepareProgram(display);
  World world;
  GameTextures textures;
  double referenceSeconds = 0.0;
  double initSeconds = 0.0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(BareSinCos());
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(InitGameTables(world, textures, display));
    const auto t2 = Clock::now();
    ReleaseGameTables(world, textures);
    referenceSeconds += Seconds(t0, t1);
    initSeconds += Seconds(t1, t2);
    state.SetIterationTime(Seconds(t1, t2));
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["init_ms"] = initSeconds / n * 1e3;
  state.counters["bare_sincos_ms"] = referenceSeconds / n * 1e3;
  state.counters["ratio"] = initSeconds / referenceSeconds;
}
BENCHMARK(BM_InitGameTablesVsBareSinCos)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

long ResidentBytes() {
  long sizePages = 0;
  long residentPages = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return -1;
  const int read = std::fscanf(statm, "%ld %ld", &sizePages, &residentPages);
  std::fclose(statm);
  return read == 2 ? residentPages * sysconf(_SC_PAGESIZE) : -1;
}

// Start-up as the program does it: the game tables, then the picture buffer obtained with
// malloc and left untouched. "reserved" counts the tables' blocks and the picture buffer;
// "resident" is the growth of the resident set across both.
void BM_StartUpResidentMemory(benchmark::State& state) {
  Display display;
  PrepareProgram(display);
  World world;
  GameTextures textures;
  double resident = 0.0;
  double reserved = 0.0;
  for (auto _ : state) {
    const long before = ResidentBytes();
    InitGameTables(world, textures, display);
    void* pictureBuffer = std::malloc(pictureBufferBytes);
    benchmark::DoNotOptimize(pictureBuffer);
    const long after = ResidentBytes();
    if (before < 0 || after < 0 || !pictureBuffer) {
      state.SkipWithError("resident memory cannot be read");
      std::free(pictureBuffer);
      break;
    }
    resident = static_cast<double>(after - before);
    reserved = static_cast<double>(ReservedGameTableBytes(world)) + pictureBufferBytes;
    std::free(pictureBuffer);
    ReleaseGameTables(world, textures);
  }
  state.counters["resident_MB"] = resident / 1e6;
  state.counters["reserved_MB"] = reserved / 1e6;
  state.counters["resident_share"] = reserved > 0 ? resident / reserved : 0.0;
}
BENCHMARK(BM_StartUpResidentMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
