// Design times of the inverse-filter designer's core, default settings at 48 kHz, for a
// synthetic room response (direct sound, reflections, decaying noise tail). The figure to read
// is the time per iteration (ms), one whole design including its transforms.
#include <benchmark/benchmark.h>

#include <math.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "inversefilter/designer_params.h"
#include "inversefilter/dipole_design.h"
#include "inversefilter/inverse_design.h"

namespace {

std::vector<float> room(long length, long delay, double gain, unsigned seed) {
  std::vector<float> h(length, 0.0f);
  unsigned state = seed;
  auto noise = [&state] {
    state = state * 1664525u + 1013904223u;
    return (double)(state >> 8) / 8388608.0 - 1.0;
  };
  h[delay] = (float)gain;
  for (int i = 0; i < 12; ++i) {
    const long at = delay + 40 + (long)((noise() + 1.0) * 700.0);
    if (at < length) h[at] += (float)(gain * 0.35 * (noise() < 0.0 ? -1.0 : 1.0));
  }
  const double tau = 0.8 * length / 6.9;
  for (long n = delay + 240; n < length; ++n)
    h[n] += (float)(gain * 0.15 * noise() * exp(-(n - delay - 240) / tau));
  return h;
}

int WINAPI quietProgress(int, int) { return 1; }
void WINAPI quietBegin(LPCSTR, LPARAM) {}
void WINAPI quietEnd(void) {}
int WINAPI quietText(LPCSTR) { return 1; }

XFMINSTANCE quietHost(int* cancelFlag) {
  XFMINSTANCE instance;
  memset(&instance, 0, sizeof instance);
  instance.sampleRate = 48000;
  instance.cancelFlag = cancelFlag;
  instance.progress = quietProgress;
  instance.progressBegin = quietBegin;
  instance.progressEnd = quietEnd;
  instance.progressText = quietText;
  return instance;
}

DesignerParams settings(int averageType, int windowType, float width) {
  DesignerParams p;
  memset(&p, 0, sizeof p);
  SetDesignerDefaults(&p);
  p.AverageType = averageType;
  p.WindowType = windowType;
  p.WindowWidth = width;
  return p;
}

bool isPowerOfTwo(long n) { return (n & (n - 1)) == 0; }

// One mono design of an N-point filter for a response of `responseLength` samples.
void monoDesign(benchmark::State& state, long N, long responseLength, const DesignerParams& p) {
  const std::vector<float> h = room(responseLength, 30, 0.5, 1u);
  long A = 1;
  while (A < responseLength) A *= 2;
  const long length = std::max(A, N);
  std::vector<float> signal(length), scratch(N), w1(length / 2 + 1), w2(length / 2 + 1);
  int cancelFlag = 0;
  const XFMINSTANCE host = quietHost(&cancelFlag);
  for (auto _ : state) {
    state.PauseTiming();
    std::fill(signal.begin(), signal.end(), 0.0f);
    std::copy(h.begin(), h.end(), signal.begin());
    state.ResumeTiming();
    if (!DesignInverseFilter(signal.data(), scratch.data(), A, N, !isPowerOfTwo(N), &p, &host,
                             w1.data(), w2.data()))
      state.SkipWithError("the design failed");
    benchmark::DoNotOptimize(signal.data());
  }
}

void BM_MonoFft65536(benchmark::State& state) {
  monoDesign(state, 65536, 32768, settings(kAverageNone, kWindowLinear, 5.0f));
}
void BM_Mono44100Direct(benchmark::State& state) {
  monoDesign(state, 44100, 32768, settings(kAverageNone, kWindowLinear, 5.0f));
}
void BM_Mono44100ReducedFrom65536(benchmark::State& state) {
  monoDesign(state, 44100, 48000, settings(kAverageNone, kWindowLinear, 5.0f));
}
void BM_Mono16384RealImagLinear5(benchmark::State& state) {
  monoDesign(state, 16384, 8192, settings(kAverageRealImag, kWindowLinear, 5.0f));
}
void BM_Mono16384MagPhaseOctave(benchmark::State& state) {
  monoDesign(state, 16384, 8192, settings(kAverageMagPhase, kWindowOctaves, 0.33f));
}
void BM_Mono16384CepstrumOctave(benchmark::State& state) {
  monoDesign(state, 16384, 8192, settings(kAverageCepstrum, kWindowOctaves, 0.33f));
}
void BM_Mono16000CepstrumOctave(benchmark::State& state) {
  monoDesign(state, 16000, 8192, settings(kAverageCepstrum, kWindowOctaves, 0.33f));
}

void BM_Dipole2x2Fft32768(benchmark::State& state) {
  const long N = 32768, responseLength = 16384, A = 16384;
  const std::vector<float> in[4] = {
      room(responseLength, 30, 0.5, 1u), room(responseLength, 43, 0.3, 2u),
      room(responseLength, 43, 0.3, 3u), room(responseLength, 30, 0.5, 4u)};
  std::vector<float> slot[4], scratch(N), det(N), w1(N / 2 + 1), w2(N / 2 + 1);
  for (auto& s : slot) s.resize(N);
  int cancelFlag = 0;
  const XFMINSTANCE host = quietHost(&cancelFlag);
  const DesignerParams p = settings(kAverageNone, kWindowLinear, 5.0f);
  for (auto _ : state) {
    state.PauseTiming();
    for (int r = 0; r < 4; ++r) {
      std::fill(slot[r].begin(), slot[r].end(), 0.0f);
      std::copy(in[r].begin(), in[r].end(), slot[r].begin());
    }
    state.ResumeTiming();
    if (!DesignStereoDipole(slot[0].data(), slot[1].data(), slot[2].data(), slot[3].data(),
                            scratch.data(), det.data(), A, N, false, &p, &host, w1.data(),
                            w2.data()))
      state.SkipWithError("the design failed");
    benchmark::DoNotOptimize(slot[0].data());
  }
}

}  // namespace

BENCHMARK(BM_MonoFft65536)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mono44100Direct)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mono44100ReducedFrom65536)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Dipole2x2Fft32768)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mono16384RealImagLinear5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mono16384MagPhaseOctave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mono16384CepstrumOctave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Mono16000CepstrumOctave)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
