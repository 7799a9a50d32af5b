#include "designer_test_support.h"

#include <math.h>

#include "frame/fft.h"

DesignerRecorder* DesignerRecorder::current = nullptr;

namespace {

int WINAPI onMessage(void*, HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  DesignerRecorder::current->boxes.push_back(
      {text ? text : "", caption ? caption : "", type, owner});
  return IDOK;
}
int WINAPI onProgress(int step, int steps) {
  DesignerRecorder* r = DesignerRecorder::current;
  r->steps.push_back({step, steps});
  if (r->cancelAtStep != 0 && (int)r->steps.size() >= r->cancelAtStep) r->cancelFlag = 1;
  return r->cancelFlag == 0;
}
void WINAPI onBegin(LPCSTR caption, LPARAM) {
  DesignerRecorder::current->captions.push_back(caption);
}
void WINAPI onEnd() { ++DesignerRecorder::current->ends; }
int WINAPI onText(LPCSTR text) {
  DesignerRecorder::current->texts.push_back(text);
  return 1;
}

}  // namespace

DesignerRecorder::DesignerRecorder(long sampleRate) {
  current = this;
  orvane_reset();
  OrvaneUser user = {};
  user.messageBox = onMessage;
  orvane_set_user(&user);
  orvane_memory_stats(&start_);
  instance.channels = 1;
  instance.sampleRate = sampleRate;
  instance.cancelFlag = &cancelFlag;
  instance.progress = onProgress;
  instance.progressBegin = onBegin;
  instance.progressEnd = onEnd;
  instance.progressText = onText;
}

DesignerRecorder::~DesignerRecorder() {
  orvane_reset();
  current = nullptr;
}

int DesignerRecorder::liveBlocks() const {
  OrvaneMemoryStats s;
  orvane_memory_stats(&s);
  return s.liveBlocks - start_.liveBlocks;
}

int DesignerRecorder::lockedBlocks() const {
  OrvaneMemoryStats s;
  orvane_memory_stats(&s);
  return s.lockedBlocks - start_.lockedBlocks;
}

DesignerParams defaultParams() {
  DesignerParams p = {};
  SetDesignerDefaults(&p);
  return p;
}

void referenceDft(const std::vector<float>& x, std::vector<long double>* re,
                  std::vector<long double>* im) {
  const long N = (long)x.size();
  std::vector<long double> c(N), s(N);
  const long double twoPi = 6.283185307179586476925286766559L;
  for (long r = 0; r < N; ++r) {
    c[r] = cosl(twoPi * r / N);
    s[r] = sinl(twoPi * r / N);
  }
  re->assign(N / 2 + 1, 0.0L);
  im->assign(N / 2 + 1, 0.0L);
  for (long k = 0; k <= N / 2; ++k) {
    long double a = 0.0L, b = 0.0L;
    long r = 0;  // (k n) mod N
    for (long n = 0; n < N; ++n) {
      a += x[n] * c[r];
      b += x[n] * s[r];
      r += k;
      if (r >= N) r -= N;
    }
    (*re)[k] = a;
    (*im)[k] = b;
  }
}

std::vector<float> packedOf(const std::vector<long double>& re,
                            const std::vector<long double>& im) {
  const long half = (long)re.size() - 1;
  std::vector<float> p(2 * half);
  p[0] = (float)re[0];
  p[1] = (float)re[half];
  for (long k = 1; k < half; ++k) {
    p[2 * k] = (float)re[k];
    p[2 * k + 1] = (float)im[k];
  }
  return p;
}

std::vector<float> roomResponse(long length, long delay, double gain, unsigned seed) {
  std::vector<float> h(length, 0.0f);
  Noise noise(seed);
  h[delay] = (float)gain;
  // Twelve early reflections within 30 ms, up to 0.6 of the direct sound, either polarity.
  for (int i = 0; i < 12; ++i) {
    const long at = delay + 40 + (long)((noise.next() + 1.0) * 700.0);
    const double size = (0.35 + 0.25 * noise.next()) * (noise.next() < 0.0 ? -1.0 : 1.0);
    if (at < length) h[at] += (float)(gain * size);
  }
  // Diffuse tail from 5 ms on, decaying by 60 dB over 80 % of the response.
  const long tailStart = delay + 240;
  const double tau = 0.8 * length / 6.9;
  for (long n = tailStart; n < length; ++n)
    h[n] += (float)(gain * 0.15 * noise.next() * exp(-(n - tailStart) / tau));
  return h;
}

