// Time of one whole `orvane assess` computation (convolution, band levels, timing, gain,
// warnings) for a 262144-point filter against a 1 s response at 48 kHz, mono. The figure to
// read is the time per iteration (ms); the target is under 1 s on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "host/assess/assessment.h"

namespace {

std::vector<double> decaying(long length, long start, unsigned seed) {
  std::vector<double> s(length, 0.0);
  unsigned state = seed;
  s[start] = 1.0;
  for (long n = start + 1; n < length; ++n) {
    state = state * 1664525u + 1013904223u;
    s[n] = 0.2 * ((double)(state >> 8) / 8388608.0 - 1.0) * std::exp(-(n - start) / 6000.0);
  }
  return s;
}

void BM_AssessLongFilter(benchmark::State& state) {
  orvane::AssessmentInput in;
  in.sampleRate = 48000;
  in.mode = orvane::FilterMode::Mono;
  in.response = {decaying(48000, 200, 1)};
  in.filter = {decaying(262144, 131072, 2)};
  for (auto _ : state) {
    orvane::Assessment a = orvane::assessFilter(in);
    benchmark::DoNotOptimize(a.positions.data());
  }
}
BENCHMARK(BM_AssessLongFilter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
