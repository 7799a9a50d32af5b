#include "inversefilter/reduce_length.h"

#include "frame/run_buffers.h"
#include "inversefilter/design_lengths.h"
#include "inversefilter/packed_spectrum.h"

bool myReduceLength(float* spectrum, long A, long N, DesignNotice* notice) {
  if (!IsDesignLength(A) || !IsDesignLength(N)) return false;
  const long from = A / 2 + 1, to = N / 2 + 1;
  RunBuffers blocks;
  initRunBuffers(&blocks);
  float* re = (float*)allocRunBuffer(&blocks, (SIZE_T)from * sizeof(float));
  float* im = (float*)allocRunBuffer(&blocks, (SIZE_T)from * sizeof(float));
  float* reOut = (float*)allocRunBuffer(&blocks, (SIZE_T)to * sizeof(float));
  float* imOut = (float*)allocRunBuffer(&blocks, (SIZE_T)to * sizeof(float));
  float* u = (float*)allocRunBuffer(&blocks, (SIZE_T)from * sizeof(float));
  float* v = (float*)allocRunBuffer(&blocks, (SIZE_T)to * sizeof(float));
  if (blocks.failedStep != 0) {
    releaseRunBuffers(&blocks);
    noticeFailure(notice, kDesignNoMemory,
                  "Failed in memory allocation\nPlease retry, better luck next time!",
                  "myReduceLength", MB_OK | MB_ICONERROR);
    return false;
  }
  SplitSpectrum(spectrum, re, im, A);
  if (from < to) {
    releaseRunBuffers(&blocks);
    // The system's own text, "vectores" included.
    noticeFailure(notice, kDesignBadLengths,
                  "Error, Cannot work with input vectores\n DimInp<DimOut", "myReduceLengthI",
                  MB_OK);
    return false;
  }
  // Normalised frequency of every bin of both grids.
  for (long i = 0; i < from - 1; ++i) u[i] = (float)((double)i / (double)A);
  u[from - 1] = 0.5f;
  for (long j = 0; j < to - 1; ++j) v[j] = (float)((double)j / (double)N);
  v[to - 1] = 0.5f;
  long i = 1;
  for (long j = 0; j < to; ++j) {
    while (u[i] < v[j]) ++i;  // stops at the last source bin at the latest: v <= 0.5
    const double f = ((double)v[j] - u[i - 1]) / ((double)u[i] - u[i - 1]);
    reOut[j] = (float)(re[i - 1] + f * ((double)re[i] - re[i - 1]));
    imOut[j] = (float)(im[i - 1] + f * ((double)im[i] - im[i - 1]));
  }
  PackSpectrum(reOut, imOut, spectrum, N);
  releaseRunBuffers(&blocks);
  return true;
}
