#include "analyser_host.h"

#include <string.h>

#include "crossanalyser/window_shapes.h"

AnalyserHost* AnalyserHost::current = nullptr;

namespace {

AnalyserHost* host() { return AnalyserHost::current; }

int WINAPI readSamples(DWORD, float* buffer, LONG first, LONG frames, LONG format) {
  AnalyserHost* h = host();
  h->reads.push_back({first, frames, format});
  if (first < h->record.selFirst || first + frames - 1 > h->record.selLast) h->readOutside = true;
  const long available = (long)h->wave.size() / 2;
  for (long i = 0; i < frames; ++i) {
    const long frame = first + i;
    const bool inside = frame >= 0 && frame < available;
    buffer[2 * i] = inside ? h->wave[2 * frame] : 0.0f;
    buffer[2 * i + 1] = inside ? h->wave[2 * frame + 1] : 0.0f;
  }
  return 1;
}

int WINAPI reportProgress(int step, int steps) {
  AnalyserHost* h = host();
  h->progress.push_back({step, steps});
  if (h->cancelAtProgress != 0 && (int)h->progress.size() >= h->cancelAtProgress) h->cancelFlag = 1;
  return h->cancelFlag == 0;
}

int WINAPI writeSamples(DWORD, float*, LONG, LONG, LONG) { return 0; }

}  // namespace

AnalyserHost::AnalyserHost() {
  current = this;
  record.channels = 2;
  record.sampleRate = 48000;
  record.cancelFlag = &cancelFlag;
  record.progress = reportProgress;
  record.readSamples = readSamples;
  record.writeSamples = writeSamples;
  record.waveHandle = 0x77;
  record.autoPreset = -1;
  initRunBuffers(&runBuffers);
}

AnalyserHost::~AnalyserHost() {
  releaseRunBuffers(&runBuffers);
  current = nullptr;
}

void AnalyserHost::select(long first, long frames) {
  record.selFirst = first;
  record.selLast = first + frames - 1;
}

bool AnalyserHost::allocate(long n) {
  releaseRunBuffers(&runBuffers);
  initRunBuffers(&runBuffers);
  return AllocateAnalyserBuffers(&runBuffers, n, &buffers);
}

std::vector<float> interleave(const std::vector<float>& left, const std::vector<float>& right) {
  std::vector<float> wave(2 * left.size());
  for (size_t i = 0; i < left.size(); ++i) {
    wave[2 * i] = left[i];
    wave[2 * i + 1] = right[i];
  }
  return wave;
}

std::vector<float> whiteNoise(long frames, unsigned seed, float amplitude) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-amplitude, amplitude);
  std::vector<float> x(frames);
  for (float& v : x) v = u(rng);
  return x;
}

std::vector<float> delayed(const std::vector<float>& x, long d) {
  std::vector<float> y(x.size(), 0.0f);
  for (long i = 0; i < (long)x.size(); ++i) {
    const long from = i - d;
    if (from >= 0 && from < (long)x.size()) y[i] = x[from];
  }
  return y;
}

SpectraSettings plainSpectraSettings(long n, int function) {
  return {n, kWindowHanning, kFollowOff, 0.33f, false, function};
}

FunctionSettings plainFunctionSettings(long n, int function, long sampleRate) {
  FunctionSettings s = {};
  s.fftSize = n;
  s.sampleRate = sampleRate;
  s.function = function;
  s.soundSpeed = 343.0f;
  s.probeDistanceMm = 40.0f;
  s.maxFrequency = 1900.0f;
  return s;
}
