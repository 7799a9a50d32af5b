// Speed of crossanalyser's averaging and of the shared FFT.
//
// AverageSpectra runs over 60 s of 48 kHz stereo at N 16384, Hann, three-quarter overlap,
// reading the selection through the instance record as the host serves it. The anchor is
// scipy.signal.csd on the same work (bench/scipy_csd_anchor.py, Debian's python3-scipy): after
// the benchmarks the two are timed side by side and the ratio printed (target: at most 1.0).
// Memory stays the run's fixed N-float buffers whatever the selection's length.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "crossanalyser/analyser_buffers.h"
#include "crossanalyser/averaging.h"
#include "crossanalyser/window_shapes.h"
#include "frame/fft.h"

namespace {

constexpr long kRate = 48000;
constexpr long kFrames = 60 * kRate;
constexpr long kN = 16384;

const std::vector<float>& stereoNoise() {
  static const std::vector<float> wave = [] {
    std::vector<float> w(2 * kFrames);
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> u(-8000.0f, 8000.0f);
    for (float& v : w) v = u(rng);
    return w;
  }();
  return wave;
}

int WINAPI readSamples(DWORD, float* buffer, LONG first, LONG frames, LONG) {
  memcpy(buffer, stereoNoise().data() + 2 * (size_t)first, 2 * (size_t)frames * sizeof(float));
  return 1;
}
int WINAPI quietProgress(int, int) { return 1; }

struct Run {
  XFMINSTANCE record = {};
  int cancel = 0;
  RunBuffers blocks;
  AnalyserBuffers buffers;
  Run() {
    record.channels = 2;
    record.sampleRate = kRate;
    record.selFirst = 0;
    record.selLast = kFrames - 1;
    record.cancelFlag = &cancel;
    record.progress = quietProgress;
    record.readSamples = readSamples;
    initRunBuffers(&blocks);
    AllocateAnalyserBuffers(&blocks, kN, &buffers);
  }
  ~Run() { releaseRunBuffers(&blocks); }
  void average() {
    for (float* f : {buffers.gll, buffers.grr, buffers.glr, buffers.csp}) ZeroFill(f, kN);
    const SpectraSettings s = {kN, kWindowHanning, 0, 0.33f, false, 0};
    SpectraStatistics st;
    AverageSpectra(&buffers, &s, &record, &st);
    benchmark::DoNotOptimize(st);
  }
};

void BM_AverageSpectra60s(benchmark::State& state) {
  stereoNoise();
  Run run;
  for (auto _ : state) run.average();
  state.counters["blocks"] = (double)((kFrames - kN) / (kN / 4) + 2);
}
BENCHMARK(BM_AverageSpectra60s)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_RealFFT(benchmark::State& state) {
  const long n = state.range(0);
  std::vector<float> x(n);
  std::mt19937 rng(2);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  for (float& v : x) v = u(rng);
  bool forward = true;
  for (auto _ : state) {
    // Alternating directions keeps the values bounded.
    RealFFT(x.data(), n, forward ? 1 : -1, true);
    forward = !forward;
  }
  state.counters["points"] = (double)n;
}
BENCHMARK(BM_RealFFT)->RangeMultiplier(2)->Range(1 << 8, 1 << 20)->Unit(benchmark::kMicrosecond);

void BM_RealFFTPair(benchmark::State& state) {
  const long n = state.range(0);
  std::vector<float> x(n), y(n);
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  for (float& v : x) v = u(rng);
  for (float& v : y) v = u(rng);
  bool forward = true;
  for (auto _ : state) {
    RealFFTPair(x.data(), y.data(), n, forward ? 1 : -1, true);
    forward = !forward;
  }
}
BENCHMARK(BM_RealFFTPair)
    ->RangeMultiplier(4)
    ->Range(1 << 8, 1 << 20)
    ->Unit(benchmark::kMicrosecond);

void BM_ComplexFFT(benchmark::State& state) {
  const long nn = state.range(0);
  std::vector<float> x(2 * nn);
  std::mt19937 rng(4);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  for (float& v : x) v = u(rng);
  short direction = 1;
  for (auto _ : state) {
    ComplexFFT(x.data(), nn, direction);
    for (float& v : x) v *= 1.0f / (float)nn;  // keeps the values bounded
    direction = (short)-direction;
  }
}
BENCHMARK(BM_ComplexFFT)->RangeMultiplier(2)->Range(1 << 8, 1 << 20)->Unit(benchmark::kMicrosecond);

// Best of five averagings, in seconds.
double averagingSeconds() {
  Run run;
  double best = 1e30;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run.average();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// Runs the scipy anchor; returns its seconds, or a negative value (with its message) when it
// cannot run.
double anchorSeconds(std::string* message) {
  const std::string command =
      std::string("/usr/bin/python3 ") + ORVANE_SOURCE_DIR + "/bench/scipy_csd_anchor.py 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    *message = "cannot start /usr/bin/python3";
    return -1.0;
  }
  char line[512] = "";
  std::string out;
  while (fgets(line, sizeof line, pipe)) out += line;
  const int status = pclose(pipe);
  double seconds = -1.0;
  if (status != 0 || sscanf(out.c_str(), "%lf", &seconds) != 1) {
    *message = out.empty() ? "no answer from /usr/bin/python3" : out;
    return -1.0;
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  stereoNoise();
  const double ours = averagingSeconds();
  std::string message;
  const double anchor = anchorSeconds(&message);
  const double ourAgain = averagingSeconds();  // both sides of the anchor, the faster counts
  const double best = std::min(ours, ourAgain);
  printf("\ncrossanalyser averaging, 60 s 48 kHz stereo, N %ld, Hann, 3/4 overlap: %.3f s\n", kN,
         best);
  if (anchor > 0.0) {
    printf("scipy.signal.csd on the same work: %.3f s\n", anchor);
    printf("ratio averaging / scipy: %.2f (target <= 1.0)\n", best / anchor);
  } else {
    printf("scipy anchor not available: %s\n", message.c_str());
  }
  return 0;
}
