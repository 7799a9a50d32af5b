// Throughput of the meter's measurement of one channel: pre-filter plus the level pass over a
// 10-minute recording at 48 kHz, per weighting. The figure to read is samples_per_s.
#include "levelmeter/levels.h"

#include <benchmark/benchmark.h>

#include <math.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

constexpr long kSampleRate = 48000;
constexpr long kFrames = 10L * 60L * kSampleRate;
constexpr long kBlockLength = kSampleRate / 1000;

// Speech-like test signal: white noise shaped by a syllable envelope (about 4 per second) with
// a pause every few seconds, so the activity counts and the maxima all see changing levels.
const std::vector<float>& speechLikeSignal() {
  static const std::vector<float> signal = [] {
    std::vector<float> s(kFrames);
    unsigned state = 12345u;
    for (long i = 0; i < kFrames; ++i) {
      state = state * 1664525u + 1013904223u;
      const double noise = (double)(state >> 8) / 16777216.0 * 2.0 - 1.0;
      const double t = (double)i / kSampleRate;
      const double syllable = 0.5 + 0.5 * sin(2.0 * M_PI * 4.1 * t);
      const double talking = fmod(t, 5.0) < 3.5 ? 1.0 : 0.02;
      s[i] = (float)(0.3 * noise * syllable * talking);
    }
    return s;
  }();
  return signal;
}

int WINAPI quietProgress(int, int) { return 1; }
void WINAPI quietBegin(LPCSTR, LPARAM) {}
void WINAPI quietEnd(void) {}

void BM_AnalyseChannel(benchmark::State& state) {
  const char filterCode = (char)state.range(0);
  const std::vector<float>& source = speechLikeSignal();
  std::vector<float> work(kFrames);
  std::vector<float> histories(5 * (kFrames / kBlockLength));
  float* h = histories.data();
  const long blocks = kFrames / kBlockLength;

  int cancelFlag = 0;
  XFMINSTANCE instance;
  memset(&instance, 0, sizeof instance);
  instance.channels = 1;
  instance.sampleRate = kSampleRate;
  instance.selFirst = 0;
  instance.selLast = kFrames - 1;
  instance.cancelFlag = &cancelFlag;
  // Callbacks as cheap as a host's can be, so the per-block calls are part of the figure.
  instance.progress = quietProgress;
  instance.progressBegin = quietBegin;
  instance.progressEnd = quietEnd;

  MeterParams params;
  memset(&params, 0, sizeof params);
  params.fullScaleLeft = 120.0f;
  params.calMode = kCalFullScale;

  for (auto _ : state) {
    state.PauseTiming();
    memcpy(work.data(), source.data(), kFrames * sizeof(float));
    state.ResumeTiming();
    const bool done = analyseChannel(work.data(), &params, 'm', filterCode, h, h + blocks,
                                     h + 2 * blocks, h + 3 * blocks, h + 4 * blocks, &instance);
    if (!done) state.SkipWithError("analyseChannel refused the channel");
    benchmark::DoNotOptimize(params.left);
  }
  state.counters["samples_per_s"] =
      benchmark::Counter((double)kFrames, benchmark::Counter::kIsIterationInvariantRate);
  state.SetLabel(std::string("filter ") + filterCode);
}

}  // namespace

BENCHMARK(BM_AnalyseChannel)
    ->ArgName("filter")
    ->Arg('L')
    ->Arg('A')
    ->Arg('B')
    ->Arg('W')
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