std::vector<float> earResponse(long length, long delay, double gain, int shadow, unsigned seed) {
  std::vector<float> h(length, 0.0f);
  Noise noise(seed);
  for (int i = 0; i < shadow; ++i) h[delay + i] += (float)(gain / shadow);
  // Pinna and torso: three echoes within the first millisecond.
  for (int i = 0; i < 3; ++i) {
    const long at = delay + 3 + (long)((noise.next() + 1.0) * 20.0);
    h[at] += (float)(gain * (0.2 + 0.15 * noise.next()) * (noise.next() < 0.0 ? -1.0 : 1.0));
  }
  // A damped room: four weak reflections within 20 ms and a short diffuse tail.
  for (int i = 0; i < 4; ++i) {
    const long at = delay + 200 + (long)((noise.next() + 1.0) * 350.0);
    if (at < length) h[at] += (float)(gain * (0.08 + 0.04 * noise.next()));
  }
  const long tailStart = delay + 100;
  const double tau = length / 6.9;
  for (long n = tailStart; n < length; ++n)
    h[n] += (float)(gain * 0.02 * noise.next() * exp(-(n - tailStart) / tau));
  return h;
}

std::vector<double> convolve(const std::vector<float>& a, const float* b, long nb) {
  const long na = (long)a.size();
  std::vector<double> y(na + nb - 1, 0.0);
  for (long i = 0; i < na; ++i) {
    if (a[i] == 0.0f) continue;
    const double ai = a[i];
    for (long j = 0; j < nb; ++j) y[i + j] += ai * b[j];
  }
  return y;
}

std::vector<double> thirdOctaveLevels(const std::vector<double>& signal, double reference,
                                      double from, double to, double sampleRate) {
  long P = 2;
  while (P < (long)signal.size()) P *= 2;
  // The spectrum of the (exact, double) signal through the frame's FFT, scaled down first so
  // that float precision is relative to the signal.
  double top = 0.0;
  for (double v : signal) top = fmax(top, fabs(v));
  std::vector<float> buffer(P, 0.0f);
  for (size_t i = 0; i < signal.size(); ++i) buffer[i] = (float)(signal[i] / top);
  RealFFT(buffer.data(), P, 1, false);
  std::vector<double> power(P / 2 + 1);
  power[0] = (double)buffer[0] * buffer[0];
  power[P / 2] = (double)buffer[1] * buffer[1];
  for (long k = 1; k < P / 2; ++k)
    power[k] =
        (double)buffer[2 * k] * buffer[2 * k] + (double)buffer[2 * k + 1] * buffer[2 * k + 1];
  std::vector<double> levels;
  for (double f = from; f <= to; f *= pow(2.0, 1.0 / 24.0)) {
    const long lo = (long)ceil(f * pow(2.0, -1.0 / 6.0) * P / sampleRate);
    const long hi = (long)floor(f * pow(2.0, 1.0 / 6.0) * P / sampleRate);
    double sum = 0.0;
    for (long k = lo; k <= hi; ++k) sum += power[k];
    const double mean = sum / (double)(hi - lo + 1);
    levels.push_back(10.0 * log10(mean * top * top / (reference * reference)));
  }
  return levels;
}

Deviation deviationOf(const std::vector<double>& levels) {
  Deviation d = {0.0, 0.0};
  double sum = 0.0;
  for (double v : levels) {
    d.maxDb = fmax(d.maxDb, fabs(v));
    sum += v * v;
  }
  d.rmsDb = sqrt(sum / (double)levels.size());
  return d;
}
