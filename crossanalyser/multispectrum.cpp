#include "crossanalyser/multispectrum.h"

#include <math.h>

namespace {

constexpr char kFileName[] = "MultiSpectrum.txt";

}  // namespace

bool OpenMultiSpectrum(MultiSpectrumLog* log, double* peakPower, double* peakPhase, long n,
                       long sampleRate) {
  log->peakPower = peakPower;
  log->peakPhase = peakPhase;
  log->n = n;
  for (long k = 0; k < n / 2; ++k) peakPower[k] = peakPhase[k] = 0.0;
  log->file = fopen(kFileName, "wb");
  if (log->file == nullptr) return false;
  fprintf(log->file, "%s ", "N\xB0 ");
  for (long k = 0; k < n / 2; ++k)
    fprintf(log->file, "%.1f ", (double)((long long)sampleRate * k) / n);
  fputs("\r\n", log->file);
  return true;
}

void HoldMultiSpectrumPeaks(MultiSpectrumLog* log, const float* xr) {
  if (log->file == nullptr) return;
  for (long k = 0; k < log->n / 2; ++k) {
    const double re = xr[2 * k], im = xr[2 * k + 1];
    const double power = re * re + im * im;
    if (power > log->peakPower[k]) {
      log->peakPower[k] = power;
      log->peakPhase[k] = atan2(im, re);
    }
  }
}

void WriteMultiSpectrumRow(MultiSpectrumLog* log, long row, const float* xr) {
  if (log->file == nullptr) return;
  fprintf(log->file, "%i ", (int)row);
  for (long k = 0; k < log->n / 2; ++k) {
    const double re = xr[2 * k], im = xr[2 * k + 1];
    fprintf(log->file, "%.5f ",
            cos(atan2(im, re) - log->peakPhase[k]) * sqrt(re * re + im * im) * log->n * 0.5);
  }
  fputs("\r\n", log->file);
}

void CloseMultiSpectrum(MultiSpectrumLog* log) {
  if (log->file != nullptr) fclose(log->file);
  log->file = nullptr;
}
