#include "crossanalyser/analyser_buffers.h"

bool AllocateAnalyserBuffers(RunBuffers* buffers, long n, AnalyserBuffers* out) {
  const SIZE_T spectrum = (SIZE_T)n * sizeof(float);
  *out = {};
  out->window = (float*)allocRunBuffer(buffers, spectrum);
  out->csp = (float*)allocRunBuffer(buffers, spectrum);
  out->wav = (BYTE*)allocRunBuffer(buffers, kWaveHeaderBytes + 2 * spectrum);
  out->samples = out->wav ? (float*)(out->wav + kWaveHeaderBytes) : nullptr;
  out->xl = (float*)allocRunBuffer(buffers, spectrum);
  out->xr = (float*)allocRunBuffer(buffers, spectrum);
  out->gll = (float*)allocRunBuffer(buffers, spectrum);
  out->grr = (float*)allocRunBuffer(buffers, spectrum);
  out->glr = (float*)allocRunBuffer(buffers, spectrum);
  out->display1 = (float*)allocRunBuffer(buffers, spectrum);
  out->display2 = (float*)allocRunBuffer(buffers, spectrum);
  return buffers->failedStep == 0;
}
